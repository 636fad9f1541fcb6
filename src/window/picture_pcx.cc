// PCX, run-length encoded: 8-bit single-plane files into the palette layout,
// 1-bit files into word-aligned monochrome rows.
#include <cstring>

#include "templates/byte_reader.h"
#include "window/picture_decoders.h"

namespace kavrel::picture_detail {

namespace {

// The run-length stream; a run may go on into the next scanline.
class RunReader {
 public:
  explicit RunReader(ByteReader& r) : r_(r) {}

  bool Next(uint8_t& value) {
    if (repeat_ == 0) {
      uint8_t b;
      if (!r_.ReadU8(b)) return false;
      if (b > 192) {
        if (!r_.ReadU8(value_)) return false;
        repeat_ = b - 192u;
      } else {
        value = b;
        return true;
      }
    }
    --repeat_;
    value = value_;
    return true;
  }

 private:
  ByteReader& r_;
  uint8_t value_ = 0;
  uint32_t repeat_ = 0;
};

}  // namespace

Picture* DecodePcx(std::span<const uint8_t> data) {
  if (data.size() < 129) return nullptr;
  ByteReader r(data);
  uint8_t h[128];
  if (!r.Read(h, sizeof h)) return nullptr;
  if (h[0] != 0x0A || h[1] > 5 || h[2] != 1) return nullptr;
  const uint32_t bits = h[3];
  const uint32_t planes = h[65];
  const uint32_t xMin = LoadU16(h + 4), yMin = LoadU16(h + 6);
  const uint32_t xMax = LoadU16(h + 8), yMax = LoadU16(h + 10);
  const uint32_t lineBytes = LoadU16(h + 66);
  if (xMax < xMin || yMax < yMin || planes != 1) return nullptr;
  const uint32_t width = xMax - xMin + 1;
  const uint32_t height = yMax - yMin + 1;
  if (!SizeAcceptable(width, height)) return nullptr;

  PictureKind kind;
  uint32_t stride, used, offset;
  if (bits == 8) {
    kind = kPicturePcx8;
    stride = PaletteRowStride(int32_t(width));
    used = width;
    offset = kPaletteRowsOffset;
  } else if (bits == 1) {
    kind = kPicturePcx1;
    stride = (width + 15) / 16 * 2;
    used = (width + 7) / 8;
    offset = 0;
  } else {
    return nullptr;
  }
  if (lineBytes < used) return nullptr;
  // A run of 2 bytes gives at most 63: refuse a file too short for its size
  // before allocating.
  if (r.remaining() * 32 < uint64_t(lineBytes) * height) return nullptr;
  const uint64_t imageSize = uint64_t(stride) * height;
  Picture* picture = NewPicture(kind, int32_t(width), int32_t(height), offset + imageSize);
  if (!picture) return nullptr;

  uint8_t* rows = picture->pixels + offset;
  RunReader runs(r);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = rows + size_t(y) * stride;
    for (uint32_t x = 0; x < lineBytes; ++x) {
      uint8_t v;
      if (!runs.Next(v)) {
        FreePicture(picture);
        return nullptr;
      }
      if (x < used) row[x] = v;
    }
  }
  if (kind == kPicturePcx1) return picture;

  uint8_t* p = picture->pixels;
  WritePaletteHeader(p, int32_t(width), int32_t(height), uint32_t(imageSize));
  // The 256-colour palette: a 12 right after the pixels (or, from writers
  // that pad, 769 bytes before the end), then red, green, blue triples.
  const uint8_t* palette = nullptr;
  uint8_t marker = 0;
  if (r.ReadU8(marker) && marker == 12) palette = r.View(768).data();
  if (!palette && data.size() >= 128 + 769) {
    ByteReader tail(data.subspan(data.size() - 769));
    if (tail.ReadU8(marker) && marker == 12) palette = tail.View(768).data();
  }
  uint8_t* quads = p + 40;
  for (uint32_t i = 0; i < 256; ++i, quads += 4) {
    if (palette) {
      quads[0] = palette[i * 3 + 2];
      quads[1] = palette[i * 3 + 1];
      quads[2] = palette[i * 3];
    } else {
      quads[0] = quads[1] = quads[2] = uint8_t(i);  // no palette: grey
    }
  }
  return picture;
}

}  // namespace kavrel::picture_detail
