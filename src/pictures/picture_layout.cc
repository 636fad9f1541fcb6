#include "pictures/picture_layout.h"

#include <algorithm>
#include <cstdint>

namespace kavrel {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Copies along one axis that meet [clipLo, clipHi): [first, end).
void AxisTiles(int64_t origin, int64_t extent, int64_t size, int64_t clipLo, int64_t clipHi,
               int32_t& first, int32_t& end) {
  first = end = 0;
  if (size <= 0 || extent <= 0 || clipHi <= clipLo) return;
  int64_t count = CeilDiv(extent, size);  // copies whose edge lies inside the target
  int64_t lo = std::max<int64_t>(0, FloorDiv(clipLo - origin, size));
  int64_t hi = std::min<int64_t>(count, CeilDiv(clipHi - origin, size));
  if (hi <= lo) return;
  first = Clamp32(lo);
  end = Clamp32(hi);
}

}  // namespace

PixelRect PlaceNatural(const PixelRect& target, int32_t width, int32_t height) {
  return {target.left, target.top, Clamp32(int64_t(target.left) + width),
          Clamp32(int64_t(target.top) + height)};
}

PixelRect PlaceFitted(const PixelRect& target, int32_t width, int32_t height) {
  const int64_t areaWidth = int64_t(target.right) - target.left;
  const int64_t areaHeight = int64_t(target.bottom) - target.top;
  if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0)
    return {target.left, target.top, target.left, target.top};
  int64_t w = width, h = height;
  if (w > areaWidth || h > areaHeight) {
    // Scale by t = min(area width / width, area height / height), in exact
    // integer arithmetic: the products truncated, the limiting side exactly
    // the area's (floating point can land a hair below it).
    if (areaWidth * height <= areaHeight * w) {
      h = h * areaWidth / width;
      w = areaWidth;
    } else {
      w = w * areaHeight / height;
      h = areaHeight;
    }
  }
  int64_t x = target.left + (areaWidth - w) / 2;
  int64_t y = target.top + (areaHeight - h) / 2;
  return {Clamp32(x), Clamp32(y), Clamp32(x + w), Clamp32(y + h)};
}

TileRange TilesMeetingClip(const PixelRect& target, const PixelRect& clip, int32_t width,
                           int32_t height) {
  TileRange range;
  AxisTiles(target.left, int64_t(target.right) - target.left, width, clip.left, clip.right,
            range.firstColumn, range.endColumn);
  AxisTiles(target.top, int64_t(target.bottom) - target.top, height, clip.top, clip.bottom,
            range.firstRow, range.endRow);
  if (range.Empty()) range = TileRange{};
  return range;
}

PixelRect TileAt(const PixelRect& target, int32_t width, int32_t height, int32_t column,
                   int32_t row) {
  int64_t x = target.left + int64_t(column) * width;
  int64_t y = target.top + int64_t(row) * height;
  return {Clamp32(x), Clamp32(y), Clamp32(x + width), Clamp32(y + height)};
}

}  // namespace kavrel
