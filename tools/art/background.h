// The main window's background picture: a progressive JPEG drawn here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavrel::art {

inline constexpr int kBackgroundWidth = 1366;
inline constexpr int kBackgroundHeight = 768;

// RGB rows, top first.
std::vector<uint8_t> RenderBackground();

// Encodes RGB rows as a progressive 3-component JPEG of at most `size` bytes
// (lowering the quality until it fits) and pads it with comment segments
// after the header to exactly `size` bytes. Empty if it cannot fit.
std::vector<uint8_t> EncodeProgressiveJpeg(const std::vector<uint8_t>& rgb, int width, int height, size_t size);

}  // namespace kavrel::art
