#include "pictures/stretched_picture_win32.h"

#include "pictures/picture_win32.h"

namespace kavrel {

void StretchedPicture::Reset() {
  if (memory_) {
    SelectObject(memory_, previous_);
    DeleteDC(memory_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  memory_ = nullptr;
  previous_ = nullptr;
  bitmap_ = nullptr;
  picture_ = nullptr;
}

bool StretchedPicture::Make(HDC dc, const Picture* picture, int width, int height, COLORREF background) {
  Reset();
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (!bitmap) {
    if (memory) DeleteDC(memory);
    return false;
  }
  HGDIOBJ previous = SelectObject(memory, bitmap);
  if (!DrawPicture(memory, picture, 0, 0, width, height, background)) {
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return false;
  }
  memory_ = memory;
  previous_ = previous;
  bitmap_ = bitmap;
  picture_ = picture;
  width_ = width;
  height_ = height;
  background_ = background;
  return true;
}

bool StretchedPicture::Draw(HDC dc, const Picture* picture, const RECT& area, COLORREF background) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const bool drawn = bitmap_ && picture == picture_ && width == width_ && height == height_ && background == background_;
  if (width <= 0 || height <= 0 || (!drawn && !Make(dc, picture, width, height, background)))
    return DrawPicture(dc, picture, area.left, area.top, width, height, background);
  BitBlt(dc, area.left, area.top, width, height, memory_, 0, 0, SRCCOPY);
  return true;
}

}  // namespace kavrel
