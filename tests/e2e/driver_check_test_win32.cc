// The driver proved on a program of its own before it is trusted with
// Kavrel: texts and lists across processes, notices, the recording netsh
// behind Wine's cmd.exe, the resource counters (which must see a deliberate
// leak) and keyboard input.
#include <cctype>

#include "e2e_support_win32.h"
#include "pe_symbols.h"

namespace kavrel::e2e {
namespace {

const std::string kLocal = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3";              // 本地连接
const std::string kLocal1 = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3\x20\x31\x20";  // 本地连接 1 (trailing blank)
const std::string kNotice = "\xcc\xe1\xca\xbe";                              // 提示
const std::string kNameMissing = "\xc7\xeb\xca\xe4\xc8\xeb\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6\xa3\xa1";  // 请输入网卡名称！

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}


class DriverCheck : public SessionTest {
 protected:
  StartOptions Options() const override {
    StartOptions o;
    o.exePath = DirectoryOfDriver() + L"kavrel_driver_check_app.exe";
    o.windowClass = L"KavrelDriverCheck";
    o.caption = "\xc7\xfd\xb6\xaf\xbc\xec\xb2\xe9";  // 驱动检查
    o.heapCounterSymbol = ImageSymbol("_ZN6kavrel3e2e12_GLOBAL__N_112g_clickCountE");
    return o;
  }
  HWND Combo() const { return app->FindUnit(L"ComboBox", 10, 10); }
  HWND RunButton() const { return app->FindUnit(L"Button", 10, 40); }
  HWND LeakButton() const { return app->FindUnit(L"Button", 100, 40); }
};

TEST_F(DriverCheck, ReadsAndWritesTextsAcrossProcesses) {
  ASSERT_TRUE(Combo());
  ASSERT_TRUE(RunButton());
  EXPECT_EQ(WindowText(RunButton()), "\xd4\xcb\xd0\xd0");  // 运行
  EXPECT_EQ(ComboEntries(Combo()), (std::vector<std::string>{kLocal, kLocal1, ""}));
  EXPECT_TRUE(app->Put(Combo(), " a b "));
  EXPECT_TRUE(app->Type(Combo(), " 192.168.2.1 "));
  EXPECT_TRUE(app->Pick(Combo(), 1));
  EXPECT_EQ(WindowText(Combo()), kLocal1);
  EXPECT_TRUE(app->Pick(Combo(), 2));
  EXPECT_EQ(WindowText(Combo()), "");
  EXPECT_TRUE(app->Pick(Combo(), 0));
  EXPECT_EQ(WindowText(Combo()), kLocal);
}

TEST_F(DriverCheck, ReadsAndClosesATaskModalNotice) {
  app->Click(RunButton());
  auto notice = app->WaitForNotice(10000);
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->caption, kNotice);
  EXPECT_EQ(notice->text, kNameMissing);
  EXPECT_EQ(notice->buttons.size(), 1u);
  EXPECT_FALSE(notice->hasIcon);
  EXPECT_FALSE(IsWindowEnabled(app->main()));
  ASSERT_TRUE(app->CloseNotice(*notice));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app->main()) != FALSE; }, 5000));
  ExpectNothingRun();
}

TEST_F(DriverCheck, RecordsEveryNetshRunOfACmdLine) {
  ASSERT_TRUE(app->Put(Combo(), kLocal1));
  app->Click(RunButton());
  auto records = log.WaitForRecords(2, 30000);
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), 2u);
  for (const auto& r : *records) {
    EXPECT_EQ(r.parentCommandLine, Readable("cmd /c netsh check \"" + kLocal1 + "\" & netsh again"));
    EXPECT_EQ(Lower(r.parentImage), "cmd.exe");
    EXPECT_EQ(r.grandparentPid, app->pid());
    EXPECT_EQ(r.parentPid, records->front().parentPid);
  }
  EXPECT_EQ(Arguments((*records)[0]), Readable({"check", kLocal1}));
  EXPECT_EQ(Arguments((*records)[1]), (std::vector<std::string>{"again"}));
}

TEST_F(DriverCheck, CountersSeeWhatTheProgramHolds) {
  // A first press lets the system make what it makes once.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(LeakButton(), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &ignored);
  Sleep(500);
  ResourceCounts before = app->Counts();
  ASSERT_TRUE(before.heapBlocks) << "the runtime heap's count";
  ASSERT_TRUE(before.handles) << "the handle count";
  ASSERT_TRUE(before.gdiObjects) << "the GDI object count";
  EXPECT_EQ(*before.heapBlocks, 0);
  for (int i = 0; i < 3; ++i)
    SendMessageTimeoutW(LeakButton(), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &ignored);
  Sleep(500);
  ResourceCounts after = app->Counts();
  ASSERT_TRUE(after.handles && after.gdiObjects);
  EXPECT_EQ(*after.handles - *before.handles, 3);
  EXPECT_EQ(*after.gdiObjects - *before.gdiObjects, 3);
  EXPECT_EQ(after.windows, before.windows);

  app->Click(RunButton());
  auto notice = app->WaitForNotice(10000);
  ASSERT_TRUE(notice);
  EXPECT_EQ(app->HeapBlocks(), 1);
  app->CloseNotice(*notice);
}

TEST_F(DriverCheck, KeysMoveTheFocusAndEscCloses) {
  ASSERT_TRUE(WaitUntil([&] { return app->Focus() == Combo(); }, 5000));
  ASSERT_TRUE(app->PressKey(VK_TAB));
  EXPECT_TRUE(WaitUntil([&] { return app->Focus() == RunButton(); }, 5000));
  ASSERT_TRUE(app->PressKey(VK_TAB, true));
  EXPECT_TRUE(WaitUntil([&] { return app->Focus() == Combo(); }, 5000));
  ASSERT_TRUE(app->PressKey(VK_ESCAPE));
  EXPECT_EQ(app->WaitForExit(10000), 0u);
}

TEST_F(DriverCheck, SystemMenuCloseEndsTheProgram) {
  PostMessageW(app->main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(app->WaitForExit(10000), 0u);
}

}  // namespace
}  // namespace kavrel::e2e
