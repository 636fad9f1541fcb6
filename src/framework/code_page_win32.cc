#include "framework/code_page_win32.h"

#include <windows.h>

namespace kavrel {

CodePageBytes ActiveCodePageBytes() {
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2) return CodePageBytes{};
  CodePageBytes bytes = CodePageBytes::ForCodePage(GetACP());
  if (!bytes.IsDoubleByte()) {
    bytes.AddTrailRange(0x40, 0x7E);
    bytes.AddTrailRange(0x80, 0xFE);
  }
  bytes.ClearLeadBytes();
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
    bytes.AddLeadRange(info.LeadByte[i], info.LeadByte[i + 1]);
  return bytes;
}

}  // namespace kavrel
