#include "pictures/picture_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "../host/picture_samples.h"
#include "pictures/picture.h"

namespace kavrel {
namespace {

using samples::Bytes;
using samples::Rgb;

struct Release {
  void operator()(Picture* p) const { FreePicture(p); }
};
using Owned = std::unique_ptr<Picture, Release>;
Owned Decode(const Bytes& b) { return Owned{DecodePicture(b.data(), int32_t(b.size()))}; }

// Draws into a 32-bit top-down DIB section and reads the pixels back.
class PictureDrawTest : public ::testing::Test {
 protected:
  static constexpr int kSize = 256;

  void SetUp() override {
    dc_ = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(dc_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(dib_ && bits);
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_, dib_);
    Fill({255, 255, 255});
  }
  void TearDown() override {
    SelectObject(dc_, old_);
    DeleteObject(dib_);
    DeleteDC(dc_);
  }

  void Fill(Rgb c) {
    GdiFlush();
    for (int i = 0; i < kSize * kSize; ++i) bits_[i] = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
  }
  Rgb At(int x, int y) {
    GdiFlush();
    uint32_t v = bits_[y * kSize + x];
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  }
  RECT Whole() const { return {0, 0, kSize, kSize}; }

  HDC dc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance) {
  if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
      std::abs(actual.b - expected.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << int(actual.r) << ", " << int(actual.g) << ", " << int(actual.b)
                                       << ") is not within " << tolerance << " of (" << int(expected.r) << ", "
                                       << int(expected.g) << ", " << int(expected.b) << ")";
}

Bytes SolidBmp(int width, int height, uint32_t rgb) {
  samples::BmpRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.pixels.assign(size_t(width) * size_t(height), rgb);
  return samples::MakeBmp(recipe);
}

TEST_F(PictureDrawTest, PngAlphaIsBlendedOverTheBackground) {
  auto p = Decode(samples::MakePng(3, 1, {200, 100, 0, 128, 10, 20, 30, 255, 90, 90, 90, 0}));
  ASSERT_TRUE(p);
  ASSERT_TRUE(DrawPicture(dc_, p.get(), 0, 0, -1, -1, RGB(255, 255, 255)));
  EXPECT_TRUE(Near(At(0, 0), {227, 177, 127}, 1));
  EXPECT_TRUE(Near(At(1, 0), {10, 20, 30}, 0));    // opaque: as it is
  EXPECT_TRUE(Near(At(2, 0), {255, 255, 255}, 0));  // clear: the background
  // The same picture over another backdrop colour.
  ASSERT_TRUE(DrawPicture(dc_, p.get(), 0, 1, -1, -1, RGB(0, 0, 100)));
  EXPECT_TRUE(Near(At(0, 1), {100, 50, 49}, 1));
  EXPECT_TRUE(Near(At(2, 1), {0, 0, 100}, 0));
  // The picture's own pixels keep their alpha for the next paint.
  EXPECT_EQ(p->pixels[3], 128);
}

TEST_F(PictureDrawTest, JpegIsStretchedToTheGivenRectangle) {
  auto p = Decode(samples::MakeJpeg(16, 16, false, [](int x, int) {
    return x < 8 ? Rgb{230, 20, 20} : Rgb{20, 20, 230};
  }));
  ASSERT_TRUE(p);
  ASSERT_TRUE(DrawPicture(dc_, p.get(), 4, 4, 48, 32, RGB(255, 255, 255)));
  EXPECT_TRUE(Near(At(10, 20), {230, 20, 20}, 30));
  EXPECT_TRUE(Near(At(45, 20), {20, 20, 230}, 30));
  EXPECT_TRUE(Near(At(51, 35), {20, 20, 230}, 30));  // the last pixel inside
  EXPECT_TRUE(Near(At(4, 4), {230, 20, 20}, 30));
  EXPECT_TRUE(Near(At(3, 3), {255, 255, 255}, 0));
  EXPECT_TRUE(Near(At(52, 20), {255, 255, 255}, 0));
  EXPECT_TRUE(Near(At(20, 36), {255, 255, 255}, 0));
}

TEST_F(PictureDrawTest, KeyColourLeavesTheTargetAsItWas) {
  const uint32_t key = 0xFF00FF;
  samples::BmpRecipe recipe;
  recipe.width = 5;  // rows padded in the bitmap
  recipe.height = 2;
  recipe.pixels = {key, 0x00C000, key, 0x0000C0, key,  //
                 0x123456, key, key, key, 0xC00000};
  auto p = Decode(samples::MakeBmp(recipe));
  ASSERT_TRUE(p);
  PictureImage image;
  ASSERT_TRUE(MakePictureImage(dc_, p.get(), RGB(255, 255, 255), image));
  Fill({10, 20, 30});
  const int32_t transparent = -int32_t(RGB(255, 0, 255));
  DrawPictureImage(image, 0, 0, -1, -1, transparent);
  FreePictureImage(image);
  EXPECT_EQ(image.bitmap, nullptr);

  const Rgb target{10, 20, 30};
  EXPECT_EQ(At(0, 0), target);
  EXPECT_EQ(At(1, 0), (Rgb{0, 0xC0, 0}));
  EXPECT_EQ(At(2, 0), target);
  EXPECT_EQ(At(3, 0), (Rgb{0, 0, 0xC0}));
  EXPECT_EQ(At(0, 1), (Rgb{0x12, 0x34, 0x56}));
  EXPECT_EQ(At(2, 1), target);
  EXPECT_EQ(At(4, 1), (Rgb{0xC0, 0, 0}));
  EXPECT_EQ(At(5, 0), target);  // beyond the picture

  // Stretched four times: away from the edge between key and colour, which
  // halftone blends, the key still shows the target.
  samples::BmpRecipe halves;
  halves.width = 8;
  halves.height = 8;
  for (int i = 0; i < 64; ++i) halves.pixels.push_back(i % 8 < 4 ? key : 0x00C000);
  auto stretched = Decode(samples::MakeBmp(halves));
  ASSERT_TRUE(stretched);
  ASSERT_TRUE(MakePictureImage(dc_, stretched.get(), 0, image));
  DrawPictureImage(image, 100, 100, 32, 32, transparent);
  FreePictureImage(image);
  EXPECT_EQ(At(104, 116), target);
  EXPECT_TRUE(Near(At(126, 116), {0, 0xC0, 0}, 8));
  EXPECT_EQ(At(133, 116), target);
}

TEST_F(PictureDrawTest, KeptPictureDrawsWhatItsDecodedPictureDraws) {
  auto pixel = [](int x, int y) { return Rgb{uint8_t(x * 12), uint8_t(200 - y * 15), uint8_t(x * y)}; };
  const Bytes jpeg = samples::MakeJpeg(20, 12, false, pixel);
  auto p = Decode(jpeg);
  ASSERT_TRUE(p);
  KeptPicture kept;
  using Loaded = KeptPicture::Loaded;
  ASSERT_EQ(kept.Load(jpeg), Loaded::kYes);
  const uint64_t first = kept.serial();
  // Both halves of the canvas, drawn the two ways, as whole, stretched and
  // key-coloured draws; the key is a colour the picture holds.
  auto same = [&](const char* what) {
    int differ = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) differ += !(At(x, y) == At(128 + x, y));
    EXPECT_EQ(differ, 0) << what;
  };
  ASSERT_TRUE(DrawPicture(dc_, p.get(), 0, 0, -1, -1, 0));
  ASSERT_TRUE(DrawPicture(dc_, kept, 128, 0, -1, -1, 0));
  ASSERT_TRUE(DrawPicture(dc_, p.get(), 0, 20, 50, 30, 0));
  ASSERT_TRUE(DrawPicture(dc_, kept, 128, 20, 50, 30, 0));
  same("whole and stretched");
  const uint8_t* corner = p->pixels + size_t(p->height - 1) * size_t(p->width) * 3;  // top left, B,G,R
  const int32_t transparent = -int32_t(RGB(corner[2], corner[1], corner[0]));
  Fill({10, 20, 30});
  PictureImage image;
  ASSERT_TRUE(MakePictureImage(dc_, p.get(), 0, image));
  DrawPictureImage(image, 0, 0, -1, -1, transparent);
  FreePictureImage(image);
  ASSERT_TRUE(kept.MakeImage(dc_, 0, image));
  DrawPictureImage(image, 128, 0, -1, -1, transparent);
  FreePictureImage(image);  // leaves the kept bitmap alone
  same("key colour");
  EXPECT_EQ(At(128, 0), (Rgb{10, 20, 30}));
  ASSERT_TRUE(DrawPicture(dc_, kept, 128, 40, -1, -1, 0));

  // Other kinds are kept as their Picture; bytes that decode to nothing
  // leave it empty.
  // The same file loaded again is a new picture, whatever handle it gets.
  ASSERT_EQ(kept.Load(jpeg), Loaded::kYes);
  EXPECT_NE(kept.serial(), first);
  ASSERT_EQ(kept.Load(SolidBmp(3, 2, 0x2040C0)), Loaded::kYes);
  EXPECT_NE(kept.serial(), first);
  ASSERT_TRUE(DrawPicture(dc_, kept, 200, 200, -1, -1, 0));
  EXPECT_EQ(At(202, 201), (Rgb{0x20, 0x40, 0xC0}));
  EXPECT_EQ(kept.Load(Bytes(jpeg.begin(), jpeg.begin() + 40)), Loaded::kFailed);
  EXPECT_TRUE(kept.empty());
  EXPECT_EQ(kept.serial(), 0u);
  EXPECT_EQ(kept.Load(Bytes(64, 'x')), Loaded::kNotAPicture);
}

TEST_F(PictureDrawTest, PaletteKindsDrawTheirColours) {
  const std::vector<Rgb> palette = {{250, 0, 0}, {0, 250, 0}, {0, 0, 250}, {40, 50, 60}};
  const std::vector<uint8_t> indexes = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 3};  // 11 x 1: rows padded
  samples::GifRecipe gif;
  gif.palette = palette;
  gif.width = 11;
  gif.height = 1;
  gif.indexes = indexes;
  auto fromGif = Decode(samples::MakeGif(gif));
  auto fromPcx = Decode(samples::MakePcx8(11, 1, indexes, palette));
  ASSERT_TRUE(fromGif);
  ASSERT_TRUE(fromPcx);
  ASSERT_TRUE(DrawPicture(dc_, fromGif.get(), 0, 0, -1, -1, 0));
  ASSERT_TRUE(DrawPicture(dc_, fromPcx.get(), 0, 1, -1, -1, 0));
  for (int x = 0; x < 11; ++x) {
    EXPECT_EQ(At(x, 0), palette[indexes[size_t(x)]]) << x;
    EXPECT_EQ(At(x, 1), palette[indexes[size_t(x)]]) << x;
  }
  // 1-bit: set bits take the target's background colour, clear ones its
  // text colour.
  auto mono = Decode(samples::MakePcx1(12, 1, {0xF0, 0x30}, 2));
  ASSERT_TRUE(mono);
  SetBkColor(dc_, RGB(255, 255, 255));
  SetTextColor(dc_, RGB(0, 0, 0));
  ASSERT_TRUE(DrawPicture(dc_, mono.get(), 0, 2, -1, -1, 0));
  const bool set[12] = {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1};
  for (int x = 0; x < 12; ++x) EXPECT_EQ(At(x, 2), (set[x] ? Rgb{255, 255, 255} : Rgb{0, 0, 0})) << x;
}

TEST_F(PictureDrawTest, PicturesNotFromTheDecodersMustHoldExactlyTheirBytes) {
  // GDI sizes a palette bitmap from the header stored in the pixels and
  // copies the rows after it: a picture that holds more bytes than its own
  // size, or whose header describes a smaller bitmap, would be copied past
  // the bitmap's end.
  samples::GifRecipe gif;
  gif.palette = {{250, 0, 0}, {0, 250, 0}};
  gif.width = 11;
  gif.height = 3;
  gif.indexes.assign(33, 1);
  auto decoded = Decode(samples::MakeGif(gif));
  ASSERT_TRUE(decoded);
  PictureImage image;
  ASSERT_TRUE(MakePictureImage(dc_, decoded.get(), 0, image));
  FreePictureImage(image);

  for (int32_t kind : {kPictureGif, kPicturePcx8}) {
    Bytes longer(decoded->pixels, decoded->pixels + decoded->pixelSize);
    longer.resize(longer.size() + 3 * 4096);
    Picture p = *decoded;
    p.kind = kind;
    p.pixels = longer.data();
    p.pixelSize = uint32_t(longer.size());
    EXPECT_FALSE(MakePictureImage(dc_, &p, 0, image)) << kind;

    Bytes narrower(decoded->pixels, decoded->pixels + decoded->pixelSize);
    narrower[4] = 1;  // the stored width
    p.pixels = narrower.data();
    p.pixelSize = decoded->pixelSize;
    EXPECT_FALSE(MakePictureImage(dc_, &p, 0, image)) << kind;
  }

  auto jpeg = Decode(samples::MakeJpeg(4, 2, true, [](int, int) { return Rgb{9, 9, 9}; }));
  ASSERT_TRUE(jpeg);
  Bytes longer(jpeg->pixels, jpeg->pixels + jpeg->pixelSize);
  longer.push_back(0);
  Picture p = *jpeg;
  p.pixels = longer.data();
  p.pixelSize = uint32_t(longer.size());
  EXPECT_FALSE(MakePictureImage(dc_, &p, 0, image));
}

Bytes IconWithTwoSizes(uint16_t type) {
  // Entry 1 (the one chosen): left half colour 1, right half colour 2, the
  // top four rows transparent.
  Bytes small = samples::MakeIconDib(16, 16, 4, [](int, int) { return 3u; });
  Bytes large = samples::MakeIconDib(32, 32, 4, [](int x, int y) { return y < 4 ? 0u : x < 16 ? 1u : 2u; },
                                     [](int, int y) { return y < 4; });
  return samples::MakeIconFile(type, {{16, 16, 16, 4, small}, {32, 32, 16, 4, large}});
}
// Colour table entry i of MakeIconDib.
Rgb IconColour(uint32_t i) { return {uint8_t(i * 17), uint8_t(i * 53), uint8_t(i * 91)}; }

TEST_F(PictureDrawTest, IconsAreMadeFromTheChosenEntryAndDrawnWithDrawIconEx) {
  for (uint16_t type : {1, 2}) {
    auto p = Decode(IconWithTwoSizes(type));
    ASSERT_TRUE(p) << type;
    EXPECT_EQ(p->kind, type == 1 ? kPictureIco : kPictureCur);
    EXPECT_EQ(p->width, 32);
    EXPECT_EQ(p->height, 32);
    ASSERT_NE(p->icon, 0u);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(p->icon), &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP mask{};
    GetObject(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);

    Fill({10, 20, 30});
    PictureImage image;
    ASSERT_TRUE(MakePictureImage(dc_, p.get(), 0, image));
    EXPECT_EQ(image.icon, reinterpret_cast<HICON>(p->icon));  // borrowed
    EXPECT_EQ(image.bitmap, nullptr);
    DrawPictureImage(image, 0, 0, -1, -1, SRCCOPY);
    DrawPictureImage(image, 100, 0, 64, 64, SRCCOPY);
    FreePictureImage(image);
    EXPECT_EQ(At(5, 20), IconColour(1));
    EXPECT_EQ(At(25, 20), IconColour(2));
    EXPECT_EQ(At(5, 2), (Rgb{10, 20, 30}));  // transparent rows
    EXPECT_EQ(At(32, 20), (Rgb{10, 20, 30}));
    EXPECT_EQ(At(110, 40), IconColour(1));  // stretched to 64 x 64
    EXPECT_EQ(At(160, 40), IconColour(2));
    EXPECT_EQ(At(110, 4), (Rgb{10, 20, 30}));
  }
}

TEST_F(PictureDrawTest, FreePictureDestroysTheIcon) {
  Picture* p = DecodePicture(IconWithTwoSizes(1).data(), int32_t(IconWithTwoSizes(1).size()));
  ASSERT_TRUE(p);
  HICON icon = reinterpret_cast<HICON>(p->icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  FreePicture(p);
  EXPECT_FALSE(GetIconInfo(icon, &info));
}

TEST_F(PictureDrawTest, TrueColourAndPngIconEntries) {
  Bytes dib = samples::MakeIconDib(48, 48, 32, [](int x, int) { return x < 24 ? 0x2040C0u : 0xC04020u; });
  auto p = Decode(samples::MakeIconFile(1, {{48, 48, 0, 32, dib}}));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 48);
  PictureImage image;
  ASSERT_TRUE(MakePictureImage(dc_, p.get(), 0, image));
  DrawPictureImage(image, 0, 0, -1, -1, SRCCOPY);
  EXPECT_TRUE(Near(At(10, 10), {0x20, 0x40, 0xC0}, 1));
  EXPECT_TRUE(Near(At(40, 10), {0xC0, 0x40, 0x20}, 1));

  std::vector<uint8_t> rgba(20 * 20 * 4);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    rgba[i] = 30;
    rgba[i + 1] = 160;
    rgba[i + 2] = 90;
    rgba[i + 3] = 255;
  }
  auto fromPng = Decode(samples::MakeIconFile(1, {{20, 20, 0, 32, samples::MakePng(20, 20, rgba)}}));
  ASSERT_TRUE(fromPng);
  EXPECT_EQ(fromPng->width, 20);
  ASSERT_TRUE(MakePictureImage(dc_, fromPng.get(), 0, image));
  DrawPictureImage(image, 100, 100, -1, -1, SRCCOPY);
  EXPECT_TRUE(Near(At(110, 110), {30, 160, 90}, 1));
}

TEST_F(PictureDrawTest, FittedLayoutDrawsCentredAndTakesItsRectangleOut) {
  auto p = Decode(SolidBmp(400, 100, 0xC00000));
  ASSERT_TRUE(p);
  HRGN remaining = CreateRectRgn(0, 0, 200, 200);
  DrawPictureLayout(kLayoutFitted, dc_, p.get(), {0, 0, 200, 200}, {0, 0, 200, 200}, &remaining,
                    RGB(255, 255, 255));
  EXPECT_EQ(At(100, 74), (Rgb{255, 255, 255}));
  EXPECT_TRUE(Near(At(100, 75), {0xC0, 0, 0}, 2));
  EXPECT_TRUE(Near(At(0, 124), {0xC0, 0, 0}, 2));
  EXPECT_TRUE(Near(At(199, 100), {0xC0, 0, 0}, 2));
  EXPECT_EQ(At(100, 125), (Rgb{255, 255, 255}));
  EXPECT_EQ(At(200, 100), (Rgb{255, 255, 255}));
  ASSERT_NE(remaining, nullptr);
  EXPECT_FALSE(PtInRegion(remaining, 100, 75));
  EXPECT_FALSE(PtInRegion(remaining, 199, 124));
  EXPECT_TRUE(PtInRegion(remaining, 100, 74));
  EXPECT_TRUE(PtInRegion(remaining, 100, 125));
  DeleteObject(remaining);
}

TEST_F(PictureDrawTest, NaturalLayoutAtTheTopLeft) {
  auto p = Decode(SolidBmp(30, 20, 0x00A000));
  ASSERT_TRUE(p);
  HRGN remaining = CreateRectRgn(0, 0, kSize, kSize);
  DrawPictureLayout(kLayoutNatural, dc_, p.get(), {10, 40, 200, 200}, Whole(), &remaining, 0);
  EXPECT_EQ(At(10, 40), (Rgb{0, 0xA0, 0}));
  EXPECT_EQ(At(39, 59), (Rgb{0, 0xA0, 0}));
  EXPECT_EQ(At(40, 59), (Rgb{255, 255, 255}));
  EXPECT_FALSE(PtInRegion(remaining, 10, 40));
  EXPECT_TRUE(PtInRegion(remaining, 40, 40));
  DeleteObject(remaining);
  // Without a region to keep, and with a layout that does not exist.
  DrawPictureLayout(kLayoutNatural, dc_, p.get(), {100, 100, 200, 200}, Whole(), nullptr, 0);
  EXPECT_EQ(At(100, 100), (Rgb{0, 0xA0, 0}));
  remaining = CreateRectRgn(0, 0, kSize, kSize);
  DrawPictureLayout(3, dc_, p.get(), {150, 150, 200, 200}, Whole(), &remaining, 0);
  EXPECT_EQ(At(150, 150), (Rgb{255, 255, 255}));
  EXPECT_TRUE(PtInRegion(remaining, 150, 150));
  DeleteObject(remaining);
}

TEST_F(PictureDrawTest, TiledLayoutDrawsOnlyTilesMeetingTheClipAndUsesUpTheRegion) {
  auto p = Decode(SolidBmp(30, 30, 0x0000B0));
  ASSERT_TRUE(p);
  HRGN remaining = CreateRectRgn(0, 0, 100, 100);
  // The clip meets the copies in columns 1 and 2 of row 1; those are drawn
  // whole, no other.
  DrawPictureLayout(kLayoutTiled, dc_, p.get(), {0, 0, 100, 100}, {35, 35, 61, 40}, &remaining, 0);
  EXPECT_EQ(remaining, nullptr);
  const Rgb tile{0, 0, 0xB0}, none{255, 255, 255};
  EXPECT_EQ(At(30, 30), tile);
  EXPECT_EQ(At(89, 59), tile);
  EXPECT_EQ(At(29, 45), none);
  EXPECT_EQ(At(90, 45), none);
  EXPECT_EQ(At(45, 29), none);
  EXPECT_EQ(At(45, 60), none);

  // The whole target: four columns and rows, the last running past it.
  DrawPictureLayout(kLayoutTiled, dc_, p.get(), {0, 0, 100, 100}, Whole(), nullptr, 0);
  EXPECT_EQ(At(0, 0), tile);
  EXPECT_EQ(At(119, 119), tile);
  EXPECT_EQ(At(120, 50), none);
}

}  // namespace
}  // namespace kavrel
