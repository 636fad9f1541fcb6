// A rectangle of pixels, the same shape as a Win32 RECT: right and bottom
// are exclusive. Neutral, so layout and fill arithmetic is tested on the host.
#pragma once

#include <algorithm>
#include <cstdint>

namespace kavrel {

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const PixelRect&) const = default;
};

// The common part; empty when there is none.
inline PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
  if (r.Empty()) return {};
  return r;
}

// From any rectangle with left, top, right and bottom (a Win32 RECT).
template <class Rect>
PixelRect ToPixelRect(const Rect& r) {
  return {int32_t(r.left), int32_t(r.top), int32_t(r.right), int32_t(r.bottom)};
}

}  // namespace kavrel
