#include "base/code_page.h"

namespace kavrel {

void CodePageBytes::AddLeadRange(uint8_t first, uint8_t last) {
  for (unsigned b = first; b <= last; ++b) lead_.set(b);
}

void CodePageBytes::AddTrailRange(uint8_t first, uint8_t last) {
  for (unsigned b = first; b <= last; ++b) trail_.set(b);
}

namespace {

struct Range {
  uint8_t first, last;
};

struct DoubleByteCodePage {
  uint32_t number;
  Range lead[2];
  Range trail[3];  // unused ranges are {0, 0}
};

constexpr DoubleByteCodePage kDoubleByte[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}}},                // Shift-JIS
    {936, {{0x81, 0xFE}}, {{0x40, 0x7E}, {0x80, 0xFE}}},                              // GBK
    {949, {{0x81, 0xFE}}, {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}}},                // Unified Hangul
    {950, {{0x81, 0xFE}}, {{0x40, 0x7E}, {0xA1, 0xFE}}},                              // Big5
};

}  // namespace

CodePageBytes CodePageBytes::ForCodePage(uint32_t codePage) {
  CodePageBytes bytes;
  for (const DoubleByteCodePage& page : kDoubleByte) {
    if (page.number != codePage) continue;
    for (const Range& r : page.lead)
      if (r.first) bytes.AddLeadRange(r.first, r.last);
    for (const Range& r : page.trail)
      if (r.first) bytes.AddTrailRange(r.first, r.last);
  }
  return bytes;
}

}  // namespace kavrel
