// Property blobs: each unit type's own properties as one little-endian stream
// that starts with a version word. A type describes its stream once, as a
// Transfer routine over an archive; the same routine loads (BlobLoader) and
// stores (BlobSaver), so the two directions cannot drift apart:
//   template <class Archive, class Self> static void Transfer(Archive&, Self&);
// with Self the record type, const when saving.
#pragma once

#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace kavrel {

class BlobLoader {
 public:
  static constexpr bool kLoading = true;

  explicit BlobLoader(std::span<const uint8_t> blob) : reader_(blob) {}

  // The stored version; a version above `highest` fails the whole load.
  uint32_t Version(uint32_t highest) {
    uint32_t v = 0;
    if (reader_.ReadU32(v) && v > highest) reader_.Fail();
    return reader_.ok() ? v : 0;
  }
  void Int(int32_t& v) { reader_.ReadI32(v); }
  void Int(uint32_t& v) { reader_.ReadU32(v); }
  void Text(std::string& t) { reader_.ReadCountedText(t); }
  void Bytes(std::vector<uint8_t>& b) { reader_.ReadByteString(b); }
  // Short count, then that many texts. Every text takes at least its length
  // word, which bounds the count before anything is reserved.
  void TextList(std::vector<std::string>& list) {
    list.clear();
    uint32_t count = 0;
    if (!reader_.ReadShortCount(count)) return;
    if (count > reader_.remaining() / 4) {
      reader_.Fail();
      return;
    }
    list.resize(count);
    for (auto& t : list)
      if (!reader_.ReadCountedText(t)) return;
  }

  bool ok() const { return reader_.ok(); }

 private:
  ByteReader reader_;
};

class BlobSaver {
 public:
  static constexpr bool kLoading = false;

  uint32_t Version(uint32_t highest) {
    writer_.WriteU32(highest);
    return highest;
  }
  void Int(const int32_t& v) { writer_.WriteI32(v); }
  void Int(const uint32_t& v) { writer_.WriteU32(v); }
  void Text(const std::string& t) { writer_.WriteCountedText(t); }
  void Bytes(const std::vector<uint8_t>& b) { writer_.WriteByteString(b); }
  void TextList(const std::vector<std::string>& list) {
    writer_.WriteShortCount(uint32_t(list.size()));
    for (const auto& t : list) writer_.WriteCountedText(t);
  }

  bool ok() const { return true; }
  std::vector<uint8_t> Take() { return writer_.Take(); }

 private:
  ByteWriter writer_;
};

// Loads `blob` into `props` through its type's Transfer routine. An empty blob
// leaves the defaults; a failed load leaves the defaults too and gives false.
template <class Props>
bool LoadPropertyBlob(Props& props, std::span<const uint8_t> blob) {
  props = Props{};
  if (blob.empty()) return true;
  BlobLoader loader(blob);
  bool ok;
  try {
    Props::Transfer(loader, props);
    ok = loader.ok();
  } catch (const std::bad_alloc&) {
    ok = false;  // units load blobs inside window callbacks, where nothing may throw
  }
  if (!ok) {
    props = Props{};
    return false;
  }
  return true;
}

// Stores `props` at its type's highest version.
template <class Props>
std::vector<uint8_t> SavePropertyBlob(const Props& props) {
  BlobSaver saver;
  Props::Transfer(saver, props);
  return saver.Take();
}

}  // namespace kavrel
