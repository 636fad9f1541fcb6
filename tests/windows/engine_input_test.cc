// Input before dispatch: Esc, Tab and Shift+Tab, Enter and default buttons,
// Alt mnemonics, drag anywhere, disabled windows, and mouse pointers.
#include <gtest/gtest.h>

#include <cstring>

#include "app/runtime_app_win32.h"
#include "engine_test_support.h"
#include "window/window_unit_win32.h"

namespace kavrel::engine_test {
namespace {

// Holds Shift (or another key) down in this thread's keyboard state.
class KeyHeld {
 public:
  explicit KeyHeld(int key) : key_(key) {
    GetKeyboardState(saved_);
    BYTE state[256];
    memcpy(state, saved_, sizeof state);
    state[key_] |= 0x80;
    SetKeyboardState(state);
  }
  ~KeyHeld() { SetKeyboardState(saved_); }

 private:
  int key_;
  BYTE saved_[256];
};

class EngineInputTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareEngine(); }
  void TearDown() override {
    Engine().DestroyAllWindows();
    Pump();
  }

  // A window with two button-like boxes a and b (tab stops) and a panel c
  // (no tab stop) between them.
  void Make(WindowProps p, BoxProps aProps = {}, BoxProps bProps = {}) {
    p.startPosition = 0;
    design_ = NewWindow(p, {0, 0, 300, 200});
    design_.units[0].bindings = {Bind(window_event::kQueryClose, 0)};
    a_ = NewUnit(design_, kBoxType, {5, 5, 50, 20}, kUnitVisible | kUnitTabStop, 0, aProps);
    a_.bindings = {Bind(0, 1)};
    c_ = NewUnit(design_, kPanelType, {5, 30, 50, 20}, kUnitVisible);
    b_ = NewUnit(design_, kBoxType, {5, 55, 50, 20}, kUnitVisible | kUnitTabStop, 0, bProps);
    b_.bindings = {Bind(0, 2)};
    design_.units.insert(design_.units.end(), {a_, c_, b_});
    ASSERT_TRUE(Load(Install(design_)));
    hwnd_ = WindowHandle(design_.id);
    ResetHandlers();
  }

  HWND Unit(const UnitDesign& u) { return BoxOf(design_.id, u.id)->hwnd(); }

  void Key(HWND target, UINT vk, UINT msg = WM_KEYDOWN) {
    PostMessageA(target, msg, vk, msg == WM_SYSKEYDOWN ? (1 << 29) | 1 : 1);
    Pump();
  }

  WindowDesign design_;
  UnitDesign a_, b_, c_;
  HWND hwnd_ = nullptr;
};

TEST_F(EngineInputTest, EscClosesOnlyWhenTheWindowSaysSo) {
  WindowProps p;
  p.escCloses = 0;
  Make(p);
  Key(hwnd_, VK_ESCAPE);
  EXPECT_TRUE(IsWindow(hwnd_));
  EXPECT_EQ(CallCount(0), 0);
  DestroyWindow(hwnd_);

  p.escCloses = 1;
  Make(p);
  SetResult(0, {true, 0});  // event 12 refuses the first time
  Key(Unit(a_), VK_ESCAPE);
  EXPECT_TRUE(IsWindow(hwnd_));
  EXPECT_EQ(CallCount(0), 1);
  SetResult(0, {});
  Key(Unit(a_), VK_ESCAPE);
  EXPECT_FALSE(IsWindow(hwnd_));
}

TEST_F(EngineInputTest, TabAndShiftTabVisitTheTabStops) {
  Make(WindowProps{});
  SetFocus(Unit(a_));
  ASSERT_EQ(GetFocus(), Unit(a_));
  Key(Unit(a_), VK_TAB);
  EXPECT_EQ(GetFocus(), Unit(b_));  // c is no tab stop
  Key(Unit(b_), VK_TAB);
  EXPECT_EQ(GetFocus(), Unit(a_));  // round again
  {
    KeyHeld shift(VK_SHIFT);
    Key(Unit(a_), VK_TAB);
    EXPECT_EQ(GetFocus(), Unit(b_));
  }
  EnableWindow(Unit(a_), FALSE);
  Key(Unit(b_), VK_TAB);
  EXPECT_EQ(GetFocus(), Unit(b_));  // the only one left
}

TEST_F(EngineInputTest, EnterPressesTheDefaultButtonOrMovesOn) {
  BoxProps defaultButton;
  defaultButton.number = 1;
  Make(WindowProps{}, {}, defaultButton);
  SetFocus(Unit(c_));
  Key(Unit(c_), VK_RETURN);
  EXPECT_EQ(CallCount(2), 1);  // b answers IsDefaultButton
  EXPECT_EQ(CallCount(1), 0);
  // The focused button-like unit takes Enter itself.
  SetFocus(Unit(a_));
  Key(Unit(a_), VK_RETURN);
  EXPECT_EQ(CallCount(1), 1);
  EXPECT_EQ(CallCount(2), 1);
  // A disabled default button is passed over.
  EnableWindow(Unit(b_), FALSE);
  SetFocus(Unit(c_));
  Key(Unit(c_), VK_RETURN);
  EXPECT_EQ(CallCount(2), 1);
  DestroyWindow(hwnd_);

  WindowProps movesOn;
  movesOn.enterMovesOn = 1;
  Make(movesOn, {}, defaultButton);
  SetFocus(Unit(c_));
  Key(Unit(c_), VK_RETURN);
  EXPECT_EQ(GetFocus(), Unit(a_));
  EXPECT_EQ(CallCount(2), 0);
}

TEST_F(EngineInputTest, AltMnemonics) {
  BoxProps go;
  go.text = "&Go";
  Make(WindowProps{}, {}, go);
  Key(hwnd_, 'G', WM_SYSKEYDOWN);
  EXPECT_EQ(CallCount(2), 1);
  EXPECT_EQ(GetFocus(), Unit(b_));
  // No unit shows "&X": the key goes on to default processing.
  MSG other{hwnd_, WM_SYSKEYDOWN, 'X', (1 << 29) | 1, 0, {}};
  EXPECT_FALSE(Engine().PreTranslateMessage(&other));
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(EngineInputTest, DisabledWindowsGetNoKeys) {
  WindowProps p;
  p.escCloses = 1;
  Make(p);
  EnableWindow(hwnd_, FALSE);
  Key(hwnd_, VK_ESCAPE);
  EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(EngineInputTest, DragAnywhere) {
  WindowProps p;
  p.dragAnywhere = 1;
  p.startPosition = 0;
  design_ = NewWindow(p, {0, 0, 300, 200});
  UnitDesign panel = NewUnit(design_, kPanelType, {100, 10, 50, 50});
  UnitDesign box = NewUnit(design_, kBoxType, {10, 10, 50, 20});
  design_.units.insert(design_.units.end(), {panel, box});
  ASSERT_TRUE(Load(Install(design_)));
  hwnd_ = WindowHandle(design_.id);
  auto press = [&](HWND target) {
    MSG msg{target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2), DWORD(GetMessageTime()), {5, 5}};
    const bool swallowed = Engine().PreTranslateMessage(&msg);
    MSG posted{};
    const bool caption = PeekMessageA(&posted, hwnd_, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) &&
                         posted.wParam == HTCAPTION;
    return std::make_pair(swallowed, caption);
  };
  EXPECT_EQ(press(BoxOf(design_.id, panel.id)->hwnd()), std::make_pair(true, true));  // a passive unit
  EXPECT_EQ(press(hwnd_), std::make_pair(false, true));
  EXPECT_EQ(press(BoxOf(design_.id, box.id)->hwnd()), std::make_pair(false, false));
}

TEST_F(EngineInputTest, PointersOverUnits) {
  design_ = NewWindow(WindowProps{}, {0, 0, 300, 200});
  UnitDesign hand = NewUnit(design_, kBoxType, {10, 10, 50, 20});
  hand.cursor = {0x89, 0x7F, 0, 0};  // 32649, the hand
  UnitDesign plain = NewUnit(design_, kBoxType, {10, 40, 50, 20});
  design_.units.insert(design_.units.end(), {hand, plain});
  ASSERT_TRUE(Load(Install(design_)));
  hwnd_ = WindowHandle(design_.id);
  HWND handUnit = BoxOf(design_.id, hand.id)->hwnd();
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  EXPECT_EQ(SendMessageA(handUnit, WM_SETCURSOR, WPARAM(handUnit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
  // Without a pointer of its own the unit gets the default processing.
  HWND plainUnit = BoxOf(design_.id, plain.id)->hwnd();
  SendMessageA(plainUnit, WM_SETCURSOR, WPARAM(plainUnit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  // The unit's pointer goes with the unit.
  EXPECT_NE(Engine().TemplateOf(design_.id)->units().SlotsAt(1).cursor, 0u);
  DestroyWindow(handUnit);
  EXPECT_EQ(Engine().TemplateOf(design_.id)->units().SlotsAt(1).cursor, 0u);
}

}  // namespace
}  // namespace kavrel::engine_test
