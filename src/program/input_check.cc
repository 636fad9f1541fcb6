#include "program/input_check.h"

#include <cstring>

namespace kavrel {

namespace {

bool IsSafe(const char* text, bool bare) {
  if (!text) return true;
  auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    unsigned char c = *p;
    if (c >= 0x81 && c <= 0xFE) {
      // A lead byte at the very end has no second byte to skip.
      p += p[1] ? 2 : 1;
      continue;
    }
    if (c < 0x20 || c == '"' || c == '%') return false;
    if (bare && std::strchr("&|<>^", c)) return false;
    ++p;
  }
  return true;
}

}  // namespace

bool IsSafeQuotedText(const char* text) { return IsSafe(text, false); }
bool IsSafeBareText(const char* text) { return IsSafe(text, true); }

}  // namespace kavrel
