#include "pe_symbols.h"

#include <string>
#include <vector>

#include "base/byte_reader.h"

namespace kavrel::e2e {

namespace {

constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr size_t kSymbolSize = 18;
constexpr size_t kSectionHeaderSize = 40;

struct CoffHeader {
  uint16_t sectionCount = 0;
  uint32_t symbolTable = 0;
  uint32_t symbolCount = 0;
  uint16_t optionalHeaderSize = 0;
};

bool ReadCoffHeader(ByteReader& in, CoffHeader& h) {
  uint32_t peOffset = 0, signature = 0;
  uint16_t machine = 0, characteristics = 0;
  uint32_t stamp = 0;
  if (!in.Seek(0x3C) || !in.ReadU32(peOffset) || !in.Seek(peOffset) || !in.ReadU32(signature) ||
      signature != kPeSignature)
    return false;
  in.ReadU16(machine);
  in.ReadU16(h.sectionCount);
  in.ReadU32(stamp);
  in.ReadU32(h.symbolTable);
  in.ReadU32(h.symbolCount);
  in.ReadU16(h.optionalHeaderSize);
  in.ReadU16(characteristics);
  return in.ok();
}

}  // namespace

std::optional<uint32_t> FindSymbolRva(std::span<const uint8_t> file, std::string_view name) {
  ByteReader in(file);
  CoffHeader h;
  if (!ReadCoffHeader(in, h) || h.symbolTable == 0 || !in.Skip(h.optionalHeaderSize)) return std::nullopt;

  if (uint64_t(h.sectionCount) * kSectionHeaderSize > in.remaining()) return std::nullopt;
  std::vector<uint32_t> sectionAddress(h.sectionCount);
  for (auto& address : sectionAddress) {
    in.Skip(12);  // name, virtual size
    in.ReadU32(address);
    in.Skip(kSectionHeaderSize - 16);
  }

  // The string table follows the symbols; long names are offsets into it.
  uint64_t strings = uint64_t(h.symbolTable) + uint64_t(h.symbolCount) * kSymbolSize;
  if (!in.ok() || strings > file.size()) return std::nullopt;
  std::span<const uint8_t> stringTable = file.subspan(size_t(strings));

  if (!in.Seek(h.symbolTable)) return std::nullopt;
  for (uint32_t i = 0; i < h.symbolCount; ++i) {
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

    std::string_view symbol;
    if (LoadU32(shortName) == 0) {
      uint32_t offset = LoadU32(shortName + 4);
      if (offset >= stringTable.size()) return std::nullopt;
      auto rest = stringTable.subspan(offset);
      size_t length = 0;
      while (length < rest.size() && rest[length] != 0) ++length;
      symbol = std::string_view(reinterpret_cast<const char*>(rest.data()), length);
    } else {
      size_t length = 0;
      while (length < sizeof shortName && shortName[length] != 0) ++length;
      symbol = std::string_view(reinterpret_cast<const char*>(shortName), length);
    }
    if (symbol == name && section >= 1 && section <= sectionAddress.size())
      return sectionAddress[section - 1] + value;

    i += auxCount;
    if (!in.Skip(uint64_t(auxCount) * kSymbolSize)) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace kavrel::e2e
