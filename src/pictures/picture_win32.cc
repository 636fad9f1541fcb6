#include "pictures/picture_win32.h"

#include <cstring>

#include "base/byte_reader.h"
#include "base/display_scale.h"
#include "commands/runtime_heap.h"
#include "pictures/picture_layout.h"

namespace kavrel {

namespace {

uintptr_t CreatePictureIcon(std::span<const uint8_t> image, int32_t width, int32_t height,
                            uint16_t bitCount) {
  // The system takes a writable buffer, and the bytes may lie in read-only
  // template data: hand it a copy.
  if (image.size() > size_t(INT32_MAX)) return 0;
  auto* copy = static_cast<BYTE*>(TryAllocate(int32_t(image.size())));
  if (!copy) return 0;
  std::memcpy(copy, image.data(), image.size());
  DWORD size = DWORD(image.size());
  HICON icon = CreateIconFromResourceEx(copy, size, TRUE, 0x30000, width, height, LR_DEFAULTCOLOR);
  if (!icon && bitCount != 16) icon = CreateIconFromResource(copy, size, TRUE, 0x30000);
  Free(copy);
  return reinterpret_cast<uintptr_t>(icon);
}

void DestroyPictureIcon(uintptr_t icon) { DestroyIcon(reinterpret_cast<HICON>(icon)); }

struct IconHookRegistrar {
  IconHookRegistrar() { InstallPictureIconHooks(); }
} g_iconHookRegistrar;

COLORREF ResolveColour(COLORREF c) {
  if (c == 0xFF000000) return GetSysColor(COLOR_BTNFACE);
  return c & 0x00FFFFFF;
}

// Bytes the picture holds for its kind. A Picture not made by the decoders
// must hold exactly these, so that GDI reads and writes no byte past either
// buffer.
uint64_t ExpectedPixelBytes(const Picture& p) {
  uint64_t w = uint64_t(p.width), h = uint64_t(p.height);
  switch (p.kind) {
    case kPictureJpeg:
    case kPictureBmp: return w * h * 3;
    case kPictureGif:
    case kPicturePcx8: return kPaletteRowsOffset + ((w + 3) & ~uint64_t(3)) * h;
    case kPicturePcx1: return (w + 15) / 16 * 2 * h;
    case kPicturePng: return w * h * 4;
    default: return 0;
  }
}

// The header stored before a palette picture's colour table is the one a
// DIB of the picture's own size would have: GDI sizes the bitmap from it.
bool PaletteHeaderMatches(const Picture& p) {
  BITMAPINFOHEADER h;
  std::memcpy(&h, p.pixels, sizeof h);
  return h.biSize == sizeof h && h.biWidth == p.width && h.biHeight == -p.height && h.biPlanes == 1 &&
         h.biBitCount == 8 && h.biCompression == BI_RGB && h.biClrUsed <= 256;
}

HBITMAP NewDib(HDC dc, const BITMAPINFO* info, void** bits) {
  *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, info, DIB_RGB_COLORS, bits, nullptr, 0);
  if (bitmap && !*bits) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

BITMAPINFOHEADER TrueColourHeader(int32_t width, int32_t height, WORD bitCount) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  h.biCompression = BI_RGB;
  return h;
}

// 8-bit rows with the picture's own header and colour table.
HBITMAP MakePaletteBitmap(HDC dc, const Picture& p) {
  void* bits;
  HBITMAP bitmap = NewDib(dc, reinterpret_cast<const BITMAPINFO*>(p.pixels), &bits);
  if (bitmap) std::memcpy(bits, p.pixels + kPaletteRowsOffset, p.pixelSize - kPaletteRowsOffset);
  return bitmap;
}

// A copy of the palette bitmap in the paint context's own format.
HBITMAP MakeCompatibleBitmap(HDC dc, const Picture& p) {
  HBITMAP source = MakePaletteBitmap(dc, p);
  if (!source) return nullptr;
  HBITMAP copy = CreateCompatibleBitmap(dc, p.width, p.height);
  if (copy) {
    HDC from = CreateCompatibleDC(dc);
    HDC to = CreateCompatibleDC(dc);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, p.width, p.height, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
  }
  DeleteObject(source);
  return copy;
}

BITMAPINFO BgrxInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader = TrueColourHeader(width, height, 32);
  return info;
}

// Packed bottom-up B,G,R rows into a 32-bit DIB (B,G,R,0), the layout a
// JPEG is decoded into for a KeptPicture. The display's own format: the
// system stretches it without first converting it in a buffer of its own,
// and shows the same pixels a 24-bit one gives. The fourth byte is 0: a key
// colour is compared with the whole pixel.
HBITMAP MakeRgbBitmap(HDC dc, const Picture& p) {
  const BITMAPINFO info = BgrxInfo(p.width, p.height);
  void* bits;
  HBITMAP bitmap = NewDib(dc, &info, &bits);
  if (!bitmap) return nullptr;
  const uint8_t* in = p.pixels;
  auto* out = static_cast<uint8_t*>(bits);
  const size_t count = size_t(p.width) * size_t(p.height);
  for (size_t i = 0; i < count; ++i, in += 3, out += 4) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = 0;
  }
  return bitmap;
}

// The DIB a JPEG file is decoded into.
class DibRows final : public BgrxRowStorage {
 public:
  uint8_t* Allocate(int32_t width, int32_t height, size_t& stride) override {
    const BITMAPINFO info = BgrxInfo(width, height);
    void* bits;
    bitmap = NewDib(nullptr, &info, &bits);
    this->width = width;
    this->height = height;
    stride = size_t(width) * 4;
    return static_cast<uint8_t*>(bits);
  }
  HBITMAP bitmap = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

// Top-down B,G,R,A, every pixel that is not opaque blended over `background`.
HBITMAP MakeBlendedBitmap(HDC dc, const Picture& p, COLORREF background) {
  BITMAPINFO info{};
  info.bmiHeader = TrueColourHeader(p.width, p.height, 32);
  info.bmiHeader.biHeight = -p.height;
  void* bits;
  HBITMAP bitmap = NewDib(dc, &info, &bits);
  if (!bitmap) return nullptr;
  const uint32_t back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  const uint8_t* in = p.pixels;
  auto* out = static_cast<uint8_t*>(bits);
  const size_t count = size_t(p.width) * size_t(p.height);
  for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
    const uint32_t a = in[3];
    if (a == 255) {
      std::memcpy(out, in, 4);
      continue;
    }
    // a/255 * pixel + (1 - a/255) * background, truncated; exact in integers.
    for (int c = 0; c < 3; ++c) out[c] = uint8_t((a * in[c] + (255 - a) * back[c]) / 255);
    out[3] = in[3];
  }
  return bitmap;
}

// Key-coloured pixels leave the target as it was: target ^ bitmap, then
// cleared where the mask says "not key", then ^ bitmap again.
bool DrawWithKeyColour(HDC dc, HDC source, const PictureImage& image, int32_t x, int32_t y,
                       int32_t width, int32_t height, COLORREF key) {
  HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, nullptr);
  HDC maskDc = CreateCompatibleDC(dc);
  if (!mask || !maskDc) {
    if (mask) DeleteObject(mask);
    if (maskDc) DeleteDC(maskDc);
    return false;
  }
  HGDIOBJ oldMask = SelectObject(maskDc, mask);
  // Colour to monochrome: pixels equal to the source's background colour
  // become 1.
  COLORREF oldSourceBack = SetBkColor(source, key);
  BitBlt(maskDc, 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
  SetBkColor(source, oldSourceBack);

  // Monochrome to colour: 1 is the target's background colour, 0 its text
  // colour; white and black make the AND a mask.
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const bool drawn = StretchBlt(dc, x, y, width, height, source, 0, 0, image.width, image.height, SRCINVERT) &&
                     StretchBlt(dc, x, y, width, height, maskDc, 0, 0, image.width, image.height, SRCAND) &&
                     StretchBlt(dc, x, y, width, height, source, 0, 0, image.width, image.height, SRCINVERT);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);

  SelectObject(maskDc, oldMask);
  DeleteDC(maskDc);
  DeleteObject(mask);
  return drawn;
}

// The stretch mode follows the display: HALFTONE above 16 bits per pixel.
void SetStretchModeForDisplay(HDC dc) {
  HDC screen = GetDC(nullptr);
  int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 32;
  if (screen) ReleaseDC(nullptr, screen);
  int mode = bits > 16 ? HALFTONE : COLORONCOLOR;
  SetStretchBltMode(dc, mode);
  if (mode == HALFTONE) SetBrushOrgEx(dc, 0, 0, nullptr);  // as HALFTONE requires
}

// A memory context holding the image's bitmap; null for icons.
HDC SelectImage(const PictureImage& image, HGDIOBJ* old) {
  *old = nullptr;
  if (!image.bitmap) return nullptr;
  HDC source = CreateCompatibleDC(image.dc);
  if (source) *old = SelectObject(source, image.bitmap);
  return source;
}

void ReleaseImage(HDC source, HGDIOBJ old) {
  if (!source) return;
  SelectObject(source, old);
  DeleteDC(source);
}

// One copy of the image, the stretch mode already set; false when it could
// not be drawn.
bool DrawSelected(const PictureImage& image, HDC source, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t rasterOperation) {
  if (width == -1) width = image.width;
  if (height == -1) height = image.height;
  if (image.icon) return DrawIconEx(image.dc, x, y, image.icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
  if (!source) return false;
  if (rasterOperation < 0) {
    COLORREF key = COLORREF(-int64_t(rasterOperation));
    return DrawWithKeyColour(image.dc, source, image, x, y, width, height, key);
  }
  return StretchBlt(image.dc, x, y, width, height, source, 0, 0, image.width, image.height,
                    DWORD(rasterOperation)) != FALSE;
}

void TakeOut(HRGN* remaining, const PixelRect& r) {
  if (!remaining || !*remaining || r.Empty()) return;
  HRGN cut = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  if (!cut) return;
  CombineRgn(*remaining, *remaining, cut, RGN_DIFF);
  DeleteObject(cut);
}

// A new KeptPicture serial: pictures are loaded on the UI thread only.
uint64_t NextSerial() {
  static uint64_t last = 0;
  return ++last;
}

// One of the layouts of DrawPictureLayout, from a made image.
void DrawImageLayout(int32_t layout, const PictureImage& image, const RECT& target, const RECT& clip,
                     HRGN* remaining, int32_t dpi) {
  const PixelRect area = ToPixelRect(target);
  // A picture's own size is the design's: at another DPI it is drawn scaled.
  const int32_t w = ToDpi(image.width, dpi), h = ToDpi(image.height, dpi);
  const int32_t shownWidth = dpi == kDesignDpi ? -1 : w, shownHeight = dpi == kDesignDpi ? -1 : h;
  SetStretchModeForDisplay(image.dc);
  HGDIOBJ old;
  HDC source = SelectImage(image, &old);
  if (layout == kLayoutNatural) {
    PixelRect at = PlaceNatural(area, w, h);
    DrawSelected(image, source, at.left, at.top, shownWidth, shownHeight, int32_t(SRCCOPY));
    TakeOut(remaining, at);
  } else if (layout == kLayoutTiled) {
    TileRange tiles = TilesMeetingClip(area, ToPixelRect(clip), w, h);
    for (int32_t row = tiles.firstRow; row < tiles.endRow; ++row) {
      for (int32_t column = tiles.firstColumn; column < tiles.endColumn; ++column) {
        PixelRect at = TileAt(area, w, h, column, row);
        DrawSelected(image, source, at.left, at.top, shownWidth, shownHeight, int32_t(SRCCOPY));
      }
    }
    if (remaining && *remaining) {
      DeleteObject(*remaining);
      *remaining = nullptr;
    }
  } else {
    PixelRect at = PlaceFitted(area, w, h);
    if (!at.Empty()) {
      DrawSelected(image, source, at.left, at.top, at.Width(), at.Height(), int32_t(SRCCOPY));
      TakeOut(remaining, at);
    }
  }
  ReleaseImage(source, old);
}

}  // namespace

void InstallPictureIconHooks() { SetPictureIconHooks({CreatePictureIcon, DestroyPictureIcon}); }

bool MakePictureImage(HDC dc, const Picture* picture, COLORREF background, PictureImage& image) {
  image = PictureImage{};
  if (!picture || picture->kind == kPictureNone || !dc) return false;
  const Picture& p = *picture;
  if (p.width <= 0 || p.height <= 0) return false;
  image.dc = dc;
  image.kind = p.kind;
  image.width = p.width;
  image.height = p.height;
  if (p.kind == kPictureIco || p.kind == kPictureCur) {
    image.icon = reinterpret_cast<HICON>(p.icon);
    return image.icon != nullptr;
  }
  uint64_t expected = ExpectedPixelBytes(p);
  if (expected == 0 || !p.pixels || p.pixelSize != expected) return false;
  if ((p.kind == kPictureGif || p.kind == kPicturePcx8) && !PaletteHeaderMatches(p)) return false;
  switch (p.kind) {
    case kPictureGif: image.bitmap = MakeCompatibleBitmap(dc, p); break;
    case kPicturePcx8: image.bitmap = MakePaletteBitmap(dc, p); break;
    case kPicturePcx1: image.bitmap = CreateBitmap(p.width, p.height, 1, 1, p.pixels); break;
    case kPicturePng: image.bitmap = MakeBlendedBitmap(dc, p, ResolveColour(background)); break;
    default: image.bitmap = MakeRgbBitmap(dc, p); break;
  }
  return image.bitmap != nullptr;
}

bool DrawPictureImage(const PictureImage& image, int32_t x, int32_t y, int32_t width,
                      int32_t height, int32_t rasterOperation) {
  if (!image.dc || (!image.icon && !image.bitmap)) return false;
  SetStretchModeForDisplay(image.dc);
  HGDIOBJ old;
  HDC source = SelectImage(image, &old);
  const bool drawn = DrawSelected(image, source, x, y, width, height, rasterOperation);
  ReleaseImage(source, old);
  return drawn;
}

void FreePictureImage(PictureImage& image) {
  if (image.bitmap && !image.lent) DeleteObject(image.bitmap);
  image = PictureImage{};
}

bool DrawPicture(HDC dc, const Picture* picture, int32_t x, int32_t y, int32_t width,
                 int32_t height, COLORREF background) {
  PictureImage image;
  if (!MakePictureImage(dc, picture, background, image)) return false;
  DrawPictureImage(image, x, y, width, height, int32_t(SRCCOPY));
  FreePictureImage(image);
  return true;
}

void DrawPictureLayout(int32_t layout, HDC dc, const Picture* picture, const RECT& target,
                       const RECT& clip, HRGN* remaining, COLORREF background, int32_t dpi) {
  if (layout < kLayoutNatural || layout > kLayoutFitted) return;
  PictureImage image;
  if (!MakePictureImage(dc, picture, background, image)) return;
  DrawImageLayout(layout, image, target, clip, remaining, dpi);
  FreePictureImage(image);
}

bool DrawPicture(HDC dc, const KeptPicture& picture, int32_t x, int32_t y, int32_t width, int32_t height,
                 COLORREF background) {
  PictureImage image;
  if (!picture.MakeImage(dc, background, image)) return false;
  DrawPictureImage(image, x, y, width, height, int32_t(SRCCOPY));
  FreePictureImage(image);
  return true;
}

void DrawPictureLayout(int32_t layout, HDC dc, const KeptPicture& picture, const RECT& target,
                       const RECT& clip, HRGN* remaining, COLORREF background, int32_t dpi) {
  if (layout < kLayoutNatural || layout > kLayoutFitted) return;
  PictureImage image;
  if (!picture.MakeImage(dc, background, image)) return;
  DrawImageLayout(layout, image, target, clip, remaining, dpi);
  FreePictureImage(image);
}

KeptPicture::Loaded KeptPicture::Load(std::span<const uint8_t> file, CoverSize cover) {
  Reset();
  ByteReader stream(file);
  const PictureKind kind = DetectPictureKind(stream);
  if (kind == kPictureNone) return Loaded::kNotAPicture;
  if (kind != kPictureJpeg) {
    if (file.size() <= size_t(INT32_MAX)) picture_ = DecodePicture(file.data(), int32_t(file.size()));
    if (!picture_) return Loaded::kFailed;
    serial_ = NextSerial();
    return Loaded::kYes;
  }
  DibRows rows;
  if (!DecodeJpegRows(file, rows, cover, &eighths_)) {
    if (rows.bitmap) DeleteObject(rows.bitmap);
    eighths_ = 8;
    return Loaded::kFailed;
  }
  bitmap_ = rows.bitmap;
  width_ = rows.width;
  height_ = rows.height;
  serial_ = NextSerial();
  return Loaded::kYes;
}

void KeptPicture::Reset() {
  FreePicture(picture_);
  if (bitmap_) DeleteObject(bitmap_);
  picture_ = nullptr;
  bitmap_ = nullptr;
  width_ = height_ = 0;
  eighths_ = 8;
  released_ = false;
  serial_ = 0;
}

bool KeptPicture::Covers(CoverSize cover) const {
  if (!picture_ && !bitmap_) return false;
  if (!bitmap_ || eighths_ == 8) return true;
  // The rule JpegEighthsToCover decodes by.
  return cover.width > 0 && cover.height > 0 && int64_t(width_) * 2 >= int64_t(cover.width) * 3 &&
         int64_t(height_) * 2 >= int64_t(cover.height) * 3;
}

void KeptPicture::ReleasePixels() {
  if (empty()) return;
  const uint64_t serial = serial_;
  Reset();
  serial_ = serial;
  released_ = true;
}

bool KeptPicture::MakeImage(HDC dc, COLORREF background, PictureImage& image) const {
  if (!bitmap_) return MakePictureImage(dc, picture_, background, image);
  image = PictureImage{};
  if (!dc) return false;
  image.dc = dc;
  image.kind = kPictureJpeg;
  image.width = width_;
  image.height = height_;
  image.bitmap = bitmap_;
  image.lent = true;
  return true;
}

}  // namespace kavrel
