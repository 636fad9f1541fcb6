// Run: starts a program from a command line, optionally waits for it to end,
// and says whether it could be started.
#pragma once

#include <cstdint>

#include "commands/values.h"

namespace kavrel {

// Arguments: command line (text), wait (logical), show mode (integer, 1 to
// 6, default 2). Result: logical, 1 when the process was created.
void Run(CommandResult* result, int32_t count, const CommandArg* args);

// The show command placed in the started program's start-up information.
// `given` is false for an omitted argument.
uint16_t RunShowCommand(bool given, int32_t showMode);

}  // namespace kavrel
