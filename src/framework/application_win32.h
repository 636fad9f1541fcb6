// The application object: an initialisation step, a message pump with a
// pre-translation step and an idle step, and an exit step. RunApplication is
// the framework's WinMain: when the initialisation step returns false it
// goes straight to the exit step, whose result is the process exit code.
#pragma once

#include <windows.h>

namespace kavrel {

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The one application object of the process, once constructed.
  static Application* Current();

  HINSTANCE instance() const { return instance_; }
  int showCommand() const { return showCommand_; }

  // True when the framework should run its own loop; false goes straight
  // to ExitInstance.
  virtual bool InitInstance() { return false; }
  // Its result is the exit code: by default the parameter of the last WM_QUIT.
  virtual int ExitInstance() { return quitCode_; }

  // Offered every message before translation and dispatch; true consumes
  // it. The default is the framework's own step (Window::PreTranslateChain).
  virtual bool PreTranslateMessage(MSG* msg);

  // Called while the queue is empty, with the number of calls since the
  // last non-idle message; true asks for another call.
  virtual bool OnIdle(long count);

  // Gets, pre-translates, translates and dispatches one message; false once
  // WM_QUIT came (its parameter is kept as the quit code).
  bool PumpMessage();
  // Whether `msg` ends an idle period: repeated mouse moves to the same
  // point, paints and the caret timer do not.
  bool IsIdleMessage(const MSG& msg);

  // The framework's own loop, used when InitInstance returns true.
  int Run();

  int quitCode() const { return quitCode_; }
  const MSG& lastMessage() const { return lastMessage_; }

 private:
  friend int RunApplication(Application& app, HINSTANCE instance, int showCommand);

  HINSTANCE instance_ = nullptr;
  int showCommand_ = SW_SHOWDEFAULT;
  int quitCode_ = 0;
  MSG lastMessage_{};
  POINT lastMousePoint_{-1, -1};
  UINT lastMouseMessage_ = 0;
};

// The framework's WinMain.
int RunApplication(Application& app, HINSTANCE instance, int showCommand);

}  // namespace kavrel
