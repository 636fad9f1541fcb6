// The soak: every button pressed 1,000 times (KAVREL_SOAK_PRESSES to change
// it), alternately with input that runs its line and with input that ends in
// a notice, which the driver closes. Afterwards the runtime heap holds as
// many blocks as before, and the process as many handles, GDI objects and
// windows; every line that ran was the right one and nothing else ran.
#include <cstdio>

#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

using namespace text;

int Presses() {
  char value[32] = {};
  DWORD n = GetEnvironmentVariableA("KAVREL_SOAK_PRESSES", value, sizeof value);
  int presses = n > 0 && n < sizeof value ? std::atoi(value) : 0;
  return presses > 0 ? presses : 1000;
}

struct Refusal {
  Fields fields;
  const std::string& notice;
};

struct SoakButton {
  const char* name;
  uint32_t id;
  std::string line;     // what the valid input runs
  size_t netshRuns;
  std::vector<Refusal> refusals;  // taken in turn
};

void Print(const char* when, const ResourceCounts& c) {
  std::printf("%-14s heap blocks %6lld  handles %4d  GDI objects %4d  windows %3d\n", when,
              c.heapBlocks ? static_cast<long long>(*c.heapBlocks) : -1LL, c.handles.value_or(-1),
              c.gdiObjects.value_or(-1), c.windows);
  std::fflush(stdout);
}

class Soak : public KavrelTest {
 protected:
  // Kavrel marks each step of a press, so that a lost one says where it
  // stopped: into a file of the soak's, through a handle it inherits.
  StartOptions Options() const override {
    StartOptions options = KavrelTest::Options();
    options.inheritHandles = true;
    return options;
  }
  ProfileFile profile_;
  // Says why, when the fields do not take the input.
  bool Filled(const Fields& fields) {
    const testing::AssertionResult filled = Fill(fields);
    if (!filled) ADD_FAILURE() << filled.message();
    return bool(filled);
  }

  bool PressValid(const SoakButton& b) {
    if (!Filled(valid_)) return false;
    // Each press waits for the last one's processes to end, so the next
    // click comes as cmd's console closes and Kavrel is active again.
    auto records = PressAndRecord(b.id, b.netshRuns);
    if (!records || records->size() != b.netshRuns) {
      ADD_FAILURE() << b.name << ": " << (records ? records->size() : 0) << " netsh runs";
      return false;
    }
    for (const auto& r : *records) {
      if (r.parentCommandLine != Readable(b.line) || r.grandparentPid != app->pid()) {
        ADD_FAILURE() << b.name << " ran " << r.parentCommandLine;
        return false;
      }
    }
    // The next press starts a fresh log; a netsh still to come would
    // show up in it as a run too many.
    if (log.Clear()) return true;
    ADD_FAILURE() << "the netsh log stays held";
    return false;
  }

  bool PressRefused(const SoakButton& b, const Refusal& refusal) {
    if (!Filled(refusal.fields)) return false;
    app->Click(Unit(b.id));
    auto notice = app->WaitForNotice(10000);
    if (!notice || notice->text != refusal.notice) {
      ADD_FAILURE() << b.name << ": " << (notice ? Readable(notice->text) : std::string("no notice"));
      return false;
    }
    if (app->CloseNotice(*notice)) return true;
    ADD_FAILURE() << b.name << ": the notice does not close";
    return false;
  }

  ResourceCounts Settled() {
    app->WaitForNoChildren(30000);
    Sleep(300);
    return app->Counts();
  }

  const Fields valid_{kLocal, "192.168.2.10", "255.255.255.0", "192.168.2.1", "8.8.8.8", "8.8.4.4"};
};

TEST_F(Soak, ThousandPressesOfEachButtonLeaveNothingBehind) {
  const std::string q = "\"" + kLocal + "\"";
  const std::vector<SoakButton> buttons = {
      {"static", kStaticButton, "cmd /d /v:off /c netsh interface ip set address " + q + " static 192.168.2.10 255.255.255.0 192.168.2.1", 1,
       {{{"", "192.168.2.10", "255.255.255.0", "", "", ""}, kNameMissing},
        {{kLocal, "", "255.255.255.0", "", "", ""}, kAddressOrMaskMissing},
        {{kLocal, "192.168.2.10", "", "", "", ""}, kAddressOrMaskMissing},
        {{kLocal, "192.168.2.10", "255.255.255.0", "1.1.1.1&x", "", ""}, kIllegalCharacters}}},
      {"preferred", kPreferredButton, "cmd /d /v:off /c netsh interface ip set dns name=" + q + " static 8.8.8.8", 1,
       {{{"", "", "", "", "8.8.8.8", ""}, kNameMissing},
        {{kLocal, "", "", "", "", "8.8.4.4"}, kPreferredMissing},
        {{kLocal, "", "", "", "8.8.8.8", "8.8.8.8"}, kPreferredConflict},
        {{kLocal, "", "", "", "8.8.8.8|x", ""}, kIllegalCharacters}}},
      {"alternate", kAlternateButton, "cmd /d /v:off /c netsh interface ip add dns name=" + q + " add=8.8.4.4 index=2", 1,
       {{{"", "", "", "", "", "8.8.4.4"}, kNameMissing},
        {{kLocal, "", "", "", "8.8.8.8", ""}, kAlternateMissing},
        {{kLocal, "", "", "", "8.8.4.4", "8.8.4.4"}, kAlternateConflict},
        {{"a\"b", "", "", "", "", "8.8.4.4"}, kIllegalCharacters}}},
      {"dhcp", kDhcpButton,
       "cmd /d /v:off /c netsh interface ip set address " + q + " dhcp & netsh interface ip set dns " + q + " dhcp", 2,
       {{{"", "", "", "", "", ""}, kNameMissing}, {{"%TEMP%", "", "", "", "", ""}, kIllegalCharacters}}},
  };
  for (const auto& b : buttons) ASSERT_TRUE(Unit(b.id)) << b.name;

  // Whatever the system makes once, on first use, is made here.
  for (const auto& b : buttons) {
    ASSERT_TRUE(PressValid(b));
    for (const auto& r : b.refusals) ASSERT_TRUE(PressRefused(b, r));
  }
  ResourceCounts start = Settled();
  ASSERT_TRUE(start.heapBlocks) << "the runtime heap's count cannot be read from Kavrel.exe's symbols";
  ASSERT_TRUE(start.handles && start.gdiObjects);
  Print("start", start);

  const int presses = Presses();
  DWORD began = GetTickCount();
  for (int i = 0; i < presses; ++i) {
    for (const auto& b : buttons) {
      if (i % 2 == 0) {
        ASSERT_TRUE(PressValid(b)) << "press " << i;
      } else {
        ASSERT_TRUE(PressRefused(b, b.refusals[size_t(i / 2) % b.refusals.size()])) << "press " << i;
      }
    }
    if ((i + 1) % 100 == 0) Print(("after " + std::to_string(i + 1)).c_str(), Settled());
  }
  ResourceCounts end = Settled();
  Print("end", end);
  std::printf("%d presses of each of %zu buttons in %.1f s\n", presses, buttons.size(),
              (GetTickCount() - began) / 1000.0);

  // A refused press that ran anyway would have left a record here or in
  // front of the next valid press's.
  EXPECT_TRUE(log.Read().records.empty()) << "a run nobody pressed for";
  ASSERT_TRUE(end.heapBlocks && end.handles && end.gdiObjects);
  EXPECT_EQ(*end.heapBlocks, *start.heapBlocks);
  EXPECT_EQ(*end.handles, *start.handles);
  EXPECT_EQ(*end.gdiObjects, *start.gdiObjects);
  EXPECT_EQ(end.windows, start.windows);
}

}  // namespace
}  // namespace kavrel::e2e
