// PNG through libpng's simplified reading interface, to top-down B,G,R,A.
#include <cstring>

#include <png.h>

#include "pictures/picture_decoders.h"

namespace kavrel::picture_detail {

Picture* DecodePng(std::span<const uint8_t> data) {
  if (data.size() <= 7) return nullptr;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
    png_image_free(&image);
    return nullptr;
  }
  image.format = PNG_FORMAT_BGRA;
  if (!SizeAcceptable(image.width, image.height)) {
    png_image_free(&image);
    return nullptr;
  }
  uint64_t size = uint64_t(image.width) * image.height * 4;
  Picture* picture = NewPicture(kPicturePng, int32_t(image.width), int32_t(image.height), size, false);
  if (!picture) {
    png_image_free(&image);
    return nullptr;
  }
  // Natural stride, no background: the alpha channel is kept.
  if (!png_image_finish_read(&image, nullptr, picture->pixels, 0, nullptr)) {
    png_image_free(&image);
    FreePicture(picture);
    return nullptr;
  }
  png_image_free(&image);
  return picture;
}

}  // namespace kavrel::picture_detail
