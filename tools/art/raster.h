// A small floating-point canvas for the generator's procedural art. Shapes
// are signed-distance fields; a pixel's coverage is the distance blended over
// one pixel, which gives clean anti-aliased edges without supersampling.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kavrel::art {

struct Colour {
  float r = 0, g = 0, b = 0, a = 1;
};

inline Colour Rgb(uint32_t rgb, float a = 1) {
  return {float((rgb >> 16) & 0xFF) / 255.f, float((rgb >> 8) & 0xFF) / 255.f, float(rgb & 0xFF) / 255.f, a};
}

inline Colour Mix(Colour x, Colour y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

inline float Clamp01(float v) { return std::clamp(v, 0.f, 1.f); }
inline float SmoothStep(float e0, float e1, float x) {
  float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// Coverage of a pixel whose centre lies `d` outside a shape's edge.
inline float Coverage(float d) { return Clamp01(0.5f - d); }

// Signed distances (negative inside), in pixels.
inline float CircleDistance(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

inline float RoundRectDistance(float x, float y, float cx, float cy, float halfW, float halfH, float radius) {
  float qx = std::fabs(x - cx) - halfW + radius;
  float qy = std::fabs(y - cy) - halfH + radius;
  float outside = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
  return outside + std::min(std::max(qx, qy), 0.f) - radius;
}

// Distance to the segment (x0,y0)-(x1,y1), minus half the stroke width.
inline float SegmentDistance(float x, float y, float x0, float y0, float x1, float y1, float halfWidth) {
  float dx = x1 - x0, dy = y1 - y0;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? Clamp01(((x - x0) * dx + (y - y0) * dy) / len2) : 0;
  return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - halfWidth;
}

// Premultiplied RGBA pixels, row 0 at the top.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), px_(size_t(width) * height * 4, 0.f) {}

  int width() const { return width_; }
  int height() const { return height_; }

  // Composites `c` with extra coverage `cover` over the pixel.
  void Blend(int x, int y, Colour c, float cover) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float a = Clamp01(c.a * cover);
    if (a <= 0) return;
    float* p = &px_[(size_t(y) * width_ + x) * 4];
    p[0] = c.r * a + p[0] * (1 - a);
    p[1] = c.g * a + p[1] * (1 - a);
    p[2] = c.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
  }

  // Paints every pixel of the box [x0,x1)x[y0,y1) with shade(x, y), which
  // gives a colour and its coverage.
  template <class Shade>
  void Paint(int x0, int y0, int x1, int y1, Shade shade) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_);
    y1 = std::min(y1, height_);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        float cover = 0;
        Colour c = shade(float(x) + 0.5f, float(y) + 0.5f, cover);
        Blend(x, y, c, cover);
      }
  }

  // Straight (not premultiplied) 8-bit channels of a pixel.
  void Straight(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b, uint8_t& a) const {
    const float* p = &px_[(size_t(y) * width_ + x) * 4];
    float alpha = p[3];
    auto to8 = [](float v) { return uint8_t(std::lround(Clamp01(v) * 255.f)); };
    a = to8(alpha);
    if (alpha <= 0) {
      r = g = b = 0;
      return;
    }
    r = to8(p[0] / alpha);
    g = to8(p[1] / alpha);
    b = to8(p[2] / alpha);
  }

 private:
  int width_;
  int height_;
  std::vector<float> px_;
};

}  // namespace kavrel::art
