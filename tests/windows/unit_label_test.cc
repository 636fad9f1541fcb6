// Label units on a plain parent: blobs, border styles, backgrounds (colour,
// picture, gradient), the gradient frame, caption relief and alignment, and
// event 0 from message 0x8075.
#include <gtest/gtest.h>

#include <cstring>

#include "../host/picture_samples.h"
#include "dib_pixels.h"
#include "unit_test_support.h"
#include "units/label_props.h"
#include "units/label_win32.h"
#include "units/unit_descriptors.h"

namespace kavrel::unit_test {
namespace {

const UnitTypeDescriptor& Type() { return kLabelUnitType; }

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kRed = RGB(255, 0, 0);

class LabelTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallHook(); }
  void TearDown() override { RemoveHook(); }

  Window* Make(const LabelProps& p, int width = 120, int height = 60) {
    return CreateUnit(Type(), p.Save(), parent.hwnd(), 20, 20, width, height, 0x16010051);
  }
  static LabelProps Plain(uint32_t back = 0x808080) {
    LabelProps p;
    p.caption.clear();
    p.backColour = back;
    return p;
  }

  TestParent parent;
};

TEST_F(LabelTest, DefaultsAndBlobVersions) {
  Window* label = CreateUnit(Type(), {}, parent.hwnd(), 20, 20, 80, 30);
  ASSERT_NE(label, nullptr);
  char name[32] = {};
  GetClassNameA(label->hwnd(), name, sizeof name);
  EXPECT_STREQ(name, "_EL_Label");
  EXPECT_EQ(WindowText(label->hwnd()), "\xb1\xea\xc7\xa9");  // 标签
  EXPECT_EQ(GetInt(Type(), label, int32_t(LabelOwn::kFrameWidth)), 8);
  EXPECT_EQ(GetInt(Type(), label, int32_t(LabelOwn::kVerticalAlign)), 1);
  EXPECT_EQ(GetProperty(Type(), label, int32_t(LabelOwn::kFont)).word0, 0u);
  bool ok = true;
  GetProperty(Type(), label, 21, &ok);
  EXPECT_FALSE(ok);

  // One version too high: refused, nothing created.
  LabelProps p;
  p.caption = "x";
  std::vector<uint8_t> blob = p.Save();
  blob[0] = 3;
  const int children = parent.ChildCount();
  EXPECT_EQ(CreateUnit(Type(), blob, parent.hwnd(), 0, 0, 10, 10), nullptr);
  EXPECT_EQ(parent.ChildCount(), children);
  // Cut short: refused too.
  blob[0] = 2;
  blob.resize(blob.size() - 3);
  EXPECT_EQ(CreateUnit(Type(), blob, parent.hwnd(), 0, 0, 10, 10), nullptr);

  // Version 1 has no data-binding names: the two empty texts are dropped.
  p.dataSource.clear();
  p.dataColumn.clear();
  blob = p.Save();
  blob[0] = 1;
  blob.resize(blob.size() - 8);
  Window* old = CreateUnit(Type(), blob, parent.hwnd(), 0, 40, 80, 30);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(GetText(Type(), old, int32_t(LabelOwn::kCaption)), "x");
  EXPECT_EQ(GetText(Type(), old, int32_t(LabelOwn::kDataSource)), "");
  EXPECT_TRUE(Hooks().gone.empty());
}

TEST_F(LabelTest, BorderStylesReplaceEachOther) {
  LabelProps p = Plain();
  p.border = 4;
  Window* label = Make(p);
  ASSERT_NE(label, nullptr);
  auto ex = [&] { return DWORD(GetWindowLongA(label->hwnd(), GWL_EXSTYLE)); };
  auto style = [&] { return DWORD(GetWindowLongA(label->hwnd(), GWL_STYLE)); };
  EXPECT_EQ(ex() & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME), DWORD(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
  SetProperty(Type(), label, int32_t(LabelOwn::kBorder), IntValue(5));
  EXPECT_EQ(ex() & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE), 0u);
  EXPECT_TRUE(style() & WS_BORDER);
  SetProperty(Type(), label, int32_t(LabelOwn::kBorder), IntValue(3));
  EXPECT_FALSE(style() & WS_BORDER);
  EXPECT_TRUE(ex() & WS_EX_STATICEDGE);
  // The frame moved the client area in.
  RECT client;
  GetClientRect(label->hwnd(), &client);
  EXPECT_LT(client.right, 120);
  SetProperty(Type(), label, int32_t(LabelOwn::kBorder), IntValue(9));
  EXPECT_EQ(GetInt(Type(), label, int32_t(LabelOwn::kBorder)), 6);
  EXPECT_EQ(ex() & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE), 0u);
}

TEST_F(LabelTest, SettersClampStoreAndNeverAskForRecreation) {
  Window* label = Make(Plain());
  ASSERT_NE(label, nullptr);
  struct Case {
    LabelOwn own;
    int32_t written;
    int32_t stored;
  };
  const Case cases[] = {{LabelOwn::kEffect, 9, 3},          {LabelOwn::kBorder, -1, 0},
                        {LabelOwn::kFrameWidth, 2, 5},      {LabelOwn::kFrameWidth, 12, 12},
                        {LabelOwn::kPictureLayout, 5, 2},   {LabelOwn::kGradient, 11, 8},
                        {LabelOwn::kHorizontalAlign, 3, 2}, {LabelOwn::kVerticalAlign, -2, 0},
                        {LabelOwn::kWrap, 7, 0},            {LabelOwn::kWrap, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.own));
    EXPECT_FALSE(SetProperty(Type(), label, int32_t(c.own), IntValue(c.written)));
    EXPECT_EQ(GetInt(Type(), label, int32_t(c.own)), c.stored);
  }
  const std::string caption = "\xce\xd2\xd4\xb8\xd2\xe2";  // 我愿意
  SetProperty(Type(), label, int32_t(LabelOwn::kCaption), TextValue(caption));
  EXPECT_EQ(WindowText(label->hwnd()), caption);
  EXPECT_EQ(GetText(Type(), label, int32_t(LabelOwn::kCaption)), caption);
  SetProperty(Type(), label, int32_t(LabelOwn::kDataColumn), TextValue(std::string("col")));
  EXPECT_EQ(GetText(Type(), label, int32_t(LabelOwn::kDataColumn)), "col");
}

TEST_F(LabelTest, BackgroundGradientsFollowTheArithmetic) {
  LabelProps p = Plain();
  p.gradient = 1;
  p.gradientColour1 = 0x0000FF;
  p.gradientColour2 = kDefaultColour;
  p.gradientColour3 = 0xFF0000;
  Window* label = Make(p, 70, 130);  // three rows and two columns of tiles
  ASSERT_NE(label, nullptr);
  const GradientStops stops = ChooseGradientColours(0x0000FF, kDefaultColour, 0xFF0000);
  {
    const Capture c(label->hwnd());
    for (int y : {0, 1, 49, 50, 64, 99, 100, 129}) {
      SCOPED_TRACE(y);
      EXPECT_EQ(c.At(5, y), GradientColourAt(stops, y, 130));
      EXPECT_EQ(c.At(65, y), c.At(5, y));
    }
  }
  // From the bottom-right corner over three colours.
  SetProperty(Type(), label, int32_t(LabelOwn::kGradient), IntValue(7));
  SetProperty(Type(), label, int32_t(LabelOwn::kGradientColour2), ColourValue(0x00FF00));
  const GradientStops three = ChooseGradientColours(0x0000FF, 0x00FF00, 0xFF0000);
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.At(69, 129), 0x0000FFu);
    for (auto [x, y] : {std::pair{60, 120}, {30, 100}, {0, 0}, {10, 90}}) {
      SCOPED_TRACE(x * 1000 + y);
      EXPECT_EQ(c.At(x, y), GradientColourAt(three, (69 - x) + (129 - y), 140));
    }
  }
  // One usable colour: the plain background.
  SetProperty(Type(), label, int32_t(LabelOwn::kGradientColour1), ColourValue(kDefaultColour));
  SetProperty(Type(), label, int32_t(LabelOwn::kGradientColour3), ColourValue(kDefaultColour));
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.Count({0, 0, 70, 130}, kGrey), 70 * 130);
  }
}

TEST_F(LabelTest, GradientFrameIsMitredAndShrinksTheClientArea) {
  LabelProps p = Plain(0xFFFFFF);
  p.border = 6;
  p.frameColour1 = 0x0000FF;
  p.frameColour2 = kDefaultColour;
  p.frameColour3 = 0xFF0000;
  Window* label = Make(p, 100, 60);
  ASSERT_NE(label, nullptr);
  const GradientStops stops = ChooseGradientColours(0x0000FF, 0xFF0000, kDefaultColour);
  auto band = [&](int position) { return COLORREF(GradientColourAt(stops, position, 8)); };
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.At(50, 0), band(0));   // top band: first colour outside
    EXPECT_EQ(c.At(50, 7), band(7));
    EXPECT_EQ(c.At(50, 52), band(0));  // bottom band: first colour inside
    EXPECT_EQ(c.At(50, 59), band(7));
    EXPECT_EQ(c.At(0, 30), band(0));   // left band: first colour outside
    EXPECT_EQ(c.At(99, 30), band(7));  // right band: first colour inside
    EXPECT_EQ(c.At(93, 30), band(1));
    // Bottom-left corner: below the diagonal the left band, above it the bottom band.
    EXPECT_EQ(c.At(1, 57), band(1));
    EXPECT_EQ(c.At(5, 58), band(6));
    EXPECT_EQ(c.At(50, 30), kWhite);
    EXPECT_EQ(c.At(8, 8), kWhite);
  }
  // Only colour 2 left: no frame at all.
  SetProperty(Type(), label, int32_t(LabelOwn::kFrameColour2), ColourValue(0x00FF00));
  SetProperty(Type(), label, int32_t(LabelOwn::kFrameColour1), ColourValue(kDefaultColour));
  SetProperty(Type(), label, int32_t(LabelOwn::kFrameColour3), ColourValue(kDefaultColour));
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.Count({0, 0, 100, 60}, kWhite), 100 * 60);
  }
}

TEST_F(LabelTest, CaptionReliefAlignmentAndWrapping) {
  LabelProps p = Plain();
  p.caption = "WWW";
  p.captionColour = 0x0000FF;
  p.font = FontBytes(-30, 700, "Tahoma");
  Window* label = Make(p, 240, 80);
  ASSERT_NE(label, nullptr);
  const RECT all{0, 0, 240, 80};
  int reds = 0;
  {
    const Capture c(label->hwnd());
    reds = c.Count(all, kRed);
    EXPECT_GT(reds, 50);
    EXPECT_EQ(c.CountIf(all, Light), 0);
    EXPECT_EQ(c.CountIf(all, Dark), 0);
    // Left aligned: nothing in the right half.
    EXPECT_EQ(c.Count({120, 0, 240, 80}, kRed), 0);
    // Centred vertically: nothing in the top rows.
    EXPECT_EQ(c.Count({0, 0, 240, 15}, kRed), 0);
  }
  SetProperty(Type(), label, int32_t(LabelOwn::kEffect), IntValue(3));
  {
    const Capture c(label->hwnd());
    EXPECT_GT(c.CountIf(all, Dark), 20);  // the shadow shows below and right
    EXPECT_EQ(c.CountIf(all, Light), 0);
  }
  // The light copy of effect 1 shows below and right of the caption, that
  // of effect 2 above and left of it.
  auto isRed = [](COLORREF x) { return x == kRed; };
  SetProperty(Type(), label, int32_t(LabelOwn::kEffect), IntValue(1));
  {
    const Capture c(label->hwnd());
    EXPECT_GT(c.CountIf(all, Light), 10);
    EXPECT_EQ(c.CountIf(all, Dark), 0);
    const RECT text = c.BoundsIf(all, isRed), light = c.BoundsIf(all, Light);
    EXPECT_GT(light.left, text.left);
    EXPECT_GT(light.top, text.top);
    EXPECT_GT(light.right, text.right);
    EXPECT_GT(light.bottom, text.bottom);
  }
  SetProperty(Type(), label, int32_t(LabelOwn::kEffect), IntValue(2));
  {
    const Capture c(label->hwnd());
    const RECT text = c.BoundsIf(all, isRed), light = c.BoundsIf(all, Light);
    EXPECT_LT(light.left, text.left);
    EXPECT_LT(light.top, text.top);
    EXPECT_LT(light.right, text.right);
    EXPECT_LT(light.bottom, text.bottom);
  }
  SetProperty(Type(), label, int32_t(LabelOwn::kEffect), IntValue(0));
  SetProperty(Type(), label, int32_t(LabelOwn::kHorizontalAlign), IntValue(2));
  SetProperty(Type(), label, int32_t(LabelOwn::kVerticalAlign), IntValue(0));
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.Count({0, 0, 120, 80}, kRed), 0);
    EXPECT_EQ(c.Count({0, 50, 240, 80}, kRed), 0);
    EXPECT_GT(c.Count({0, 0, 240, 40}, kRed), 50);
  }
  // Wrapping breaks at the blank; the vertical alignment no longer counts.
  SetProperty(Type(), label, int32_t(LabelOwn::kCaption), TextValue(std::string("WWW WWW")));
  SetProperty(Type(), label, int32_t(LabelOwn::kHorizontalAlign), IntValue(0));
  SetProperty(Type(), label, int32_t(LabelOwn::kWrap), IntValue(1));
  SetProperty(Type(), label, int32_t(LabelOwn::kVerticalAlign), IntValue(2));
  MoveWindow(label->hwnd(), 20, 20, 110, 80, TRUE);
  {
    const Capture c(label->hwnd());
    EXPECT_GT(c.Count({0, 0, 110, 30}, kRed), 30);
    EXPECT_GT(c.Count({0, 36, 110, 70}, kRed), 30);
  }
}

TEST_F(LabelTest, PictureBackgroundAndBytesThatDoNotDecode) {
  LabelProps p = Plain();
  p.picture = BmpFile(10, 6, RGB(0, 200, 0));
  p.pictureLayout = 0;
  Window* label = Make(p, 50, 30);
  ASSERT_NE(label, nullptr);
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.Count({0, 0, 10, 6}, RGB(0, 200, 0)), 60);
    EXPECT_EQ(c.At(12, 3), kGrey);
    EXPECT_EQ(c.At(3, 8), kGrey);
  }
  SetProperty(Type(), label, int32_t(LabelOwn::kPictureLayout), IntValue(1));
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.Count({0, 0, 50, 30}, RGB(0, 200, 0)), 50 * 30);
  }
  std::vector<uint8_t> damaged = BmpFile(10, 6, 0);
  damaged.resize(30);
  SetProperty(Type(), label, int32_t(LabelOwn::kPicture), BytesValue(damaged));
  {
    const Capture c(label->hwnd());
    EXPECT_EQ(c.Count({0, 0, 50, 30}, kGrey), 50 * 30);
  }
  // Discarded at that paint, so it is not tried again.
  EXPECT_EQ(GetProperty(Type(), label, int32_t(LabelOwn::kPicture)).word0, 0u);

  // Shrunk to fit: a clipped paint gives the pixels of the whole one.
  samples::BmpRecipe weave{480, 250};
  for (uint32_t i = 0; i < 480u * 250u; ++i) weave.pixels.push_back((i % 480 * 37 & 255) << 16 | (i / 480 * 53 & 255));
  SetProperty(Type(), label, int32_t(LabelOwn::kPicture), BytesValue(samples::MakeBmp(weave)));
  SetProperty(Type(), label, int32_t(LabelOwn::kPictureLayout), IntValue(2));
  const Capture whole(label->hwnd());
  test::Canvas part(50, 30, 0);
  IntersectClipRect(part.dc(), 7, 5, 33, 21);
  SendMessageA(label->hwnd(), WM_PRINTCLIENT, WPARAM(part.dc()), PRF_CLIENT);
  int differing = 0;
  for (int y = 5; y < 21; ++y)
    for (int x = 7; x < 33; ++x) differing += part.At(x, y) != whole.At(x, y) ? 1 : 0;
  EXPECT_EQ(differing, 0);
}

TEST_F(LabelTest, DefaultBackgroundFollowsTheSystemColour) {
  Window* label = Make(Plain(kDefaultColour), 40, 20);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(Capture(label->hwnd()).At(20, 10), GetSysColor(COLOR_BTNFACE));
  ButtonFaceOverride face(RGB(0x21, 0x43, 0x65));
  EXPECT_EQ(Capture(label->hwnd()).At(20, 10), RGB(0x21, 0x43, 0x65));
}

TEST_F(LabelTest, Message8075RaisesEventZeroWithItsResult) {
  Window* label = Make(Plain());
  ASSERT_NE(label, nullptr);
  Hooks().handlerValue = 16;
  EXPECT_EQ(SendMessageA(label->hwnd(), kLabelEventMessage, 7, 9), 16);
  ASSERT_EQ(Hooks().events.size(), 1u);
  const SimpleEventRecord& e = Hooks().events[0];
  EXPECT_EQ(e.window, kTestWindow);
  EXPECT_EQ(e.unit, 0x16010051u);
  EXPECT_EQ(e.event, 0);
  EXPECT_EQ(e.argCount, 2);
  EXPECT_EQ(e.args[0], 7u);
  EXPECT_EQ(e.args[1], 9u);
  EXPECT_EQ(e.hasResult, 0);
  // A handler without a value, and no handler at all.
  Hooks().handlerValue.reset();
  EXPECT_EQ(SendMessageA(label->hwnd(), kLabelEventMessage, 1, 2), 0);
  Hooks().handlerRuns = false;
  Hooks().handlerValue = 16;
  EXPECT_EQ(SendMessageA(label->hwnd(), kLabelEventMessage, 1, 2), 0);
}

TEST_F(LabelTest, SaveConvertAndDestroy) {
  LabelProps p = Plain();
  p.caption = "IP";
  p.font = FontBytes(-12, 400, "Arial");
  p.dataSource = "src";
  Window* label = Make(p);
  ASSERT_NE(label, nullptr);
  SetProperty(Type(), label, int32_t(LabelOwn::kEffect), IntValue(2));
  SetProperty(Type(), label, int32_t(LabelOwn::kCaption), TextValue(std::string("GW")));
  p.effect = 2;
  p.caption = "GW";
  SIZE_T size = 0;
  const std::vector<uint8_t> saved = SaveBlob(Type(), label, &size);
  EXPECT_EQ(saved, p.Save());
  EXPECT_EQ(size, p.Save().size());

  // Every text and the face name pass the converter once.
  ConverterCalls calls;
  const auto converted = ConvertBlob(Type(), saved, &calls);
  ASSERT_TRUE(converted);
  EXPECT_EQ(calls.texts, 3);
  EXPECT_EQ(calls.faces, 1);
  LabelProps back;
  ASSERT_TRUE(back.Load(*converted));
  EXPECT_EQ(back.caption, "GW!");
  EXPECT_EQ(back.dataSource, "src!");
  EXPECT_EQ(back.dataColumn, "!");
  EXPECT_EQ(std::memcmp(back.font.data() + 28, "Brial", 5), 0);
  std::vector<uint8_t> newer = saved;
  newer[0] = 3;
  EXPECT_FALSE(ConvertBlob(Type(), newer, nullptr));

  DestroyWindow(label->hwnd());
  Pump();
  ASSERT_EQ(Hooks().gone.size(), 1u);
  EXPECT_EQ(Hooks().gone[0], (std::pair<uint32_t, uint32_t>{kTestWindow, 0x16010051}));
}

}  // namespace
}  // namespace kavrel::unit_test
