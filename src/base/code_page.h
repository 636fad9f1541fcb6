// Which bytes of a code page start a two-byte character and which may end
// one. Every text of the program is bytes in its code page, 936, so a
// scan for a single-byte character ('\\', '|', '"', ...) must step over
// two-byte characters whole, and must know a broken pair when it meets one.
#pragma once

#include <bitset>
#include <cstdint>

namespace kavrel {

class CodePageBytes {
 public:
  // A single-byte code page (1252 and the like): every byte stands alone.
  CodePageBytes() = default;

  // The double-byte ANSI code pages: 932 (Shift-JIS), 936 (GBK), 949
  // (Unified Hangul) and 950 (Big5). Any other number is single-byte.
  static CodePageBytes ForCodePage(uint32_t codePage);

  void AddLeadRange(uint8_t first, uint8_t last);
  void AddTrailRange(uint8_t first, uint8_t last);
  void ClearLeadBytes() { lead_.reset(); }

  bool IsLead(uint8_t b) const { return lead_[b]; }
  bool IsTrail(uint8_t b) const { return trail_[b]; }
  bool IsDoubleByte() const { return lead_.any(); }

 private:
  std::bitset<256> lead_;
  std::bitset<256> trail_;
};

}  // namespace kavrel
