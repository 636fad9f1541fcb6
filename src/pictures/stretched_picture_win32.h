// A picture stretched over an area (a window's layout 3), or shrunk to fit
// and centred in it (layout 2 of a window or a label), drawn once over the
// background colour into a bitmap of the drawn size and copied from there on
// every later paint. This matters beyond speed: the system's HALFTONE stretch
// gives different pixels for a clipped paint than for a whole one, so a
// partial repaint drawn afresh would not match what is around it; and the
// pixels a picture leaves transparent show the background, as they did when
// it was drawn straight onto the paint. It is drawn again when the area's
// size, the background colour or the layout changes, or after Reset (the
// picture itself changed). Only a copy drawn whole is kept.
#pragma once

#include <windows.h>

#include "base/pixel_rect.h"
#include "pictures/picture_win32.h"

namespace kavrel {

class StretchedPicture {
 public:
  StretchedPicture() = default;
  ~StretchedPicture() { Reset(); }
  StretchedPicture(const StretchedPicture&) = delete;
  StretchedPicture& operator=(const StretchedPicture&) = delete;

  // Forgets the drawn bitmap.
  void Reset();
  // Draws `picture` over `area` of `dc`, stretched over all of it or, when
  // `fitted`, where PlaceFitted puts it at its own size at `dpi`, and takes
  // what it drew out of
  // *remaining (deleting the region and setting it to null when that is
  // all). `remaining` may be null, as may *remaining. False, with nothing
  // drawn, when no copy could be made (memory or GDI short): the caller
  // fills the area for this paint, and the next paint tries again.
  bool Draw(HDC dc, const KeptPicture& picture, const RECT& area, COLORREF background, bool fitted,
            HRGN* remaining, int dpi = kDesignDpi);
  // True when Draw would copy what it already drew, with no need of the
  // picture's pixels.
  bool Holds(const KeptPicture& picture, const RECT& area, COLORREF background, bool fitted,
             int dpi = kDesignDpi) const {
    return bitmap_ && picture.serial() == picture_ && area.right - area.left == width_ &&
           area.bottom - area.top == height_ && background == background_ && fitted == fitted_ && dpi == dpi_;
  }

 private:
  // Makes the bitmap for the area's size; false as Draw.
  bool Make(HDC dc, const KeptPicture& picture, const RECT& area, COLORREF background, bool fitted, int dpi);

  HDC memory_ = nullptr;  // holds bitmap_ selected, ready to copy from
  HGDIOBJ previous_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  uint64_t picture_ = 0;  // the KeptPicture's serial when drawn
  int width_ = 0;         // of the area
  int height_ = 0;
  COLORREF background_ = 0;
  bool fitted_ = false;
  int dpi_ = kDesignDpi;
  PixelRect placed_;  // what the bitmap covers, in the area
};

}  // namespace kavrel
