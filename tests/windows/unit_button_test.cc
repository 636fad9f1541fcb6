// Button units: styles from the properties, fonts, pictures, multi-line
// captions, and the click and focus events, also from inside containers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "unit_test_support.h"
#include "units/button_props.h"
#include "units/group_box_props.h"
#include "units/shape_box_props.h"
#include "units/unit_descriptors.h"

namespace kavrel::unit_test {
namespace {

const UnitTypeDescriptor& Type() { return kButtonUnitType; }

DWORD StyleOf(Window* unit) { return DWORD(GetWindowLongA(unit->hwnd(), GWL_STYLE)); }

bool IsDefault(Window* unit) {
  auto routine = reinterpret_cast<IsDefaultButtonFn>(Type().getInterface(iface::kIsDefaultButton));
  return routine(unit) != FALSE;
}

LOGFONTA FontOf(Window* unit) {
  LOGFONTA font{};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(unit->hwnd(), WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof font, &font);
  return font;
}

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallHook(); }
  void TearDown() override { RemoveHook(); }

  Window* Make(const ButtonProps& p, HWND on = nullptr, int width = 80, int height = 30,
               uint32_t style = WS_VISIBLE | WS_TABSTOP) {
    return CreateUnit(Type(), p.Save(), on ? on : parent.hwnd(), 10, 10, width, height, 0x1601002E, style);
  }

  TestParent parent;
};

TEST_F(ButtonTest, StylesComeFromTheAlignmentsAndTheDefaultFlag) {
  Window* plain = CreateUnit(Type(), {}, parent.hwnd(), 10, 10, 80, 30, 0x1601002E, WS_VISIBLE | BS_RIGHT);
  ASSERT_NE(plain, nullptr);
  char name[32] = {};
  GetClassNameA(plain->hwnd(), name, sizeof name);
  EXPECT_STREQ(name, "Button");
  EXPECT_EQ(WindowText(plain->hwnd()), "\xb0\xb4\xc5\xa5");  // 按钮
  // The caller's alignment bits give way to the properties'.
  EXPECT_EQ(StyleOf(plain) & 0x2F0F, DWORD(BS_MULTILINE | BS_CENTER | BS_VCENTER));
  EXPECT_FALSE(IsDefault(plain));
  EXPECT_EQ(SendMessageA(plain->hwnd(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));

  ButtonProps p;
  p.defaultButton = 1;
  p.horizontalAlign = 0;
  p.verticalAlign = 2;
  Window* b = Make(p);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(StyleOf(b) & 0x0F0F, DWORD(BS_DEFPUSHBUTTON | BS_LEFT | BS_BOTTOM));
  EXPECT_TRUE(IsDefault(b));

  EXPECT_FALSE(SetProperty(Type(), b, int32_t(ButtonOwn::kDefaultButton), IntValue(-3)));
  EXPECT_EQ(GetInt(Type(), b, int32_t(ButtonOwn::kDefaultButton)), 0);
  EXPECT_FALSE(IsDefault(b));
  SetProperty(Type(), b, int32_t(ButtonOwn::kDefaultButton), IntValue(5));
  EXPECT_EQ(GetInt(Type(), b, int32_t(ButtonOwn::kDefaultButton)), 1);
  EXPECT_TRUE(IsDefault(b));
  SetProperty(Type(), b, int32_t(ButtonOwn::kHorizontalAlign), IntValue(7));
  SetProperty(Type(), b, int32_t(ButtonOwn::kVerticalAlign), IntValue(-1));
  EXPECT_EQ(GetInt(Type(), b, int32_t(ButtonOwn::kHorizontalAlign)), 2);
  EXPECT_EQ(GetInt(Type(), b, int32_t(ButtonOwn::kVerticalAlign)), 0);
  EXPECT_EQ(StyleOf(b) & 0x0F0F, DWORD(BS_DEFPUSHBUTTON | BS_RIGHT | BS_TOP));
  SetProperty(Type(), b, int32_t(ButtonOwn::kCaption), TextValue(std::string("OK")));
  EXPECT_EQ(WindowText(b->hwnd()), "OK");

  std::vector<uint8_t> newer = p.Save();
  newer[0] = 2;
  EXPECT_EQ(CreateUnit(Type(), newer, parent.hwnd(), 0, 0, 10, 10), nullptr);
}

TEST_F(ButtonTest, FontRuleOverridesTheStoredCharacterSetAndQuality) {
  ButtonProps p;
  p.font = FontBytes(-20, 700, "Tahoma");
  Window* b = Make(p);
  ASSERT_NE(b, nullptr);
  const LOGFONTA font = FontOf(b);
  EXPECT_EQ(font.lfHeight, -20);
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_STREQ(font.lfFaceName, "Tahoma");
  EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font.lfOutPrecision, OUT_DEFAULT_PRECIS);
  EXPECT_EQ(font.lfClipPrecision, CLIP_DEFAULT_PRECIS);
  EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
  EXPECT_EQ(font.lfPitchAndFamily, 0);

  // Any other length gives the stock font.
  std::vector<uint8_t> short_ = p.font;
  short_.pop_back();
  SetProperty(Type(), b, int32_t(ButtonOwn::kFont), BytesValue(short_));
  EXPECT_EQ(SendMessageA(b->hwnd(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(GetProperty(Type(), b, int32_t(ButtonOwn::kFont)).word1, 59u);
  SetProperty(Type(), b, int32_t(ButtonOwn::kFont), BytesValue(FontBytes(-9, 400, "Arial")));
  EXPECT_EQ(FontOf(b).lfHeight, -9);
}

TEST_F(ButtonTest, PicturesShowAsBitmapOrIconAndDamagedOnesLeaveTheCaption) {
  ButtonProps p;
  p.picture = BmpFile(16, 16, RGB(0, 0, 255));
  Window* bitmap = Make(p);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(StyleOf(bitmap) & BS_BITMAP);
  EXPECT_NE(SendMessageA(bitmap->hwnd(), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_GT(Capture(bitmap->hwnd()).Count({0, 0, 80, 30}, RGB(0, 0, 255)), 100);

  p.picture = IconFile(RGB(0, 255, 0));
  Window* icon = Make(p);
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(StyleOf(icon) & BS_ICON);
  EXPECT_FALSE(StyleOf(icon) & BS_BITMAP);
  EXPECT_NE(SendMessageA(icon->hwnd(), BM_GETIMAGE, IMAGE_ICON, 0), 0);

  p.picture.resize(40);  // damaged
  Window* damaged = Make(p);
  ASSERT_NE(damaged, nullptr);
  EXPECT_FALSE(StyleOf(damaged) & (BS_BITMAP | BS_ICON));
  EXPECT_EQ(WindowText(damaged->hwnd()), "\xb0\xb4\xc5\xa5");

  // A new picture asks for re-creation and changes nothing shown.
  EXPECT_TRUE(SetProperty(Type(), bitmap, int32_t(ButtonOwn::kPicture), BytesValue(BmpFile(2, 2, 0))));
  EXPECT_TRUE(StyleOf(bitmap) & BS_BITMAP);
  EXPECT_EQ(GetProperty(Type(), bitmap, int32_t(ButtonOwn::kPicture)).word1, BmpFile(2, 2, 0).size());
}

TEST_F(ButtonTest, MultiLineCaptionShowsOneLinePerSegment) {
  ButtonProps p;
  p.caption = "A\r\n\r\nB\r\n\r\nC\r\n\r\nD";
  Window* b = Make(p, nullptr, 32, 112);
  ASSERT_NE(b, nullptr);
  const Capture c(b->hwnd());
  // Rows that hold text, in bands down the button parted by the empty lines.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto ink = [face](COLORREF x) {
    return std::abs(int(GetRValue(x)) - int(GetRValue(face))) + std::abs(int(GetGValue(x)) - int(GetGValue(face))) +
               std::abs(int(GetBValue(x)) - int(GetBValue(face))) > 96;
  };
  int bands = 0;
  int top = -1;
  int bottom = -1;
  for (int y = 4; y < 108; ++y) {
    if (c.CountIf({4, y, 28, y + 1}, ink) == 0) continue;
    if (bottom < 0 || y - bottom > 4) ++bands;
    if (top < 0) top = y;
    bottom = y;
  }
  EXPECT_EQ(bands, 4);
  // Centred vertically: as much space above as below, give or take a line.
  EXPECT_NEAR(top - 0, 112 - 1 - bottom, 8);
}

TEST_F(ButtonTest, ClicksRaiseEventZeroAlsoInsideContainers) {
  Window* b = Make(ButtonProps{});
  ASSERT_NE(b, nullptr);
  SendMessageA(b->hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(Hooks().Count(0), 1);
  const SimpleEventRecord& click = Hooks().events.back();
  EXPECT_EQ(click.event, 0);
  EXPECT_EQ(click.unit, 0x1601002Eu);
  EXPECT_EQ(click.argCount, 0);

  // A disabled button raises nothing.
  EnableWindow(b->hwnd(), FALSE);
  SendMessageA(b->hwnd(), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(Hooks().Count(0), 1);

  // Inside a group box inside a shape box, as the main window nests them.
  Window* shape = CreateUnit(kShapeBoxUnitType, {}, parent.hwnd(), 0, 50, 300, 200, 0x1601000F);
  Window* group = CreateUnit(kGroupBoxUnitType, {}, shape->hwnd(), 0, 40, 280, 150, 0x16010013);
  ASSERT_NE(group, nullptr);
  Window* inner = Make(ButtonProps{}, group->hwnd());
  ASSERT_NE(inner, nullptr);
  Hooks().Clear();
  SendMessageA(inner->hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(Hooks().Count(0), 1);
  EXPECT_EQ(Hooks().events.back().unit, 0x1601002Eu);
}

TEST_F(ButtonTest, FocusEventsAndSpaceWhileFocused) {
  Window* first = Make(ButtonProps{});
  Window* second = CreateUnit(Type(), {}, parent.hwnd(), 100, 10, 80, 30, 0x16010031);
  ASSERT_NE(second, nullptr);
  SetForegroundWindow(parent.hwnd());
  SetFocus(first->hwnd());
  Pump();
  Hooks().Clear();
  SetFocus(second->hwnd());
  Pump();
  ASSERT_EQ(Hooks().events.size(), 2u);
  EXPECT_EQ(Hooks().events[0].event, -8);
  EXPECT_EQ(Hooks().events[0].unit, 0x1601002Eu);
  EXPECT_EQ(Hooks().events[1].event, -7);
  EXPECT_EQ(Hooks().events[1].unit, 0x16010031u);

  Hooks().Clear();
  SendMessageA(second->hwnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageA(second->hwnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  Pump();
  EXPECT_EQ(Hooks().Count(0), 1);
}

TEST_F(ButtonTest, SaveConvertAndDestroy) {
  ButtonProps p;
  p.caption = "\xbe\xb2\xcc\xac(S)";  // 静态(S)
  p.font = FontBytes(-12, 400, "Arial");
  Window* b = Make(p);
  ASSERT_NE(b, nullptr);
  SetProperty(Type(), b, int32_t(ButtonOwn::kHorizontalAlign), IntValue(2));
  p.horizontalAlign = 2;
  SIZE_T size = 0;
  EXPECT_EQ(SaveBlob(Type(), b, &size), p.Save());
  EXPECT_EQ(size, p.Save().size());

  ConverterCalls calls;
  const auto converted = ConvertBlob(Type(), p.Save(), &calls);
  ASSERT_TRUE(converted);
  EXPECT_EQ(calls.texts, 1);
  EXPECT_EQ(calls.faces, 1);
  ButtonProps back;
  ASSERT_TRUE(back.Load(*converted));
  EXPECT_EQ(back.caption, p.caption + "!");

  DestroyWindow(b->hwnd());
  Pump();
  ASSERT_EQ(Hooks().gone.size(), 1u);
  EXPECT_EQ(Hooks().gone[0].second, 0x1601002Eu);
}

}  // namespace
}  // namespace kavrel::unit_test
