// The program's literal texts: NUL-terminated GBK bytes in one contiguous
// read-only block, whose range the runtime records so that Free leaves them
// alone. Every member is a named text inside that block.
#pragma once

#include <cstddef>

namespace kavrel {

struct ConstantBlock {
  char empty[1];
  char noticeTitle[5];            // 提示
  char nameMissing[17];           // 请输入网卡名称！
  char addressOrMaskMissing[17];  // IP或MAC不能为空!
  char alternateMissing[16];      // 备用DNS不能为空
  char alternateConflict[21];     // 备用DNS和首选DNS冲突
  char preferredMissing[16];      // 首选DNS不能为空
  char preferredConflict[21];     // 首选DNS和备用DNS冲突
  char quotationMark[2];
  char blank[2];
  char setAddress[49];            // "cmd /d /v:off /c netsh interface ip set address "
  char staticKeyword[9];          // " static "
  char addDnsName[50];            // "cmd /d /v:off /c netsh interface ip add dns name="
  char addKeyword[6];             // " add="
  char secondIndex[9];            // " index=2"
  char dhcpThenSetDns[36];        // " dhcp & netsh interface ip set dns "
  char dhcpKeyword[6];            // " dhcp"
  char setDnsName[50];            // "cmd /d /v:off /c netsh interface ip set dns name="
  char illegalCharacters[22];     // 输入内容含有非法字符!
};

// Only byte arrays: no padding, so the members form one block.
static_assert(alignof(ConstantBlock) == 1);
static_assert(sizeof(ConstantBlock) == 355);

extern const ConstantBlock kConstants;

inline const void* ConstantBlockStart() { return &kConstants; }
inline size_t ConstantBlockSize() { return sizeof(ConstantBlock); }

}  // namespace kavrel
