// Writes the committed seeds of fuzz_picture: one small file of each kind
// and variant, each a few hundred bytes.
//   make_picture_seeds <folder>
#include <cstdio>
#include <string>

#include "../host/picture_samples.h"

using namespace kavrel::samples;

namespace {

bool Write(const std::string& folder, const char* name, const Bytes& bytes) {
  std::string path = folder + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  std::printf("%-16s %5zu bytes\n", name, bytes.size());
  return ok;
}

std::vector<uint8_t> Pattern(int w, int h, int n) {
  std::vector<uint8_t> v;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) v.push_back(uint8_t((x * 3 + y * 5) % n));
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_picture_seeds <folder>\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;

  for (uint16_t bits : {1, 4, 8, 24, 32}) {
    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = 3;
    recipe.bitCount = bits;
    if (bits <= 8) {
      int n = bits == 1 ? 2 : 4;
      for (int i = 0; i < n; ++i) recipe.palette.push_back({uint8_t(i * 60), uint8_t(200 - i * 40), 9});
      recipe.colorsUsed = bits == 1 ? 0 : uint32_t(n);
      for (uint8_t v : Pattern(5, 3, n)) recipe.pixels.push_back(v);
    } else {
      for (uint8_t v : Pattern(5, 3, 7)) recipe.pixels.push_back(uint32_t(v) * 0x251F3Bu);
      recipe.topDown = bits == 32;
    }
    std::string name = "bmp" + std::to_string(bits) + ".bmp";
    ok &= Write(dir, name.c_str(), MakeBmp(recipe));
  }

  auto gradient = [](int x, int y) { return Rgb{uint8_t(x * 30), uint8_t(y * 30), uint8_t(x * y * 4)}; };
  ok &= Write(dir, "grey.jpg", MakeJpeg(8, 8, true, gradient, 0, 50));
  ok &= Write(dir, "grey_prog.jpg", MakeJpeg(16, 8, true, gradient, 1, 50));
  ok &= Write(dir, "colour.jpg", MakeJpeg(8, 8, false, gradient, 0, 50));
  ok &= Write(dir, "colour_prog.jpg", MakeJpeg(8, 8, false, gradient, 7, 50));

  std::vector<uint8_t> rgba;
  for (int i = 0; i < 4 * 3; ++i) rgba.insert(rgba.end(), {uint8_t(i * 20), 100, uint8_t(255 - i * 20), uint8_t(i * 23)});
  ok &= Write(dir, "rgba.png", MakePng(4, 3, rgba));

  GifRecipe gif;
  gif.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  gif.width = 9;
  gif.height = 7;
  gif.indexes = Pattern(9, 7, 5);
  gif.minCodeSize = 3;
  ok &= Write(dir, "plain.gif", MakeGif(gif));
  gif.interlaced = true;
  gif.localTable = true;
  gif.screenWidth = 12;
  gif.screenHeight = 8;
  gif.left = 5;
  gif.top = 2;
  gif.background = 2;
  ok &= Write(dir, "interlaced.gif", MakeGif(gif));

  ok &= Write(dir, "pcx8.pcx", MakePcx8(7, 4, Pattern(7, 4, 200), {}));
  ok &= Write(dir, "pcx1.pcx", MakePcx1(20, 3, {0xF0, 0x0F, 0xA5, 0xEE, 0x01, 0x02, 0x03, 0x00, 0xFF, 0xFF, 0, 0}, 4));

  Bytes icon16 = MakeIconDib(16, 16, 4, [](int x, int y) { return uint32_t((x ^ y) & 15); },
                             [](int x, int) { return x < 2; });
  ok &= Write(dir, "icon.ico", MakeIconFile(1, {{16, 16, 16, 4, icon16}}));
  Bytes mono8 = MakeIconDib(8, 8, 1, [](int x, int y) { return uint32_t((x + y) & 1); });
  Bytes colour8 = MakeIconDib(8, 8, 24, [](int x, int y) { return uint32_t(x * 0x200000 + y * 0x20); });
  ok &= Write(dir, "cursor.cur", MakeIconFile(2, {{8, 8, 2, 1, mono8}, {8, 8, 0, 24, colour8}}));
  ok &= Write(dir, "png_entry.ico", MakeIconFile(1, {{0, 0, 0, 32, MakePng(4, 3, rgba)}}));
  return ok ? 0 : 1;
}
