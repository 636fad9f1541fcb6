// Finds a symbol in the COFF symbol table that the linker leaves in a PE
// image built with symbols, so that a test can read a variable of a
// running program the way a debugger would, without the program's help.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kavrel::e2e {

// The symbol's address relative to the image base, or nullopt when the file
// is no PE image, has no symbol table or no symbol of that exact name.
std::optional<uint32_t> FindSymbolRva(std::span<const uint8_t> imageFile, std::string_view name);

}  // namespace kavrel::e2e
