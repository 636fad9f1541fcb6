#include "program/input_check.h"

#include <cstring>

namespace kavrel {

namespace {

bool IsSafe(const char* text, bool bare, const CodePageBytes& codePage) {
  if (!text) return true;
  auto* p = reinterpret_cast<const unsigned char*>(text);
  bool endsInBackslash = false;
  while (*p) {
    unsigned char c = *p;
    if (codePage.IsLead(c)) {
      // The NUL after a lead byte at the very end is no trail byte either.
      if (!codePage.IsTrail(p[1])) return false;
      p += 2;
      endsInBackslash = false;
      continue;
    }
    if (c < 0x20 || c == '"' || c == '%') return false;
    if (bare && std::strchr("&|<>^", c)) return false;
    endsInBackslash = c == '\\';
    ++p;
  }
  // Before the closing quotation mark a backslash would make netsh read
  // that mark as part of the text, where cmd sees the text end.
  return bare || !endsInBackslash;
}

}  // namespace

bool IsSafeQuotedText(const char* text, const CodePageBytes& codePage) { return IsSafe(text, false, codePage); }
bool IsSafeBareText(const char* text, const CodePageBytes& codePage) { return IsSafe(text, true, codePage); }

}  // namespace kavrel
