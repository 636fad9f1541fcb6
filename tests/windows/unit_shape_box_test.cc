// Shape box units on a plain parent: figures, pens, relief and fill as
// painted, read back from a DIB.
#include <gtest/gtest.h>

#include "unit_test_support.h"
#include "units/shape_box_props.h"
#include "units/unit_descriptors.h"

namespace kavrel::unit_test {
namespace {

const UnitTypeDescriptor& Type() { return kShapeBoxUnitType; }

class ShapeBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallHook(); }
  void TearDown() override { RemoveHook(); }

  Window* Make(const ShapeBoxProps& p, int width, int height) {
    return CreateUnit(Type(), p.Save(), parent.hwnd(), 10, 10, width, height);
  }

  TestParent parent;
};

// Lengths of the runs of `colour` along row y, left to right.
std::vector<int> Runs(const Capture& c, int y, COLORREF colour) {
  std::vector<int> runs;
  int length = 0;
  for (int x = 0; x < c.width(); ++x) {
    if (c.At(x, y) == colour) {
      ++length;
    } else if (length) {
      runs.push_back(length);
      length = 0;
    }
  }
  if (length) runs.push_back(length);
  return runs;
}

TEST_F(ShapeBoxTest, DefaultsDrawABlackFrameOnTheButtonFace) {
  Window* box = CreateUnit(Type(), {}, parent.hwnd(), 10, 10, 60, 40);
  ASSERT_NE(box, nullptr);
  char name[32] = {};
  GetClassNameA(box->hwnd(), name, sizeof name);
  EXPECT_STREQ(name, "_EL_ShapeBox");
  const DWORD style = DWORD(GetWindowLongA(box->hwnd(), GWL_STYLE));
  EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE), DWORD(WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE));
  const Capture c(box->hwnd());
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(59, 39), RGB(0, 0, 0));
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c.At(30, 20), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ShapeBoxTest, DashDotDotOutlineRepeatsOneDashAndTwoDots) {
  ShapeBoxProps p;
  p.lineStyle = 5;
  p.lineColour = 0x808000;
  p.backColour = 0xFFFFFF;
  Window* box = Make(p, 300, 60);
  ASSERT_NE(box, nullptr);
  const Capture c(box->hwnd());
  const COLORREF line = RGB(0x00, 0x80, 0x80);
  const std::vector<int> runs = Runs(c, 0, line);
  ASSERT_GE(runs.size(), 9u);
  // Skip the first pattern, which may start anywhere in the corner.
  for (size_t i = 3; i + 2 < runs.size() - 1; i += 3) {
    SCOPED_TRACE(i);
    EXPECT_GT(runs[i], runs[i + 1]);
    EXPECT_EQ(runs[i + 1], runs[i + 2]);
  }
  // The gaps show the background: nothing else is drawn on the row.
  const RECT top{0, 0, 300, 1};
  EXPECT_EQ(c.Count(top, line) + c.Count(top, RGB(255, 255, 255)), 300);
  EXPECT_EQ(c.At(150, 30), RGB(255, 255, 255));
}

TEST_F(ShapeBoxTest, CircleIsCentredAndFilled) {
  ShapeBoxProps p;
  p.figure = 3;
  p.fillColour = 0x0000FF;
  p.backColour = 0xFFFFFF;
  Window* box = Make(p, 200, 100);
  ASSERT_NE(box, nullptr);
  const Capture c(box->hwnd());
  int first = -1;
  int last = -1;
  for (int x = 0; x < 200; ++x) {
    if (c.At(x, 50) == RGB(0, 0, 0)) {
      if (first < 0) first = x;
      last = x;
    }
  }
  EXPECT_EQ(first, 50);
  EXPECT_EQ(last, 149);
  EXPECT_EQ(c.At(100, 50), RGB(255, 0, 0));
  EXPECT_EQ(c.At(100, 0), RGB(0, 0, 0));  // top of the circle
  EXPECT_EQ(c.At(25, 50), RGB(255, 255, 255));
  EXPECT_EQ(c.At(52, 5), RGB(255, 255, 255));  // outside, within the square
}

TEST_F(ShapeBoxTest, PensByStyleWidthAndRelief) {
  ShapeBoxProps p;
  p.backColour = 0xFFFFFF;
  p.lineWidth = 5;
  Window* box = Make(p, 80, 60);
  ASSERT_NE(box, nullptr);
  {
    // A solid line of width 5 lies inside the box.
    const Capture c(box->hwnd());
    EXPECT_EQ(c.At(40, 0), RGB(0, 0, 0));
    EXPECT_EQ(c.At(40, 4), RGB(0, 0, 0));
    EXPECT_EQ(c.At(40, 5), RGB(255, 255, 255));
    EXPECT_EQ(c.At(75, 30), RGB(0, 0, 0));
  }
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kLineStyle), IntValue(2));
  {
    // Dashed pens are one pixel whatever the width.
    const Capture c(box->hwnd());
    EXPECT_EQ(c.Count({1, 1, 79, 2}, RGB(0, 0, 0)), 0);
    EXPECT_GT(c.Count({0, 0, 80, 1}, RGB(0, 0, 0)), 0);
  }
  // An engraved separator: white one pixel below black.
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kFigure), IntValue(6));
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kRelief), IntValue(1));
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kLineStyle), IntValue(1));
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kBackColour), ColourValue(0x808080));
  {
    const Capture c(box->hwnd());
    EXPECT_EQ(c.Count({0, 0, 80, 1}, RGB(0, 0, 0)), 80);
    EXPECT_EQ(c.Count({0, 1, 80, 2}, RGB(255, 255, 255)), 80);
    EXPECT_EQ(c.At(40, 2), RGB(0x80, 0x80, 0x80));
  }
  // A sunken rectangle: dark top-left, light bottom-right.
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kFigure), IntValue(0));
  {
    const Capture c(box->hwnd());
    EXPECT_EQ(c.At(40, 0), RGB(0, 0, 0));
    EXPECT_EQ(c.At(0, 30), RGB(0, 0, 0));
    EXPECT_EQ(c.At(40, 59), RGB(255, 255, 255));
    EXPECT_EQ(c.At(79, 30), RGB(255, 255, 255));
  }
  // No line and no fill: only the background.
  SetProperty(Type(), box, int32_t(ShapeBoxOwn::kLineStyle), IntValue(0));
  {
    const Capture c(box->hwnd());
    EXPECT_EQ(c.Count({0, 0, 80, 60}, RGB(0x80, 0x80, 0x80)), 80 * 60);
  }
}

TEST_F(ShapeBoxTest, SettersClampAndGettersReturnTheStoredValues) {
  Window* box = Make(ShapeBoxProps{}, 40, 40);
  ASSERT_NE(box, nullptr);
  struct Case {
    ShapeBoxOwn own;
    int32_t written;
    int32_t stored;
  };
  const Case cases[] = {{ShapeBoxOwn::kFigure, 12, 7},    {ShapeBoxOwn::kFigure, -1, 0},
                        {ShapeBoxOwn::kRelief, 3, 2},     {ShapeBoxOwn::kLineStyle, 9, 5},
                        {ShapeBoxOwn::kLineWidth, -2, 0}, {ShapeBoxOwn::kLineWidth, 40, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.own));
    EXPECT_FALSE(SetProperty(Type(), box, int32_t(c.own), IntValue(c.written)));
    EXPECT_EQ(GetInt(Type(), box, int32_t(c.own)), c.stored);
  }
  bool ok = true;
  GetProperty(Type(), box, 7, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Type().getInterface(iface::kConvertTexts), nullptr);
  EXPECT_EQ(Type().getInterface(iface::kIsDefaultButton), nullptr);
}

TEST_F(ShapeBoxTest, DefaultBackgroundFollowsTheSystemColour) {
  Window* box = CreateUnit(Type(), {}, parent.hwnd(), 10, 10, 50, 50);
  ASSERT_NE(box, nullptr);
  ButtonFaceOverride face(RGB(0x12, 0x34, 0x56));
  const Capture c(box->hwnd());
  EXPECT_EQ(c.At(25, 25), RGB(0x12, 0x34, 0x56));
}

}  // namespace
}  // namespace kavrel::unit_test
