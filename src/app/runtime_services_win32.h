// The runtime's services table, its own unit library and the program's
// library commands, as start-up hands them to the program.
#pragma once

#include "commands/runtime_services.h"
#include "units/library_descriptor.h"

namespace kavrel {

// The table filled with the runtime's entries; fixed for the process.
const RuntimeServices& TheRuntimeServices();

// ShowMessageBox, ToText and Run, in the library's order.
const ProgramCommands& TheProgramCommands();

// The runtime's own library: its unit type table, its commands and its
// notify routine, which stores the LibraryCallback address it is given with
// code 1. Request 1002 is the window engine's to answer.
const LibraryDescriptor& TheRuntimeLibrary();
intptr_t RuntimeLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2);

}  // namespace kavrel
