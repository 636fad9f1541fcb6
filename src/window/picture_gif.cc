// GIF: the first image of the file, with the runtime's own LZW decoder, into
// the 8-bit palette layout. Transparency is not kept: the runtime draws GIFs
// opaque (a caller wanting a key colour passes it when drawing).
#include <cstring>

#include "templates/byte_reader.h"
#include "window/picture_decoders.h"

namespace kavrel::picture_detail {

namespace {

constexpr uint32_t kMaxCodes = 4096;
constexpr uint32_t kMaxCodeBits = 12;

// Reads the LZW codes from the data sub-blocks, least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(ByteReader& r) : r_(r) {}

  // False at the end of the sub-blocks; sets `broken` when the file ends
  // before them.
  bool Next(uint32_t bits, uint32_t& code) {
    while (count_ < bits) {
      if (blockLeft_ == 0) {
        if (ended_) return false;
        uint8_t size;
        if (!r_.ReadU8(size)) return Broken();
        if (size == 0) {
          ended_ = true;
          return false;
        }
        blockLeft_ = size;
      }
      uint8_t byte;
      if (!r_.ReadU8(byte)) return Broken();
      --blockLeft_;
      acc_ |= uint32_t(byte) << count_;
      count_ += 8;
    }
    code = acc_ & ((1u << bits) - 1);
    acc_ >>= bits;
    count_ -= bits;
    return true;
  }

  bool broken() const { return broken_; }

 private:
  bool Broken() {
    broken_ = true;
    ended_ = true;
    return false;
  }

  ByteReader& r_;
  uint32_t acc_ = 0;
  uint32_t count_ = 0;
  uint32_t blockLeft_ = 0;
  bool ended_ = false;
  bool broken_ = false;
};

// Where the decoded indexes go: the frame's rows, in interlaced order when
// the frame says so, clipped to the picture.
struct FrameWriter {
  uint8_t* rows;
  uint32_t stride;
  uint32_t canvasWidth, canvasHeight;
  uint32_t left, top, width, height;
  bool interlaced;
  uint32_t column = 0;
  uint32_t row = 0;  // rows of the frame finished so far
  uint32_t pass = 0;
  uint32_t y = 0;  // frame row the next pixel goes to

  bool Done() const { return row >= height || (!interlaced && top + uint64_t(y) >= canvasHeight); }

  void Put(uint8_t index) {
    uint64_t cx = uint64_t(left) + column, cy = uint64_t(top) + y;
    if (cx < canvasWidth && cy < canvasHeight) rows[size_t(cy) * stride + size_t(cx)] = index;
    if (++column < width) return;
    column = 0;
    ++row;
    if (!interlaced) {
      ++y;
      return;
    }
    static constexpr uint32_t kStart[4] = {0, 4, 2, 1};
    static constexpr uint32_t kStep[4] = {8, 8, 4, 2};
    y += kStep[pass];
    while (y >= height && pass < 3) y = kStart[++pass];
  }
};

// False for a code stream that breaks the rules (a code above the next free
// slot, a string code with nothing before it) or a file that ends inside it.
bool DecodeLzw(ByteReader& r, uint32_t minCodeSize, FrameWriter& out) {
  const uint32_t clear = 1u << minCodeSize;
  const uint32_t end = clear + 1;
  uint16_t prefix[kMaxCodes];
  uint8_t suffix[kMaxCodes];
  uint8_t stack[kMaxCodes];
  for (uint32_t i = 0; i < clear; ++i) {
    prefix[i] = 0;
    suffix[i] = uint8_t(i);
  }

  CodeReader codes(r);
  uint32_t bits = minCodeSize + 1;
  uint32_t next = clear + 2;
  uint32_t previous = kMaxCodes;  // none
  uint8_t first = 0;              // first index of the previous string
  uint32_t code;
  while (!out.Done() && codes.Next(bits, code)) {
    if (code == clear) {
      bits = minCodeSize + 1;
      next = clear + 2;
      previous = kMaxCodes;
      continue;
    }
    if (code == end) break;
    if (previous == kMaxCodes) {
      if (code >= clear) return false;
      out.Put(uint8_t(code));
      previous = code;
      first = uint8_t(code);
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return false;

    uint32_t depth = 0;
    uint32_t walk = code;
    if (code == next) {  // the string just being defined: previous + its first index
      stack[depth++] = first;
      walk = previous;
    }
    while (walk >= clear) {
      stack[depth++] = suffix[walk];
      walk = prefix[walk];
    }
    stack[depth++] = uint8_t(walk);
    first = uint8_t(walk);
    while (depth > 0 && !out.Done()) out.Put(stack[--depth]);

    if (next < kMaxCodes) {
      prefix[next] = uint16_t(previous);
      suffix[next] = first;
      ++next;
      if (next == (1u << bits) && bits < kMaxCodeBits) ++bits;
    }
    previous = code;
  }
  // Only a file that ends inside the data is refused; a stream that stops
  // early leaves the rest of the frame in the background colour.
  return !codes.broken();
}

bool SkipSubBlocks(ByteReader& r) {
  uint8_t size;
  while (r.ReadU8(size) && size != 0) r.Skip(size);
  return r.ok();
}

}  // namespace

Picture* DecodeGif(std::span<const uint8_t> data) {
  ByteReader r(data);
  r.Skip(6);  // signature and version, already recognised
  uint16_t screenWidth = 0, screenHeight = 0;
  uint8_t flags = 0, background = 0, aspect;
  r.ReadU16(screenWidth);
  r.ReadU16(screenHeight);
  r.ReadU8(flags);
  r.ReadU8(background);
  r.ReadU8(aspect);
  uint8_t globalTable[256 * 3];
  uint32_t globalColors = 0;
  if (flags & 0x80) {
    globalColors = 2u << (flags & 7);
    r.Read(globalTable, globalColors * 3);
  }
  if (!r.ok()) return nullptr;

  for (;;) {
    uint8_t introducer = 0;
    if (!r.ReadU8(introducer)) return nullptr;
    if (introducer == 0x21) {  // extension: label, then sub-blocks
      if (!r.Skip(1) || !SkipSubBlocks(r)) return nullptr;
      continue;
    }
    if (introducer != 0x2C) return nullptr;  // the trailer, or garbage: no image
    break;
  }

  uint16_t left = 0, top = 0, frameWidth = 0, frameHeight = 0;
  uint8_t frameFlags = 0;
  r.ReadU16(left);
  r.ReadU16(top);
  r.ReadU16(frameWidth);
  r.ReadU16(frameHeight);
  r.ReadU8(frameFlags);
  uint8_t localTable[256 * 3];
  uint32_t localColors = 0;
  if (frameFlags & 0x80) {
    localColors = 2u << (frameFlags & 7);
    r.Read(localTable, localColors * 3);
  }
  uint8_t minCodeSize = 0;
  r.ReadU8(minCodeSize);
  if (!r.ok() || frameWidth == 0 || frameHeight == 0) return nullptr;
  if (minCodeSize < 2 || minCodeSize > 8) return nullptr;

  // A file without a screen size is as large as its image.
  uint32_t width = screenWidth ? screenWidth : uint32_t(left) + frameWidth;
  uint32_t height = screenHeight ? screenHeight : uint32_t(top) + frameHeight;
  if (!SizeAcceptable(width, height)) return nullptr;
  const uint32_t stride = PaletteRowStride(int32_t(width));
  const uint64_t imageSize = uint64_t(stride) * height;
  Picture* picture = NewPicture(kPictureGif, int32_t(width), int32_t(height), kPaletteRowsOffset + imageSize);
  if (!picture) return nullptr;
  uint8_t* p = picture->pixels;
  WritePaletteHeader(p, int32_t(width), int32_t(height), uint32_t(imageSize));

  const uint8_t* table = localColors ? localTable : globalTable;
  uint32_t colors = localColors ? localColors : globalColors;
  uint8_t* quads = p + 40;
  for (uint32_t i = 0; i < 256; ++i) {
    uint8_t* q = quads + i * 4;
    if (i < colors) {
      q[0] = table[i * 3 + 2];
      q[1] = table[i * 3 + 1];
      q[2] = table[i * 3];
    } else if (colors == 0) {
      q[0] = q[1] = q[2] = uint8_t(i);  // no colour table at all: a grey ramp
    }
  }
  uint8_t* rows = p + kPaletteRowsOffset;
  if (globalColors && background) std::memset(rows, background, size_t(imageSize));

  FrameWriter out{rows, stride, width, height, left, top, frameWidth, frameHeight,
                  (frameFlags & 0x40) != 0};
  if (!DecodeLzw(r, minCodeSize, out)) {
    FreePicture(picture);
    return nullptr;
  }
  return picture;
}

}  // namespace kavrel::picture_detail
