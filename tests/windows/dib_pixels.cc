#include "dib_pixels.h"

#include <cmath>
#include <limits>

namespace kavrel::test {

HBITMAP MakeDib32(HDC dc, int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

COLORREF PixelGrid::At(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  GdiFlush();  // a canvas may have been painted since
  const uint32_t p = bits_[size_t(y) * size_t(width_) + size_t(x)];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

double Psnr(const PixelGrid& a, const PixelGrid& b, const RECT& r) {
  double squares = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF p = a.At(x, y), q = b.At(x, y);
      for (int shift : {0, 8, 16}) {
        const double d = double(int(p >> shift & 0xFF) - int(q >> shift & 0xFF));
        squares += d * d;
      }
    }
  const double mean = squares / (3.0 * double(r.right - r.left) * double(r.bottom - r.top));
  return mean == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mean);
}

Capture::Capture(HWND hwnd, void (*pump)()) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (pump) pump();
  RECT client;
  GetClientRect(hwnd, &client);
  width_ = client.right;
  height_ = client.bottom;
  void* bits = nullptr;
  HDC window = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(window);
  HBITMAP dib = MakeDib32(window, width_, height_, &bits);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width_, height_, window, 0, 0, SRCCOPY);
  GdiFlush();
  if (bits) pixels_.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(width_) * size_t(height_));
  bits_ = pixels_.empty() ? nullptr : pixels_.data();
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(hwnd, window);
}

GdiShortage::GdiShortage(int spare) {
  while (HRGN region = CreateRectRgn(0, 0, 1, 1)) taken_.push_back(region);
  for (int i = 0; i < spare && !taken_.empty(); ++i) {
    DeleteObject(taken_.back());
    taken_.pop_back();
  }
}

GdiShortage::~GdiShortage() {
  for (HGDIOBJ region : taken_) DeleteObject(region);
}

Canvas::Canvas(int width, int height, COLORREF fill) {
  width_ = width;
  height_ = height;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  dib_ = MakeDib32(dc_, width, height, &bits);
  bits_ = static_cast<const uint32_t*>(bits);
  old_ = SelectObject(dc_, dib_);
  HBRUSH brush = CreateSolidBrush(fill);
  const RECT all{0, 0, width, height};
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(dib_);
  DeleteDC(dc_);
}

COLORREF BrushColour(HBRUSH brush) {
  Canvas canvas(1, 1, RGB(0, 0, 0));
  const RECT one{0, 0, 1, 1};
  FillRect(canvas.dc(), &one, brush);
  return canvas.At(0, 0);
}

}  // namespace kavrel::test
