#include "commands/text_ops.h"

#include <cstring>

#include "commands/runtime_error.h"
#include "commands/runtime_heap.h"

namespace kavrel {

int32_t CompareText(const char* a, const char* b) {
  if (!a) return (!b || *b == '\0') ? 0 : -1;
  if (!b) return *a == '\0' ? 0 : 1;
  auto* x = reinterpret_cast<const unsigned char*>(a);
  auto* y = reinterpret_cast<const unsigned char*>(b);
  // The shorter text's NUL meets a non-zero byte, so a prefix sorts first.
  while (*x == *y) {
    if (*x == 0) return 0;
    ++x;
    ++y;
  }
  return *x < *y ? -1 : 1;
}

uint32_t TextLength(const char* text) { return text ? uint32_t(std::strlen(text)) : 0; }

char* AllocateText(uint64_t length) {
  if (length >= uint64_t(INT32_MAX)) {
    // Larger than any block the heap can give: the report of a failed
    // allocation, with the largest size it can name.
    char message[100];
    FormatAllocationFailure(message, INT32_MAX);
    ReportFatal(message, 0);
  }
  return static_cast<char*>(Allocate(int32_t(length + 1)));
}

char* JoinTexts(int32_t count, const char* const* texts) {
  if (count < 0 || !texts) count = 0;
  // Measured twice rather than kept: the lengths need no storage that could
  // fail outside the runtime heap.
  uint64_t total = 0;
  for (int32_t i = 0; i < count; ++i) total += TextLength(texts[i]);
  char* out = AllocateText(total);
  char* at = out;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t length = TextLength(texts[i]);
    if (length) std::memcpy(at, texts[i], length);
    at += length;
  }
  *at = '\0';
  return out;
}

}  // namespace kavrel
