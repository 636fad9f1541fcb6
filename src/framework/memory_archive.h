// An archive reader over a block in memory: the block is a read-only stream
// and the reader takes it in through a buffer of its own, as it would a file.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "base/byte_reader.h"

namespace kavrel {

class MemoryStream final : public ByteSource {
 public:
  explicit MemoryStream(std::span<const uint8_t> block) : block_(block) {}

  size_t Read(uint8_t* dst, size_t n) override;
  uint64_t Remaining() const override { return block_.size() - pos_; }
  std::span<const uint8_t> Borrow(size_t n) override;

 private:
  std::span<const uint8_t> block_;
  size_t pos_ = 0;
};

class MemoryArchive {
 public:
  static constexpr size_t kBufferSize = 4096;

  explicit MemoryArchive(std::span<const uint8_t> block) : stream_(block), reader_(stream_, buffer_) {}
  MemoryArchive(const MemoryArchive&) = delete;
  MemoryArchive& operator=(const MemoryArchive&) = delete;

  ByteReader& reader() { return reader_; }

 private:
  MemoryStream stream_;
  std::array<uint8_t, kBufferSize> buffer_;
  ByteReader reader_;
};

}  // namespace kavrel
