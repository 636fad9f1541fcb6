// DecodeJpegRows with a size to cover: the path that decodes a JPEG at a
// reduced scale straight into the caller's 32-bit rows. The first four bytes
// give the cover (two little-endian 16-bit sides), the rest is the file. The
// rows it asked for must be exactly the rows it wrote, every pixel with its
// fourth byte cleared, and the scale it reports one to eight eighths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pictures/picture.h"

namespace {

constexpr uint8_t kUnwritten = 0xA5;

struct Rows final : kavrel::BgrxRowStorage {
  uint8_t* Allocate(int32_t w, int32_t h, size_t& stride) override {
    if (asked || w <= 0 || h <= 0 || uint64_t(w) * uint64_t(h) > kavrel::kMaxPicturePixels) std::abort();
    asked = true;
    if (uint64_t(w) * uint64_t(h) > (uint64_t(1) << 22)) return nullptr;  // refused: kept quick
    width = w, height = h;
    stride = size_t(w) * 4;
    bytes.assign(stride * size_t(h), kUnwritten);
    return bytes.data();
  }
  bool asked = false;
  int32_t width = 0, height = 0;
  std::vector<uint8_t> bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const kavrel::CoverSize cover{int32_t(data[0] | data[1] << 8), int32_t(data[2] | data[3] << 8)};
  Rows rows;
  int32_t eighths = 0;
  if (!kavrel::DecodeJpegRows({data + 4, size - 4}, rows, cover, &eighths)) return 0;
  if (!rows.asked || rows.bytes.empty() || eighths < 1 || eighths > 8) std::abort();
  for (size_t i = 3; i < rows.bytes.size(); i += 4)
    if (rows.bytes[i] != 0) std::abort();
  return 0;
}
