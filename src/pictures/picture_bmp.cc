// Uncompressed BMP files of 1, 4, 8, 24 and 32 bits to packed bottom-up BGR.
#include <cstring>

#include "commands/runtime_heap.h"
#include "base/byte_reader.h"
#include "pictures/picture_decoders.h"

namespace kavrel::picture_detail {

namespace {

// The fields of the file header and BITMAPINFOHEADER the decoder uses.
struct BmpHeader {
  uint32_t dataOffset = 0;
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t rawHeight = 0;  // negative for top-down rows
  uint16_t planes = 0, bitCount = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
};

// False for anything but an uncompressed BMP of a depth the decoder takes.
bool ReadHeader(ByteReader& r, BmpHeader& h) {
  uint8_t magic[2];
  r.Read(magic, 2);
  r.Skip(8);  // file size, reserved
  h.dataOffset = r.U32();
  h.headerSize = r.U32();
  h.width = r.I32();
  h.rawHeight = r.I32();
  r.ReadU16(h.planes);
  r.ReadU16(h.bitCount);
  h.compression = r.U32();
  r.Skip(12);  // image size, resolution
  h.colorsUsed = r.U32();
  r.Skip(4);
  if (!r.ok() || magic[0] != 'B' || magic[1] != 'M') return false;
  if (h.compression != 0 || h.headerSize < 40) return false;
  return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 24 ||
         h.bitCount == 32;
}

// The colour table right after the header: none above 8 bits, else as many
// entries as the header says (all of them when it says 0).
bool ReadPalette(ByteReader& r, const BmpHeader& h, uint8_t (&palette)[256 * 4],
                 uint32_t& colors) {
  colors = 0;
  if (h.bitCount <= 8) {
    uint32_t most = 1u << h.bitCount;
    colors = h.colorsUsed == 0 ? most : h.colorsUsed;
    if (colors > most) return false;
  }
  uint64_t tableStart = 14 + uint64_t(h.headerSize);
  return r.Seek(tableStart) && r.Read(palette, colors * 4);
}

// One row of the file to B,G,R; false for a palette index past the table.
bool ConvertRow(const uint8_t* src, uint8_t* out, uint32_t w, uint16_t bitCount,
                const uint8_t* palette, uint32_t colors) {
  if (bitCount == 24) {
    std::memcpy(out, src, size_t(w) * 3);
    return true;
  }
  if (bitCount == 32) {
    for (uint32_t x = 0; x < w; ++x, out += 3, src += 4) std::memcpy(out, src, 3);
    return true;
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
    if (index >= colors) return false;
    std::memcpy(out, palette + index * 4, 3);
  }
  return true;
}

}  // namespace

Picture* DecodeBmp(std::span<const uint8_t> data) {
  ByteReader r(data);
  BmpHeader h;
  if (!ReadHeader(r, h)) return nullptr;
  const int32_t width = h.width;
  const uint16_t bitCount = h.bitCount;

  bool topDown = h.rawHeight < 0;
  int64_t height = topDown ? -int64_t(h.rawHeight) : h.rawHeight;
  if (!SizeAcceptable(width, height)) return nullptr;

  uint32_t colors = 0;
  uint8_t palette[256 * 4];
  if (!ReadPalette(r, h, palette, colors)) return nullptr;
  if (h.dataOffset < r.position() || !r.Seek(h.dataOffset)) return nullptr;

  uint64_t stride = (uint64_t(width) * bitCount + 31) / 32 * 4;
  uint64_t lastRow = (uint64_t(width) * bitCount + 7) / 8;  // the final padding may be cut off
  uint64_t need = stride * uint64_t(height - 1) + lastRow;
  if (need > r.remaining()) return nullptr;
  std::span<const uint8_t> bits = r.View(size_t(need));
  if (bits.empty()) return nullptr;

  uint64_t outStride = uint64_t(width) * 3;
  Picture* picture = NewPicture(kPictureBmp, width, int32_t(height), outStride * uint64_t(height), false);
  if (!picture) return nullptr;

  for (int64_t y = 0; y < height; ++y) {
    // The output's first row is the bottom row, as in a bottom-up file.
    const uint8_t* src = bits.data() + size_t(stride) * size_t(topDown ? height - 1 - y : y);
    uint8_t* out = picture->pixels + size_t(outStride) * size_t(y);
    if (!ConvertRow(src, out, uint32_t(width), bitCount, palette, colors)) {
      FreePicture(picture);
      return nullptr;
    }
  }
  return picture;
}

}  // namespace kavrel::picture_detail
