#include "pe_symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/byte_writer.h"

namespace kavrel::e2e {
namespace {

// A PE image reduced to what the reader looks at, laid out as the linker
// and objcopy lay it out: COFF header, section headers, section data, then
// the symbols and the string table that long names point into.
struct TestImage {
  struct Section {
    std::string headerName;  // "/N" for a name in the string table
    uint32_t address;
    std::vector<uint8_t> data;
  };
  struct Symbol {
    std::string name;  // empty: the long name at `stringOffset`
    uint32_t stringOffset;
    uint32_t value;
    uint16_t section;
  };
  std::vector<Section> sections;
  std::vector<Symbol> symbols;
  std::string strings;  // after the table's 4-byte size
  bool withTable = true;

  std::vector<uint8_t> Build() const {
    const uint32_t peOffset = 0x40;
    uint32_t dataAt = peOffset + 24 + 40 * uint32_t(sections.size());
    uint32_t tableAt = dataAt;
    for (const auto& s : sections) tableAt += uint32_t(s.data.size());
    ByteWriter out;
    for (int i = 0; i < 0x3C; ++i) out.WriteU8(0);
    out.WriteU32(peOffset);
    out.WriteU32(0x00004550);
    out.WriteU16(0x14C);
    out.WriteU16(uint16_t(sections.size()));
    out.WriteU32(0);
    out.WriteU32(withTable ? tableAt : 0);
    out.WriteU32(uint32_t(symbols.size()));
    out.WriteU16(0);  // no optional header
    out.WriteU16(0);
    for (const auto& s : sections) {
      std::string name = s.headerName;
      name.resize(8, '\0');
      for (char c : name) out.WriteU8(uint8_t(c));
      out.WriteU32(uint32_t(s.data.size()));
      out.WriteU32(s.address);
      out.WriteU32(uint32_t(s.data.size()));
      out.WriteU32(dataAt);
      for (int i = 0; i < 16; ++i) out.WriteU8(0);
      dataAt += uint32_t(s.data.size());
    }
    for (const auto& s : sections) out.WriteBytes(s.data);
    if (!withTable) return out.Take();
    for (const auto& sym : symbols) {
      if (sym.name.empty()) {
        out.WriteU32(0);
        out.WriteU32(sym.stringOffset);
      } else {
        std::string name = sym.name;
        name.resize(8, '\0');
        for (char c : name) out.WriteU8(uint8_t(c));
      }
      out.WriteU32(sym.value);
      out.WriteU16(sym.section);
      out.WriteU16(0);
      out.WriteU8(3);
      out.WriteU8(0);
    }
    out.WriteU32(uint32_t(4 + strings.size()));
    for (char c : strings) out.WriteU8(uint8_t(c));
    return out.Take();
  }
};

std::vector<uint8_t> LinkData(const std::string& name, uint32_t crc) {
  ByteWriter out;
  for (char c : name) out.WriteU8(uint8_t(c));
  do out.WriteU8(0);
  while (out.size() % 4 != 0);
  out.WriteU32(crc);
  return out.Take();
}

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(PeSymbolsTest, DebugLinkCrcIsTheCrcThatGzipAndObjcopyUse) {
  EXPECT_EQ(DebugLinkCrc(Bytes("123456789")), 0xCBF43926u);
  EXPECT_EQ(DebugLinkCrc({}), 0u);
}

// Kavrel.exe as objcopy leaves it: no symbols, but a string table that holds
// the long section names, .gnu_debuglink among them.
TEST(PeSymbolsTest, AStrippedImageNamesItsDebugFileThroughALongSectionName) {
  TestImage image;
  image.sections = {{".text", 0x1000, std::vector<uint8_t>(16, 0x90)},
                    {"/4", 0x5000, LinkData("Kavrel.exe.debug", 0x89ABCDEF)}};
  image.strings = std::string(".gnu_debuglink") + '\0';
  auto file = image.Build();
  auto link = FindDebugLink(file);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->fileName, "Kavrel.exe.debug");
  EXPECT_EQ(link->crc, 0x89ABCDEFu);
  EXPECT_FALSE(FindSymbolRva(file, "_g_count"));

  // A name that fills the section to its end leaves no room for the CRC.
  image.sections[1].data = Bytes("Kavrel.exe.debug");
  EXPECT_FALSE(FindDebugLink(image.Build()));
  // A long name past the string table is damage, not a section to skip.
  image.sections[1] = {"/99", 0x5000, LinkData("Kavrel.exe.debug", 1)};
  EXPECT_FALSE(FindDebugLink(image.Build()));
  image.withTable = false;
  EXPECT_FALSE(FindDebugLink(image.Build()));
}

TEST(PeSymbolsTest, ASymbolIsItsSectionsAddressPlusItsValue) {
  TestImage image;
  image.sections = {{".text", 0x1000, std::vector<uint8_t>(8, 0)}, {".bss", 0x168000, {}}};
  image.strings = std::string("__ZN6kavrel12_GLOBAL__N_113g_outstandingE") + '\0';
  image.symbols = {{"_short", 0, 0x10, 1}, {"", 4, 0xE40, 2}};
  auto file = image.Build();
  EXPECT_EQ(FindSymbolRva(file, "_short"), 0x1010u);
  EXPECT_EQ(FindSymbolRva(file, "__ZN6kavrel12_GLOBAL__N_113g_outstandingE"), 0x168E40u);
  EXPECT_FALSE(FindSymbolRva(file, "__ZN6kavrel12_GLOBAL__N_113g_outstanding"));
  EXPECT_FALSE(FindDebugLink(file));

  // Cut short anywhere, the image gives nothing rather than a wrong address.
  for (size_t cut = 0; cut < file.size(); ++cut) {
    std::span<const uint8_t> part(file.data(), cut);
    auto rva = FindSymbolRva(part, "__ZN6kavrel12_GLOBAL__N_113g_outstandingE");
    EXPECT_TRUE(!rva || *rva == 0x168E40u) << cut;
  }
}

}  // namespace
}  // namespace kavrel::e2e
