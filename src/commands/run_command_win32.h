// Run: starts a program from a command line, optionally waits for it to end,
// and says whether it could be started. The program starts in the system
// folder, with NoDefaultCurrentDirectoryInExePath in its environment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "commands/values.h"

namespace kavrel {

// Arguments: command line (text), wait (logical), show mode (integer, 1 to
// 6, default 2). Result: logical, 1 when the process was created.
void Run(CommandResult* result, int32_t count, const CommandArg* args);

// The show command placed in the started program's start-up information.
// `given` is false for an omitted argument.
uint16_t RunShowCommand(bool given, int32_t showMode);

// The file Run starts for a command line: the program it names, looked for
// (with ".exe" when it has no extension) in the system folder, the Windows
// folder and then the absolute folders of PATH, never in this program's
// folder or the working directory; a name with a folder or drive in it as
// it stands (up to the first blank, unless quoted). Empty when it is not
// found.
std::wstring ProgramToStart(std::wstring_view commandLine);

}  // namespace kavrel
