// PCX, run-length encoded: 8-bit single-plane files into the palette layout,
// 1-bit files into word-aligned monochrome rows.
#include <cstring>

#include "base/byte_reader.h"
#include "pictures/picture_decoders.h"

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

// What the header says about the rows and the layout they go into.
struct PcxLayout {
  PictureKind kind = kPictureNone;
  uint32_t width = 0, height = 0;
  uint32_t lineBytes = 0;  // decoded bytes per scanline in the file
  uint32_t stride = 0;     // bytes per row in the picture
  uint32_t used = 0;       // bytes of each scanline that hold pixels
  uint32_t offset = 0;     // of the rows in the picture
};

// False for anything but a sound single-plane 8-bit or 1-bit header, or a
// file too short for the size it gives.
bool ReadLayout(ByteReader& r, PcxLayout& l) {
  uint8_t h[128];
  if (!r.Read(h, sizeof h)) return false;
  if (h[0] != 0x0A || h[1] > 5 || h[2] != 1) return false;
  const uint32_t bits = h[3];
  const uint32_t planes = h[65];
  const uint32_t xMin = LoadU16(h + 4), yMin = LoadU16(h + 6);
  const uint32_t xMax = LoadU16(h + 8), yMax = LoadU16(h + 10);
  l.lineBytes = LoadU16(h + 66);
  if (xMax < xMin || yMax < yMin || planes != 1) return false;
  l.width = xMax - xMin + 1;
  l.height = yMax - yMin + 1;
  if (!SizeAcceptable(l.width, l.height)) return false;

  if (bits == 8) {
    l.kind = kPicturePcx8;
    l.stride = PaletteRowStride(int32_t(l.width));
    l.used = l.width;
    l.offset = kPaletteRowsOffset;
  } else if (bits == 1) {
    l.kind = kPicturePcx1;
    l.stride = (l.width + 15) / 16 * 2;
    l.used = (l.width + 7) / 8;
    l.offset = 0;
  } else {
    return false;
  }
  if (l.lineBytes < l.used) return false;
  // A run of 2 bytes gives at most 63: refuse a file too short for its size
  // before allocating.
  return r.remaining() * 32 >= uint64_t(l.lineBytes) * l.height;
}

// False when the data ends before the last scanline does.
bool ReadRows(ByteReader& r, const PcxLayout& l, uint8_t* rows) {
  RunReader runs(r);
  for (uint32_t y = 0; y < l.height; ++y) {
    uint8_t* row = rows + size_t(y) * l.stride;
    for (uint32_t x = 0; x < l.lineBytes; ++x) {
      uint8_t v;
      if (!runs.Next(v)) return false;
      if (x < l.used) row[x] = v;
    }
  }
  return true;
}

// The 256-colour palette: a 12 right after the pixels (or, from writers
// that pad, 769 bytes before the end), then red, green, blue triples.
// Without one the RGBQUADs are a grey ramp.
void WritePalette(ByteReader& r, std::span<const uint8_t> data, uint8_t* quads) {
  const uint8_t* palette = nullptr;
  uint8_t marker = 0;
  if (r.ReadU8(marker) && marker == 12) palette = r.View(768).data();
  if (!palette && data.size() >= 128 + 769) {
    ByteReader tail(data.subspan(data.size() - 769));
    if (tail.ReadU8(marker) && marker == 12) palette = tail.View(768).data();
  }
  for (uint32_t i = 0; i < 256; ++i, quads += 4) {
    if (palette) {
      quads[0] = palette[i * 3 + 2];
      quads[1] = palette[i * 3 + 1];
      quads[2] = palette[i * 3];
    } else {
      quads[0] = quads[1] = quads[2] = uint8_t(i);  // no palette: grey
    }
  }
}

}  // namespace

Picture* DecodePcx(std::span<const uint8_t> data) {
  if (data.size() < 129) return nullptr;
  ByteReader r(data);
  PcxLayout l;
  if (!ReadLayout(r, l)) return nullptr;
  const uint64_t imageSize = uint64_t(l.stride) * l.height;
  Picture* picture = NewPicture(l.kind, int32_t(l.width), int32_t(l.height), l.offset + imageSize);
  if (!picture) return nullptr;
  if (!ReadRows(r, l, picture->pixels + l.offset)) {
    FreePicture(picture);
    return nullptr;
  }
  if (l.kind == kPicturePcx1) return picture;

  uint8_t* p = picture->pixels;
  WritePaletteHeader(p, int32_t(l.width), int32_t(l.height), uint32_t(imageSize));
  WritePalette(r, data, p + 40);
  return picture;
}

}  // namespace kavrel::picture_detail
