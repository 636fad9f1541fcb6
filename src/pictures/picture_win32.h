// The GDI half of pictures: a decoded Picture becomes an icon or bitmap for
// one paint context, is drawn (stretched, with a key colour, or by layout)
// and freed. A KeptPicture holds a unit's picture between paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "base/display_scale.h"
#include "pictures/picture.h"
#include "pictures/picture_layout.h"

namespace kavrel {

struct PictureImage {
  HDC dc = nullptr;  // the paint context it was made for
  int32_t kind = kPictureNone;
  int32_t width = 0;
  int32_t height = 0;
  HICON icon = nullptr;      // ICO and CUR, borrowed from the Picture
  HBITMAP bitmap = nullptr;  // every other kind, owned here unless lent
  bool lent = false;         // the bitmap is a KeptPicture's
};

// Lets DecodePicture make icons (and FreePicture destroy them). Done when
// this file is linked in; calling it again is harmless.
void InstallPictureIconHooks();

// Fills `image`; true when an icon or bitmap was obtained. PNG pixels that
// are not opaque are blended over `background` (0xFF000000: button face).
bool MakePictureImage(HDC dc, const Picture* picture, COLORREF background, PictureImage& image);
// A width or height of -1 is the picture's own. A negative raster operation
// is minus a key colour, drawn as transparent. False when it could not be
// drawn whole.
bool DrawPictureImage(const PictureImage& image, int32_t x, int32_t y, int32_t width,
                      int32_t height, int32_t rasterOperation);
void FreePictureImage(PictureImage& image);

// Makes an image, draws it with SRCCOPY and frees it; false when no image
// could be made.
bool DrawPicture(HDC dc, const Picture* picture, int32_t x, int32_t y, int32_t width,
                 int32_t height, COLORREF background);

// Draws with layout 0 (natural size, top left), 1 (tiled; only tiles meeting
// `clip`) or 2 (fitted and centred). Layouts 0 and 2 take the drawn rectangle
// out of *remaining; layout 1 uses it up: the region is deleted and
// *remaining set to null, so the caller fills nothing. `remaining` may be
// null, as may *remaining. The picture's own size is the design's, drawn
// scaled at a `dpi` other than 96.
void DrawPictureLayout(int32_t layout, HDC dc, const Picture* picture, const RECT& target,
                       const RECT& clip, HRGN* remaining, COLORREF background, int32_t dpi = kDesignDpi);

// A unit's picture between paints, decoded from its file on first use. A
// JPEG file is decoded straight into a bitmap of the display's format and
// every paint draws from that bitmap: no packed copy of its pixels is made
// and none is converted per paint. Any other file is kept as a Picture and
// its image made for each paint, as MakePictureImage makes it.
//
// A picture only drawn stretched over an area is decoded at the scale that
// area needs, and released once the stretched copy holds it; it is decoded
// again, at the scale the new area needs, when the copy must be drawn anew
// (another size or colour). Keeping it instead would cost the decoded
// pixels for as long as the window lives, to spare a decode on a resize.
class KeptPicture {
 public:
  KeptPicture() = default;
  ~KeptPicture() { Reset(); }
  KeptPicture(const KeptPicture&) = delete;
  KeptPicture& operator=(const KeptPicture&) = delete;

  enum class Loaded { kYes, kNotAPicture, kFailed };
  // Decodes `file` in place of what was kept; with nothing kept unless it
  // gives kYes. kNotAPicture: no picture file at all, which no later try
  // changes; kFailed: an unsound file, or memory or GDI short, worth
  // another try. A JPEG that is only drawn stretched over `cover` is
  // decoded at a reduced scale that still covers it.
  Loaded Load(std::span<const uint8_t> file, CoverSize cover = {});
  void Reset();
  bool empty() const { return !picture_ && !bitmap_ && !released_; }
  // True when what was decoded serves a draw over `cover` (the picture's own
  // size: none): one and a half times the area, as a decode for it keeps.
  // False when nothing is decoded, released or not, and so a new Load.
  bool Covers(CoverSize cover) const;
  // Frees the decoded pixels once a stretched copy holds all that later
  // paints need; the serial stays, so that copy stays current.
  void ReleasePixels();
  // Tells one loaded picture from every other, even one that reuses a
  // freed handle or address; 0 when empty.
  uint64_t serial() const { return serial_; }

  // As MakePictureImage; the image is released with FreePictureImage,
  // which leaves a lent bitmap alone.
  bool MakeImage(HDC dc, COLORREF background, PictureImage& image) const;

 private:
  Picture* picture_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t eighths_ = 8;  // the scale the bitmap was decoded at
  bool released_ = false;
  uint64_t serial_ = 0;
};

// DrawPicture and DrawPictureLayout for a kept picture.
bool DrawPicture(HDC dc, const KeptPicture& picture, int32_t x, int32_t y, int32_t width, int32_t height,
                 COLORREF background);
void DrawPictureLayout(int32_t layout, HDC dc, const KeptPicture& picture, const RECT& target,
                       const RECT& clip, HRGN* remaining, COLORREF background, int32_t dpi = kDesignDpi);

}  // namespace kavrel
