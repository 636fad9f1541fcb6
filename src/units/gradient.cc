#include "units/gradient.h"

#include <algorithm>

namespace kavrel {

GradientStops ChooseGradientColours(uint32_t colour1, uint32_t colour2, uint32_t colour3) {
  GradientStops stops;
  for (uint32_t c : {colour1, colour2, colour3})
    if (c != kDefaultColour) stops.colours[size_t(stops.count++)] = c;
  return stops;
}

int32_t GradientPosition(int32_t direction, int32_t x, int32_t y, int32_t width, int32_t height) {
  switch (direction) {
    case 1: return y;
    case 2: return x;
    case 3: return x + y;
    case 4: return (width - 1 - x) + y;
    case 5: return height - 1 - y;
    case 6: return width - 1 - x;
    case 7: return (width - 1 - x) + (height - 1 - y);
    case 8: return x + (height - 1 - y);
    default: return 0;
  }
}

int32_t GradientSpan(int32_t direction, int32_t width, int32_t height) {
  switch (direction) {
    case 1:
    case 5: return height;
    case 2:
    case 6: return width;
    case 3:
    case 4:
    case 7:
    case 8: return 2 * std::min(width, height);
    default: return 0;
  }
}

uint32_t GradientColourAt(const GradientStops& stops, int32_t position, int32_t span) {
  if (stops.count <= 0) return 0;
  const int32_t last = stops.count - 1;
  if (last == 0) return stops.colours[0];
  const int32_t segment = span / last;
  // An area too small to hold a segment per stop shows the first colour.
  if (segment <= 0) return stops.colours[0];
  if (position < 0) position = 0;
  const int32_t k = position / segment;
  if (k > last - 1) return stops.colours[size_t(last)];
  const int64_t offset = position % segment;
  const uint32_t from = stops.colours[size_t(k)];
  const uint32_t to = stops.colours[size_t(k + 1)];
  uint32_t colour = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int64_t a = (from >> shift) & 0xFF;
    const int64_t b = (to >> shift) & 0xFF;
    // Integer division truncates the step toward zero, in both directions.
    const int64_t channel = a + offset * (b - a) / segment;
    colour |= uint32_t(channel & 0xFF) << shift;
  }
  return colour;
}

bool CanFillGradient(int32_t direction, const GradientStops& stops, const PixelRect& area) {
  return stops.count >= 2 && direction >= 1 && direction <= 8 && !area.Empty();
}

std::vector<PixelRect> GradientTiles(const PixelRect& area, const PixelRect& clip) {
  std::vector<PixelRect> tiles;
  if (area.Empty()) return tiles;
  const PixelRect wanted = Intersect(area, clip);
  if (wanted.Empty()) return tiles;
  // Only the rows and columns of tiles that meet the clip box.
  const int32_t firstColumn = (wanted.left - area.left) / kGradientTile;
  const int32_t endColumn = (wanted.right - area.left + kGradientTile - 1) / kGradientTile;
  const int32_t firstRow = (wanted.top - area.top) / kGradientTile;
  const int32_t endRow = (wanted.bottom - area.top + kGradientTile - 1) / kGradientTile;
  tiles.reserve(size_t(endColumn - firstColumn) * size_t(endRow - firstRow));
  for (int32_t row = firstRow; row < endRow; ++row) {
    for (int32_t column = firstColumn; column < endColumn; ++column) {
      const int32_t left = area.left + column * kGradientTile;
      const int32_t top = area.top + row * kGradientTile;
      tiles.push_back({left, top, std::min(left + kGradientTile, area.right),
                       std::min(top + kGradientTile, area.bottom)});
    }
  }
  return tiles;
}

void FillGradientTile(int32_t direction, const GradientStops& stops, const PixelRect& area, const PixelRect& tile,
                      std::span<uint32_t> pixels) {
  const int32_t width = area.Width();
  const int32_t height = area.Height();
  const int32_t span = GradientSpan(direction, width, height);
  size_t i = 0;
  for (int32_t y = tile.top; y < tile.bottom; ++y) {
    for (int32_t x = tile.left; x < tile.right; ++x, ++i) {
      if (i >= pixels.size()) return;
      const int32_t p = GradientPosition(direction, x - area.left, y - area.top, width, height);
      const uint32_t c = GradientColourAt(stops, p, span);
      // COLORREF 0x00BBGGRR to DIB 0x00RRGGBB.
      pixels[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
  }
}

std::array<FrameBand, 4> GradientFrameBands(const PixelRect& r, int32_t width) {
  const int32_t across = std::max(0, std::min(width, r.Height() / 2));  // top and bottom
  const int32_t side = std::max(0, std::min(width, r.Width() / 2));     // left and right
  std::array<FrameBand, 4> bands;
  bands[0].rect = {r.left, r.top, r.right, r.top + across};
  bands[0].direction = 1;
  bands[1].rect = {r.left, r.bottom - across, r.right, r.bottom};
  bands[1].direction = 1;
  bands[2].rect = {r.left, r.top, r.left + side, r.bottom};
  bands[2].direction = 2;
  bands[2].mitred = true;
  bands[2].corners = {{{r.left, r.top}, {r.left + side, r.top + across}, {r.left + side, r.bottom - across},
                       {r.left, r.bottom}}};
  bands[3].rect = {r.right - side, r.top, r.right, r.bottom};
  bands[3].direction = 2;
  bands[3].mitred = true;
  bands[3].corners = {{{r.right, r.top}, {r.right - side, r.top + across}, {r.right - side, r.bottom - across},
                       {r.right, r.bottom}}};
  return bands;
}

PixelRect InsideFrame(const PixelRect& r, int32_t width) {
  PixelRect inside{r.left + width, r.top + width, r.right - width, r.bottom - width};
  if (inside.Empty()) return {inside.left, inside.top, inside.left, inside.top};
  return inside;
}

}  // namespace kavrel
