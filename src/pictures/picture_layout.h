// Where a picture goes for each layout: 0 natural size at the top left,
// 1 tiled, 2 centred and shrunk to fit. Pure arithmetic, so the painting code
// on top of it stays a thin loop.
#pragma once

#include <cstdint>

#include "base/pixel_rect.h"

namespace kavrel {

enum PictureLayout : int32_t {
  kLayoutNatural = 0,
  kLayoutTiled = 1,
  kLayoutFitted = 2,
};

// Layout 0: the picture at its own size at the target's top-left corner.
PixelRect PlaceNatural(const PixelRect& target, int32_t width, int32_t height);

// Layout 2: a picture that fits keeps its size, one too wide or too high is
// shrunk by the smaller ratio; either way it is centred. Never enlarged.
PixelRect PlaceFitted(const PixelRect& target, int32_t width, int32_t height);

// Layout 1: copies start at the target's top-left corner and go on while the
// copy's left (top) edge is inside the target. The range holds the columns
// [firstColumn, endColumn) and rows [firstRow, endRow) of the copies that
// meet the clip rectangle; nothing else need be drawn.
struct TileRange {
  int32_t firstColumn = 0;
  int32_t endColumn = 0;
  int32_t firstRow = 0;
  int32_t endRow = 0;

  bool Empty() const { return endColumn <= firstColumn || endRow <= firstRow; }
};
TileRange TilesMeetingClip(const PixelRect& target, const PixelRect& clip, int32_t width,
                           int32_t height);
// The rectangle of the copy in a column and row.
PixelRect TileAt(const PixelRect& target, int32_t width, int32_t height, int32_t column,
                   int32_t row);

}  // namespace kavrel
