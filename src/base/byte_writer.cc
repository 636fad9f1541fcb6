#include "base/byte_writer.h"

#include "base/byte_reader.h"

namespace kavrel {

void ByteWriter::WriteU16(uint16_t v) {
  bytes_.push_back(uint8_t(v));
  bytes_.push_back(uint8_t(v >> 8));
}

void ByteWriter::WriteU32(uint32_t v) {
  uint8_t b[4];
  StoreU32(b, v);
  bytes_.insert(bytes_.end(), b, b + 4);
}

void ByteWriter::WriteBytes(std::span<const uint8_t> b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }

void ByteWriter::WriteByteString(std::span<const uint8_t> b) {
  WriteU32(uint32_t(b.size()));
  WriteBytes(b);
}

void ByteWriter::WriteCountedText(std::string_view t) {
  WriteU32(uint32_t(t.size()));
  WriteBytes({reinterpret_cast<const uint8_t*>(t.data()), t.size()});
}

void ByteWriter::WriteNulText(std::string_view t) {
  WriteBytes({reinterpret_cast<const uint8_t*>(t.data()), t.size()});
  bytes_.push_back(0);
}

void ByteWriter::WriteShortCount(uint32_t count) {
  if (count < 0xFFFF) {
    WriteU16(uint16_t(count));
  } else {
    WriteU16(0xFFFF);
    WriteU32(count);
  }
}

void ByteWriter::PatchU32(size_t at, uint32_t v) {
  if (at + 4 <= bytes_.size()) StoreU32(bytes_.data() + at, v);
}

}  // namespace kavrel
