#include "framework/application_win32.h"

#include "framework/window_win32.h"

namespace kavrel {

namespace {

Application* g_current = nullptr;

// The caret's blink timer.
constexpr UINT kSystemTimer = 0x0118;

}  // namespace

Application::Application() { g_current = this; }

Application::~Application() {
  if (g_current == this) g_current = nullptr;
}

Application* Application::Current() { return g_current; }

bool Application::PreTranslateMessage(MSG* msg) { return Window::PreTranslateChain(msg); }

bool Application::OnIdle(long) {
  // The framework keeps no idle work of its own.
  return false;
}

bool Application::PumpMessage() {
  MSG msg;
  BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0) {
    quitCode_ = int(msg.wParam);
    return false;
  }
  if (got == -1) return true;  // an invalid filter; nothing to dispatch
  lastMessage_ = msg;
  if (!PreTranslateMessage(&msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

bool Application::IsIdleMessage(const MSG& msg) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    bool same = msg.message == lastMouseMessage_ && msg.pt.x == lastMousePoint_.x && msg.pt.y == lastMousePoint_.y;
    lastMouseMessage_ = msg.message;
    lastMousePoint_ = msg.pt;
    return !same;
  }
  return msg.message != WM_PAINT && msg.message != kSystemTimer;
}

int Application::Run() {
  bool idle = true;
  long idleCount = 0;
  MSG peek;
  for (;;) {
    while (idle && !PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(lastMessage_)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

int RunApplication(Application& app, HINSTANCE instance, int showCommand) {
  app.instance_ = instance ? instance : GetModuleHandleW(nullptr);
  app.showCommand_ = showCommand;
  try {
    if (!app.InitInstance()) return app.ExitInstance();
    return app.Run();
  } catch (...) {
    FailAtTheEdge();
  }
}

}  // namespace kavrel
