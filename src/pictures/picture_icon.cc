// ICO and CUR: the choice of directory entry and the checks of its bytes.
// Making the icon itself is left to the installed hook (Win32).
#include <cstring>

#include "base/byte_reader.h"
#include "pictures/picture.h"
#include "pictures/picture_decoders.h"

namespace kavrel {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t LoadBigU32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// A PNG entry (as newer icon files store their large images): the size comes
// from its IHDR chunk.
bool CheckPngImage(std::span<const uint8_t> image, IconEntryChoice& choice) {
  ByteReader r(image);
  uint8_t head[24];
  if (!r.Read(head, sizeof head)) return false;
  if (std::memcmp(head, kPngSignature, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0)
    return false;
  uint32_t width = LoadBigU32(head + 16);
  uint32_t height = LoadBigU32(head + 20);
  if (width > uint32_t(INT32_MAX) || height > uint32_t(INT32_MAX)) return false;
  if (!picture_detail::SizeAcceptable(width, height)) return false;
  choice.width = int32_t(width);
  choice.height = int32_t(height);
  choice.bitCount = 32;
  choice.png = true;
  return true;
}

// A DIB entry: header, colour table, colour bits and the AND mask must all
// lie inside the entry, since the system reads every one of them.
bool CheckDibImage(std::span<const uint8_t> image, IconEntryChoice& choice) {
  ByteReader r(image);
  uint32_t headerSize = r.U32();
  int32_t width = r.I32();
  int32_t doubleHeight = r.I32();
  uint16_t planes = 0, bitCount = 0;
  r.ReadU16(planes);
  r.ReadU16(bitCount);
  uint32_t compression = r.U32();
  r.Skip(12);  // image size, resolution
  uint32_t colorsUsed = r.U32();
  if (!r.ok() || headerSize < 40 || headerSize > image.size()) return false;

  int32_t height = doubleHeight / 2;
  if (!picture_detail::SizeAcceptable(width, height)) return false;
  switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  uint64_t masks = 0;
  if (compression == 3 && (bitCount == 16 || bitCount == 32)) {
    if (headerSize == 40) masks = 12;
  } else if (compression != 0) {
    return false;
  }
  uint64_t colors = colorsUsed;
  if (bitCount <= 8) {
    uint32_t most = 1u << bitCount;
    if (colors == 0) colors = most;
    if (colors > most) return false;
  } else if (colors > 256) {
    return false;
  }
  uint64_t xorStride = (uint64_t(width) * bitCount + 31) / 32 * 4;
  uint64_t andStride = (uint64_t(width) + 31) / 32 * 4;
  uint64_t need = uint64_t(headerSize) + masks + colors * 4 + (xorStride + andStride) * uint64_t(height);
  if (need > image.size()) return false;
  choice.width = width;
  choice.height = height;
  choice.bitCount = bitCount;
  choice.png = false;
  return true;
}

}  // namespace

bool ChooseIconEntry(std::span<const uint8_t> file, IconEntryChoice& choice) {
  choice = IconEntryChoice{};
  ByteReader r(file);
  uint16_t reserved = 1, type = 0, count = 0;
  r.ReadU16(reserved);
  r.ReadU16(type);
  r.ReadU16(count);
  if (!r.ok() || reserved != 0 || (type != 1 && type != 2) || count == 0) return false;

  uint8_t entry[16];
  uint8_t chosen[16];
  uint32_t index = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (!r.Read(entry, sizeof entry)) return false;  // the directory runs past the file
    std::memcpy(chosen, entry, sizeof entry);
    index = i;
    if (entry[0] == 32 && entry[2] > 15) break;
  }

  uint32_t size = LoadU32(chosen + 8);
  uint32_t offset = LoadU32(chosen + 12);
  if (size == 0 || uint64_t(offset) + size > file.size()) return false;
  std::span<const uint8_t> image = file.subspan(offset, size);
  bool sound = image.size() >= 8 && std::memcmp(image.data(), kPngSignature, 8) == 0
                   ? CheckPngImage(image, choice)
                   : CheckDibImage(image, choice);
  if (!sound) return false;
  choice.kind = type == 1 ? kPictureIco : kPictureCur;
  choice.index = index;
  choice.image = image;
  return true;
}

}  // namespace kavrel
