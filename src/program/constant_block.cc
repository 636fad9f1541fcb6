#include "program/constant_block.h"

namespace kavrel {

// Split literals keep a hex escape from swallowing a following letter.
const ConstantBlock kConstants = {
    "",
    "\xcc\xe1\xca\xbe",                                                      // 提示
    "\xc7\xeb\xca\xe4\xc8\xeb\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6\xa3\xa1",      // 请输入网卡名称！
    "IP\xbb\xf2" "MAC\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5!",                    // IP或MAC不能为空!
    "\xb1\xb8\xd3\xc3" "DNS\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5",               // 备用DNS不能为空
    "\xb1\xb8\xd3\xc3" "DNS\xba\xcd\xca\xd7\xd1\xa1" "DNS\xb3\xe5\xcd\xbb",  // 备用DNS和首选DNS冲突
    "\xca\xd7\xd1\xa1" "DNS\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5",               // 首选DNS不能为空
    "\xca\xd7\xd1\xa1" "DNS\xba\xcd\xb1\xb8\xd3\xc3" "DNS\xb3\xe5\xcd\xbb",  // 首选DNS和备用DNS冲突
    "\"",
    " ",
    "cmd /d /v:off /c netsh interface ip set address ",
    " static ",
    "cmd /d /v:off /c netsh interface ip add dns name=",
    " add=",
    " index=2",
    " dhcp & netsh interface ip set dns ",
    " dhcp",
    "cmd /d /v:off /c netsh interface ip set dns name=",
    "\xca\xe4\xc8\xeb\xc4\xda\xc8\xdd\xba\xac\xd3\xd0\xb7\xc7\xb7\xa8\xd7\xd6\xb7\xfb!",  // 输入内容含有非法字符!
};

}  // namespace kavrel
