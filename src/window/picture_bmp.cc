// Uncompressed BMP files of 1, 4, 8, 24 and 32 bits to packed bottom-up BGR.
#include <cstring>

#include "commands/runtime_heap.h"
#include "templates/byte_reader.h"
#include "window/picture_decoders.h"

namespace kavrel::picture_detail {

Picture* DecodeBmp(std::span<const uint8_t> data) {
  ByteReader r(data);
  uint8_t magic[2];
  r.Read(magic, 2);
  r.Skip(8);  // file size, reserved
  uint32_t dataOffset = r.U32();
  uint32_t headerSize = r.U32();
  int32_t width = r.I32();
  int32_t rawHeight = r.I32();
  uint16_t planes = 0, bitCount = 0;
  r.ReadU16(planes);
  r.ReadU16(bitCount);
  uint32_t compression = r.U32();
  r.Skip(12);  // image size, resolution
  uint32_t colorsUsed = r.U32();
  r.Skip(4);
  if (!r.ok() || magic[0] != 'B' || magic[1] != 'M') return nullptr;
  if (compression != 0 || headerSize < 40) return nullptr;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    return nullptr;

  bool topDown = rawHeight < 0;
  int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
  if (!SizeAcceptable(width, height)) return nullptr;

  uint32_t colors = 0;
  if (bitCount <= 8) {
    uint32_t most = 1u << bitCount;
    colors = colorsUsed == 0 ? most : colorsUsed;
    if (colors > most) return nullptr;
  }
  uint8_t palette[256 * 4];
  uint64_t tableStart = 14 + uint64_t(headerSize);
  if (!r.Seek(tableStart) || !r.Read(palette, colors * 4)) return nullptr;
  if (dataOffset < r.position() || !r.Seek(dataOffset)) return nullptr;

  uint64_t stride = (uint64_t(width) * bitCount + 31) / 32 * 4;
  uint64_t lastRow = (uint64_t(width) * bitCount + 7) / 8;  // the final padding may be cut off
  uint64_t need = stride * uint64_t(height - 1) + lastRow;
  if (need > r.remaining()) return nullptr;
  std::span<const uint8_t> bits = r.View(size_t(need));
  if (bits.empty()) return nullptr;

  uint64_t outStride = uint64_t(width) * 3;
  Picture* picture = NewPicture(kPictureBmp, width, int32_t(height), outStride * uint64_t(height), false);
  if (!picture) return nullptr;

  const uint32_t w = uint32_t(width);
  for (int64_t y = 0; y < height; ++y) {
    // The output's first row is the bottom row, as in a bottom-up file.
    const uint8_t* src = bits.data() + size_t(stride) * size_t(topDown ? height - 1 - y : y);
    uint8_t* out = picture->pixels + size_t(outStride) * size_t(y);
    if (bitCount == 24) {
      std::memcpy(out, src, size_t(outStride));
      continue;
    }
    if (bitCount == 32) {
      for (uint32_t x = 0; x < w; ++x, out += 3, src += 4) std::memcpy(out, src, 3);
      continue;
    }
    for (uint32_t x = 0; x < w; ++x, out += 3) {
      uint32_t index;
      if (bitCount == 8) {
        index = src[x];
      } else if (bitCount == 4) {
        index = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
      } else {
        index = (src[x >> 3] >> (7 - (x & 7))) & 1;
      }
      if (index >= colors) {
        FreePicture(picture);
        return nullptr;
      }
      std::memcpy(out, palette + index * 4, 3);
    }
  }
  return picture;
}

}  // namespace kavrel::picture_detail
