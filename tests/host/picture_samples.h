// Small picture files made on the spot for the picture tests and the fuzz
// seeds: JPEG and PNG through the real libraries, the others by writers of
// our own that follow the file formats.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kavrel::samples {

using Bytes = std::vector<uint8_t>;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Pixels are given top-down, as the picture is seen.
struct BmpRecipe {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  bool topDown = false;              // store a negative height
  std::vector<Rgb> palette;          // for 1, 4, 8 bits
  uint32_t colorsUsed = 0;           // as stored in the header
  std::vector<uint32_t> pixels;      // palette indexes, or 0xRRGGBB
  int64_t dataOffset = -1;           // -1: right after the colour table
};
Bytes MakeBmp(const BmpRecipe& recipe);

using PixelFunction = std::function<Rgb(int x, int y)>;
// `scans` 0: baseline; 1: the library's standard progression; more: a
// script of exactly that many scans (colour pictures, 2 to 190).
Bytes MakeJpeg(int width, int height, bool grey, const PixelFunction& pixel, int scans = 0,
               int quality = 95);

// RGBA bytes, top-down.
Bytes MakePng(int width, int height, const std::vector<uint8_t>& rgba);

// The GIF code stream of `indexes`, LSB first, not yet in sub-blocks. With
// `clearWhenFull` false the table stays full without a clear code, as some
// writers do.
Bytes EncodeLzw(const std::vector<uint8_t>& indexes, int minCodeSize, bool clearWhenFull = true);

struct GifRecipe {
  uint16_t screenWidth = 0, screenHeight = 0;  // 0: the frame's own
  uint8_t background = 0;
  std::vector<Rgb> palette;  // global table; its size is rounded up to a power of 2
  bool localTable = false;   // store the palette with the frame instead
  uint16_t left = 0, top = 0, width = 1, height = 1;
  bool interlaced = false;
  std::vector<uint8_t> indexes;  // the frame's pixels, top-down
  int minCodeSize = 8;
  bool clearWhenFull = true;
  bool withExtensions = true;  // a graphic control and a comment before the frame
};
Bytes MakeGif(const GifRecipe& recipe);
// Wraps a code stream into GIF data sub-blocks, with the terminator.
Bytes SubBlocks(const Bytes& data);

// 8-bit PCX (palette after the pixels) or 1-bit PCX (rows of bits, top-down).
Bytes MakePcx8(int width, int height, const std::vector<uint8_t>& indexes,
               const std::vector<Rgb>& palette, int lineBytes = 0);
Bytes MakePcx1(int width, int height, const std::vector<uint8_t>& rows, int lineBytes);
// PCX run-length encoding of one stream of bytes.
Bytes PcxRuns(const std::vector<uint8_t>& bytes);

// An icon image as icon files hold it: BITMAPINFOHEADER with double height,
// colour table, colour bits, AND mask. `colour` gives 0xRRGGBB (or an index
// for <= 8 bits; entry i is (i*17, i*53, i*91) mod 256, entry 0 black);
// `transparent` sets the AND bit (such pixels should be black).
Bytes MakeIconDib(int width, int height, uint16_t bitCount,
                  const std::function<uint32_t(int x, int y)>& colour,
                  const std::function<bool(int x, int y)>& transparent = nullptr);
struct IconEntry {
  uint8_t widthByte = 0, heightByte = 0, colorCount = 0;
  uint16_t bitCount = 0;
  Bytes image;
};
// type 1 icon, 2 cursor.
Bytes MakeIconFile(uint16_t type, const std::vector<IconEntry>& entries);

void AppendU16(Bytes& b, uint32_t v);
void AppendU32(Bytes& b, uint32_t v);

}  // namespace kavrel::samples
