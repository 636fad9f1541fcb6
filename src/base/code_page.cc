#include "base/code_page.h"

namespace kavrel {

void CodePageBytes::AddLeadRange(uint8_t first, uint8_t last) {
  for (unsigned b = first; b <= last; ++b) lead_.set(b);
}

void CodePageBytes::AddTrailRange(uint8_t first, uint8_t last) {
  for (unsigned b = first; b <= last; ++b) trail_.set(b);
}

CodePageBytes CodePageBytes::ForCodePage(uint32_t codePage) {
  CodePageBytes bytes;
  switch (codePage) {
    case 932:
      bytes.AddLeadRange(0x81, 0x9F);
      bytes.AddLeadRange(0xE0, 0xFC);
      bytes.AddTrailRange(0x40, 0x7E);
      bytes.AddTrailRange(0x80, 0xFC);
      break;
    case 936:
      bytes.AddLeadRange(0x81, 0xFE);
      bytes.AddTrailRange(0x40, 0x7E);
      bytes.AddTrailRange(0x80, 0xFE);
      break;
    case 949:
      bytes.AddLeadRange(0x81, 0xFE);
      bytes.AddTrailRange(0x41, 0x5A);
      bytes.AddTrailRange(0x61, 0x7A);
      bytes.AddTrailRange(0x81, 0xFE);
      break;
    case 950:
      bytes.AddLeadRange(0x81, 0xFE);
      bytes.AddTrailRange(0x40, 0x7E);
      bytes.AddTrailRange(0xA1, 0xFE);
      break;
    default:
      break;
  }
  return bytes;
}

}  // namespace kavrel
