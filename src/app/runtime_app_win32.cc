#include "app/runtime_app_win32.h"

#include <ole2.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "base/startup_profile.h"
#include "app/exe_path.h"
#include "app/fatal_text.h"
#include "commands/heap_win32.h"
#include "commands/message_box_win32.h"
#include "commands/runtime_error.h"
#include "commands/runtime_heap.h"
#include "framework/program_text_win32.h"
#include "templates/template_store.h"

namespace kavrel {

namespace {

// 指定窗口或窗口组件不存在或尚未载入 is the engine's (request 2007); the
// core's own requests follow.
constexpr wchar_t kHiddenOwnerClass[] = L"_EL_HideOwner";

intptr_t LibraryCallbackEntry(int32_t code, intptr_t arg1, intptr_t arg2) {
  return RuntimeApp::Instance().LibraryCallback(code, arg1, arg2);
}

void FatalEntry(const char* message, int32_t code) { RuntimeApp::Instance().ReportFatal(message, code); }

// An exception that reached the edge: out of memory (or a size no storage
// holds) is the allocation report, anything else the bare report.
void ReportException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(0);
  } catch (const std::length_error&) {
    ReportOutOfMemory(0);
  } catch (...) {
    ReportFatal(nullptr, 0);
  }
}

// The executable's path, read whole however long it is; all empty when it
// cannot be, so that no folder named by part of it is ever used.
ExePath ThisExePath() {
  std::wstring path(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return SplitExePath(path);
    }
    // Cut short to fit: read again into more room, up to the longest path.
    if (path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
}

bool IsLiveWindow(const void* window) { return IsWindow(static_cast<HWND>(const_cast<void*>(window))) != FALSE; }

// The invisible owner of the program's top-level windows; it also carries
// an exit requested on another thread over to the UI thread.
class HiddenOwner : public Window {
 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == kExitRequestMessage) RuntimeApp::Instance().EndProgram(int32_t(wParam));
    return Window::WindowProc(msg, wParam, lParam);
  }
};

// Constructed by the process start-up code, before WinMain.
[[maybe_unused]] RuntimeApp& g_constructed = RuntimeApp::Instance();

}  // namespace

RuntimeApp& RuntimeApp::Instance() {
  static RuntimeApp app;
  return app;
}

RuntimeApp::RuntimeApp() = default;

// Runs from the process's exit handlers, after shutdown: the window objects
// are gone with their windows, so only the owner object may remain.
RuntimeApp::~RuntimeApp() {
  if (hiddenOwnerObject_) hiddenOwnerObject_->Unsubclass();
}

void RuntimeApp::SetProgram(const ProgramDescriptor* program, int32_t (*programMain)()) {
  program_ = program;
  programMain_ = programMain;
}

bool RuntimeApp::InitInstance() {
  SetFatalHandler(&FatalEntry);
  SetEdgeFailureHandler(&ReportException);
  exeDirSlash_ = ThisExePath().dirSlash;
  int32_t result = programMain_ ? programMain_() : 0;
  return result != 0;
}

int RuntimeApp::ExitInstance() {
  Shutdown(0);
  return Application::ExitInstance();
}

bool RuntimeApp::PreTranslateMessage(MSG* msg) {
  if (engine_) return engine_->PreTranslateMessage(msg);
  return Application::PreTranslateMessage(msg);
}

intptr_t RuntimeApp::Notify(int32_t code, intptr_t arg1, intptr_t) {
  switch (code) {
    case kNotifyRegisterCleanup:
      RegisterCleanup(reinterpret_cast<ExitRoutine>(arg1));
      return 0;
    case kNotifyInitRuntime:
      InitRuntime();
      return 0;
    default:
      // Codes 0, 1, 2, 4 and 5 serve features this program does not have.
      return 0;
  }
}

void RuntimeApp::InitRuntime() {
  SetFatalHandler(&FatalEntry);
  SetEdgeFailureHandler(&ReportException);
  heap_ = GetProcessHeap();
  SetHeapBackend(ProcessHeapBackend());
  if (program_) std::copy(program_->version, program_->version + 3, version_);

  if (!oleInitialised_) {
    OleInitialize(nullptr);
    oleInitialised_ = 1;
  }
  MarkProfile("ole");

  ExePath exe = ThisExePath();
  exeDir_ = ProgramTextOf(exe.dir).text;
  exeName_ = exe.name;
  exeNameText_ = ProgramTextOf(exe.name).text;
  // An empty directory fails and leaves the working directory as it was.
  SetCurrentDirectoryW(exe.dir.c_str());

  CreateHiddenOwner();
  uiThreadId_ = GetCurrentThreadId();
  SetMessageBoxCallback(&LibraryCallbackEntry);
  if (!program_) return;

  if (program_->constantBlockSize > 0) SetConstantBlock(program_->constantBlock, program_->constantBlockSize);

  // This program declares no external library routines, so there are no
  // per-routine lists to fill.

  for (uint32_t i = 0; i < program_->libraryCount; ++i) {
    const LibraryDescriptor* library = program_->libraries ? program_->libraries[i] : nullptr;
    if (library && library->notify) library->notify(library_notify::kStart, reinterpret_cast<intptr_t>(&LibraryCallbackEntry), 0);
  }
  for (uint32_t i = 0; i < program_->libraryCount; ++i) {
    libraries_.push_back(program_->libraries ? program_->libraries[i] : nullptr);
    libraryWords_.push_back(0);
  }

  if (program_->templateStoreSize > 0) {
    static const HandlerTable kNoHandlers;
    const HandlerTable& handlers = program_->codeBase ? *program_->codeBase : kNoHandlers;
    LoadTemplateStoreOrReport(std::span<const uint8_t>(program_->templateStore, program_->templateStoreSize),
                              handlers, windows_);
  }
  MarkProfile("templates-read");
}

void RuntimeApp::CreateHiddenOwner() {
  if (hiddenOwner_) return;
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(module, kHiddenOwnerClass, &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = kHiddenOwnerClass;
    RegisterClassW(&wc);
  }
  auto owner = std::make_unique<HiddenOwner>();
  if (owner->CreateEx(WS_EX_TOOLWINDOW, kHiddenOwnerClass, "", 0, 0, 0, 0, 0, nullptr, nullptr)) {
    hiddenOwner_ = owner->hwnd();
    hiddenOwnerObject_ = std::move(owner);
  }
}

void RuntimeApp::DestroyHiddenOwner() {
  if (!hiddenOwner_) return;
  DestroyWindow(hiddenOwner_);
  hiddenOwner_ = nullptr;
  hiddenOwnerObject_.reset();
}

void RuntimeApp::LoadWindow(WindowId id) {
  auto found = windows_.Find(id);
  if (!found || !engine_ || !engine_->LoadWindow(*found->window, false, nullptr, false))
    ReportFatal(kLoadStartWindowError, 0);
}

bool RuntimeApp::AnyWindowAlive() { return engine_ && engine_->AnyWindowAlive(); }

void RuntimeApp::RunMessageLoop() {
  loopEntered_ = 1;
  if (AnyWindowAlive()) RunLoop(false);
}

void RuntimeApp::RunLoop(bool modal) {
  bool idle = true;
  long idleCount = 0;
  MSG waiting;
  for (;;) {
    while (idle && !PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
      idleCallbacks_.Walk(&IsLiveWindow);
      if (!OnIdle(idleCount++)) idle = false;
      if (modal && !modalActive_) return;
    }
    do {
      // The modal loop leaves WM_QUIT in the queue for the loop outside it.
      if (modal && PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE) && waiting.message == WM_QUIT) return;
      if (!PumpMessage()) return;
      if (modal && !modalActive_) return;
      if (IsIdleMessage(lastMessage())) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE));
  }
}

bool RuntimeApp::OnIdle(long count) {
  if (ProfileOn()) FinishProfile("idle");
  if (count == 0) {
    idleStart_ = GetTickCount();
    idleSkip_.clear();
    frameworkIdlePending_ = true;
  }
  if (frameworkIdlePending_) {
    frameworkIdlePending_ = Application::OnIdle(count);
    return true;
  }
  if (count <= 1 || !engine_) return count <= 1;
  uint32_t elapsed = GetTickCount() - idleStart_;
  bool more = false;
  // By position: a handler may load windows and so grow the table.
  for (size_t i = 0; i < windows_.size(); ++i) {
    WindowTemplate* window = windows_.At(i);
    if (!window) continue;
    WindowId id = window->id;
    if (std::find(idleSkip_.begin(), idleSkip_.end(), id) != idleSkip_.end()) continue;
    if (!engine_->IsWindowAlive(id)) continue;
    if (engine_->RaiseIdleEvent(id, elapsed)) {
      more = true;
    } else {
      idleSkip_.push_back(id);
    }
  }
  return more;
}

void RuntimeApp::DrainQueue() {
  MSG waiting;
  while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE) && waiting.message != WM_QUIT) {
    if (!PumpMessage()) break;
  }
}

void RuntimeApp::BlockEvents() {
  DrainQueue();
  ++eventBlockCount_;
}

void RuntimeApp::UnblockEvents() {
  DrainQueue();
  if (eventBlockCount_ > 0) --eventBlockCount_;
}

void RuntimeApp::RunModalLoop(WindowId window) {
  WindowId outerWindow = modalWindow_;
  int32_t outerActive = modalActive_;
  modalWindow_ = window;
  modalActive_ = 1;
  RunLoop(true);
  modalWindow_ = outerWindow;
  modalActive_ = outerActive;
}

void RuntimeApp::EndModal(WindowId window) {
  if (modalActive_ && modalWindow_ == window) modalActive_ = 0;
}

void RuntimeApp::WindowDestroyed() {
  if (loopEntered_ && !shuttingDown_ && !AnyWindowAlive()) PostQuitMessage(0);
}

void RuntimeApp::DefaultIcons(HICON* large, HICON* small) {
  if (!defaultIconsLoaded_) {
    defaultIconsLoaded_ = true;
    HINSTANCE module = GetModuleHandleW(nullptr);
    defaultLarge_ = static_cast<HICON>(LoadImageW(module, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                  GetSystemMetrics(SM_CYICON), 0));
    defaultSmall_ = static_cast<HICON>(LoadImageW(module, L"DEFAULT_ICON", IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }
  if (large) *large = defaultLarge_;
  if (small) *small = defaultSmall_;
}

intptr_t RuntimeApp::LibraryCallback(int32_t code, intptr_t arg1, intptr_t arg2) {
  switch (code) {
    case request::kDefaultIcons: {
      HICON large = nullptr;
      HICON small = nullptr;
      DefaultIcons(&large, &small);
      if (auto* out = reinterpret_cast<uintptr_t*>(arg1)) {
        out[0] = reinterpret_cast<uintptr_t>(large);
        out[1] = reinterpret_cast<uintptr_t>(small);
      }
      return 1;
    }
    case request::kWindowTable:
      return reinterpret_cast<intptr_t>(&windows_);
    case request::kVersion:
      return kRuntimeVersion;
    case request::kToInt: {
      int32_t value = 0;
      const auto* typed = reinterpret_cast<const CommandArg*>(arg1);
      if (!typed || !NumericValueToInt(*typed, value)) ReportFatal(kNotNumericError, 0);
      return value;
    }
    case request::kExeDir:
      return reinterpret_cast<intptr_t>(exeDir_.c_str());
    case request::kExeName:
      return reinterpret_cast<intptr_t>(exeNameText_.c_str());
    case request::kBlockEvents:
      BlockEvents();
      return 0;
    case request::kUnblockEvents:
      UnblockEvents();
      return 0;
    case request::kDrain:
      DrainQueue();
      return 0;
    case request::kAllocate:
      return reinterpret_cast<intptr_t>(arg2 == 0 ? Allocate(int32_t(arg1)) : TryAllocate(int32_t(arg1)));
    case request::kFree:
      Free(reinterpret_cast<void*>(arg1));
      return 0;
    case request::kReallocate:
      return reinterpret_cast<intptr_t>(Reallocate(reinterpret_cast<void*>(arg1), int32_t(arg2)));
    case request::kEndProgram:
      EndProgram(int32_t(arg1));
    case request::kTypeDescriptor:
    case request::kIsRuntimeWindow:
    case request::kUnitGone:
    case request::kLiveObject:
    case request::kLiveObjectOrFail:
    case request::kRaiseEvent:
    case request::kRaiseTypedEvent:
      return engine_ ? engine_->LibraryRequest(code, arg1, arg2) : 0;
    default:
      // The other codes serve unit types and commands this program lacks.
      return 0;
  }
}

void RuntimeApp::Shutdown(int32_t code) {
  ++eventBlockCount_;
  if (uiThreadId_ && GetCurrentThreadId() != uiThreadId_) {
    if (hiddenOwner_) SendMessageW(hiddenOwner_, kExitRequestMessage, WPARAM(code), 0);
    if (!shuttingDown_) ExitProcess(UINT(code));
    return;
  }
  shuttingDown_ = 1;
  idleCallbacks_.Clear();
  // No live window may outlive its template.
  if (engine_) engine_->DestroyAllWindows();
  windows_.Clear();
  exitRoutines_.RunAll();
  for (size_t i = 0; i < libraries_.size(); ++i) {
    const LibraryDescriptor* library = libraries_[i];
    if (library && library->notify) library->notify(library_notify::kEnd, intptr_t(libraryWords_[i]), 0);
  }
  libraries_.clear();
  libraryWords_.clear();
  SetConstantBlock(nullptr, 0);
  if (defaultLarge_) DestroyIcon(defaultLarge_);
  if (defaultSmall_) DestroyIcon(defaultSmall_);
  defaultLarge_ = defaultSmall_ = nullptr;
  DestroyHiddenOwner();
  if (oleInitialised_) {
    OleUninitialize();
    oleInitialised_ = 0;
  }
}

void RuntimeApp::EndProgram(int32_t code) {
  Shutdown(code);
  ExitProcess(UINT(code));
}

void RuntimeApp::RaiseError(int32_t number) { ReportFatal(ErrorTableMessage(number), number); }

void RuntimeApp::ReportFatal(const char* message, int32_t code) {
  ++eventBlockCount_;
  char text[kFatalTextSize];
  ComposeFatalText(message, code, text);
  // Converted without the heap, which may be what ran out.
  wchar_t wideText[kFatalTextSize], wideCaption[16];
  WideTextInto(text, wideText, kFatalTextSize);
  WideTextInto(kFatalCaption, wideCaption, 16);
  MessageBoxW(nullptr, wideText, wideCaption, MB_ICONERROR);
  exitRoutines_.Clear();
  EndProgram(-1);
}

}  // namespace kavrel
