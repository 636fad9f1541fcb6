#include "framework/memory_archive.h"

#include <algorithm>
#include <cstring>

namespace kavrel {

size_t MemoryStream::Read(uint8_t* dst, size_t n) {
  const size_t take = std::min(n, block_.size() - pos_);
  if (take > 0) std::memcpy(dst, block_.data() + pos_, take);
  pos_ += take;
  return take;
}

std::span<const uint8_t> MemoryStream::Borrow(size_t n) {
  if (n > block_.size() - pos_) return {};
  std::span<const uint8_t> view = block_.subspan(pos_, n);
  pos_ += n;
  return view;
}

}  // namespace kavrel
