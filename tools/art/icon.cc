#include "art/icon.h"

#include <cmath>

#include "base/byte_writer.h"

namespace kavrel::art {

// A network adapter's socket on a blue tile: the white port body with its
// dark opening, eight gold contacts and two link lights.
Canvas RenderIcon() {
  const int n = kIconSize;
  Canvas c(n, n);
  const float mid = n / 2.f;

  // Soft shadow under the tile.
  c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
    float d = RoundRectDistance(x, y, mid, mid + 5, 110, 110, 46);
    cover = 0.35f * (1 - SmoothStep(-6.f, 10.f, d));
    return Rgb(0x0A1F3D);
  });
  // The tile: a blue gradient, lighter at the top, with a thin inner edge.
  const Colour tileTop = Rgb(0x3C91F0), tileBottom = Rgb(0x1747A6);
  c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
    float d = RoundRectDistance(x, y, mid, mid, 112, 112, 44);
    cover = Coverage(d);
    Colour base = Mix(tileTop, tileBottom, SmoothStep(16.f, 240.f, y));
    float rim = 1 - Coverage(d + 3.f);  // the 3-pixel band inside the edge
    return Mix(base, Rgb(0x7DB8FF), rim * 0.45f);
  });
  // A gloss over the upper half.
  c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
    float d = std::max(RoundRectDistance(x, y, mid, mid, 112, 112, 44), CircleDistance(x, y, mid, -250, 360));
    cover = Coverage(d) * 0.16f * (1 - SmoothStep(20.f, 110.f, y));
    return Rgb(0xFFFFFF);
  });

  // Port body.
  const float bx = mid, by = 144, bw = 72, bh = 62;
  c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
    float d = RoundRectDistance(x, y, bx, by + 4, bw, bh, 14);
    cover = 0.35f * (1 - SmoothStep(-4.f, 8.f, d));
    return Rgb(0x0B2350);
  });
  c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
    float d = RoundRectDistance(x, y, bx, by, bw, bh, 14);
    cover = Coverage(d);
    return Mix(Rgb(0xFFFFFF), Rgb(0xD9E6F5), SmoothStep(by - bh, by + bh, y));
  });
  // Opening: a wide upper part and the narrower latch slot below it.
  auto opening = [&](float x, float y) {
    float upper = RoundRectDistance(x, y, bx, by - 8, 50, 30, 5);
    float slot = RoundRectDistance(x, y, bx, by + 30, 24, 16, 3);
    return std::min(upper, slot);
  };
  c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
    cover = Coverage(opening(x, y));
    return Mix(Rgb(0x0E2142), Rgb(0x1D3A66), SmoothStep(by - 38, by + 46, y));
  });
  // Contacts along the top of the opening.
  for (int i = 0; i < 8; ++i) {
    float px = bx - 38.5f + i * 11.f;
    c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
      float d = std::max(RoundRectDistance(x, y, px, by - 22, 3.2f, 14, 1.5f), opening(x, y) + 2);
      cover = Coverage(d);
      return Mix(Rgb(0xFFE08A), Rgb(0xC8961E), SmoothStep(by - 36, by - 8, y));
    });
  }
  // Link lights in the body's upper corners: green (link) and amber (activity).
  const struct {
    float x;
    uint32_t colour, glow;
  } lights[] = {{bx - 56, 0x39D353, 0x9BFFAE}, {bx + 56, 0xF5A524, 0xFFD98A}};
  for (const auto& l : lights) {
    c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
      float d = RoundRectDistance(x, y, l.x, by - bh + 13, 7, 5, 2);
      cover = Coverage(d);
      return Mix(Rgb(l.colour), Rgb(l.glow), 1 - SmoothStep(by - bh + 8, by - bh + 18, y));
    });
  }

  // The cable's signal above the port: three arcs, like a connection.
  for (int i = 0; i < 3; ++i) {
    float r = 22.f + i * 16.f;
    c.Paint(0, 0, n, n, [&](float x, float y, float& cover) {
      float cx = mid, cy = 50;
      float d = std::fabs(CircleDistance(x, y, cx, cy + r * 0.55f, r)) - 3.6f;
      // Only the upper arc, within a 100-degree fan.
      float ang = std::atan2(x - cx, -(y - (cy + r * 0.55f)));
      float fan = SmoothStep(0.95f, 0.85f, std::fabs(ang));
      cover = Coverage(d) * fan;
      return Rgb(0xFFFFFF, 0.95f - i * 0.18f);
    });
  }
  return c;
}

std::vector<uint8_t> EncodeIco(const Canvas& img) {
  const int n = img.width();
  const uint32_t pixels = uint32_t(n) * uint32_t(n) * 4;
  const uint32_t maskRow = uint32_t((n + 31) / 32 * 4);
  const uint32_t image = 40 + pixels + maskRow * uint32_t(n);
  ByteWriter w;
  // ICONDIR
  w.WriteU16(0);
  w.WriteU16(1);  // icon
  w.WriteU16(1);  // one image
  // ICONDIRENTRY: 0 means 256 for width and height.
  w.WriteU8(uint8_t(n == 256 ? 0 : n));
  w.WriteU8(uint8_t(n == 256 ? 0 : n));
  w.WriteU8(0);   // no palette
  w.WriteU8(0);
  w.WriteU16(1);  // planes
  w.WriteU16(32);
  w.WriteU32(image);
  w.WriteU32(6 + 16);
  // BITMAPINFOHEADER; the height counts the colour image and the mask.
  w.WriteU32(40);
  w.WriteI32(n);
  w.WriteI32(2 * n);
  w.WriteU16(1);
  w.WriteU16(32);
  w.WriteU32(0);  // BI_RGB
  w.WriteU32(pixels + maskRow * uint32_t(n));
  w.WriteI32(0);
  w.WriteI32(0);
  w.WriteU32(0);
  w.WriteU32(0);
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) {
      uint8_t r, g, b, a;
      img.Straight(x, y, r, g, b, a);
      w.WriteU8(b);
      w.WriteU8(g);
      w.WriteU8(r);
      w.WriteU8(a);
    }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRow, 0);
    for (int x = 0; x < n; ++x) {
      uint8_t r, g, b, a;
      img.Straight(x, y, r, g, b, a);
      if (a == 0) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    }
    w.WriteBytes(row);
  }
  return w.Take();
}

}  // namespace kavrel::art
