// Group box units: caption position, the frame and background as painted,
// colour requests, and their duties as containers.
#include <gtest/gtest.h>

#include "unit_test_support.h"
#include "units/button_props.h"
#include "units/group_box_props.h"
#include "units/unit_descriptors.h"

namespace kavrel::unit_test {
namespace {

const UnitTypeDescriptor& Type() { return kGroupBoxUnitType; }

DWORD StyleOf(Window* unit) { return DWORD(GetWindowLongA(unit->hwnd(), GWL_STYLE)); }

class GroupBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallHook(); }
  void TearDown() override { RemoveHook(); }

  Window* Make(const GroupBoxProps& p, int width = 200, int height = 120) {
    return CreateUnit(Type(), p.Save(), parent.hwnd(), 10, 10, width, height, 0x16010013);
  }

  // The row of the frame's top edge: the first shadow pixel down the middle.
  static int FrameTop(const Capture& c) {
    for (int y = 0; y < c.height(); ++y)
      if (c.At(c.width() / 2, y) == GetSysColor(COLOR_BTNSHADOW)) return y;
    return -1;
  }

  TestParent parent;
};

TEST_F(GroupBoxTest, CaptionPositionIsAStyleAndIsClamped) {
  GroupBoxProps p;
  p.captionPosition = 2;
  Window* g = Make(p);
  ASSERT_NE(g, nullptr);
  char name[32] = {};
  GetClassNameA(g->hwnd(), name, sizeof name);
  EXPECT_STREQ(name, "Button");
  EXPECT_EQ(StyleOf(g) & 0x0F, DWORD(BS_GROUPBOX));
  EXPECT_EQ(StyleOf(g) & BS_CENTER, DWORD(BS_RIGHT));
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kCaptionPosition), IntValue(9));
  EXPECT_EQ(GetInt(Type(), g, int32_t(GroupBoxOwn::kCaptionPosition)), 2);
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kCaptionPosition), IntValue(1));
  EXPECT_EQ(StyleOf(g) & BS_CENTER, DWORD(BS_CENTER));
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kCaptionPosition), IntValue(-4));
  EXPECT_EQ(StyleOf(g) & BS_CENTER, DWORD(BS_LEFT));
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kCaption), TextValue(std::string("Net")));
  EXPECT_EQ(WindowText(g->hwnd()), "Net");
  EXPECT_EQ(Type().getInterface(iface::kIsDefaultButton), nullptr);

  std::vector<uint8_t> newer = p.Save();
  newer[0] = 2;
  EXPECT_EQ(CreateUnit(Type(), newer, parent.hwnd(), 0, 0, 10, 10), nullptr);
}

TEST_F(GroupBoxTest, EmptyCaptionDrawsAnUnbrokenFrameOverTheBackground) {
  GroupBoxProps p;
  p.backColour = 0x00FF00;
  Window* g = Make(p);
  ASSERT_NE(g, nullptr);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  int top = 0;
  {
    const Capture c(g->hwnd());
    top = FrameTop(c);
    ASSERT_GE(top, 0);
    EXPECT_LT(top, 12);
    EXPECT_EQ(c.Count({2, top, 198, top + 1}, shadow), 196);  // no gap
    EXPECT_EQ(c.At(0, 60), shadow);                           // left edge
    EXPECT_EQ(c.At(100, 60), RGB(0, 255, 0));                 // erased with the brush
    EXPECT_EQ(c.At(100, 0), RGB(0, 255, 0));                  // above the frame too
  }
  // A caption on the left breaks the top edge there, and only there.
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kCaption), TextValue(std::string("WWWW")));
  {
    const Capture c(g->hwnd());
    EXPECT_LT(c.Count({2, top, 60, top + 1}, shadow), 40);
    EXPECT_EQ(c.Count({120, top, 198, top + 1}, shadow), 78);
  }
}

TEST_F(GroupBoxTest, ColourRequestsAndTheSystemButtonFace) {
  GroupBoxProps p;
  p.captionColour = 0x0000FF;
  Window* g = Make(p);
  ASSERT_NE(g, nullptr);
  HDC dc = GetDC(g->hwnd());
  const LRESULT brush = SendMessageA(parent.hwnd(), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(g->hwnd()));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(g->hwnd(), dc);
  {
    ButtonFaceOverride face(RGB(0x30, 0x60, 0x90));
    EXPECT_EQ(Capture(g->hwnd()).At(100, 60), RGB(0x30, 0x60, 0x90));
  }
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kBackColour), ColourValue(0x112233));
  EXPECT_EQ(Capture(g->hwnd()).At(100, 60), RGB(0x33, 0x22, 0x11));
}

TEST_F(GroupBoxTest, ChildrenAreAnsweredAsTheirOwnType) {
  GroupBoxProps p;
  p.backColour = 0x00FF00;
  Window* g = Make(p);
  ASSERT_NE(g, nullptr);
  Window* button = CreateUnit(kButtonUnitType, {}, g->hwnd(), 20, 30, 60, 24, 0x16010031);
  ASSERT_NE(button, nullptr);
  // The button's colour request is answered as for any button, with the
  // button face, not with the group's green.
  {
    ButtonFaceOverride face(RGB(0x30, 0x60, 0x90));
    HDC dc = GetDC(button->hwnd());
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(g->hwnd(), WM_CTLCOLORBTN, WPARAM(dc), LPARAM(button->hwnd())));
    EXPECT_EQ(GetBkColor(dc), RGB(0x30, 0x60, 0x90));
    ReleaseDC(button->hwnd(), dc);
    EXPECT_EQ(BrushColour(brush), RGB(0x30, 0x60, 0x90));
  }
  // Its click comes back to it through the group box.
  SendMessageA(button->hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(Hooks().Count(0), 1);
  EXPECT_EQ(Hooks().events[0].unit, 0x16010031u);
  // Destroying the group box takes its children along; each reports its end.
  DestroyWindow(g->hwnd());
  Pump();
  EXPECT_EQ(Hooks().gone.size(), 2u);
}

TEST_F(GroupBoxTest, SaveAndConvert) {
  GroupBoxProps p;
  p.caption = "DNS";
  p.captionPosition = 2;
  Window* g = Make(p);
  ASSERT_NE(g, nullptr);
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kCaptionColour), ColourValue(0x123456));
  SetProperty(Type(), g, int32_t(GroupBoxOwn::kFont), BytesValue(FontBytes(-14, 400, "Arial")));
  p.captionColour = 0x123456;
  p.font = FontBytes(-14, 400, "Arial");
  EXPECT_EQ(SaveBlob(Type(), g), p.Save());
  ConverterCalls calls;
  const auto converted = ConvertBlob(Type(), p.Save(), &calls);
  ASSERT_TRUE(converted);
  EXPECT_EQ(calls.texts, 1);
  EXPECT_EQ(calls.faces, 1);
}

}  // namespace
}  // namespace kavrel::unit_test
