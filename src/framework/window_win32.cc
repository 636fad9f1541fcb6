#include "framework/window_win32.h"

#include <mutex>
#include <new>
#include <unordered_map>

#include "framework/program_text_win32.h"

namespace kavrel {

namespace {

// Window objects by their windows. Nearly every message looks its window up,
// so the table stays in the process: a window property would cost a round
// trip to the window server on each lookup. Entries go with Unsubclass, at
// WM_NCDESTROY at the latest. Never destroyed, as windows may go after the
// process's static objects.
class ObjectTable {
 public:
  Window* Find(HWND hwnd) {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = objects_.find(hwnd);
    return found == objects_.end() ? nullptr : found->second;
  }
  // False when the window already has an object, or memory for its entry
  // could not be had: this runs inside the creation hook, where an
  // exception would cross the system's frames.
  bool Add(HWND hwnd, Window* window) noexcept {
    std::lock_guard<std::mutex> hold(lock_);
    try {
      return objects_.emplace(hwnd, window).second;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  void Remove(HWND hwnd) {
    std::lock_guard<std::mutex> hold(lock_);
    objects_.erase(hwnd);
  }

 private:
  std::mutex lock_;
  std::unordered_map<HWND, Window*> objects_;
};

ObjectTable& Objects() {
  // In static storage: making it allocates nothing.
  alignas(ObjectTable) static unsigned char storage[sizeof(ObjectTable)];
  static ObjectTable* table = new (storage) ObjectTable;
  return *table;
}

// CreateEx attaches its object to the first window the thread creates while
// the hook is set; creation is not re-entrant before that point.
thread_local Window* t_creating = nullptr;
thread_local HHOOK t_hook = nullptr;

bool IsControlColour(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

EdgeFailureHandler g_edgeFailure = nullptr;

}  // namespace

void SetEdgeFailureHandler(EdgeFailureHandler handler) { g_edgeFailure = handler; }

void FailAtTheEdge() {
  if (g_edgeFailure) g_edgeFailure();
  ExitProcess(UINT(-1));
}

HWND NotificationSender(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      // Menus and accelerators send no window.
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<const NMHDR*>(lParam);
      return header ? header->hwndFrom : nullptr;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? GetDlgItem(parent, int(item->CtlID)) : nullptr;
    }
    case WM_COMPAREITEM: {
      auto* item = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam);
      return item ? item->hwndItem : nullptr;
    }
    case WM_DELETEITEM: {
      auto* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
      return item ? item->hwndItem : nullptr;
    }
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(lParam);
    case WM_PARENTNOTIFY: {
      WORD event = LOWORD(wParam);
      return event == WM_CREATE || event == WM_DESTROY ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
    default:
      return IsControlColour(msg) ? reinterpret_cast<HWND>(lParam) : nullptr;
  }
}

Window::~Window() {
  if (hwnd_) Unsubclass();
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return Objects().Find(hwnd);
}

bool Window::Attach(HWND hwnd) {
  if (hwnd_ || !hwnd || !IsWindow(hwnd) || !Objects().Add(hwnd, this)) return false;
  hwnd_ = hwnd;
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticProc)));
  return true;
}

bool Window::Subclass(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  return Attach(hwnd);
}

HWND Window::Unsubclass() {
  HWND hwnd = hwnd_;
  if (!hwnd) return nullptr;
  // Only restore what is still ours: a later subclass keeps its place.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &Window::StaticProc)
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  Objects().Remove(hwnd);
  hwnd_ = nullptr;
  return hwnd;
}

LRESULT CALLBACK Window::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  try {
    HHOOK hook = t_hook;
    if (code == HCBT_CREATEWND && t_creating) {
      Window* window = t_creating;
      t_creating = nullptr;
      // A window that cannot be attached is refused: CreateEx fails.
      if (!window->Attach(reinterpret_cast<HWND>(wParam))) return 1;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
  } catch (...) {
    FailAtTheEdge();
  }
}

bool Window::CreateEx(DWORD exStyle, const wchar_t* className, const char* text, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId) {
  if (hwnd_) return false;
  HHOOK outerHook = t_hook;
  Window* outerCreating = t_creating;
  t_hook = SetWindowsHookExW(WH_CBT, &Window::CreationHook, nullptr, GetCurrentThreadId());
  if (!t_hook) {
    t_hook = outerHook;
    return false;
  }
  t_creating = this;
  creating_ = true;
  ++depth_;
  HWND hwnd = CreateWindowExW(exStyle, className, WideText(text ? text : "").c_str(), style, x, y, width, height,
                              parent, menuOrId, GetModuleHandleW(nullptr), nullptr);
  --depth_;
  creating_ = false;
  UnhookWindowsHookEx(t_hook);
  t_hook = outerHook;
  t_creating = outerCreating;
  if (!hwnd) {
    // The window may have come and gone inside CreateWindowEx; that is a
    // failed creation, not the end of a live window.
    if (hwnd_) Unsubclass();
    finalPending_ = false;
    return false;
  }
  if (!hwnd_) Attach(hwnd);  // created without a CBT notification
  return hwnd_ == hwnd;
}

LRESULT Window::Default() { return CallPrevious(current_.msg, current_.wParam, current_.lParam); }

LRESULT Window::CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  if (!hwnd) return 0;
  if (previous_) return CallWindowProcW(previous_, hwnd, msg, wParam, lParam);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool Window::ReflectNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND sender = NotificationSender(hwnd_, msg, wParam, lParam);
  if (!sender || sender == hwnd_) return false;
  Window* child = FromHandle(sender);
  if (!child) return false;
  return child->OnChildNotify(msg, wParam, lParam, result);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectNotification(msg, wParam, lParam, &result)) return result;
  return Default();
}

bool Window::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool Window::PreTranslateMessage(MSG*) { return false; }

bool Window::PreTranslateChain(MSG* msg) {
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
    Window* window = FromHandle(hwnd);
    if (window && window->PreTranslateMessage(msg)) return true;
    // Top-level windows end the chain: an owner is no ancestor.
    if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

LRESULT Window::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CurrentMessage saved = current_;
  current_ = {msg, wParam, lParam};
  ++depth_;
  LRESULT result = WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone; whatever WindowProc did, detach now.
    if (hwnd_ == hwnd) Unsubclass();
    if (!creating_) finalPending_ = true;
  }
  --depth_;
  current_ = saved;
  if (finalPending_ && depth_ == 0) {
    finalPending_ = false;
    OnFinalDestroy();  // may delete this
  }
  return result;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    Window* window = FromHandle(hwnd);
    if (!window || window->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return window->Dispatch(hwnd, msg, wParam, lParam);
  } catch (...) {
    FailAtTheEdge();
  }
}

}  // namespace kavrel
