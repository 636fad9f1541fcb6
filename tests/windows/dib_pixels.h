// Pixels read back from 32-bit top-down DIBs: a window's client area after it
// has painted (Capture), or a memory context a routine paints into (Canvas).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kavrel::test {

// A 32-bit top-down DIB section of `width` x `height`; *bits gets its pixels.
HBITMAP MakeDib32(HDC dc, int width, int height, void** bits);

// Reads a grid of 0x00RRGGBB pixels; outside the grid every pixel is
// CLR_INVALID.
class PixelGrid {
 public:
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const;
  // How many pixels of a rectangle have the colour, or pass.
  int Count(const RECT& r, COLORREF colour) const {
    return CountIf(r, [colour](COLORREF c) { return c == colour; });
  }
  template <class Pred>
  int CountIf(const RECT& r, Pred pred) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += pred(At(x, y)) ? 1 : 0;
    return n;
  }
  // The smallest rectangle holding every pixel of `r` that passes; empty
  // when none does.
  template <class Pred>
  RECT BoundsIf(const RECT& r, Pred pred) const {
    RECT b{r.right, r.bottom, r.left, r.top};
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (pred(At(x, y))) b = {std::min<LONG>(b.left, x), std::min<LONG>(b.top, y), std::max<LONG>(b.right, x + 1),
                                 std::max<LONG>(b.bottom, y + 1)};
    return b;
  }

 protected:
  PixelGrid() = default;
  PixelGrid(const PixelGrid&) = delete;
  PixelGrid& operator=(const PixelGrid&) = delete;
  const uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// How near two grids are over a rectangle, in dB of peak signal to noise:
// 10 log10(255^2 / the mean squared difference of the red, green and blue
// values); infinity when they are the same.
double Psnr(const PixelGrid& a, const PixelGrid& b, const RECT& r);

// What a window shows: its client area redrawn (children included), the
// messages that follow processed by `pump`, then copied into a DIB.
class Capture : public PixelGrid {
 public:
  Capture(HWND hwnd, void (*pump)());

 private:
  std::vector<uint32_t> pixels_;
};

// GDI short for a while: every GDI object this process may still make but
// `spare` is taken, until the object goes.
class GdiShortage {
 public:
  explicit GdiShortage(int spare);
  ~GdiShortage();

 private:
  std::vector<HGDIOBJ> taken_;
};

// A DIB selected into a memory context, first filled with one colour.
class Canvas : public PixelGrid {
 public:
  Canvas(int width, int height, COLORREF fill);
  ~Canvas();
  HDC dc() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The colour a brush paints with.
COLORREF BrushColour(HBRUSH brush);

}  // namespace kavrel::test
