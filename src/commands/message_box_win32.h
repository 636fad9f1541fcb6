// ShowMessageBox: a modal system message box; the result names the button
// that closed it.
#pragma once

#include <cstdint>

#include "commands/values.h"
#include "commands/library_interface.h"

namespace kavrel {

// 信息：, the title when none is given.
inline constexpr char kDefaultMessageBoxTitle[] = "\xd0\xc5\xcf\xa2\xa3\xba";

// Arguments: message (any base type), flags (integer), title (text), owner
// (window value or integer window handle). Result: 0 OK, 1 Cancel, 2 Abort,
// 3 Retry, 4 Ignore, 5 Yes, 6 No; 0 for anything else.
void ShowMessageBox(CommandResult* result, int32_t count, const CommandArg* args);

// The route to the runtime for an owner given as a window value (request
// 2006 gives that window's live object); none means no owner.
void SetMessageBoxCallback(LibraryCallbackFn callback);

// The flags as passed to the system: task-modal unless system-modal.
uint32_t MessageBoxFlags(uint32_t flags);
// The command's result for a system message box result.
int32_t MessageBoxResult(int result);

}  // namespace kavrel
