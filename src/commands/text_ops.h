// The program's own text routines: texts are NUL-terminated bytes, a null
// text is the empty text, and nothing depends on the code page.
#pragma once

#include <cstdint>

namespace kavrel {

// Byte-wise three-way comparison of unsigned bytes: exactly -1, 0 or 1.
int32_t CompareText(const char* a, const char* b);

// Bytes before the first NUL; 0 for null.
uint32_t TextLength(const char* text);

// A new runtime heap block (never null) holding texts[0..count) one after
// the other. Each piece is measured once and the result allocated once.
// A count below 1 gives the empty text in a block of its own.
char* JoinTexts(int32_t count, const char* const* texts);

// A heap block for a text of `length` bytes and its NUL (never null). A
// length no heap block can hold is the fatal report of a failed allocation.
char* AllocateText(uint64_t length);

}  // namespace kavrel
