// Loading the TemplateStore: the serialised block of every window and unit of
// the program, read once at start-up into the application's window list.
#pragma once

#include <cstdint>
#include <span>

#include "base/byte_reader.h"
#include "templates/handler_table.h"
#include "templates/window_template.h"

namespace kavrel {

// 载入窗口模板数据段出错!
inline constexpr char kTemplateStoreLoadError[] =
    "\xd4\xd8\xc8\xeb\xb4\xb0\xbf\xda\xc4\xa3\xb0\xe5\xca\xfd\xbe\xdd\xb6\xce\xb3\xf6\xb4\xed!";

// Reads the WindowIndex and the window records from `reader` into `windows`
// (handlers still as stored). False when the block ends early or a table
// breaks its limits; `windows` then holds what was read so far.
bool ReadTemplateWindows(ByteReader& reader, WindowTable& windows);

// Reads the whole store through a buffered archive, relocates the handlers
// through `handlers` and appends the windows to `windows`. A store of size 0
// adds nothing. On failure everything read is destroyed, `windows` is left as
// it was and the result is false.
bool LoadTemplateStore(std::span<const uint8_t> store, HandlerTable handlers, WindowTable& windows);

// Start-up's form: a failure is the fatal report, which does not return.
void LoadTemplateStoreOrReport(std::span<const uint8_t> store, HandlerTable handlers, WindowTable& windows);

}  // namespace kavrel
