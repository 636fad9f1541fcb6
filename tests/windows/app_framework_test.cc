#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/application_win32.h"
#include "framework/window_win32.h"

namespace kavrel {
namespace {

// Registered as an ANSI class: the framework's windows are Unicode windows
// all the same.
constexpr char kAnsiClass[] = "KavrelFrameworkTest";
constexpr wchar_t kClass[] = L"KavrelFrameworkTest";
constexpr UINT kDestroySelf = WM_APP + 1;

void RegisterTestClass() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kAnsiClass;
  RegisterClassA(&wc);
}

int g_depthAtFinal = -1;

class Recording : public Window {
 public:
  std::vector<UINT> seen;
  int finalCalls = 0;
  int depth = 0;
  bool refuseCreation = false;
  HWND created = nullptr;  // the window WM_NCCREATE came for
  bool* deleted = nullptr;
  UINT consume = 0;  // pre-translated messages this object takes

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(msg);
    if (msg == WM_NCCREATE) created = hwnd();
    if (msg == WM_NCCREATE && refuseCreation) return FALSE;
    ++depth;
    LRESULT result = msg == kDestroySelf ? (DestroyWindow(hwnd()), 1) : Window::WindowProc(msg, wParam, lParam);
    --depth;
    return result;
  }
  bool PreTranslateMessage(MSG* msg) override { return consume && msg->message == consume; }
  void OnFinalDestroy() override {
    ++finalCalls;
    if (deleted) {
      *deleted = true;
      g_depthAtFinal = depth;
      delete this;
    }
  }
};

bool Saw(const Recording& w, UINT msg) {
  for (UINT m : w.seen)
    if (m == msg) return true;
  return false;
}

TEST(FrameworkWindow, CreatedObjectSeesEveryMessageAndEndsOnce) {
  RegisterTestClass();
  bool deleted = false;
  auto* w = new Recording;
  w->deleted = &deleted;
  ASSERT_TRUE(w->CreateEx(0, kClass, "t", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));
  HWND hwnd = w->hwnd();
  EXPECT_EQ(Window::FromHandle(hwnd), w);
  EXPECT_TRUE(IsWindowUnicode(hwnd));
  EXPECT_TRUE(Saw(*w, WM_NCCREATE));
  EXPECT_TRUE(Saw(*w, WM_CREATE));
  // Destroyed from inside its own message: the object goes only once that
  // message has returned, and may delete itself then.
  EXPECT_EQ(SendMessageA(hwnd, kDestroySelf, 0, 0), 1);
  EXPECT_TRUE(deleted);
  EXPECT_EQ(g_depthAtFinal, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
}

TEST(FrameworkWindow, RefusedCreationIsNoFinalDestroy) {
  RegisterTestClass();
  Recording w;
  w.refuseCreation = true;
  EXPECT_FALSE(w.CreateEx(0, kClass, "t", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));
  EXPECT_EQ(w.hwnd(), nullptr);
  EXPECT_EQ(w.finalCalls, 0);
  ASSERT_NE(w.created, nullptr);
  EXPECT_EQ(Window::FromHandle(w.created), nullptr);
}

TEST(FrameworkWindow, SubclassAndUnsubclass) {
  RegisterTestClass();
  HWND hwnd = CreateWindowExA(0, kAnsiClass, "t", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  Recording w;
  ASSERT_TRUE(w.Subclass(hwnd));
  EXPECT_TRUE(IsWindowUnicode(hwnd));
  Recording second;
  EXPECT_FALSE(second.Subclass(hwnd));  // one object per window
  SendMessageA(hwnd, WM_USER + 7, 0, 0);
  EXPECT_TRUE(Saw(w, WM_USER + 7));
  EXPECT_EQ(w.Unsubclass(), hwnd);
  EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
  EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&DefWindowProcA));
  DestroyWindow(hwnd);
  EXPECT_EQ(w.finalCalls, 0);
}

class Button : public Window {
 public:
  int clicks = 0;
  HBRUSH brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));

 protected:
  bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) override {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      ++clicks;
      *result = 0;
      return true;
    }
    if (msg == WM_CTLCOLORSTATIC) {
      *result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    return false;
  }
};

TEST(FrameworkWindow, NotificationsGoBackToTheSendingChild) {
  RegisterTestClass();
  Recording parent;
  ASSERT_TRUE(parent.CreateEx(0, kClass, "p", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  Button button;
  ASSERT_TRUE(button.CreateEx(0, L"BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 80, 24,
                              parent.hwnd(), reinterpret_cast<HMENU>(100)));
  SendMessageA(parent.hwnd(), WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(button.hwnd()));
  EXPECT_EQ(button.clicks, 1);

  HDC dc = GetDC(parent.hwnd());
  LPARAM from = reinterpret_cast<LPARAM>(button.hwnd());
  EXPECT_EQ(SendMessageA(parent.hwnd(), WM_CTLCOLORSTATIC, WPARAM(dc), from), reinterpret_cast<LRESULT>(button.brush));
  // Not handled by the child: the parent's default processing answers.
  EXPECT_EQ(SendMessageA(parent.hwnd(), WM_CTLCOLORBTN, WPARAM(dc), from),
            DefWindowProcA(parent.hwnd(), WM_CTLCOLORBTN, WPARAM(dc), from));
  ReleaseDC(parent.hwnd(), dc);
  // A menu command carries no window and reaches no child.
  SendMessageA(parent.hwnd(), WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), 0);
  EXPECT_EQ(button.clicks, 1);
  DestroyWindow(parent.hwnd());
}

TEST(FrameworkWindow, PreTranslationRunsInnermostFirstWithinTheTopLevelWindow) {
  RegisterTestClass();
  Recording owner;
  ASSERT_TRUE(owner.CreateEx(0, kClass, "o", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  Recording top;
  ASSERT_TRUE(top.CreateEx(0, kClass, "t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, owner.hwnd(), nullptr));
  Recording child;
  ASSERT_TRUE(child.CreateEx(0, kClass, "c", WS_CHILD, 0, 0, 10, 10, top.hwnd(), nullptr));
  MSG msg{child.hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_FALSE(Window::PreTranslateChain(&msg));
  top.consume = WM_KEYDOWN;
  EXPECT_TRUE(Window::PreTranslateChain(&msg));
  // The owner is no ancestor.
  top.consume = 0;
  owner.consume = WM_KEYDOWN;
  EXPECT_FALSE(Window::PreTranslateChain(&msg));
  DestroyWindow(owner.hwnd());
}

class PumpApp : public Application {
 public:
  UINT consume = 0;
  bool PreTranslateMessage(MSG* msg) override { return msg->message == consume || Application::PreTranslateMessage(msg); }
};

TEST(FrameworkApplication, PumpKeepsTheQuitCodeAndIdleRule) {
  {
    PumpApp app;
    RegisterTestClass();
    Recording w;
    ASSERT_TRUE(w.CreateEx(0, kClass, "t", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));
    app.consume = WM_APP + 3;
    PostMessageA(w.hwnd(), WM_APP + 3, 0, 0);
    PostMessageA(w.hwnd(), WM_APP + 4, 0, 0);
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_TRUE(app.PumpMessage());
    EXPECT_FALSE(Saw(w, WM_APP + 3));
    EXPECT_TRUE(Saw(w, WM_APP + 4));
    PostQuitMessage(9);
    EXPECT_FALSE(app.PumpMessage());
    EXPECT_EQ(app.quitCode(), 9);
    EXPECT_EQ(app.ExitInstance(), 9);

    MSG move{w.hwnd(), WM_MOUSEMOVE, 0, 0, 0, {5, 5}};
    EXPECT_TRUE(app.IsIdleMessage(move));
    EXPECT_FALSE(app.IsIdleMessage(move));
    move.pt.x = 6;
    EXPECT_TRUE(app.IsIdleMessage(move));
    MSG paint{w.hwnd(), WM_PAINT, 0, 0, 0, {}};
    EXPECT_FALSE(app.IsIdleMessage(paint));
    DestroyWindow(w.hwnd());
  }
  EXPECT_EQ(Application::Current(), nullptr);
}

}  // namespace
}  // namespace kavrel
