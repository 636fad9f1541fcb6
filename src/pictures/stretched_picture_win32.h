// A picture stretched over an area, drawn once into a bitmap of the area's
// size and copied from there on every later paint. This matters beyond
// speed: the system's HALFTONE stretch gives different pixels for a clipped
// paint than for a whole one, so a partial repaint drawn afresh would not
// match what is around it. It is drawn again when
// the area's size or the background colour changes, or after Reset (the
// picture itself changed).
#pragma once

#include <windows.h>

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
  // Draws `picture` stretched over `area` of `dc`, as DrawPicture does;
  // false when no image could be made of it.
  bool Draw(HDC dc, const KeptPicture& picture, const RECT& area, COLORREF background);
  // True when Draw would copy what it already drew, with no need of the
  // picture's pixels.
  bool Holds(const KeptPicture& picture, const RECT& area, COLORREF background) const {
    return bitmap_ && picture.serial() == picture_ && area.right - area.left == width_ &&
           area.bottom - area.top == height_ && background == background_;
  }

 private:
  HDC memory_ = nullptr;  // holds bitmap_ selected, ready to copy from
  HGDIOBJ previous_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  uint64_t picture_ = 0;  // the KeptPicture's serial when drawn
  int width_ = 0;
  int height_ = 0;
  COLORREF background_ = 0;
};

}  // namespace kavrel
