#include "pe_symbols.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "base/byte_reader.h"

namespace kavrel::e2e {

namespace {

constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr size_t kSymbolSize = 18;
constexpr size_t kSectionHeaderSize = 40;

struct Section {
  std::string name;
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
};

struct Image {
  uint32_t symbolTable = 0;
  uint32_t symbolCount = 0;
  std::vector<Section> sections;
  std::span<const uint8_t> stringTable;  // empty when there is none
};

// A NUL-terminated name at `offset` of the string table.
std::optional<std::string_view> TableString(std::span<const uint8_t> table, uint64_t offset) {
  if (offset >= table.size()) return std::nullopt;
  auto rest = table.subspan(size_t(offset));
  size_t length = 0;
  while (length < rest.size() && rest[length] != 0) ++length;
  return std::string_view(reinterpret_cast<const char*>(rest.data()), length);
}

std::string_view ShortName(const uint8_t (&name)[8]) {
  size_t length = 0;
  while (length < sizeof name && name[length] != 0) ++length;
  return std::string_view(reinterpret_cast<const char*>(name), length);
}

std::optional<Image> ReadImage(std::span<const uint8_t> file) {
  ByteReader in(file);
  Image image;
  uint32_t peOffset = 0, signature = 0, stamp = 0;
  uint16_t machine = 0, sectionCount = 0, optionalHeaderSize = 0, characteristics = 0;
  if (!in.Seek(0x3C) || !in.ReadU32(peOffset) || !in.Seek(peOffset) || !in.ReadU32(signature) ||
      signature != kPeSignature)
    return std::nullopt;
  in.ReadU16(machine);
  in.ReadU16(sectionCount);
  in.ReadU32(stamp);
  in.ReadU32(image.symbolTable);
  in.ReadU32(image.symbolCount);
  in.ReadU16(optionalHeaderSize);
  in.ReadU16(characteristics);
  if (!in.ok() || !in.Skip(optionalHeaderSize)) return std::nullopt;

  // The string table follows the symbols; long names are offsets into it.
  if (image.symbolTable != 0) {
    uint64_t strings = uint64_t(image.symbolTable) + uint64_t(image.symbolCount) * kSymbolSize;
    if (strings > file.size()) return std::nullopt;
    image.stringTable = file.subspan(size_t(strings));
  }

  if (uint64_t(sectionCount) * kSectionHeaderSize > in.remaining()) return std::nullopt;
  image.sections.resize(sectionCount);
  for (auto& section : image.sections) {
    uint8_t name[8] = {};
    in.Read(name, sizeof name);
    in.ReadU32(section.virtualSize);
    in.ReadU32(section.virtualAddress);
    in.ReadU32(section.rawSize);
    in.ReadU32(section.rawOffset);
    in.Skip(kSectionHeaderSize - 24);
    if (!in.ok()) return std::nullopt;
    std::string_view shortName = ShortName(name);
    // "/123": a name too long for the header, at that offset of the table.
    if (shortName.size() > 1 && shortName[0] == '/') {
      uint64_t offset = 0;
      for (char c : shortName.substr(1)) {
        if (c < '0' || c > '9') return std::nullopt;
        offset = offset * 10 + uint64_t(c - '0');
      }
      auto longName = TableString(image.stringTable, offset);
      if (!longName) return std::nullopt;
      section.name = *longName;
    } else {
      section.name = shortName;
    }
  }
  return image;
}

}  // namespace

std::optional<uint32_t> FindSymbolRva(std::span<const uint8_t> file, std::string_view name) {
  auto image = ReadImage(file);
  if (!image || image->symbolTable == 0) return std::nullopt;

  ByteReader in(file);
  if (!in.Seek(image->symbolTable)) return std::nullopt;
  for (uint32_t i = 0; i < image->symbolCount; ++i) {
    uint8_t shortName[8] = {};
    uint32_t value = 0;
    uint16_t section = 0, type = 0;
    uint8_t storageClass = 0, auxCount = 0;
    in.Read(shortName, sizeof shortName);
    in.ReadU32(value);
    in.ReadU16(section);
    in.ReadU16(type);
    in.ReadU8(storageClass);
    in.ReadU8(auxCount);
    if (!in.ok()) return std::nullopt;

    std::optional<std::string_view> symbol = ShortName(shortName);
    if (LoadU32(shortName) == 0) symbol = TableString(image->stringTable, LoadU32(shortName + 4));
    if (!symbol) return std::nullopt;
    if (*symbol == name && section >= 1 && section <= image->sections.size())
      return image->sections[section - 1].virtualAddress + value;

    i += auxCount;
    if (!in.Skip(uint64_t(auxCount) * kSymbolSize)) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<DebugLink> FindDebugLink(std::span<const uint8_t> file) {
  auto image = ReadImage(file);
  if (!image) return std::nullopt;
  for (const auto& section : image->sections) {
    if (section.name != ".gnu_debuglink") continue;
    // The raw data is padded to the file alignment; the virtual size is
    // what the section holds.
    uint64_t size = std::min(section.virtualSize, section.rawSize);
    if (uint64_t(section.rawOffset) + size > file.size()) return std::nullopt;
    auto data = file.subspan(section.rawOffset, size_t(size));
    auto fileName = TableString(data, 0);
    if (!fileName || fileName->empty() || fileName->size() == data.size()) return std::nullopt;
    // The name, its NUL, zeros up to four bytes, then the CRC.
    size_t crcAt = (fileName->size() + 1 + 3) & ~size_t(3);
    if (crcAt + 4 > data.size()) return std::nullopt;
    return DebugLink{std::string(*fileName), LoadU32(data.data() + crcAt)};
  }
  return std::nullopt;
}

uint32_t DebugLinkCrc(std::span<const uint8_t> bytes) {
  uLong crc = crc32(0, nullptr, 0);
  // zlib takes at most 4 GiB a call.
  for (size_t at = 0; at < bytes.size();) {
    const uInt n = uInt(std::min<size_t>(bytes.size() - at, 1u << 30));
    crc = crc32(crc, bytes.data() + at, n);
    at += n;
  }
  return uint32_t(crc);
}

}  // namespace kavrel::e2e
