// Finds a symbol in the COFF symbol table that the linker leaves in a PE
// image built with symbols, so that a test can read a variable of a
// running program the way a debugger would, without the program's help.
// A stripped image keeps its symbols in a separate file that its
// .gnu_debuglink section names, with that file's CRC.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kavrel::e2e {

// The name a mangled C++ symbol has in an image as wide as this program:
// 32-bit images put an underscore before every name, 64-bit ones do not.
inline std::string ImageSymbol(std::string_view mangled) {
  return (sizeof(void*) == 4 ? "_" : "") + std::string(mangled);
}

// The symbol's address relative to the image base, or nullopt when the file
// is no PE image, has no symbol table or no symbol of that exact name.
std::optional<uint32_t> FindSymbolRva(std::span<const uint8_t> imageFile, std::string_view name);

struct DebugLink {
  std::string fileName;  // no folder: the file lies beside the image
  uint32_t crc = 0;
};

// The image's .gnu_debuglink, or nullopt when it has none or it is damaged.
std::optional<DebugLink> FindDebugLink(std::span<const uint8_t> imageFile);

// The CRC-32 that .gnu_debuglink records (zlib's and gzip's).
uint32_t DebugLinkCrc(std::span<const uint8_t> bytes);

}  // namespace kavrel::e2e
