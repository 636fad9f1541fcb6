// RuntimeApp: the runtime's one application object. It brings the runtime up
// (InitRuntime), runs the message loop for the program, owns the window table
// and tears everything down in a fixed order. It hosts the window engine
// (RuntimeHost), which start-up registers with SetWindowEngine.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "units/library_descriptor.h"
#include "app/runtime_lists.h"
#include "window/runtime_host.h"
#include "window/window_engine.h"
#include "framework/application_win32.h"
#include "framework/window_win32.h"
#include "templates/window_template.h"

namespace kavrel {

// The cross-thread exit request: wParam is the exit code.
inline constexpr UINT kExitRequestMessage = 0x83E7;
inline constexpr uint32_t kRuntimeVersion = 0x00030005;

class RuntimeApp : public Application, public RuntimeHost {
 public:
  // The one object; constructed by the process start-up code.
  static RuntimeApp& Instance();

  // Set by WinMain before the framework starts.
  void SetProgram(const ProgramDescriptor* program, int32_t (*programMain)());
  void SetWindowEngine(WindowEngine* engine) { engine_ = engine; }
  WindowEngine* windowEngine() const { return engine_; }

  // Framework steps.
  bool InitInstance() override;
  int ExitInstance() override;
  bool PreTranslateMessage(MSG* msg) override;
  bool OnIdle(long count) override;

  // Services entries.
  intptr_t Notify(int32_t code, intptr_t arg1, intptr_t arg2);
  void InitRuntime();
  void RegisterCleanup(ExitRoutine routine) { exitRoutines_.Add(routine); }
  void LoadWindow(WindowId id);
  void RunMessageLoop();
  [[noreturn]] void EndProgram(int32_t code);
  [[noreturn]] void RaiseError(int32_t number);
  // The fatal report: the box, then EndProgram(-1).
  [[noreturn]] void ReportFatal(const char* message, int32_t code);

  // The requests units and commands make (LibraryCallback).
  intptr_t LibraryCallback(int32_t code, intptr_t arg1, intptr_t arg2);

  // The shutdown routine; on another thread it hands the exit to the UI thread.
  void Shutdown(int32_t code);

  // Message loop pieces the window engine uses.
  // Pumps messages while one other than WM_QUIT is waiting.
  void DrainQueue();
  // Requests 2009 and 2010: drain, then raise or lower EventBlockCount.
  void BlockEvents();
  void UnblockEvents();
  bool EventsBlocked() const override { return eventBlockCount_ > 0; }
  int32_t eventBlockCount() const { return eventBlockCount_; }
  // Runs the modal loop until EndModal(window) or WM_QUIT.
  void RunModalLoop(WindowId window);
  void EndModal(WindowId window) override;
  bool modalActive() const { return modalActive_ != 0; }
  // A top-level window of the runtime is gone: once none is alive and the
  // loop has been entered, WM_QUIT with 0.
  void WindowDestroyed() override;
  void AddIdleCallback(HWND window, IdleRoutine routine, uint32_t argument) {
    idleCallbacks_.Add(window, routine, argument);
  }

  // State the window engine reads.
  WindowTable& windows() override { return windows_; }
  HWND hiddenOwner() const override { return hiddenOwner_; }
  uint32_t showModeWord() const override { return version_[0]; }
  bool loopEntered() const { return loopEntered_ != 0; }
  bool shuttingDown() const { return shuttingDown_ != 0; }
  DWORD uiThreadId() const { return uiThreadId_; }
  const std::string& exeDir() const { return exeDir_; }
  const std::wstring& exeName() const override { return exeName_; }
  const std::wstring& exeDirSlash() const override { return exeDirSlash_; }
  // Request 1000: loaded from the DEFAULT_ICON group on first use; owned here.
  void DefaultIcons(HICON* large, HICON* small);
  bool AnyWindowAlive();

 private:
  RuntimeApp();
  ~RuntimeApp() override;
  void RunLoop(bool modal);
  void CreateHiddenOwner();
  void DestroyHiddenOwner();

  const ProgramDescriptor* program_ = nullptr;
  int32_t (*programMain_)() = nullptr;
  WindowEngine* engine_ = nullptr;

  HANDLE heap_ = nullptr;
  uint32_t version_[3] = {};
  int32_t oleInitialised_ = 0;
  std::string exeDir_;        // a program text, for request 2003
  std::wstring exeName_;
  std::string exeNameText_;   // request 2004's answer
  std::wstring exeDirSlash_;
  HWND hiddenOwner_ = nullptr;
  std::unique_ptr<Window> hiddenOwnerObject_;
  DWORD uiThreadId_ = 0;
  WindowTable windows_;
  std::vector<const LibraryDescriptor*> libraries_;
  std::vector<uint32_t> libraryWords_;
  ExitRoutineList exitRoutines_;
  IdleCallbackList idleCallbacks_;
  int32_t loopEntered_ = 0;
  int32_t modalActive_ = 0;
  WindowId modalWindow_ = 0;
  std::atomic<int32_t> eventBlockCount_{0};  // raised by a shutdown on any thread
  int32_t shuttingDown_ = 0;
  HICON defaultLarge_ = nullptr;
  HICON defaultSmall_ = nullptr;
  bool defaultIconsLoaded_ = false;

  // The application's idle routine.
  DWORD idleStart_ = 0;
  bool frameworkIdlePending_ = false;
  std::vector<WindowId> idleSkip_;
};

}  // namespace kavrel
