// Mirror of ByteReader: writes the primitives of the template store and the
// property blobs into a growing byte buffer.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kavrel {

class ByteWriter {
 public:
  void WriteU8(uint8_t v) { bytes_.push_back(v); }
  void WriteU16(uint16_t v);
  void WriteU32(uint32_t v);
  void WriteI32(int32_t v) { WriteU32(uint32_t(v)); }
  void WriteBytes(std::span<const uint8_t> b);
  void WriteByteString(std::span<const uint8_t> b);
  void WriteCountedText(std::string_view t);
  void WriteNulText(std::string_view t);  // t must hold no 0 byte
  void WriteShortCount(uint32_t count);
  // Overwrites a u32 written earlier (for sizes known only afterwards).
  void PatchU32(size_t at, uint32_t v);

  size_t size() const { return bytes_.size(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace kavrel
