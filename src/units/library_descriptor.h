// How a program and the libraries it uses are described to the runtime: the
// library descriptor (unit types, commands, notify routine) and the
// read-only record emitted with the program that start-up reads, which says
// where the constant texts, the template store and the libraries lie.
#pragma once

#include <cstdint>

#include "commands/library_interface.h"
#include "templates/handler_table.h"
#include "units/unit_type.h"

namespace kavrel {

struct LibraryDescriptor {
  int32_t unitTypeCount;
  const UnitTypeDescriptor* unitTypes;
  int32_t commandCount;
  const CommandFunction* commands;
  LibraryNotifyFn notify;
};

// Thirteen words on the target. Handler offsets stored in templates are
// relocated through the program's handler table, so the code-base word
// points at that table.
struct ProgramDescriptor {
  uint32_t version[3];                 // 3, 0, 0x10054; the first is the show-mode word
  const HandlerTable* codeBase;
  const void* constantBlock;
  uint32_t constantBlockSize;
  const uint8_t* templateStore;
  uint32_t templateStoreSize;
  uint32_t libraryCount;
  const LibraryDescriptor* const* libraries;
  uint32_t externalRoutineCount;       // this program declares none
  const char* const* externalNames;
  const char* const* externalLibraries;
};

#if defined(_WIN32) && !defined(_WIN64)  // the 32-bit target
static_assert(sizeof(ProgramDescriptor) == 52, "thirteen 32-bit words on the target");
#endif

}  // namespace kavrel
