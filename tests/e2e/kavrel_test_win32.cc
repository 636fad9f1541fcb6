#include "kavrel_test_win32.h"

#include <cctype>
#include <cstdio>

namespace kavrel::e2e {

namespace {

// A unit's id as the program's tables write it. (A manipulator streamed into
// an AssertionResult reaches only a message of its own.)
std::string UnitName(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", unsigned(id));
  return text;
}

bool Planted() {
  char value[8] = {};
  return GetEnvironmentVariableA("KAVREL_E2E_PLANTED", value, sizeof value) == 1 && value[0] == '1';
}

std::wstring PlantedFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"kavrel-planted";
}

// The names cmd and netsh would be found by in a folder searched for them.
const std::vector<std::wstring> kStandIns = {L"cmd.exe", L"netsh.exe", L"netsh.com", L"netsh.bat", L"netsh.cmd"};

// Kavrel.exe (KAVREL_EXE, if set) with its symbols, and beside it a stand-in
// under each name, with no mark left by an earlier run.
testing::AssertionResult Plant() {
  const std::wstring folder = PlantedFolder(), exe = KavrelOptions().exePath, driver = DirectoryOfDriver();
  CreateDirectoryW(folder.c_str(), nullptr);
  std::vector<std::pair<std::wstring, std::wstring>> copies = {{exe, L"Kavrel.exe"},
                                                               {exe + L".debug", L"Kavrel.exe.debug"}};
  for (const std::wstring& name : kStandIns) {
    DeleteFileW((folder + L"\\" + name + L".ran").c_str());
    const bool batch = name.ends_with(L".bat") || name.ends_with(L".cmd");
    copies.push_back({driver + (batch ? L"kavrel_standin.cmd" : L"kavrel_standin.exe"), name});
  }
  for (const auto& [from, name] : copies)
    if (!CopyFileW(from.c_str(), (folder + L"\\" + name).c_str(), FALSE))
      return testing::AssertionFailure() << "cannot copy " << Utf8(from) << " to " << Utf8(folder + L"\\" + name);
  return testing::AssertionSuccess();
}

}  // namespace

std::string SystemFolder() {
  char folder[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH + 1);
  return std::string(folder, n <= MAX_PATH ? n : 0);
}

StartOptions KavrelTest::Options() const {
  StartOptions options = KavrelOptions();
  if (Planted()) options.exePath = PlantedFolder() + L"\\Kavrel.exe";
  return options;
}

std::vector<std::string> KavrelTest::PlantedStandInsThatRan() const {
  std::vector<std::string> ran;
  if (!Planted()) return ran;
  for (const std::wstring& name : kStandIns)
    if (GetFileAttributesW((PlantedFolder() + L"\\" + name + L".ran").c_str()) != INVALID_FILE_ATTRIBUTES)
      ran.push_back(Utf8(name));
  return ran;
}

void KavrelTest::SetUp() {
  if (Planted()) {
    ASSERT_TRUE(Plant());
  }
  SessionTest::SetUp();
  if (HasFatalFailure()) return;
  for (const auto& unit : ExpectedUnits())
    if (HWND window = app->FindUnit(ClassOf(unit.kind), AtDpi(unit.left, DisplayDpi()), AtDpi(unit.top, DisplayDpi())))
      units_[unit.id] = window;
}

HWND KavrelTest::Unit(uint32_t id) const {
  auto found = units_.find(id);
  return found == units_.end() ? nullptr : found->second;
}

testing::AssertionResult KavrelTest::Fill(const Fields& f) const {
  const std::pair<uint32_t, const std::string*> boxes[] = {
      {kConnectionNameBox, &f.name},   {kAddressBox, &f.address},        {kMaskBox, &f.mask},
      {kGatewayBox, &f.gateway},       {kPreferredDnsBox, &f.preferred}, {kAlternateDnsBox, &f.alternate}};
  for (auto [id, value] : boxes) {
    HWND box = Unit(id);
    if (!box) return testing::AssertionFailure() << "no combo box " << UnitName(id);
    if (!app->Put(box, *value)) return testing::AssertionFailure() << "box " << UnitName(id) << " does not take the text";
  }
  return testing::AssertionSuccess();
}

Fields KavrelTest::Read() const {
  auto text = [&](uint32_t id) { return Unit(id) ? WindowText(Unit(id)) : std::string("<missing>"); };
  return {text(kConnectionNameBox), text(kAddressBox),      text(kMaskBox),
          text(kGatewayBox),        text(kPreferredDnsBox), text(kAlternateDnsBox)};
}

testing::AssertionResult KavrelTest::ExpectNotice(uint32_t button, const std::string& message) const {
  HWND pressed = Unit(button);
  if (!pressed) return testing::AssertionFailure() << "no button " << UnitName(button);
  Fields before = Read();
  app->Click(pressed);
  auto notice = app->WaitForNotice(10000);
  if (!notice) return testing::AssertionFailure() << "no notice appeared";
  bool disabled = !IsWindowEnabled(app->main());
  bool closed = app->CloseNotice(*notice);
  auto failure = testing::AssertionFailure();
  bool ok = true;
  if (notice->caption != text::kNoticeTitle) ok = false, failure << "caption \"" << Readable(notice->caption) << "\"; ";
  if (notice->text != message)
    ok = false, failure << "text \"" << Readable(notice->text) << "\" instead of \"" << Readable(message) << "\"; ";
  if (notice->buttons.size() != 1) ok = false, failure << notice->buttons.size() << " buttons; ";
  if (notice->hasIcon) ok = false, failure << "an icon; ";
  if (!disabled) ok = false, failure << "the window took input while the notice was up; ";
  if (!closed) ok = false, failure << "the notice did not close; ";
  if (!WaitUntil([&] { return IsWindowEnabled(app->main()) != FALSE; }, 3000))
    ok = false, failure << "the window stayed disabled; ";
  Fields after = Read();
  if (after.name != before.name || after.address != before.address || after.mask != before.mask ||
      after.gateway != before.gateway || after.preferred != before.preferred || after.alternate != before.alternate)
    ok = false, failure << "the boxes changed; ";
  if (!ok) return failure;
  ExpectNothingRun();
  return testing::AssertionSuccess();
}

// What a press left behind when its runs did not come: whether the window
// takes input, every process below the program, and what was said on
// standard error.
std::string KavrelTest::PressState(const StandardErrorCopy& said, const EventMarks& marks) const {
  std::string state = IsWindowEnabled(app->main()) ? "The window is enabled" : "The window is disabled";
  std::vector<ProcessEntry> all = ListProcesses();
  std::vector<DWORD> parents = {app->pid()};
  state += "; processes below the program:";
  size_t shown = 0;
  for (size_t at = 0; at < parents.size() && parents.size() < 64; ++at) {
    for (const auto& p : all) {
      if (p.parentPid != parents[at]) continue;
      state += " " + p.image + " (" + std::to_string(p.pid) + ", parent " + std::to_string(p.parentPid) + ")";
      parents.push_back(p.pid);
      ++shown;
    }
  }
  if (shown == 0) state += " none";
  std::string text = Readable(said.SinceMark());
  state += "; standard error: " + (text.empty() ? "nothing" : text);
  return marks.available() ? state + "; the program's marks:\n" + marks.SinceMark() : state;
}

std::optional<std::vector<NetshRecord>> KavrelTest::PressAndRecord(uint32_t button, size_t count) {
  HWND pressed = Unit(button);
  if (!pressed) return std::nullopt;
  for (;;) {
    StandardErrorCopy said;
    EventMarks marks;
    app->Click(pressed);
    // Wine's cmd now and then fails to start a netsh: its CreateProcess
    // fails, it says on standard error that it cannot recognise the command
    // and goes on. Such a press is over once cmd has said so and is gone.
    bool cmdFailed = false;
    NetshLog got;
    WaitUntil(
        [&] {
          got = log.Read();
          if (got.records.size() >= count || got.malformed) return true;
          cmdFailed = said.SinceMark().find("netsh") != std::string::npos && app->Children().empty();
          return cmdFailed;
        },
        30000);
    const bool complete = got.records.size() >= count && !got.malformed;
    const std::string stuck = complete || cmdFailed ? std::string() : PressState(said, marks);
    app->WaitForNoChildren(15000);
    if (complete) {
      // Anything beyond what was asked for would show here.
      return log.Read().records;
    }
    if (auto notice = app->CurrentNotice()) {
      ADD_FAILURE() << "a notice instead of a run: " << Readable(notice->text);
      app->CloseNotice(*notice);
      return std::nullopt;
    }
    if (!cmdFailed) {
      ADD_FAILURE() << got.records.size() << " of " << count << " netsh runs within 30 s"
                    << (got.malformed ? ", the log malformed. " : ". ") << stuck;
      return std::nullopt;
    }
    // The program did its part and the platform lost a run: press again,
    // a few times at most in one test, and say so.
    std::string complaint = Readable(said.SinceMark());
    while (!complaint.empty() && std::isspace(static_cast<unsigned char>(complaint.back()))) complaint.pop_back();
    if (platformRepeats_ >= kMaxPlatformRepeats) {
      ADD_FAILURE() << "cmd could not start a netsh, " << platformRepeats_ + 1 << " times in this test. It said:\n"
                    << complaint;
      return std::nullopt;
    }
    if (!log.Clear()) return std::nullopt;
    ++platformRepeats_;
    std::printf("cmd could not start a netsh; pressed again. It said:\n%s\n", complaint.c_str());
    std::fflush(stdout);
  }
}


}  // namespace kavrel::e2e
