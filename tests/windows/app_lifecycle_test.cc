// Start-up, loop, shutdown and the fatal report of RuntimeApp, each run as a
// child process. The child's program reaches the runtime only through the
// services table, as the real program does; its window engine is the
// smallest one that shows one plain window per template.
#include <gtest/gtest.h>

#include <ole2.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/fatal_text.h"
#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "app_test_support.h"
#include "base/startup_profile.h"
#include "commands/library_interface.h"
#include "commands/run_command_win32.h"
#include "commands/runtime_error.h"
#include "commands/runtime_heap.h"
#include "program/main_window_design.h"
#include "program/program.h"
#include "program/program_descriptor.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"
#include "window/window_engine_win32.h"

namespace kavrel {
namespace {

using test::AppendFileText;
using test::BoxWatcher;
using test::ReadFileText;
using test::RunChild;
using test::TempPath;

constexpr WindowId kWindow = 0x52010001;

void Log(const std::string& line);

class PlainWindowEngine final : public WindowEngine {
 public:
  bool LoadWindow(WindowTemplate& window, bool, HWND__* owner, bool) override {
    if (live_.count(window.id)) return true;
    auto record = window.units().RecordAt(0);
    if (!record) return false;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KavrelPlainWindow";
    RegisterClassA(&wc);
    auto object = std::make_unique<Live>(this, window.id);
    UnitRect r = record->rect();
    HWND ownerWindow = owner ? owner : RuntimeApp::Instance().hiddenOwner();
    if (failCreation) test::FailNextAllocation();  // the window table's entry
    if (!object->CreateEx(0, L"KavrelPlainWindow", "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, r.left, r.top, r.width,
                          r.height, ownerWindow, nullptr))
      return false;
    live_[window.id] = std::move(object);
    return true;
  }
  intptr_t LibraryRequest(int32_t code, intptr_t arg1, intptr_t) override {
    if (code != 2006) return 0;
    auto it = live_.find(WindowId(arg1));
    return it == live_.end() ? 0 : reinterpret_cast<intptr_t>(it->second.get());
  }
  PropertyBits GetUnitProperty(WindowId, UnitId, int32_t, int32_t) override { return 0; }
  void SetUnitProperty(WindowId, UnitId, int32_t, int32_t, uintptr_t, uint32_t) override {}
  bool PreTranslateMessage(tagMSG* msg) override { return Window::PreTranslateChain(msg); }
  bool AnyWindowAlive() override { return !live_.empty(); }
  bool IsWindowAlive(WindowId id) override { return live_.count(id) != 0; }
  // Asks for more once, then ends the idle period and closes the window.
  bool RaiseIdleEvent(WindowId id, uint32_t) override {
    if (!logIdleEvents) return false;
    Log("event7");
    if (++idleEvents == 1) return true;
    PostMessageA(HandleOf(id), WM_CLOSE, 0, 0);
    return false;
  }
  void DestroyAllWindows() override {
    while (!live_.empty()) DestroyWindow(live_.begin()->second->hwnd());
  }

  HWND HandleOf(WindowId id) { return live_.count(id) ? live_[id]->hwnd() : nullptr; }

  bool logIdleEvents = false;
  bool failCreation = false;
  int idleEvents = 0;

 private:
  struct Live : Window {
    Live(PlainWindowEngine* e, WindowId i) : engine(e), id(i) {}
    void OnFinalDestroy() override {
      PlainWindowEngine* e = engine;
      e->live_.erase(id);  // deletes this
      RuntimeApp::Instance().WindowDestroyed();
    }
    PlainWindowEngine* engine;
    WindowId id;
  };
  std::map<WindowId, std::unique_ptr<Live>> live_;
};

// What a child scenario shares with its program's routines.
struct Child {
  std::string log;
  std::string mode;
  std::string extra;
  PlainWindowEngine engine;
  std::vector<uint8_t> store;
  ProgramDescriptor descriptor{};
  const LibraryDescriptor* libraries[2] = {};
  const RuntimeServices* services = &TheRuntimeServices();
  DWORD uiThread = 0;
};
Child* g_child = nullptr;

void Log(const std::string& line) { AppendFileText(g_child->log, line + "\n"); }
std::string Flag(bool b) { return b ? "1" : "0"; }

void CleanupA() {
  RuntimeApp& app = RuntimeApp::Instance();
  // Templates are gone, the owner window and OLE are still there.
  bool oleUp = OleInitialize(nullptr) == S_FALSE;
  OleUninitialize();
  Log("A table=" + std::to_string(app.windows().size()) + " owner=" + Flag(IsWindow(app.hiddenOwner())) +
      " ole=" + Flag(oleUp) + " blocked=" + Flag(app.EventsBlocked()) +
      " ui=" + Flag(GetCurrentThreadId() == g_child->uiThread));
}
void CleanupB() { Log("B"); }

intptr_t RecordingNotify(int32_t code, intptr_t, intptr_t) {
  Log("lib" + std::to_string(code));
  return 0;
}
const LibraryDescriptor kRecordingLibrary{0, nullptr, 0, nullptr, &RecordingNotify};

void IdleLive(uint32_t argument) {
  static bool once = false;
  if (once) return;
  once = true;
  Log("idle " + std::to_string(argument));
  PostMessageA(g_child->engine.HandleOf(kWindow), WM_CLOSE, 0, 0);
}
void IdleDead(uint32_t) { Log("dead window called"); }
void IdleEndModal(uint32_t) { RuntimeApp::Instance().EndModal(kWindow); }

std::vector<uint8_t> OneWindowStore() {
  UnitDesign own;
  own.id = 0x06010000;
  own.type = 0x00010001;
  own.rect = {40, 30, 320, 200};
  own.flags = kUnitVisible;
  WindowDesign window;
  window.id = kWindow;
  window.units.push_back(own);
  return WriteTemplateStore(std::span<const WindowDesign>(&window, 1));
}

// A real heap of fixed size, filled until a 100-byte block no longer fits,
// behind the runtime heap.
void UseFullHeap() {
  static HANDLE small = HeapCreate(0, 0x10000, 0x10000);
  while (HeapAlloc(small, 0, 100)) {
  }
  SetHeapBackend({[](size_t n) { return HeapAlloc(small, 0, n); },
                  [](void* p, size_t n) { return HeapReAlloc(small, 0, p, n); },
                  [](void* p) { HeapFree(small, 0, p); }});
}

int32_t LifecycleMain() {
  Child& c = *g_child;
  const RuntimeServices& s = *c.services;
  // The report's box is read into the log before it closes and the process
  // ends. Never destroyed: an exception on its way to the report must not
  // wait here for the box it is about to bring.
  if (c.mode.rfind("fatal-", 0) == 0)
    new BoxWatcher(kFatalCaption, IDOK, [](HWND box, void*) { Log("box[" + test::BoxText(box) + "]"); }, nullptr);
  s.Notify(kNotifyInitRuntime, 0, 0);
  c.uiThread = GetCurrentThreadId();
  char cwd[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  HWND owner = FindWindowA("_EL_HideOwner", nullptr);
  Log(std::string("init cwd=") + Flag(cwd == test::ExecutableDir()) + " owner=" +
      Flag(owner && owner == RuntimeApp::Instance().hiddenOwner() &&
           (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && !IsWindowVisible(owner)) +
      " windows=" + std::to_string(RuntimeApp::Instance().windows().size()));
  s.Notify(kNotifyRegisterCleanup, reinterpret_cast<intptr_t>(&CleanupA), 0);
  s.Notify(kNotifyRegisterCleanup, reinterpret_cast<intptr_t>(&CleanupB), 0);
  s.Notify(kNotifyRegisterCleanup, reinterpret_cast<intptr_t>(&CleanupA), 0);

  if (c.mode == "run-child") {
    const std::string line = test::ChildCommandLine("StartupInfo", {c.extra});
    const CommandArg args[3] = {CommandArg::OfText(line.c_str()), CommandArg::OfLogical(true), CommandArg::Omitted()};
    s.CallCommand(&Run, 3, args);
  }
  if (c.mode == "fatal-missing") s.LoadWindow(0x52010009);
  if (c.mode == "fatal-raise") s.RaiseError(2);
  if (c.mode == "fatal-code") ReportFatal(nullptr, 5);
  if (c.mode == "fatal-alloc") {
    UseFullHeap();
    s.Allocate(100);
  }
  if (c.mode == "fatal-run") {
    // Run's copy of the line comes from the runtime heap too: no process starts.
    const std::string line = test::ChildCommandLine("StartupInfo", {c.extra});
    const CommandArg args[3] = {CommandArg::OfText(line.c_str()), CommandArg::OfLogical(true),
                                CommandArg::Omitted()};
    UseFullHeap();
    s.CallCommand(&Run, 3, args);
  }
  c.engine.failCreation = c.mode == "fatal-window-table";
  s.LoadWindow(kWindow);
  if (c.mode.rfind("fatal-combo-read", 0) == 0) {
    // The program's own window: its connection name box holds a text too
    // long to be kept inside a std::string.
    const UnitId box = main_window::kConnectionNameBoxId;
    s.SetUnitProperty(kWindow, box, kContentProperty, -1, reinterpret_cast<uintptr_t>("VMware Network Adapter VMnet8"), 0);
    test::FailNextAllocation(c.mode == "fatal-combo-read-other");
    Log("read " + std::to_string(s.GetUnitProperty(kWindow, box, kContentProperty, -1)));
  }
  if (c.mode == "fatal-click") {
    // A click's handler (the DHCP action, which reads the name) with the
    // press marks on, run inside the window procedures.
    StartProfile(ProfileClockNs(), [](const char*, size_t) { return true; });
    FinishProfile("idle");
    s.SetUnitProperty(kWindow, main_window::kConnectionNameBoxId, kContentProperty, -1,
                      reinterpret_cast<uintptr_t>("LAN"), 0);
    auto* button = reinterpret_cast<Window*>(
        RuntimeApp::Instance().LibraryCallback(request::kLiveObject, kWindow, main_window::kDhcpButtonId));
    test::FailNextAllocation();
    SendMessageW(button->hwnd(), BM_CLICK, 0, 0);
    Log("clicked");
  }
  HWND window = c.engine.HandleOf(kWindow);
  if (c.mode == "early-close") {
    DestroyWindow(window);
    MSG quit;
    Log("quit queued=" + Flag(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)));
  } else if (c.mode == "quit-code") {
    PostQuitMessage(5);
  } else if (c.mode == "idle") {
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    RuntimeApp::Instance().AddIdleCallback(gone, &IdleDead, 1);
    RuntimeApp::Instance().AddIdleCallback(window, &IdleLive, 9);
  } else if (c.mode == "idle-event") {
    c.engine.logIdleEvents = true;
  } else if (c.mode == "modal") {
    RuntimeApp& app = RuntimeApp::Instance();
    app.AddIdleCallback(window, &IdleEndModal, 0);
    app.RunModalLoop(kWindow);
    Log("modal ended active=" + Flag(app.modalActive()));
    // A quit request ends the modal loop and stays for the loop outside.
    PostQuitMessage(3);
    app.RunModalLoop(kWindow);
    MSG quit;
    Log("quit kept=" + Flag(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)));
  } else if (c.mode == "other-thread") {
    std::thread([] { RuntimeApp::Instance().EndProgram(7); }).detach();
  } else {
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  s.RunMessageLoop();
  Log("loop returned");
  return 0;
}

// args: log file, mode, one more argument for the mode.
KAVREL_CHILD_SCENARIO(Lifecycle) {
  static Child child;
  g_child = &child;
  child.log = args.at(0);
  child.mode = args.at(1);
  child.extra = args.size() > 2 ? args[2] : "";
  child.store = OneWindowStore();
  if (child.mode == "fatal-store") child.store.resize(child.store.size() - 1);
  child.libraries[0] = &TheRuntimeLibrary();
  child.libraries[1] = &kRecordingLibrary;
  child.descriptor = {{3, 0, 0x10054}, nullptr, nullptr, 0, child.store.data(), uint32_t(child.store.size()),
                      2, child.libraries, 0, nullptr, nullptr};
  RuntimeApp& app = RuntimeApp::Instance();
  if (child.mode.rfind("fatal-combo-read", 0) == 0 || child.mode == "fatal-click") {
    child.descriptor = TheProgramDescriptor();
    child.descriptor.libraryCount = 2;
    child.descriptor.libraries = child.libraries;
    app.SetWindowEngine(&InstallWindowEngine(app));
  } else if (child.mode != "fatal-no-engine") {
    app.SetWindowEngine(&child.engine);
  }
  app.SetProgram(&child.descriptor, &LifecycleMain);
  return RunApplication(app, GetModuleHandleW(nullptr), SW_SHOWNORMAL);
}

struct Outcome {
  DWORD exitCode;
  std::string log;
};

Outcome RunLifecycle(const std::string& mode, const std::string& extra = "", const std::string& directory = "") {
  std::string log = TempPath("lifecycle");
  std::optional<DWORD> code = RunChild("Lifecycle", {log, mode, extra}, directory);
  Outcome out{code.value_or(0xDEAD), ReadFileText(log)};
  DeleteFileA(log.c_str());
  return out;
}

const std::string kStarted = "lib1\ninit cwd=1 owner=1 windows=1\n";
const std::string kShutdown = "A table=0 owner=1 ole=1 blocked=1 ui=1\nB\nlib6\n";

TEST(AppLifecycle, LastWindowClosedEndsWithZeroAfterOrderedShutdown) {
  Outcome out = RunLifecycle("close");
  EXPECT_EQ(out.exitCode, 0u);
  EXPECT_EQ(out.log, kStarted + "loop returned\n" + kShutdown);
}

TEST(AppLifecycle, ExitCodeIsTheQuitParameter) {
  Outcome out = RunLifecycle("quit-code");
  EXPECT_EQ(out.exitCode, 5u);
  EXPECT_EQ(out.log, kStarted + "loop returned\n" + kShutdown);
}

TEST(AppLifecycle, WindowClosedBeforeTheLoopPostsNoQuit) {
  Outcome out = RunLifecycle("early-close");
  EXPECT_EQ(out.exitCode, 0u);
  EXPECT_EQ(out.log, kStarted + "quit queued=0\nloop returned\n" + kShutdown);
}

TEST(AppLifecycle, IdleCallbackOfAGoneWindowIsDroppedUncalled) {
  Outcome out = RunLifecycle("idle");
  EXPECT_EQ(out.exitCode, 0u);
  EXPECT_EQ(out.log, kStarted + "idle 9\nloop returned\n" + kShutdown);
}

TEST(AppLifecycle, IdleEventAsksForMoreUntilAHandlerDeclines) {
  Outcome out = RunLifecycle("idle-event");
  EXPECT_EQ(out.exitCode, 0u);
  EXPECT_EQ(out.log, kStarted + "event7\nevent7\nloop returned\n" + kShutdown);
}

TEST(AppLifecycle, ModalLoopEndsOnEndModalOrQuit) {
  Outcome out = RunLifecycle("modal");
  EXPECT_EQ(out.exitCode, 3u);
  EXPECT_EQ(out.log, kStarted + "modal ended active=0\nquit kept=1\nloop returned\n" + kShutdown);
}

TEST(AppLifecycle, ExitFromAnotherThreadRunsOnTheUiThread) {
  Outcome out = RunLifecycle("other-thread");
  EXPECT_EQ(out.exitCode, 7u);
  EXPECT_EQ(out.log, kStarted + kShutdown);
}

std::string Box(const char* message, int32_t code) {
  char text[kFatalTextSize];
  ComposeFatalText(message, code, text);
  return std::string("box[") + text + "]\n";
}

TEST(AppFatalReport, BoxTextThenExitWithoutCleanup) {
  char allocation[100], unsized[100];
  FormatAllocationFailure(allocation, 100);
  FormatAllocationFailure(unsized, 0);
  struct Case {
    const char* mode;
    std::string log;
  };
  const Case cases[] = {
      {"fatal-missing", kStarted + Box(kLoadStartWindowError, 0)},
      {"fatal-no-engine", kStarted + Box(kLoadStartWindowError, 0)},
      {"fatal-raise", kStarted + Box(ErrorTableMessage(2), 2)},
      {"fatal-code", kStarted + Box(nullptr, 5)},
      {"fatal-alloc", kStarted + Box(allocation, 0)},
      // Memory for the window table's entry: the window is refused and the load says so.
      {"fatal-window-table", kStarted + Box(kLoadStartWindowError, 0)},
      // A combo box's content read that runs out: the report, never an empty text.
      {"fatal-combo-read", kStarted + Box(unsized, 0)},
      // Nor when what it threw was not about memory.
      {"fatal-combo-read-other", kStarted + Box(nullptr, 0)},
      // Memory that runs out inside a click's handler, with the press marks on.
      {"fatal-click", kStarted + Box(unsized, 0)},
      // The store is read after the libraries have been told of the start.
      {"fatal-store", "lib1\n" + Box(kTemplateStoreLoadError, 0)},
  };
  for (const Case& c : cases) {
    Outcome out = RunLifecycle(c.mode);
    EXPECT_EQ(out.exitCode, 0xFFFFFFFFu) << c.mode;
    EXPECT_EQ(out.log, c.log + "lib6\n") << c.mode;
  }

  // Run's copy of its command line: the same report, for the size of the
  // line's UTF-16 copy.
  const std::string report = TempPath("unstarted");
  FormatAllocationFailure(allocation, int32_t(2 * (test::ChildCommandLine("StartupInfo", {report}).size() + 1)));
  Outcome out = RunLifecycle("fatal-run", report);
  EXPECT_EQ(out.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(out.log, kStarted + Box(allocation, 0) + "lib6\n");
  EXPECT_FALSE(test::FileExists(report));
}

// The runtime makes the executable's folder its own working directory (the
// log's "cwd=1"), but what it starts starts in the system folder.
TEST(AppLifecycle, StartedProgramsRunInTheSystemFolder) {
  std::string report = TempPath("cwd");
  char temp[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  GetSystemDirectoryA(system, MAX_PATH + 1);
  Outcome out = RunLifecycle("run-child", report, temp);
  EXPECT_EQ(out.exitCode, 0u);
  EXPECT_EQ(out.log.rfind(kStarted, 0), 0u) << out.log;
  std::string seen = ReadFileText(report);
  EXPECT_EQ(lstrcmpiA(seen.substr(seen.find(' ', 2) + 1).c_str(), system), 0) << seen;
  DeleteFileA(report.c_str());
}

}  // namespace
}  // namespace kavrel
