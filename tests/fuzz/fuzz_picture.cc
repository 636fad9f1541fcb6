// DecodePicture over every kind, and the icon entry choice (whose icon the
// host cannot make). Each picture that comes back must hold exactly the
// bytes its layout describes; every byte is read so that the sanitizers see
// any buffer that is shorter than claimed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "pictures/picture.h"

namespace {

uint64_t LayoutBytes(const kavrel::Picture& p) {
  uint64_t w = uint64_t(p.width), h = uint64_t(p.height);
  switch (p.kind) {
    case kavrel::kPictureJpeg:
    case kavrel::kPictureBmp: return w * h * 3;
    case kavrel::kPictureGif:
    case kavrel::kPicturePcx8: return kavrel::kPaletteRowsOffset + ((w + 3) & ~uint64_t(3)) * h;
    case kavrel::kPicturePcx1: return (w + 15) / 16 * 2 * h;
    case kavrel::kPicturePng: return w * h * 4;
    default: return ~uint64_t(0);
  }
}

volatile uint8_t g_sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > size_t(INT32_MAX)) return 0;
  kavrel::Picture* p = kavrel::DecodePicture(data, int32_t(size));
  if (p) {
    if (p->width <= 0 || p->height <= 0 || uint64_t(p->width) * uint64_t(p->height) > kavrel::kMaxPicturePixels)
      std::abort();
    if (p->pixelSize != LayoutBytes(*p) || !p->pixels) std::abort();
    uint8_t x = 0;
    for (uint32_t i = 0; i < p->pixelSize; ++i) x ^= p->pixels[i];
    g_sink = x;
  }
  kavrel::FreePicture(p);

  kavrel::IconEntryChoice choice;
  if (kavrel::ChooseIconEntry({data, size}, choice)) {
    if (choice.image.data() < data || choice.image.data() + choice.image.size() > data + size) std::abort();
    if (choice.width <= 0 || choice.height <= 0) std::abort();
    uint8_t x = 0;
    for (uint8_t b : choice.image) x ^= b;
    g_sink = x;
  }
  return 0;
}
