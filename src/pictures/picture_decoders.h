// Shared pieces of the picture decoders; not for callers outside them.
#pragma once

#include <cstdint>
#include <span>

#include "pictures/picture.h"

namespace kavrel::picture_detail {

// True when width x height is a size the decoders will allocate for.
inline bool SizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && uint64_t(width) * uint64_t(height) <= kMaxPicturePixels;
}

// A picture object with a pixel buffer of `pixelSize` bytes (none when 0),
// zeroed unless the decoder writes every byte itself; null when the heap has
// no room. The size must already be checked.
Picture* NewPicture(PictureKind kind, int32_t width, int32_t height, uint64_t pixelSize,
                    bool zeroed = true);

// Writes the 40-byte BITMAPINFOHEADER of the 8-bit palette layouts
// (top-down rows, 256 colours) at the start of `p`.
void WritePaletteHeader(uint8_t* p, int32_t width, int32_t height, uint32_t imageSize);
// Row size of an 8-bit DIB row.
inline uint32_t PaletteRowStride(int32_t width) { return (uint32_t(width) + 3) & ~3u; }


Picture* DecodeJpeg(std::span<const uint8_t> data);
Picture* DecodePng(std::span<const uint8_t> data);
Picture* DecodeBmp(std::span<const uint8_t> data);
Picture* DecodeIcon(std::span<const uint8_t> data);
Picture* DecodeGif(std::span<const uint8_t> data);
Picture* DecodePcx(std::span<const uint8_t> data);

}  // namespace kavrel::picture_detail
