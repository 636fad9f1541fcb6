// The neutral arithmetic of the units: gradients and their tiles, the
// gradient frame, shape box plans and the combo box's edit selection.
#include <gtest/gtest.h>

#include "units/shape_figure.h"
#include "units/edit_selection.h"
#include "units/gradient.h"
#include "units/unit_base.h"

namespace kavrel {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;

TEST(UnitGradient, TwoAndThreeStopsTruncateTheStepTowardZero) {
  const GradientStops bw = ChooseGradientColours(0x000000, kDefaultColour, 0xFFFFFF);
  ASSERT_EQ(bw.count, 2);
  EXPECT_EQ(GradientColourAt(bw, 0, 100), 0x000000u);
  EXPECT_EQ(GradientColourAt(bw, 50, 100), 0x7F7F7Fu);  // 50 * 255 / 100 = 127.5
  EXPECT_EQ(GradientColourAt(bw, 99, 100), 0xFCFCFCu);
  EXPECT_EQ(GradientColourAt(bw, 100, 100), 0xFFFFFFu);  // past the last stop
  EXPECT_EQ(GradientColourAt(bw, 500, 100), 0xFFFFFFu);

  // Red to green to blue over 100: segments of 50.
  const GradientStops rgb = ChooseGradientColours(kRed, kGreen, kBlue);
  ASSERT_EQ(rgb.count, 3);
  EXPECT_EQ(GradientColourAt(rgb, 0, 100), kRed);
  // A falling channel steps toward zero too: 255 - 127 = 128, not 127.
  EXPECT_EQ(GradientColourAt(rgb, 25, 100), 0x007F80u);
  EXPECT_EQ(GradientColourAt(rgb, 50, 100), kGreen);
  EXPECT_EQ(GradientColourAt(rgb, 75, 100), 0x7F8000u);
  EXPECT_EQ(GradientColourAt(rgb, 99, 100), 0xF90600u);
  EXPECT_EQ(GradientColourAt(rgb, 100, 100), kBlue);

  // Three stops over one pixel leave no segment: no division by zero.
  EXPECT_EQ(GradientColourAt(rgb, 0, 1), kRed);
}

TEST(UnitGradient, ColoursAreChosenInOrderAndAFillNeedsTwo) {
  const GradientStops one = ChooseGradientColours(kDefaultColour, kGreen, kDefaultColour);
  EXPECT_EQ(one.count, 1);
  EXPECT_FALSE(CanFillGradient(1, one, {0, 0, 10, 10}));
  const GradientStops two = ChooseGradientColours(kBlue, kDefaultColour, kRed);
  EXPECT_EQ(two.colours[0], kBlue);
  EXPECT_EQ(two.colours[1], kRed);
  EXPECT_TRUE(CanFillGradient(8, two, {0, 0, 10, 10}));
  EXPECT_FALSE(CanFillGradient(0, two, {0, 0, 10, 10}));
  EXPECT_FALSE(CanFillGradient(9, two, {0, 0, 10, 10}));
  EXPECT_FALSE(CanFillGradient(1, two, {5, 5, 5, 20}));
}

TEST(UnitGradient, EachDirectionStartsAtItsEdgeOrCorner) {
  const int32_t w = 30;
  const int32_t h = 20;
  struct Case {
    int32_t direction;
    int32_t x, y;  // where the first colour lies
    int32_t span;
  };
  const Case cases[] = {{1, 7, 0, h},      {2, 0, 7, w},          {3, 0, 0, 40},     {4, w - 1, 0, 40},
                        {5, 7, h - 1, h},  {6, w - 1, 7, w},      {7, w - 1, h - 1, 40}, {8, 0, h - 1, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    EXPECT_EQ(GradientPosition(c.direction, c.x, c.y, w, h), 0);
    EXPECT_EQ(GradientSpan(c.direction, w, h), c.span);
  }
  // Corners run along both axes.
  EXPECT_EQ(GradientPosition(4, 0, h - 1, w, h), (w - 1) + (h - 1));
  EXPECT_EQ(GradientPosition(8, 3, 0, w, h), 3 + h - 1);
}

TEST(UnitGradient, OnlyTilesMeetingTheClipAreComputed) {
  const PixelRect area{10, 20, 130, 80};  // 120 x 60: three columns, two rows
  const auto all = GradientTiles(area, area);
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[0], (PixelRect{10, 20, 60, 70}));
  EXPECT_EQ(all[1], (PixelRect{60, 20, 110, 70}));
  EXPECT_EQ(all[2], (PixelRect{110, 20, 130, 70}));  // the narrow last column
  EXPECT_EQ(all[5], (PixelRect{110, 70, 130, 80}));  // the short last row

  const auto some = GradientTiles(area, {65, 72, 70, 75});
  ASSERT_EQ(some.size(), 1u);
  EXPECT_EQ(some[0], (PixelRect{60, 70, 110, 80}));
  EXPECT_TRUE(GradientTiles(area, {0, 0, 10, 20}).empty());
  EXPECT_TRUE(GradientTiles({0, 0, 0, 0}, area).empty());
}

TEST(UnitGradient, TilePixelsAreDibOrderedAndPlacedWithinTheArea) {
  const GradientStops stops = ChooseGradientColours(kRed, kBlue, kDefaultColour);
  const PixelRect area{100, 100, 200, 200};
  const PixelRect tile{150, 190, 152, 192};  // a 2 x 2 tile near the bottom
  std::vector<uint32_t> pixels(4, 0xDEADBEEF);
  FillGradientTile(1, stops, area, tile, pixels);
  // Rows 90 and 91 of 100: blue is the DIB's low byte, red its third.
  const uint32_t row90 = GradientColourAt(stops, 90, 100);
  EXPECT_EQ(row90, 0xE5001Au);
  EXPECT_EQ(pixels[0], 0x1A00E5u);
  EXPECT_EQ(pixels[1], pixels[0]);
  EXPECT_NE(pixels[2], pixels[0]);
  // A buffer too small for the tile is filled as far as it goes.
  std::vector<uint32_t> small(1, 0);
  FillGradientTile(1, stops, area, tile, small);
  EXPECT_EQ(small[0], 0x1A00E5u);
}

TEST(UnitGradient, FrameBandsAreAtMostHalfAndMitred) {
  const PixelRect r{0, 0, 100, 12};
  const auto bands = GradientFrameBands(r, 8);
  EXPECT_EQ(bands[0].rect, (PixelRect{0, 0, 100, 6}));  // top, cut to half the height
  EXPECT_EQ(bands[0].direction, 1);
  EXPECT_EQ(bands[1].rect, (PixelRect{0, 6, 100, 12}));
  EXPECT_EQ(bands[2].rect, (PixelRect{0, 0, 8, 12}));
  EXPECT_EQ(bands[2].direction, 2);
  EXPECT_TRUE(bands[2].mitred);
  EXPECT_EQ(bands[2].corners[1], (std::array<int32_t, 2>{8, 6}));
  EXPECT_EQ(bands[3].corners[0], (std::array<int32_t, 2>{100, 0}));
  EXPECT_EQ(bands[3].corners[2], (std::array<int32_t, 2>{92, 6}));
  EXPECT_TRUE(InsideFrame(r, 8).Empty());
  EXPECT_EQ(InsideFrame({0, 0, 50, 40}, 5), (PixelRect{5, 5, 45, 35}));
}

TEST(UnitShape, SquareFiguresAreCentredAndCornersTakenBeforeSquaring) {
  ShapeBoxProps p;
  p.figure = kFigureCircle;
  ShapePlan plan = PlanShape(p, 200, 100);
  EXPECT_EQ(plan.rect, (PixelRect{50, 0, 150, 100}));
  plan = PlanShape(p, 60, 101);
  EXPECT_EQ(plan.rect, (PixelRect{0, 20, 60, 80}));

  p.figure = kFigureRoundSquare;
  plan = PlanShape(p, 200, 100);
  EXPECT_EQ(plan.cornerWidth, 40);
  EXPECT_EQ(plan.cornerHeight, 20);
  EXPECT_EQ(plan.rect.Width(), 100);

  p.figure = 12;  // clamped to the vertical line
  EXPECT_EQ(PlanShape(p, 10, 10).figure, kFigureVerticalLine);
  p.figure = -4;
  EXPECT_EQ(PlanShape(p, 10, 10).figure, kFigureRectangle);
}

TEST(UnitShape, PenWidthCountsOnlyForAFlatSolidLine) {
  ShapeBoxProps p;
  p.lineWidth = 5;
  p.lineStyle = 1;
  EXPECT_EQ(PlanShape(p, 50, 50).pens[0].width, 5);
  p.lineStyle = 2;
  EXPECT_EQ(PlanShape(p, 50, 50).pens[0].width, 0);
  p.lineStyle = 1;
  p.lineWidth = 1;
  EXPECT_EQ(PlanShape(p, 50, 50).pens[0].width, 0);
  p.lineWidth = -3;
  EXPECT_EQ(PlanShape(p, 50, 50).pens[0].width, 0);
  p.lineWidth = 5;
  p.relief = 2;
  const ShapePlan raised = PlanShape(p, 50, 50);
  EXPECT_EQ(raised.passCount, 2);
  EXPECT_EQ(raised.pens[0].width, 0);
  EXPECT_EQ(raised.pens[0].colour, 0x000000u);
  EXPECT_EQ(raised.pens[1].colour, 0xFFFFFFu);
  EXPECT_EQ(raised.rect, (PixelRect{1, 1, 50, 50}));
  EXPECT_EQ(NextPassRect(kFigureRectangle, raised.rect), (PixelRect{0, 0, 49, 49}));
}

TEST(UnitShape, EngravedSeparatorDrawsWhiteBelowBlack) {
  ShapeBoxProps p;
  p.figure = kFigureHorizontalLine;
  p.relief = 1;
  const ShapePlan plan = PlanShape(p, 80, 10);
  EXPECT_EQ(plan.pens[0].colour, 0xFFFFFFu);
  EXPECT_EQ(plan.rect.top, 1);
  EXPECT_EQ(plan.rect.left, 0);
  EXPECT_EQ(NextPassRect(kFigureHorizontalLine, plan.rect).top, 0);
  p.figure = kFigureVerticalLine;
  const ShapePlan vertical = PlanShape(p, 10, 80);
  EXPECT_EQ(vertical.rect.left, 1);
  EXPECT_EQ(vertical.rect.top, 0);
  EXPECT_EQ(NextPassRect(kFigureVerticalLine, vertical.rect).left, 0);
  EXPECT_FALSE(plan.filled);
  p.fillColour = 0x123456;
  EXPECT_TRUE(PlanShape(p, 10, 10).filled);
}

TEST(UnitComboEdit, SelectionSettersAndReads) {
  const EditSelection current{2, 3};
  EXPECT_EQ(SelectionWithStart(-1, 3, current).start, 3);  // after "abc"
  EXPECT_EQ(SelectionWithStart(-1, 3, current).length, 0);
  EXPECT_EQ(SelectionWithStart(-9, 3, current).start, 0);
  EXPECT_EQ(SelectionWithStart(1, 3, current).length, 3);
  EXPECT_EQ(SelectionWithLength(-1, 7, current).start, 0);
  EXPECT_EQ(SelectionWithLength(-1, 7, current).length, 7);
  EXPECT_EQ(SelectionWithLength(-5, 7, current).length, 0);

  EXPECT_FALSE(HasEditField(0xFFFFFFFFu));
  EXPECT_EQ(SelectionFromEditSel(0xFFFFFFFFu).length, 0);
  const EditSelection s = SelectionFromEditSel((5u << 16) | 2u);
  EXPECT_EQ(s.start, 2);
  EXPECT_EQ(s.length, 3);

  EXPECT_EQ(SelectedPart("192.168.2.", {4, 3}), "168");
  EXPECT_EQ(SelectedPart("abc", {2, 50}), "c");
  EXPECT_EQ(SelectedPart("abc", {9, 1}), "");
  int32_t caret = -1;
  EXPECT_EQ(ReplaceSelected("192.168.2.", {8, 1}, "33", &caret), "192.168.33.");
  EXPECT_EQ(caret, 10);
  EXPECT_EQ(ReplaceSelected("ab", {5, 5}, "c", &caret), "abc");
  EXPECT_EQ(caret, 3);
}

TEST(UnitComboEdit, ListIndexIsClampedToTheEntries) {
  EXPECT_EQ(ClampListIndex(0, 0), -1);
  EXPECT_EQ(ClampListIndex(7, 5), 4);
  EXPECT_EQ(ClampListIndex(-3, 5), -1);
  EXPECT_EQ(ClampListIndex(2, 5), 2);
}

TEST(UnitEvents, RecordCarriesAtMostFiveArgumentsAndNoResult) {
  const uint32_t args[6] = {1, 2, 3, 4, 5, 6};
  const SimpleEventRecord r = MakeEventRecord(0x52010001, 0x16010051, 0, args);
  EXPECT_EQ(r.window, 0x52010001u);
  EXPECT_EQ(r.unit, 0x16010051u);
  EXPECT_EQ(r.argCount, 5);
  EXPECT_EQ(r.args[4], 5u);
  EXPECT_EQ(r.hasResult, 0);
  EXPECT_EQ(r.result, 0u);
  EXPECT_EQ(ClampChoice(9, 2), 2);
  EXPECT_EQ(ClampChoice(-1, 2), 0);
}

}  // namespace
}  // namespace kavrel
