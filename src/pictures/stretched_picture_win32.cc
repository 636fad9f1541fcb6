#include "pictures/stretched_picture_win32.h"

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
  picture_ = 0;
}

bool StretchedPicture::Draw(HDC dc, const KeptPicture& picture, const RECT& area, COLORREF background) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return DrawPicture(dc, picture, area.left, area.top, width, height, background);
  if (!bitmap_ || picture.serial() != picture_ || width != width_ || height != height_ || background != background_) {
    Reset();
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (!bitmap) {
      // No room for the copy: the picture is drawn straight onto the paint.
      if (memory) DeleteDC(memory);
      return DrawPicture(dc, picture, area.left, area.top, width, height, background);
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
    picture_ = picture.serial();
    width_ = width;
    height_ = height;
    background_ = background;
  }
  BitBlt(dc, area.left, area.top, width, height, memory_, 0, 0, SRCCOPY);
  return true;
}

}  // namespace kavrel
