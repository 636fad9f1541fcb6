// Keyboard and closing: the Tab order of the boxes and buttons, Esc, and
// the system menu's Close, each ending the program with exit code 0, with
// no file written by a name from the environment.
#include <iterator>

#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

class Keys : public KavrelTest {
 protected:
  // A click into the box's edit field, as a user gives it the focus.
  testing::AssertionResult ClickInto(uint32_t combo) const {
    HWND edit = FindWindowExW(Unit(combo), nullptr, L"Edit", nullptr);
    if (!edit) return testing::AssertionFailure() << "no edit field";
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    if (!WaitUntil([&] { return app->Focus() == Unit(combo); }, 5000))
      return testing::AssertionFailure() << "the box did not take the focus";
    return testing::AssertionSuccess();
  }
  testing::AssertionResult FocusMovesTo(uint32_t unit) const {
    if (WaitUntil([&] { return app->Focus() == Unit(unit); }, 5000)) return testing::AssertionSuccess();
    HWND focus = app->Focus();
    return testing::AssertionFailure() << "the focus is on " << (focus ? Readable(ToGbk(ClassName(focus))) : "nothing")
                                       << " \"" << (focus ? Readable(WindowText(focus)) : "") << "\"";
  }
};

// Units with the tab stop in record order (all have tab order 0); the
// same cycle as walking the containers in stacking order.
const uint32_t kTabOrder[] = {kConnectionNameBox, kDhcpButton,   kAlternateButton, kAlternateDnsBox, kPreferredButton,
                              kPreferredDnsBox,   kStaticButton, kGatewayBox,      kMaskBox,         kAddressBox};

TEST_F(Keys, TabAndShiftTabGoRoundTheBoxesAndButtons) {
  ASSERT_TRUE(ClickInto(kConnectionNameBox));
  constexpr size_t n = std::size(kTabOrder);
  for (size_t i = 1; i <= n; ++i) {
    SCOPED_TRACE(testing::Message() << "Tab " << i);
    ASSERT_TRUE(app->PressKey(VK_TAB));
    ASSERT_TRUE(FocusMovesTo(kTabOrder[i % n]));
  }
  for (size_t i = 1; i <= n; ++i) {
    SCOPED_TRACE(testing::Message() << "Shift+Tab " << i);
    ASSERT_TRUE(app->PressKey(VK_TAB, true));
    ASSERT_TRUE(FocusMovesTo(kTabOrder[(n - i) % n]));
  }
}

TEST_F(Keys, EscInABoxClosesTheWindowWithExitCodeZero) {
  ASSERT_TRUE(ClickInto(kAddressBox));
  ASSERT_TRUE(app->Type(Unit(kAddressBox), "192.168."));
  ASSERT_TRUE(app->PressKey(VK_ESCAPE));
  EXPECT_EQ(app->WaitForExit(15000), 0u);
}

TEST_F(Keys, SpaceOnAFocusedButtonPressesItOnce) {
  ASSERT_TRUE(Fill({text::kLocal, "", "", "", "", ""}));
  ASSERT_TRUE(ClickInto(kConnectionNameBox));
  ASSERT_TRUE(app->PressKey(VK_TAB));
  ASSERT_TRUE(FocusMovesTo(kDhcpButton));
  ASSERT_TRUE(app->PressKey(VK_SPACE));
  ASSERT_TRUE(log.WaitForRecords(2, 30000));
  app->WaitForNoChildren(15000);
  EXPECT_EQ(log.Read().records.size(), 2u) << "one press, one line, two netsh runs";
}

class Closing : public KavrelTest {};

TEST_F(Closing, TheSystemMenusCloseEndsWithExitCodeZero) {
  PostMessageW(app->main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(app->WaitForExit(15000), 0u);
  ExpectNothingRun();
}

// The start-up profile's old interface named a file in the environment,
// which Kavrel wrote with administrator rights: it must write no file by a
// name from there, nor through a handle it did not inherit.
class ClosingWithAProfilePath : public KavrelTest {
 protected:
  void SetUp() override {
    HANDLE mine = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(mine, "kept", 4, &written, nullptr));
    SetEnvironmentVariableA("KAVREL_PROFILE_FILE", path_.c_str());
    SetEnvironmentVariableA("KAVREL_PROFILE_HANDLE", std::to_string(uintptr_t(mine)).c_str());
    SetEnvironmentVariableA("KAVREL_PROFILE_START", "1");
    KavrelTest::SetUp();
    CloseHandle(mine);
  }
  void TearDown() override {
    KavrelTest::TearDown();
    for (const char* name : {"KAVREL_PROFILE_FILE", "KAVREL_PROFILE_HANDLE", "KAVREL_PROFILE_START"})
      SetEnvironmentVariableA(name, nullptr);
    for (const char* end : {"", ".part", ".events"}) DeleteFileA((path_ + end).c_str());
  }
  const std::string path_ = TempPath("kavrel-not-a-profile");
};

TEST_F(ClosingWithAProfilePath, WritesNoFileItNames) {
  ASSERT_TRUE(Fill({text::kLocal, "", "", "", "", ""}));
  ASSERT_TRUE(PressAndRecord(kDhcpButton, 2));
  PostMessageW(app->main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(app->WaitForExit(15000), 0u);
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  char text[16] = {};
  DWORD got = 0;
  ReadFile(file, text, sizeof text, &got, nullptr);
  CloseHandle(file);
  EXPECT_EQ(std::string(text, got), "kept");
  EXPECT_FALSE(FileExists(path_ + ".part"));
  EXPECT_FALSE(FileExists(path_ + ".events"));
}

}  // namespace
}  // namespace kavrel::e2e
