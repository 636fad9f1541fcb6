// Where a shape box draws its figure: the pens of its one or two passes, the
// rectangle of the first pass (moved for the relief, squared for the square
// figures) and the corner ellipse of the rounded figures. The Win32 painting
// only executes this plan.
#pragma once

#include <cstdint>

#include "units/shape_box_props.h"
#include "units/gradient.h"

namespace kavrel {

enum ShapeFigure : int32_t {
  kFigureRectangle = 0,
  kFigureSquare = 1,
  kFigureEllipse = 2,
  kFigureCircle = 3,
  kFigureRoundRect = 4,
  kFigureRoundSquare = 5,
  kFigureHorizontalLine = 6,
  kFigureVerticalLine = 7,
};

struct ShapePen {
  int32_t lineStyle = 1;  // 0 none ... 5 dash-dot-dot
  int32_t width = 0;      // 0 = one pixel
  uint32_t colour = 0;    // COLORREF
};

struct ShapePlan {
  int32_t figure = 0;
  int32_t passCount = 1;
  ShapePen pens[2];
  bool filled = false;  // the first pass fills with `fill`
  uint32_t fill = 0;
  PixelRect rect;        // of the first pass
  int32_t cornerWidth = 0;
  int32_t cornerHeight = 0;
};

// The plan for a box of width x height with the given (possibly unclamped)
// properties.
ShapePlan PlanShape(const ShapeBoxProps& props, int32_t width, int32_t height);

// The rectangle of the next pass: up and left by one pixel.
PixelRect NextPassRect(int32_t figure, const PixelRect& r);

}  // namespace kavrel
