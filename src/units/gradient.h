// The gradient fills and frames of the label: colour stops, positions, tiles
// and the mitred bands of a frame.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/pixel_rect.h"
#include "units/unit_type.h"

namespace kavrel {


// The colours a gradient uses, in order, DefaultColour skipped.
struct GradientStops {
  std::array<uint32_t, 3> colours{};
  int32_t count = 0;
};
GradientStops ChooseGradientColours(uint32_t colour1, uint32_t colour2, uint32_t colour3);

// Directions 1-8: the position of pixel (x, y) of a width x height area, and
// the span the stops spread over. Directions outside 1-8 give 0.
int32_t GradientPosition(int32_t direction, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t GradientSpan(int32_t direction, int32_t width, int32_t height);
// The COLORREF at a position.
uint32_t GradientColourAt(const GradientStops& stops, int32_t position, int32_t span);

// True when a fill can be made: two or more colours, direction 1-8 and a
// non-empty area.
bool CanFillGradient(int32_t direction, const GradientStops& stops, const PixelRect& area);

inline constexpr int32_t kGradientTile = 50;
// The tiles of at most 50 x 50 pixels, from the area's top-left corner, left
// to right and top to bottom, that meet `clip`.
std::vector<PixelRect> GradientTiles(const PixelRect& area, const PixelRect& clip);
// One tile's pixels, top-down rows of tile.Width() 32-bit values 0x00RRGGBB
// (the layout of a 32-bit DIB). Positions are those within `area`.
void FillGradientTile(int32_t direction, const GradientStops& stops, const PixelRect& area, const PixelRect& tile,
                      std::span<uint32_t> pixels);

// The four bands of a gradient frame of thickness `width` inside `r`: top and
// bottom across the whole width (direction 1), left and right (direction 2)
// clipped to trapezoids, so the corners are mitred. A side is at most half of
// the rectangle.
struct FrameBand {
  PixelRect rect;
  int32_t direction = 0;
  bool mitred = false;                          // clipped to `corners`
  std::array<std::array<int32_t, 2>, 4> corners{};  // polygon, (x, y)
};
std::array<FrameBand, 4> GradientFrameBands(const PixelRect& r, int32_t width);
// The rectangle inside the frame.
PixelRect InsideFrame(const PixelRect& r, int32_t width);

}  // namespace kavrel
