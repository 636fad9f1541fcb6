#include "base/byte_reader.h"

#include <algorithm>
#include <cstring>

namespace kavrel {

ByteReader::ByteReader(std::span<const uint8_t> data)
    : base_(data.data()), cur_(data.data()), end_(data.data() + data.size()) {}

ByteReader::ByteReader(ByteSource& source, std::span<uint8_t> buffer)
    : base_(buffer.data()), cur_(buffer.data()), end_(buffer.data()), source_(&source),
      buffer_(buffer) {
  if (buffer_.empty()) failed_ = true;
}

uint64_t ByteReader::remaining() const {
  uint64_t left = uint64_t(end_ - cur_);
  if (source_) left += source_->Remaining();
  return left;
}

bool ByteReader::Refill() {
  if (!source_) return false;
  windowStart_ += uint64_t(end_ - base_);
  size_t got = source_->Read(buffer_.data(), buffer_.size());
  base_ = cur_ = buffer_.data();
  end_ = base_ + got;
  return got > 0;
}

bool ByteReader::ReadAcross(void* dst, size_t n) {
  if (failed_) return false;
  if (n > remaining()) {
    failed_ = true;
    return false;
  }
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    if (cur_ == end_ && out && source_ && n >= buffer_.size()) {
      // A long read goes straight from the source, past the buffer.
      windowStart_ += uint64_t(end_ - base_);
      base_ = cur_ = end_ = buffer_.data();
      const size_t got = source_->Read(out, n);
      if (got == 0) {
        failed_ = true;
        return false;
      }
      windowStart_ += got;
      out += got;
      n -= got;
      continue;
    }
    if (cur_ == end_ && !Refill()) {
      failed_ = true;
      return false;
    }
    size_t take = std::min(n, size_t(end_ - cur_));
    if (out) {
      std::memcpy(out, cur_, take);
      out += take;
    }
    cur_ += take;
    n -= take;
  }
  return true;
}

bool ByteReader::SkipAcross(uint64_t n) {
  if (failed_) return false;
  if (n > remaining()) {
    failed_ = true;
    return false;
  }
  return ReadAcross(nullptr, size_t(n));
}

bool ByteReader::ReadU16(uint16_t& v) {
  uint8_t b[2];
  if (!Read(b, 2)) return false;
  v = LoadU16(b);
  return true;
}

bool ByteReader::ReadU32Across(uint32_t& v) {
  uint8_t b[4];
  if (!ReadAcross(b, 4)) return false;
  v = LoadU32(b);
  return true;
}

bool ByteReader::ReadI32(int32_t& v) {
  uint32_t u;
  if (!ReadU32(u)) return false;
  v = int32_t(u);
  return true;
}

uint32_t ByteReader::U32() {
  uint32_t v = 0;
  return ReadU32(v) ? v : 0;
}

int32_t ByteReader::I32() {
  int32_t v = 0;
  return ReadI32(v) ? v : 0;
}

bool ByteReader::ReadLength(uint32_t& n) {
  int32_t len;
  if (!ReadI32(len)) return false;
  n = len > 0 ? uint32_t(len) : 0;
  if (n > remaining()) {
    failed_ = true;
    return false;
  }
  return true;
}

bool ByteReader::ReadByteString(std::vector<uint8_t>& out) {
  uint32_t n;
  if (!ReadLength(n)) return false;
  // Appended piece by piece rather than read into a resized vector: the
  // bytes are written once, with no zero fill before them.
  out.clear();
  out.reserve(n);
  while (n > 0) {
    if (cur_ == end_) {
      std::span<const uint8_t> direct = source_ && n >= buffer_.size() ? source_->Borrow(n) : std::span<const uint8_t>();
      if (!direct.empty()) {
        windowStart_ += uint64_t(end_ - base_) + n;
        base_ = cur_ = end_ = buffer_.data();
        out.insert(out.end(), direct.begin(), direct.end());
        return true;
      }
      if (!Refill()) {
        failed_ = true;
        return false;
      }
    }
    const size_t take = std::min(size_t(n), size_t(end_ - cur_));
    out.insert(out.end(), cur_, cur_ + take);
    cur_ += take;
    n -= uint32_t(take);
  }
  return true;
}

bool ByteReader::ReadCountedText(std::string& out) {
  uint32_t n;
  if (!ReadLength(n)) return false;
  out.resize(n);
  return Read(out.data(), n);
}

bool ByteReader::ReadNulText(std::string& out) {
  out.clear();
  uint8_t c;
  while (ReadU8(c)) {
    if (c == 0) return true;
    out.push_back(char(c));
  }
  return false;
}

bool ByteReader::SkipNulText() {
  if (failed_) return false;
  for (;;) {
    if (cur_ == end_ && !Refill()) {
      failed_ = true;
      return false;
    }
    const void* nul = std::memchr(cur_, 0, size_t(end_ - cur_));
    if (nul) {
      cur_ = static_cast<const uint8_t*>(nul) + 1;
      return true;
    }
    cur_ = end_;
  }
}

bool ByteReader::ReadShortCount(uint32_t& count) {
  uint16_t s;
  if (!ReadU16(s)) return false;
  if (s != 0xFFFF) {
    count = s;
    return true;
  }
  return ReadU32(count);
}

std::span<const uint8_t> ByteReader::View(size_t n) {
  if (failed_ || source_ || n > size_t(end_ - cur_)) {
    failed_ = true;
    return {};
  }
  std::span<const uint8_t> v(cur_, n);
  cur_ += n;
  return v;
}

bool ByteReader::Seek(uint64_t pos) {
  if (failed_ || source_ || pos > uint64_t(end_ - base_)) {
    failed_ = true;
    return false;
  }
  cur_ = base_ + pos;
  return true;
}

}  // namespace kavrel
