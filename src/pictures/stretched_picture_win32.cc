#include "pictures/stretched_picture_win32.h"

#include "pictures/picture_layout.h"

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

bool StretchedPicture::Make(HDC dc, const KeptPicture& picture, const RECT& area, COLORREF background, bool fitted,
                            int dpi) {
  Reset();
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  // Made for the paint's context, whose format the bitmap takes too.
  PictureImage image;
  if (!picture.MakeImage(dc, background, image)) return false;
  const PixelRect all{0, 0, width, height};
  placed_ = fitted ? PlaceFitted(all, ToDpi(image.width, dpi), ToDpi(image.height, dpi)) : all;
  bool drawn = placed_.Empty();  // nothing to draw is no failure
  HDC memory = drawn ? nullptr : CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, placed_.Width(), placed_.Height()) : nullptr;
  if (bitmap) {
    previous_ = SelectObject(memory, bitmap);
    const RECT whole{0, 0, placed_.Width(), placed_.Height()};
    HBRUSH brush = CreateSolidBrush(background);
    image.dc = memory;
    // Only a copy drawn whole is kept: one with a part missing would be
    // copied on every paint from now on.
    drawn = brush && FillRect(memory, &whole, brush) &&
            DrawPictureImage(image, 0, 0, placed_.Width(), placed_.Height(), int32_t(SRCCOPY));
    if (brush) DeleteObject(brush);
    if (drawn) {
      memory_ = memory;
      bitmap_ = bitmap;
      picture_ = picture.serial();
      width_ = width;
      height_ = height;
      background_ = background;
      fitted_ = fitted;
      dpi_ = dpi;
    } else {
      SelectObject(memory, previous_);
    }
  }
  if (!bitmap_) {
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    previous_ = nullptr;
  }
  FreePictureImage(image);
  return drawn;
}

bool StretchedPicture::Draw(HDC dc, const KeptPicture& picture, const RECT& area, COLORREF background, bool fitted,
                            HRGN* remaining, int dpi) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  if (!Holds(picture, area, background, fitted, dpi) && !Make(dc, picture, area, background, fitted, dpi))
    return false;
  const PixelRect at{area.left + placed_.left, area.top + placed_.top, area.left + placed_.right,
                     area.top + placed_.bottom};
  if (bitmap_) BitBlt(dc, at.left, at.top, at.Width(), at.Height(), memory_, 0, 0, SRCCOPY);
  if (!remaining || !*remaining || at.Empty()) return true;
  if (!fitted) {
    DeleteObject(*remaining);
    *remaining = nullptr;
  } else if (HRGN cut = CreateRectRgn(at.left, at.top, at.right, at.bottom)) {
    CombineRgn(*remaining, *remaining, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  return true;
}

}  // namespace kavrel
