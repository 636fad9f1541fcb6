#include "pictures/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "commands/runtime_heap.h"
#include "picture_samples.h"
#include "template_test_support.h"
#include "base/byte_reader.h"

#include <zlib.h>

namespace kavrel {
namespace {

using samples::Bytes;
using samples::Rgb;

// Every test checks that what it decoded and freed, and every refused file,
// leaves no heap block behind.
class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override { before_ = OutstandingBlocks(); }
  void TearDown() override { EXPECT_EQ(OutstandingBlocks(), before_); }

  struct Release {
    void operator()(Picture* p) const { FreePicture(p); }
  };
  using Owned = std::unique_ptr<Picture, Release>;
  static Owned Decode(const Bytes& b) { return Owned{DecodePicture(b.data(), int32_t(b.size()))}; }

  // Pixel (x, y), y from the top, of a packed bottom-up BGR picture.
  static Rgb BgrAt(const Picture& p, int x, int y) {
    const uint8_t* px = p.pixels + (size_t(p.height - 1 - y) * size_t(p.width) + size_t(x)) * 3;
    return {px[2], px[1], px[0]};
  }
  // Colour of pixel (x, y) of the palette layouts (GIF, 8-bit PCX).
  static uint8_t IndexAt(const Picture& p, int x, int y) {
    uint32_t stride = (uint32_t(p.width) + 3) & ~3u;
    return p.pixels[kPaletteRowsOffset + size_t(y) * stride + size_t(x)];
  }
  static Rgb PaletteColour(const Picture& p, uint8_t index) {
    const uint8_t* q = p.pixels + 40 + index * 4;
    return {q[2], q[1], q[0]};
  }

  int64_t before_ = 0;
};

PictureKind Detect(const Bytes& b) {
  ByteReader r(b);
  PictureKind kind = DetectPictureKind(r);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.position(), 0u);  // left at the start
  return kind;
}

Bytes Padded(std::initializer_list<uint8_t> head, size_t size = 8) {
  Bytes b(head);
  b.resize(std::max(size, b.size()), 0);
  return b;
}

TEST_F(PictureTest, RecognisesFormatsByTheirFirstBytes) {
  EXPECT_EQ(Detect(Padded({'B', 'M'})), kPictureBmp);
  EXPECT_EQ(Detect(Padded({0xFF, 0xD8})), kPictureJpeg);
  EXPECT_EQ(Detect(Padded({0x89, 'P', 'N', 'G'})), kPicturePng);
  EXPECT_EQ(Detect(Padded({0, 0, 1, 0, 3, 0})), kPictureIco);
  EXPECT_EQ(Detect(Padded({0, 0, 2, 0, 1, 0})), kPictureCur);
  EXPECT_EQ(Detect(Padded({0, 0, 1, 0, 0, 0})), kPictureNone);  // no images
  EXPECT_EQ(Detect(Padded({0, 0, 3, 0, 1, 0})), kPictureNone);
  EXPECT_EQ(Detect(Padded({'G', 'I', 'F', '8', '7', 'a'})), kPictureGif);
  EXPECT_EQ(Detect(Padded({'G', 'I', 'F', '8', '9', 'a'})), kPictureGif);
  EXPECT_EQ(Detect(Padded({'G', 'I', 'F', '8', '8', 'a'})), kPictureNone);
  EXPECT_EQ(Detect(Padded({0x0A, 5, 1, 8})), kPicturePcx8);
  EXPECT_EQ(Detect(Padded({0x0A, 6, 1, 8})), kPictureNone);
  EXPECT_EQ(Detect(Padded({0x0A, 3, 1, 1})), kPicturePcx1);
  EXPECT_EQ(Detect(Padded({0x0A, 5, 1, 1})), kPictureNone);
  EXPECT_EQ(Detect(Padded({'M', 'B'})), kPictureNone);
  // Seven bytes are never enough, whatever they hold.
  EXPECT_EQ(Detect(Bytes{'B', 'M', 0, 0, 0, 0, 0}), kPictureNone);
  EXPECT_EQ(DecodePicture("BM\0\0\0\0\0", 7), nullptr);
  EXPECT_EQ(DecodePicture(nullptr, 100), nullptr);
  EXPECT_EQ(DecodePicture("BM", 0), nullptr);
  EXPECT_EQ(DecodePicture("BM", -5), nullptr);
}

TEST_F(PictureTest, BmpTrueColourIsPackedBottomUpBgr) {
  // 3 pixels wide: the file's rows carry padding that the picture must not.
  samples::BmpRecipe recipe;
  recipe.width = 3;
  recipe.height = 2;
  recipe.pixels = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203};
  for (uint16_t bits : {24, 32}) {
    for (bool topDown : {false, true}) {
      recipe.bitCount = bits;
      recipe.topDown = topDown;
      auto p = Decode(samples::MakeBmp(recipe));
      ASSERT_TRUE(p) << bits << " " << topDown;
      EXPECT_EQ(p->kind, kPictureBmp);
      EXPECT_EQ(p->width, 3);
      EXPECT_EQ(p->height, 2);
      ASSERT_EQ(p->pixelSize, 18u);
      // Bottom row first in memory.
      const uint8_t expected[18] = {0xC0, 0xB0, 0xA0, 0xF0, 0xE0, 0xD0, 0x03, 0x02, 0x01,
                                    0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0x90, 0x80, 0x70};
      EXPECT_EQ(0, std::memcmp(p->pixels, expected, 18));
    }
  }
}

TEST_F(PictureTest, BmpPaletteDepthsExpandThroughTheColourTable) {
  const std::vector<Rgb> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7},
                                    {1, 2, 3},   {4, 5, 6},   {7, 8, 9},   {10, 11, 12},
                                    {13, 14, 15}, {16, 17, 18}, {19, 20, 21}, {22, 23, 24},
                                    {25, 26, 27}, {28, 29, 30}, {31, 32, 33}, {34, 35, 36}};
  for (uint16_t bits : {1, 4, 8}) {
    samples::BmpRecipe recipe;
    recipe.bitCount = bits;
    recipe.width = 11;  // odd widths exercise the sub-byte positions and padding
    recipe.height = 3;
    uint32_t colours = bits == 1 ? 2 : 16;
    recipe.palette.assign(palette.begin(), palette.begin() + colours);
    recipe.colorsUsed = bits == 8 ? colours : 0;
    for (int i = 0; i < 33; ++i) recipe.pixels.push_back(uint32_t(i * 7 % colours));
    auto p = Decode(samples::MakeBmp(recipe));
    ASSERT_TRUE(p) << bits;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 11; ++x)
        EXPECT_EQ(BgrAt(*p, x, y), palette[(y * 11 + x) * 7 % colours]) << bits << " " << x << "," << y;
  }
}

TEST_F(PictureTest, BmpRefusesWhatItCannotReadSafely) {
  samples::BmpRecipe good;
  good.bitCount = 8;
  good.width = 4;
  good.height = 2;
  good.palette = {{1, 1, 1}, {2, 2, 2}};
  good.colorsUsed = 2;
  good.pixels = {0, 1, 1, 0, 1, 1, 0, 0};
  ASSERT_TRUE(Decode(samples::MakeBmp(good)));

  auto refused = [&](samples::BmpRecipe recipe, const char* why) {
    EXPECT_FALSE(Decode(samples::MakeBmp(recipe))) << why;
  };
  samples::BmpRecipe s = good;
  s.compression = 1;
  refused(s, "RLE8");
  s = good;
  s.compression = 3;
  refused(s, "bit fields");
  s = good;
  s.bitCount = 16;
  s.palette.clear();
  s.colorsUsed = 0;
  refused(s, "16 bits");
  s = good;
  s.pixels[5] = 2;
  refused(s, "index beyond the two colours");
  s = good;
  s.dataOffset = 54 + 4;
  refused(s, "pixels start inside the colour table");
  s = good;
  s.colorsUsed = 257;
  refused(s, "more colours than 8 bits hold");

  // A larger offset is skipped to.
  s = good;
  s.dataOffset = 200;
  auto p = Decode(samples::MakeBmp(s));
  ASSERT_TRUE(p);
  EXPECT_EQ(BgrAt(*p, 1, 0), (Rgb{2, 2, 2}));

  // Cut anywhere, the file gives nothing (the final row's padding aside).
  Bytes file = samples::MakeBmp(good);
  for (size_t n = 8; n + 4 < file.size(); ++n) {
    Bytes cut(file.begin(), file.begin() + long(n));
    EXPECT_FALSE(Decode(cut)) << n;
  }
  // Only the last row's padding missing: every pixel is there.
  s = good;
  s.width = 3;
  Bytes unpadded = samples::MakeBmp(s);
  unpadded.pop_back();
  EXPECT_TRUE(Decode(unpadded));
  unpadded.pop_back();
  EXPECT_FALSE(Decode(unpadded));
}

TEST_F(PictureTest, BmpHeaderValuesAreNotTrusted) {
  Bytes file = samples::MakeBmp({});
  auto patched = [&](size_t at, uint32_t v) {
    Bytes b = file;
    StoreU32(b.data() + at, v);
    return b;
  };
  EXPECT_FALSE(Decode(patched(18, 0x7FFFFFFF)));  // width
  EXPECT_FALSE(Decode(patched(22, 0x80000000)));  // height INT_MIN
  EXPECT_FALSE(Decode(patched(18, 0)));
  EXPECT_FALSE(Decode(patched(10, 0xFFFFFFF0)));  // data offset
  EXPECT_FALSE(Decode(patched(14, 0xFFFFFFF0)));  // header size
  EXPECT_FALSE(Decode(patched(14, 12)));          // the old core header
  Bytes overCap = patched(18, 1 << 14);            // 2^14 x (2^12 + 1) pixels
  StoreU32(overCap.data() + 22, (1 << 12) + 1);
  EXPECT_FALSE(Decode(overCap));
}

TEST_F(PictureTest, GreyscaleJpegGivesEqualChannelsBottomUp) {
  // A 4 x 2 grey picture: top row dark, bottom row light.
  Bytes file = samples::MakeJpeg(4, 2, true, [](int, int y) {
    uint8_t v = y == 0 ? 40 : 210;
    return Rgb{v, v, v};
  });
  auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPictureJpeg);
  EXPECT_EQ(p->width, 4);
  EXPECT_EQ(p->height, 2);
  ASSERT_EQ(p->pixelSize, 4u * 2 * 3);
  for (int i = 0; i < 8; ++i) {
    const uint8_t* px = p->pixels + i * 3;
    EXPECT_EQ(px[0], px[1]);
    EXPECT_EQ(px[1], px[2]);
    // The first row in memory is the bottom (light) row.
    if (i < 4) EXPECT_NEAR(px[0], 210, 6) << i;
    else EXPECT_NEAR(px[0], 40, 6) << i;
  }
}

TEST_F(PictureTest, ColourJpegIsBgrBottomUpBaselineAndProgressive) {
  // Top half red, bottom half blue.
  auto halves = [](int, int y) { return y < 8 ? Rgb{230, 20, 10} : Rgb{10, 20, 230}; };
  for (int scans : {0, 1, 60}) {
    auto p = Decode(samples::MakeJpeg(16, 16, false, halves, scans));
    ASSERT_TRUE(p) << scans;
    EXPECT_EQ(p->width, 16);
    const uint8_t* first = p->pixels;                   // bottom-left: blue
    const uint8_t* last = p->pixels + p->pixelSize - 3;  // top-right: red
    EXPECT_GT(first[0], 180) << scans;
    EXPECT_LT(first[2], 60) << scans;
    EXPECT_GT(last[2], 180) << scans;
    EXPECT_LT(last[0], 60) << scans;
  }
}

// Rows in memory of the test's own, with a gap after each row that must stay
// untouched.
struct VectorRows final : BgrxRowStorage {
  uint8_t* Allocate(int32_t w, int32_t h, size_t& stride) override {
    if (refuse) return nullptr;
    width = w;
    height = h;
    stride = rowBytes = size_t(w) * 4 + 8;
    bytes.assign(rowBytes * size_t(h), 0xAB);
    return bytes.data();
  }
  bool refuse = false;
  int32_t width = 0, height = 0;
  size_t rowBytes = 0;
  std::vector<uint8_t> bytes;
};

TEST_F(PictureTest, JpegRowsHoldThePicturesPixelsInTheCallersStorage) {
  auto halves = [](int x, int y) { return y < 8 ? Rgb{230, uint8_t(x * 15), 10} : Rgb{10, 20, uint8_t(y * 15)}; };
  auto grey = [](int x, int y) {
    const uint8_t v = uint8_t(x * 20 + y);
    return Rgb{v, v, v};
  };
  const Bytes files[] = {samples::MakeJpeg(16, 16, false, halves), samples::MakeJpeg(13, 16, false, halves, 60),
                         samples::MakeJpeg(7, 5, true, grey), test::ReadGenerated("background.jpg")};
  for (const Bytes& file : files) {
    auto p = Decode(file);
    ASSERT_TRUE(p);
    VectorRows rows;
    ASSERT_TRUE(DecodeJpegRows(file, rows));
    ASSERT_EQ(rows.width, p->width);
    ASSERT_EQ(rows.height, p->height);
    size_t differ = 0;
    for (int y = 0; y < p->height; ++y) {
      // Both are bottom-up.
      const uint8_t* packed = p->pixels + size_t(y) * size_t(p->width) * 3;
      const uint8_t* row = rows.bytes.data() + size_t(y) * rows.rowBytes;
      for (int x = 0; x < p->width; ++x)
        differ += !std::equal(packed + 3 * x, packed + 3 * x + 3, row + 4 * x) || row[4 * x + 3] != 0;
      differ += size_t(std::count(row + 4 * p->width, row + rows.rowBytes, 0xAB) != 8);
    }
    EXPECT_EQ(differ, 0u) << p->width << " x " << p->height;
  }
  // Refused storage, a damaged file and another kind give nothing.
  VectorRows refused;
  refused.refuse = true;
  EXPECT_FALSE(DecodeJpegRows(files[0], refused));
  VectorRows cut;
  EXPECT_FALSE(DecodeJpegRows(Bytes(files[0].begin(), files[0].end() - 2), cut));
  VectorRows other;
  EXPECT_FALSE(DecodeJpegRows(Padded({'B', 'M'}, 64), other));
  EXPECT_EQ(other.width, 0);
  // To cover 476 x 280 the 1366 x 768 background is decoded at 5/8, the
  // library rounding up; a cover the picture does not reach leaves it whole.
  VectorRows reduced;
  int32_t eighths = 0;
  ASSERT_TRUE(DecodeJpegRows(files[3], reduced, {476, 280}, &eighths));
  EXPECT_EQ(eighths, 5);
  EXPECT_EQ(reduced.width, 854);
  EXPECT_EQ(reduced.height, 480);
  VectorRows whole;
  ASSERT_TRUE(DecodeJpegRows(files[0], whole, {17, 4}, &eighths));
  EXPECT_EQ(eighths, 8);
  EXPECT_EQ(whole.width, 16);
  // One and a half times the largest cover still counts right.
  EXPECT_EQ(JpegEighthsToCover(1366, 768, {INT32_MAX, INT32_MAX}), 8);
}

TEST_F(PictureTest, JpegWithMoreThanAHundredScansIsRefused) {
  auto pixel = [](int x, int y) { return Rgb{uint8_t(x * 9), uint8_t(y * 9), 77}; };
  EXPECT_TRUE(Decode(samples::MakeJpeg(24, 24, false, pixel, 100)));
  EXPECT_FALSE(Decode(samples::MakeJpeg(24, 24, false, pixel, 101)));
  EXPECT_FALSE(Decode(samples::MakeJpeg(24, 24, false, pixel, 190)));
}

TEST_F(PictureTest, DamagedJpegGivesNothing) {
  auto pixel = [](int x, int y) { return Rgb{uint8_t(x * 5), uint8_t(y * 5), uint8_t(x ^ y)}; };
  for (int scans : {0, 1}) {
    Bytes file = samples::MakeJpeg(40, 40, false, pixel, scans);
    // Cut inside the last scan's data: no picture, and no grey fill. (Cut
    // between two scans, a progressive file is a sound file of fewer scans.)
    size_t lastScan = 0;
    for (size_t i = 0; i + 1 < file.size(); ++i)
      if (file[i] == 0xFF && file[i + 1] == 0xDA) lastScan = i;
    Bytes cut(file.begin(), file.begin() + long((lastScan + file.size()) / 2));
    EXPECT_FALSE(Decode(cut)) << scans;
  }
  Bytes file = samples::MakeJpeg(8, 8, false, pixel);
  // Even with every row there, a file without its end marker is cut short.
  EXPECT_TRUE(Decode(file));
  EXPECT_FALSE(Decode(Bytes(file.begin(), file.end() - 2)));
  EXPECT_FALSE(Decode(Bytes(file.begin(), file.begin() + 20)));
  Bytes header = file;
  // The frame header's height set to 0.
  for (size_t i = 0; i + 5 < header.size(); ++i) {
    if (header[i] == 0xFF && header[i + 1] == 0xC0) {
      header[i + 5] = header[i + 6] = 0;
      break;
    }
  }
  EXPECT_FALSE(Decode(header));
}

TEST_F(PictureTest, ProgressiveJpegCutBetweenScansGivesNothing) {
  // The program's own background, cut in front of every marker after its
  // frame header: between two scans the first scans alone would make a
  // blurred picture of the whole area.
  const Bytes file = test::ReadGenerated("background.jpg");
  ASSERT_TRUE(Decode(file));
  size_t frame = 0;
  for (size_t i = 0; i + 1 < file.size() && !frame; ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xC2) frame = i;
  ASSERT_NE(frame, 0u) << "the background is no progressive JPEG";
  int cuts = 0;
  for (size_t i = frame + 2; i + 1 < file.size(); ++i) {
    const uint8_t code = file[i + 1];
    if (file[i] != 0xFF || code == 0x00 || code == 0xFF || (code >= 0xD0 && code <= 0xD7)) continue;
    EXPECT_FALSE(Decode(Bytes(file.begin(), file.begin() + long(i)))) << "cut at " << i;
    ++cuts;
  }
  EXPECT_GE(cuts, 10);  // every scan, its tables and the end marker
}

TEST_F(PictureTest, PngDecodesToTopDownBgra) {
  const std::vector<uint8_t> rgba = {200, 100, 0, 128, 1, 2, 3, 255,  //
                                     9, 8, 7, 0, 250, 251, 252, 253};
  auto p = Decode(samples::MakePng(2, 2, rgba));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPicturePng);
  ASSERT_EQ(p->pixelSize, 16u);
  const uint8_t bgra[16] = {0, 100, 200, 128, 3, 2, 1, 255, 7, 8, 9, 0, 252, 251, 250, 253};
  EXPECT_EQ(0, std::memcmp(p->pixels, bgra, 16));
}

// Signature, IHDR (8-bit RGBA) and IEND, with their CRCs.
Bytes PngHeaderOnly(uint32_t width, uint32_t height) {
  Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const Bytes& data) {
    auto be32 = [&](uint32_t v) {
      for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
    };
    be32(uint32_t(data.size()));
    size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    be32(uint32_t(crc32(0, b.data() + start, uInt(b.size() - start))));
  };
  Bytes ihdr;
  for (uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) ihdr.push_back(uint8_t(v >> shift));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  chunk("IHDR", ihdr);
  chunk("IEND", {});
  return b;
}

TEST_F(PictureTest, DamagedPngGivesNothing) {
  // Exactly the signature: recognised, but there is nothing to decode.
  const Bytes signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  EXPECT_EQ(Detect(signature), kPicturePng);
  EXPECT_FALSE(Decode(signature));

  std::vector<uint8_t> rgba(16 * 16 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 31);
  Bytes file = samples::MakePng(16, 16, rgba);
  EXPECT_FALSE(Decode(Bytes(file.begin(), file.begin() + long(file.size() / 2))));
  Bytes corrupt = file;
  corrupt[corrupt.size() / 2] ^= 0x55;  // inside the compressed data: its check fails
  EXPECT_FALSE(Decode(corrupt));
  // A sound header for more pixels than the cap: refused before the
  // pixel data is even looked at.
  EXPECT_FALSE(Decode(PngHeaderOnly(1 << 16, (1 << 10) + 1)));
}

// An image whose pixels are (x * 3 + y * 5) % n, so that rows are easy to tell apart.
std::vector<uint8_t> Pattern(int width, int height, int n) {
  std::vector<uint8_t> v;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) v.push_back(uint8_t((x * 3 + y * 5) % n));
  return v;
}

std::vector<Rgb> Colours(int n) {
  std::vector<Rgb> c;
  for (int i = 0; i < n; ++i) c.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)});
  return c;
}

TEST_F(PictureTest, GifRendersTheFirstImageIntoThePaletteLayout) {
  samples::GifRecipe recipe;
  recipe.palette = Colours(16);
  recipe.width = 7;
  recipe.height = 11;
  recipe.indexes = Pattern(7, 11, 16);
  for (bool interlaced : {false, true}) {
    for (bool local : {false, true}) {
      for (int minCode : {4, 8}) {
        recipe.interlaced = interlaced;
        recipe.localTable = local;
        recipe.minCodeSize = minCode;
        auto p = Decode(samples::MakeGif(recipe));
        ASSERT_TRUE(p) << interlaced << local << minCode;
        EXPECT_EQ(p->kind, kPictureGif);
        EXPECT_EQ(p->width, 7);
        EXPECT_EQ(p->height, 11);
        EXPECT_EQ(p->pixelSize, kPaletteRowsOffset + 8u * 11);
        EXPECT_EQ(LoadU32(p->pixels), 40u);
        EXPECT_EQ(int32_t(LoadU32(p->pixels + 8)), -11);  // top-down rows
        EXPECT_EQ(LoadU16(p->pixels + 14), 8);
        for (int y = 0; y < 11; ++y)
          for (int x = 0; x < 7; ++x)
            ASSERT_EQ(IndexAt(*p, x, y), (x * 3 + y * 5) % 16) << interlaced << " " << x << "," << y;
        EXPECT_EQ(PaletteColour(*p, 5), (Rgb{5, 250, 15}));
      }
    }
  }
}

TEST_F(PictureTest, GifFrameIsPlacedOnTheScreenAndClipped) {
  samples::GifRecipe recipe;
  recipe.palette = Colours(8);
  recipe.background = 6;
  recipe.screenWidth = 10;
  recipe.screenHeight = 6;
  recipe.left = 7;  // the frame runs 3 pixels past the right edge and 2 past the bottom
  recipe.top = 2;
  recipe.width = 6;
  recipe.height = 6;
  recipe.indexes = Pattern(6, 6, 5);
  for (bool interlaced : {false, true}) {
    recipe.interlaced = interlaced;
    auto p = Decode(samples::MakeGif(recipe));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->width, 10);
    EXPECT_EQ(p->height, 6);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 10; ++x) {
        int fx = x - 7, fy = y - 2;
        int expected = fx >= 0 && fy >= 0 ? (fx * 3 + fy * 5) % 5 : 6;
        EXPECT_EQ(IndexAt(*p, x, y), expected) << interlaced << " " << x << "," << y;
      }
    }
  }
}

TEST_F(PictureTest, GifDecoderHandlesAFullTable) {
  // Noise fills the 4096-entry table many times over; one writer clears it,
  // the other keeps coding with the full table.
  std::vector<uint8_t> noise;
  uint32_t seed = 12345;
  for (int i = 0; i < 160 * 120; ++i) {
    seed = seed * 1103515245 + 12345;
    noise.push_back(uint8_t((seed >> 16) % 200 < 150 ? (seed >> 8) & 3 : (seed >> 20) & 255));
  }
  samples::GifRecipe recipe;
  recipe.palette = Colours(256);
  recipe.width = 160;
  recipe.height = 120;
  recipe.indexes = noise;
  for (bool clear : {true, false}) {
    recipe.clearWhenFull = clear;
    auto p = Decode(samples::MakeGif(recipe));
    ASSERT_TRUE(p) << clear;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x)
        ASSERT_EQ(IndexAt(*p, x, y), noise[size_t(y) * 160 + size_t(x)]) << clear << " " << x << "," << y;
  }
}

TEST_F(PictureTest, GifCodeStreamsThatBreakTheRulesGiveNothing) {
  samples::GifRecipe recipe;
  recipe.palette = Colours(4);
  recipe.width = 4;
  recipe.height = 4;
  recipe.minCodeSize = 2;
  recipe.withExtensions = false;
  recipe.indexes = Pattern(4, 4, 4);
  Bytes good = samples::MakeGif(recipe);
  ASSERT_TRUE(Decode(good));
  // Where the code stream starts: header 13, table 12, descriptor 10, min code size 1.
  const size_t codeSizeAt = 13 + 12 + 10;
  ASSERT_EQ(good[codeSizeAt], 2);

  auto withCodes = [&](uint8_t minCode, const Bytes& stream) {
    Bytes b(good.begin(), good.begin() + codeSizeAt);
    b.push_back(minCode);
    Bytes blocks = samples::SubBlocks(stream);
    b.insert(b.end(), blocks.begin(), blocks.end());
    b.push_back(0x3B);
    return b;
  };
  for (uint8_t bad : {0, 1, 9, 12}) EXPECT_FALSE(Decode(withCodes(bad, samples::EncodeLzw(recipe.indexes, 2)))) << int(bad);
  // 3-bit codes: clear (4), literal 1, then 7 while the next free slot is 6.
  EXPECT_FALSE(Decode(withCodes(2, {0xCC, 0x01})));
  // Clear, then the string code 6 with no string before it.
  EXPECT_FALSE(Decode(withCodes(2, {0x34, 0x00})));
  // Clear, literal 1, then 6 (the slot being defined: 1 1) is sound.
  EXPECT_TRUE(Decode(withCodes(2, {0x8C, 0x0B})));

  // An end code straight away: the whole frame stays background.
  auto p = Decode(withCodes(2, {0x2C}));
  ASSERT_TRUE(p);
  EXPECT_EQ(IndexAt(*p, 3, 3), 0);

  // The file ends inside the image data.
  Bytes cut(good.begin(), good.begin() + long(codeSizeAt + 3));
  EXPECT_FALSE(Decode(cut));
  // A file with no image at all.
  Bytes noImage(good.begin(), good.begin() + 13 + 12);
  noImage.push_back(0x3B);
  EXPECT_FALSE(Decode(noImage));
}

TEST_F(PictureTest, Pcx8RunsAndPalette) {
  // Runs that reach across lines, and bytes at and above 192 (which must
  // travel as runs of 1).
  const int width = 6, height = 4;
  std::vector<uint8_t> indexes = {192, 192, 193, 255, 7,   7,    //
                                  7,   7,   7,   7,   7,   7,    //
                                  0,   1,   2,   3,   200, 200,  //
                                  200, 200, 200, 200, 200, 200};
  auto palette = Colours(256);
  Bytes file = samples::MakePcx8(width, height, indexes, palette);
  auto p = Decode(file);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPicturePcx8);
  EXPECT_EQ(p->width, 6);
  EXPECT_EQ(p->height, 4);
  EXPECT_EQ(p->pixelSize, kPaletteRowsOffset + 8u * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) EXPECT_EQ(IndexAt(*p, x, y), indexes[size_t(y * width + x)]) << x << "," << y;
  EXPECT_EQ(PaletteColour(*p, 200), palette[200]);
  EXPECT_EQ(PaletteColour(*p, 3), palette[3]);

  // A byte of 192 stands for itself.
  Bytes literal = samples::MakePcx8(1, 1, {0}, palette, 2);
  literal[128] = 192;
  literal[129] = 5;
  p = Decode(literal);
  ASSERT_TRUE(p);
  EXPECT_EQ(IndexAt(*p, 0, 0), 192);

  // Without the palette marker the colours are a grey ramp.
  auto grey = Decode(samples::MakePcx8(width, height, indexes, {}));
  ASSERT_TRUE(grey);
  EXPECT_EQ(PaletteColour(*grey, 200), (Rgb{200, 200, 200}));
}

TEST_F(PictureTest, Pcx1RowsArePaddedToWholeWords) {
  // 20 pixels: 3 bytes of bits, padded to 4 in the picture; the file's lines
  // are 4 bytes with a distinct byte in the padding that must not leak.
  std::vector<uint8_t> lines = {0xF0, 0x0F, 0xA5, 0xEE, 0x01, 0x02, 0x03, 0xEE};
  auto p = Decode(samples::MakePcx1(20, 2, lines, 4));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPicturePcx1);
  ASSERT_EQ(p->pixelSize, 8u);
  const uint8_t expected[8] = {0xF0, 0x0F, 0xA5, 0x00, 0x01, 0x02, 0x03, 0x00};
  EXPECT_EQ(0, std::memcmp(p->pixels, expected, 8));
  // 17 pixels: 3 bytes of bits, rows of 4 (even).
  p = Decode(samples::MakePcx1(17, 1, {0xFF, 0xFF, 0x80, 0x00}, 4));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->pixelSize, 4u);
}

TEST_F(PictureTest, PcxRefusesUnsoundHeadersAndShortData) {
  const std::vector<uint8_t> indexes = Pattern(6, 3, 50);
  Bytes good = samples::MakePcx8(6, 3, indexes, Colours(256));
  ASSERT_TRUE(Decode(good));
  auto patched = [&](size_t at, uint8_t v) {
    Bytes b = good;
    b[at] = v;
    return b;
  };
  EXPECT_FALSE(Decode(patched(2, 0)));   // not run-length encoded
  EXPECT_FALSE(Decode(patched(65, 3)));  // three planes
  EXPECT_FALSE(Decode(patched(66, 4)));  // lines shorter than the width
  Bytes inverted = good;
  inverted[4] = 9;  // xMin beyond xMax
  EXPECT_FALSE(Decode(inverted));
  Bytes huge = good;
  huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;  // 65536 x 65536
  huge[66] = huge[67] = 0xFF;
  EXPECT_FALSE(Decode(huge));
  // Pixel data cut short.
  EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + 130)));
  Bytes header(good.begin(), good.begin() + 128);
  EXPECT_FALSE(Decode(header));
}

// --- Icons: the entry choice is ours; the icon itself needs the system.

Bytes IconImage(int size, uint16_t bits) {
  return samples::MakeIconDib(size, size, bits, [](int x, int y) { return uint32_t((x + y) & 15); });
}

TEST_F(PictureTest, IconEntryChoice) {
  IconEntryChoice choice;
  // Both 16 colours: the 32 x 32 entry, wherever it is.
  Bytes two = samples::MakeIconFile(1, {{16, 16, 16, 4, IconImage(16, 4)}, {32, 32, 16, 4, IconImage(32, 4)}});
  ASSERT_TRUE(ChooseIconEntry(two, choice));
  EXPECT_EQ(choice.kind, kPictureIco);
  EXPECT_EQ(choice.index, 1u);
  EXPECT_EQ(choice.width, 32);
  EXPECT_EQ(choice.height, 32);
  EXPECT_EQ(choice.bitCount, 4);
  EXPECT_EQ(choice.image.size(), IconImage(32, 4).size());
  EXPECT_EQ(choice.image.data(), two.data() + 6 + 32 + IconImage(16, 4).size());

  // The first that qualifies wins; a 32-wide true-colour entry (colour count
  // 0) does not qualify, so without a 16-colour one the last entry is used.
  Bytes three = samples::MakeIconFile(2, {{32, 32, 0, 32, IconImage(32, 32)},
                                          {32, 32, 16, 4, IconImage(32, 4)},
                                          {48, 48, 0, 8, IconImage(48, 8)}});
  ASSERT_TRUE(ChooseIconEntry(three, choice));
  EXPECT_EQ(choice.kind, kPictureCur);
  EXPECT_EQ(choice.index, 1u);
  Bytes noneQualifies = samples::MakeIconFile(1, {{32, 32, 0, 32, IconImage(32, 32)}, {16, 16, 16, 4, IconImage(16, 4)}});
  ASSERT_TRUE(ChooseIconEntry(noneQualifies, choice));
  EXPECT_EQ(choice.index, 1u);
  EXPECT_EQ(choice.width, 16);

  // A single 256 x 256 true-colour entry (width byte 0).
  Bytes large = samples::MakeIconFile(1, {{0, 0, 0, 32, IconImage(256, 32)}});
  ASSERT_TRUE(ChooseIconEntry(large, choice));
  EXPECT_EQ(choice.width, 256);
  EXPECT_EQ(choice.height, 256);
  EXPECT_EQ(choice.bitCount, 32);
  EXPECT_FALSE(choice.png);

  // A PNG entry takes its size from the PNG header.
  Bytes png = samples::MakeIconFile(1, {{0, 0, 0, 32, samples::MakePng(40, 24, std::vector<uint8_t>(40 * 24 * 4, 9))}});
  ASSERT_TRUE(ChooseIconEntry(png, choice));
  EXPECT_TRUE(choice.png);
  EXPECT_EQ(choice.width, 40);
  EXPECT_EQ(choice.height, 24);
}

TEST_F(PictureTest, IconEntriesAreCheckedBeforeTheSystemSeesThem) {
  IconEntryChoice choice;
  Bytes file = samples::MakeIconFile(1, {{16, 16, 16, 4, IconImage(16, 4)}});
  ASSERT_TRUE(ChooseIconEntry(file, choice));
  auto patched32 = [&](size_t at, uint32_t v) {
    Bytes b = file;
    StoreU32(b.data() + at, v);
    return b;
  };
  const size_t entry = 6, image = 6 + 16;
  EXPECT_FALSE(ChooseIconEntry(patched32(entry + 8, uint32_t(file.size())), choice));  // size runs past the end
  EXPECT_FALSE(ChooseIconEntry(patched32(entry + 12, 0xFFFFFFF0), choice));             // offset wraps
  EXPECT_FALSE(ChooseIconEntry(patched32(entry + 8, 0), choice));
  EXPECT_FALSE(ChooseIconEntry(patched32(image, 12), choice));          // not a BITMAPINFOHEADER
  EXPECT_FALSE(ChooseIconEntry(patched32(image, 0x10000), choice));     // header larger than the entry
  EXPECT_FALSE(ChooseIconEntry(patched32(image + 8, 64), choice));      // bits for 32 rows in a 16-row entry
  EXPECT_FALSE(ChooseIconEntry(patched32(image + 4, 0x40000000), choice));
  EXPECT_FALSE(ChooseIconEntry(patched32(image + 16, 1), choice));      // compressed
  EXPECT_FALSE(ChooseIconEntry(patched32(image + 32, 17), choice));     // 17 colours in 4 bits
  Bytes directoryCut = file;
  directoryCut[4] = 3;  // three entries claimed, one there
  directoryCut.resize(6 + 16 * 2);
  EXPECT_FALSE(ChooseIconEntry(directoryCut, choice));
  EXPECT_FALSE(ChooseIconEntry(Bytes(file.begin(), file.end() - 1), choice));  // the entry runs past the end
  // The entry's own size one byte short of its AND mask.
  EXPECT_FALSE(ChooseIconEntry(patched32(entry + 8, uint32_t(file.size() - image - 1)), choice));
}

TEST_F(PictureTest, DecodePictureFileReadsTheWholeFile) {
  samples::BmpRecipe recipe;
  recipe.width = 2;
  recipe.pixels = {0x112233, 0x445566};
  Bytes bmp = samples::MakeBmp(recipe);
  std::string name = ::testing::TempDir() + "kavrel_picture_test.bmp";
  std::FILE* f = std::fopen(name.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(bmp.data(), 1, bmp.size(), f);
  std::fclose(f);
  Picture* p = DecodePictureFile(name.c_str());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(p->pixels[3], 0x66);
  FreePicture(p);
  std::remove(name.c_str());
  EXPECT_EQ(DecodePictureFile(name.c_str()), nullptr);
  EXPECT_EQ(DecodePictureFile(""), nullptr);
  EXPECT_EQ(DecodePictureFile(nullptr), nullptr);
}

}  // namespace
}  // namespace kavrel
