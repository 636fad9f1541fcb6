// Window objects attached to window handles, all of them Unicode windows. A
// Window receives every message of its HWND through subclassing; notifications that a child control sends
// to its parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, ...) are
// handed back to the child's own object first, and get the parent's default
// processing only when the child does not handle them.
#pragma once

#include <windows.h>

namespace kavrel {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Detaches from a window that is still alive; never destroys it.
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // The object attached to `hwnd`, or null.
  static Window* FromHandle(HWND hwnd);

  // Creates a window whose messages reach this object from the very first
  // (WM_NCCREATE) on; `text` is a program text. False when creation fails;
  // the object is then unattached and OnFinalDestroy is not called.
  bool CreateEx(DWORD exStyle, const wchar_t* className, const char* text, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menuOrId);

  // Attaches to an existing window by replacing its window procedure. False
  // if this object or the window is attached already.
  bool Subclass(HWND hwnd);
  // Gives the window its previous procedure back and forgets it.
  HWND Unsubclass();

  // Hands the message being processed to the previous window procedure.
  LRESULT Default();
  LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam);

  // The framework's own pre-translation: offers the message to the objects
  // of its window and that window's ancestors, innermost first.
  static bool PreTranslateChain(MSG* msg);

 protected:
  // Every message of the window. The base reflects child notifications
  // (ReflectNotification) and otherwise calls the previous procedure.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

  // A notification this object's control sent to its parent, handed back by
  // the parent's object. True, with `result` set, when handled here.
  virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // Offered each message for this window or a descendant before dispatch;
  // true consumes it.
  virtual bool PreTranslateMessage(MSG* msg);

  // The window is gone (after WM_NCDESTROY) and this object is detached;
  // called once the outermost message of this object has returned, so an
  // override may delete the object.
  virtual void OnFinalDestroy() {}

  // If `msg` is a child notification, offers it to the sending child's
  // object; true with `result` when that object handled it.
  bool ReflectNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool Attach(HWND hwnd);

  struct CurrentMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };

  HWND hwnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  CurrentMessage current_{};
  int depth_ = 0;            // messages of this object being processed
  bool creating_ = false;    // inside CreateEx: a failed creation is not final
  bool finalPending_ = false;
};

// The window that sent a child notification, or null when `msg` is not one.
HWND NotificationSender(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam);

// No exception may cross a frame of the system's. Where the system calls
// this program (window procedures, the creation hook, RunApplication's
// steps) one guard catches whatever came this far and calls the handler,
// inside the catch; the runtime installs its fatal report there. A handler
// that comes back, or none, ends the process with -1.
using EdgeFailureHandler = void (*)();
void SetEdgeFailureHandler(EdgeFailureHandler handler);
[[noreturn]] void FailAtTheEdge();

}  // namespace kavrel
