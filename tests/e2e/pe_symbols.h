// Finds a symbol in the COFF symbol table that the linker leaves in a PE
// image built with symbols, so that a test can read a variable of a
// running program the way a debugger would, without the program's help.
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

}  // namespace kavrel::e2e
