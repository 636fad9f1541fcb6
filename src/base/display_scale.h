// Lengths between the design and the display. Positions, sizes and font
// heights in a window template are the design's pixels at 96 dpi; a window
// draws them at the DPI of its monitor.
#pragma once

#include <cstdint>

namespace kavrel {

inline constexpr int kDesignDpi = 96;

// `value` * `numerator` / `denominator`, rounded to the nearest whole number
// and halves away from zero, as the system's MulDiv rounds.
int32_t ScaleLength(int32_t value, int32_t numerator, int32_t denominator);

// A design length at `dpi`, and a length at `dpi` in the design's pixels.
// For any DPI of 96 or more a length taken to `dpi` and back is the length
// it was, so a window that goes back to 96 dpi is its 96-dpi self again.
inline int32_t ToDpi(int32_t designPixels, int32_t dpi) { return ScaleLength(designPixels, dpi, kDesignDpi); }
inline int32_t FromDpi(int32_t pixels, int32_t dpi) { return ScaleLength(pixels, kDesignDpi, dpi); }
// A length at `from` dpi as it is at `to` dpi, through the design's pixels.
inline int32_t BetweenDpis(int32_t pixels, int32_t from, int32_t to) {
  return from == to ? pixels : ToDpi(FromDpi(pixels, from), to);
}

}  // namespace kavrel
