// The texts of the fatal runtime error report, composed without Win32 so
// that their exact bytes are tested on the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/values.h"

namespace kavrel {

// 错误: the caption of the report's box.
inline constexpr char kFatalCaption[] = "\xb4\xed\xce\xf3";
// 载入启动窗口失败
inline constexpr char kLoadStartWindowError[] = "\xd4\xd8\xc8\xeb\xc6\xf4\xb6\xaf\xb4\xb0\xbf\xda\xca\xa7\xb0\xdc";
// 欲转换数据类型不是数值
inline constexpr char kNotNumericError[] =
    "\xd3\xfb\xd7\xaa\xbb\xbb\xca\xfd\xbe\xdd\xc0\xe0\xd0\xcd\xb2\xbb\xca\xc7\xca\xfd\xd6\xb5";

// The report's text: the header line and a blank line; "错误代码：" and the
// code unless it is 0; "错误信息：" and the message unless it is null or
// empty. Composed into a fixed buffer, since the report may follow an
// exhausted heap; an over-long message is cut short. Gives the length.
inline constexpr size_t kFatalTextSize = 1024;
size_t ComposeFatalText(const char* message, int32_t code, char (&text)[kFatalTextSize]);

// The message that RaiseError shows for `number` (1 to 11); null for 0 and
// for any number outside the table.
const char* ErrorTableMessage(int32_t number);

// Request 2001: a numeric typed value as a 32-bit integer. Byte is
// zero-extended, short sign-extended, long gives its low word, float and
// double are truncated toward zero (0x80000000 where they do not fit).
// False for every other tag.
bool NumericValueToInt(const CommandArg& value, int32_t& result);

}  // namespace kavrel
