// GIF: the first image of the file, with the runtime's own LZW decoder, into
// the 8-bit palette layout. Transparency is not kept: the runtime draws GIFs
// opaque (a caller wanting a key colour passes it when drawing).
#include <cstring>

#include "base/byte_reader.h"
#include "pictures/picture_decoders.h"

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

// The string table of one LZW stream: every code past the end code stands
// for an earlier string plus one index.
struct LzwDecoder {
  const uint32_t minCodeSize;
  const uint32_t clear;
  const uint32_t end;
  uint32_t bits = 0;
  uint32_t next = 0;
  uint32_t previous = kMaxCodes;  // none
  uint8_t first = 0;              // first index of the previous string
  uint16_t prefix[kMaxCodes];
  uint8_t suffix[kMaxCodes];
  uint8_t stack[kMaxCodes];

  explicit LzwDecoder(uint32_t codeSize)
      : minCodeSize(codeSize), clear(1u << codeSize), end(clear + 1) {
    for (uint32_t i = 0; i < clear; ++i) {
      prefix[i] = 0;
      suffix[i] = uint8_t(i);
    }
    Restart();
  }

  // The state at the start of the stream and after a clear code.
  void Restart() {
    bits = minCodeSize + 1;
    next = clear + 2;
    previous = kMaxCodes;
  }

  // One code that is neither clear nor end. False when it breaks the rules:
  // a string code with nothing before it, or a code above the next free slot.
  bool Take(uint32_t code, FrameWriter& out) {
    if (previous == kMaxCodes) {
      if (code >= clear) return false;
      out.Put(uint8_t(code));
      previous = code;
      first = uint8_t(code);
      return true;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return false;
    WriteString(code, out);
    AddString();
    previous = code;
    return true;
  }

  // Writes the string of `code`, which is at most the next free slot.
  void WriteString(uint32_t code, FrameWriter& out) {
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
  }

  // Defines the next slot as the previous string plus the first index of the
  // one just written, widening the codes when the slots for this width run out.
  void AddString() {
    if (next >= kMaxCodes) return;
    prefix[next] = uint16_t(previous);
    suffix[next] = first;
    ++next;
    if (next == (1u << bits) && bits < kMaxCodeBits) ++bits;
  }
};

// False for a code stream that breaks the rules (a code above the next free
// slot, a string code with nothing before it) or a file that ends inside it.
bool DecodeLzw(ByteReader& r, uint32_t minCodeSize, FrameWriter& out) {
  LzwDecoder lzw(minCodeSize);
  CodeReader codes(r);
  uint32_t code;
  while (!out.Done() && codes.Next(lzw.bits, code)) {
    if (code == lzw.clear) {
      lzw.Restart();
      continue;
    }
    if (code == lzw.end) break;
    if (!lzw.Take(code, out)) return false;
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

// The logical screen descriptor and the global colour table.
struct GifScreen {
  uint16_t width = 0, height = 0;
  uint8_t flags = 0, background = 0;
  uint32_t colors = 0;
  uint8_t table[256 * 3];
};

// The first image descriptor, its local colour table and its code size.
struct GifFrame {
  uint16_t left = 0, top = 0, width = 0, height = 0;
  uint8_t flags = 0;
  uint8_t minCodeSize = 0;
  uint32_t colors = 0;
  uint8_t table[256 * 3];
};

bool ReadScreen(ByteReader& r, GifScreen& screen) {
  r.Skip(6);  // signature and version, already recognised
  uint8_t aspect;
  r.ReadU16(screen.width);
  r.ReadU16(screen.height);
  r.ReadU8(screen.flags);
  r.ReadU8(screen.background);
  r.ReadU8(aspect);
  if (screen.flags & 0x80) {
    screen.colors = 2u << (screen.flags & 7);
    r.Read(screen.table, screen.colors * 3);
  }
  return r.ok();
}

// Passes the extensions before the first image; false at the trailer, at
// garbage or at the end of the file.
bool SkipToImage(ByteReader& r) {
  for (;;) {
    uint8_t introducer = 0;
    if (!r.ReadU8(introducer)) return false;
    if (introducer == 0x21) {  // extension: label, then sub-blocks
      if (!r.Skip(1) || !SkipSubBlocks(r)) return false;
      continue;
    }
    return introducer == 0x2C;
  }
}

// False for a frame without pixels or a code size out of range.
bool ReadFrame(ByteReader& r, GifFrame& frame) {
  r.ReadU16(frame.left);
  r.ReadU16(frame.top);
  r.ReadU16(frame.width);
  r.ReadU16(frame.height);
  r.ReadU8(frame.flags);
  if (frame.flags & 0x80) {
    frame.colors = 2u << (frame.flags & 7);
    r.Read(frame.table, frame.colors * 3);
  }
  r.ReadU8(frame.minCodeSize);
  if (!r.ok() || frame.width == 0 || frame.height == 0) return false;
  return frame.minCodeSize >= 2 && frame.minCodeSize <= 8;
}

// The RGBQUADs of the palette layout from a GIF colour table; slots past the
// table stay black.
void WriteColorTable(uint8_t* quads, const uint8_t* table, uint32_t colors) {
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
}

}  // namespace

Picture* DecodeGif(std::span<const uint8_t> data) {
  ByteReader r(data);
  GifScreen screen;
  if (!ReadScreen(r, screen) || !SkipToImage(r)) return nullptr;
  GifFrame frame;
  if (!ReadFrame(r, frame)) return nullptr;

  // A file without a screen size is as large as its image.
  uint32_t width = screen.width ? screen.width : uint32_t(frame.left) + frame.width;
  uint32_t height = screen.height ? screen.height : uint32_t(frame.top) + frame.height;
  if (!SizeAcceptable(width, height)) return nullptr;
  const uint32_t stride = PaletteRowStride(int32_t(width));
  const uint64_t imageSize = uint64_t(stride) * height;
  Picture* picture = NewPicture(kPictureGif, int32_t(width), int32_t(height), kPaletteRowsOffset + imageSize);
  if (!picture) return nullptr;
  uint8_t* p = picture->pixels;
  WritePaletteHeader(p, int32_t(width), int32_t(height), uint32_t(imageSize));
  if (frame.colors) {
    WriteColorTable(p + 40, frame.table, frame.colors);
  } else {
    WriteColorTable(p + 40, screen.table, screen.colors);
  }
  uint8_t* rows = p + kPaletteRowsOffset;
  if (screen.colors && screen.background) std::memset(rows, screen.background, size_t(imageSize));

  FrameWriter out{rows, stride, width, height, frame.left, frame.top, frame.width, frame.height,
                  (frame.flags & 0x40) != 0};
  if (!DecodeLzw(r, frame.minCodeSize, out)) {
    FreePicture(picture);
    return nullptr;
  }
  return picture;
}

}  // namespace kavrel::picture_detail
