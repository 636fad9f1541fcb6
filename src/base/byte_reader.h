// The one reader for every binary format of the runtime: template store,
// property blobs, picture files. Every read is bounds-checked and a failure
// is sticky: once a read fails, every later read fails too and nothing is
// read past the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace kavrel {

// Reads a little-endian u32 from raw bytes that are known to be long enough.
inline uint32_t LoadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

// A sequential source of bytes behind a buffered reader (an in-memory file,
// for instance). Read copies up to n bytes and returns how many it copied.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual size_t Read(uint8_t* dst, size_t n) = 0;
  // Bytes still to come; lets the reader refuse a length before allocating.
  virtual uint64_t Remaining() const = 0;
  // The next n bytes where they lie, consumed, for a source that holds its
  // data in memory; empty (and nothing consumed) for any other.
  virtual std::span<const uint8_t> Borrow(size_t) { return {}; }
};

class ByteReader {
 public:
  // Reads the bytes in place.
  explicit ByteReader(std::span<const uint8_t> data);
  // Reads through `buffer`, refilled from `source` (the archive form).
  ByteReader(ByteSource& source, std::span<uint8_t> buffer);

  ByteReader(const ByteReader&) = delete;
  ByteReader& operator=(const ByteReader&) = delete;

  bool ok() const { return !failed_; }
  void Fail() { failed_ = true; }
  // Bytes consumed since the start.
  uint64_t position() const { return windowStart_ + uint64_t(cur_ - base_); }
  // Bytes left before the end of the data.
  uint64_t remaining() const;
  bool AtEnd() const { return remaining() == 0; }

  // The common case, bytes already in the window, is answered inline.
  bool Read(void* dst, size_t n) {
    if (failed_ || n > size_t(end_ - cur_)) return ReadAcross(dst, n);
    if (dst && n) std::memcpy(dst, cur_, n);
    cur_ += n;
    return true;
  }
  bool Skip(uint64_t n) {
    if (failed_ || n > uint64_t(end_ - cur_)) return SkipAcross(n);
    cur_ += n;
    return true;
  }
  bool ReadU8(uint8_t& v) { return Read(&v, 1); }
  bool ReadU16(uint16_t& v);
  bool ReadU32(uint32_t& v) {
    if (failed_ || end_ - cur_ < 4) return ReadU32Across(v);
    v = LoadU32(cur_);
    cur_ += 4;
    return true;
  }
  bool ReadI32(int32_t& v);
  // Convenience forms: 0 on failure (the failure stays recorded).
  uint32_t U32();
  int32_t I32();

  // u32 length n (0 or negative as signed: empty), then n bytes.
  bool ReadByteString(std::vector<uint8_t>& out);
  // u32 length n (0 or negative: empty), then n bytes of text, no NUL.
  bool ReadCountedText(std::string& out);
  // Bytes up to and including the first 0; `out` gets them without the 0.
  bool ReadNulText(std::string& out);
  bool SkipNulText();
  // u16; 0xFFFF means a u32 count follows.
  bool ReadShortCount(uint32_t& count);

  // In-place view of the next n bytes; only for readers over memory.
  // Fails (empty span) when fewer remain or the reader is buffered.
  std::span<const uint8_t> View(size_t n);
  // Moves to an absolute position; only for readers over memory.
  bool Seek(uint64_t pos);

 private:
  bool Refill();
  // The general forms: reads that fail, or cross the end of the window.
  bool ReadAcross(void* dst, size_t n);
  bool SkipAcross(uint64_t n);
  bool ReadU32Across(uint32_t& v);
  // Length word of a byte string or counted text, checked against what is left.
  bool ReadLength(uint32_t& n);

  const uint8_t* base_ = nullptr;  // start of the current window
  const uint8_t* cur_ = nullptr;
  const uint8_t* end_ = nullptr;
  ByteSource* source_ = nullptr;
  std::span<uint8_t> buffer_;
  uint64_t windowStart_ = 0;  // position of base_ in the whole data
  bool failed_ = false;
};

}  // namespace kavrel
