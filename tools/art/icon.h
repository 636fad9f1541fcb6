// The program's icon: one 256 x 256 image of 32 bits per pixel, stored as an
// uncompressed BMP-format image with its AND mask inside an ICO file.
#pragma once

#include <cstdint>
#include <vector>

#include "art/raster.h"

namespace kavrel::art {

inline constexpr int kIconSize = 256;

Canvas RenderIcon();

// ICO file of one image: ICONDIR, one ICONDIRENTRY, BITMAPINFOHEADER (double
// height), BGRA rows bottom-up, then the 1-bit AND mask (set where alpha is 0).
std::vector<uint8_t> EncodeIco(const Canvas& image);

}  // namespace kavrel::art
