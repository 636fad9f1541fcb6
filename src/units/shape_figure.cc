#include "units/shape_figure.h"

#include "units/unit_base.h"

namespace kavrel {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

bool IsSquareFigure(int32_t figure) {
  return figure == kFigureSquare || figure == kFigureCircle || figure == kFigureRoundSquare;
}

}  // namespace

ShapePlan PlanShape(const ShapeBoxProps& props, int32_t width, int32_t height) {
  ShapePlan plan;
  plan.figure = ClampChoice(props.figure, 7);
  const int32_t relief = ClampChoice(props.relief, 2);
  const int32_t lineStyle = ClampChoice(props.lineStyle, 5);
  const int32_t lineWidth = props.lineWidth < 0 ? 0 : props.lineWidth;

  PixelRect r{0, 0, width, height};
  if (relief == 0) {
    // Only a solid line has a width; other pens are one pixel.
    const int32_t w = lineStyle == 1 ? lineWidth : 1;
    plan.pens[0] = {lineStyle, w == 1 ? 0 : w, props.lineColour};
  } else {
    plan.passCount = 2;
    const uint32_t first = relief == 1 ? kWhite : kBlack;
    const uint32_t second = relief == 1 ? kBlack : kWhite;
    plan.pens[0] = {lineStyle, 0, first};
    plan.pens[1] = {lineStyle, 0, second};
    // The first pass lies one pixel down and right of the second.
    if (plan.figure == kFigureHorizontalLine) {
      r.top += 1;
    } else if (plan.figure == kFigureVerticalLine) {
      r.left += 1;
    } else {
      r.left += 1;
      r.top += 1;
    }
  }

  // The corner ellipse is taken before squaring.
  plan.cornerWidth = r.Width() / 5;
  plan.cornerHeight = r.Height() / 5;
  if (IsSquareFigure(plan.figure)) {
    const int32_t w = r.Width();
    const int32_t h = r.Height();
    if (w > h) {
      r.left += (w - h) / 2;
      r.right = r.left + h;
    } else if (h > w) {
      r.top += (h - w) / 2;
      r.bottom = r.top + w;
    }
  }
  plan.rect = r;
  plan.filled = props.fillColour != kDefaultColour;
  plan.fill = props.fillColour;
  return plan;
}

PixelRect NextPassRect(int32_t figure, const PixelRect& r) {
  PixelRect next = r;
  if (figure == kFigureHorizontalLine) {
    next.top -= 1;
  } else if (figure == kFigureVerticalLine) {
    next.left -= 1;
  } else {
    next = {r.left - 1, r.top - 1, r.right - 1, r.bottom - 1};
  }
  return next;
}

}  // namespace kavrel
