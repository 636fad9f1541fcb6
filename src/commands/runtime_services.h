// RuntimeServices: the fixed table of 13 entry points through which program
// code reaches the runtime, in slot order. Program code holds nothing else of
// the runtime, so a test can hand it a table of its own.
#pragma once

#include <cstdint>

#include "commands/library_interface.h"
#include "commands/values.h"

namespace kavrel {

// A unit property value as GetUnitProperty gives it: 64 bits, the low word
// holding an address for texts and blocks (the whole value on a 64-bit host).
using PropertyBits = uint64_t;

inline const char* PropertyText(PropertyBits v) { return reinterpret_cast<const char*>(uintptr_t(v)); }
inline PropertyBits PropertyOfPointer(const void* p) { return PropertyBits(reinterpret_cast<uintptr_t>(p)); }

struct RuntimeServices {
  void (*RaiseError)(int32_t number);                                         // 0
  void* CallExternal;  // 1: this program declares no external routines
  CommandResult (*CallCommandTwin)(CommandFunction, int32_t, const CommandArg*);  // 2
  CommandResult (*CallCommand)(CommandFunction, int32_t, const CommandArg*);      // 3
  PropertyBits (*GetUnitProperty)(WindowId, UnitId, int32_t index, int32_t selector);  // 4
  void (*SetUnitProperty)(WindowId, UnitId, int32_t index, int32_t selector, uintptr_t low,
                          uint32_t high);                                     // 5
  void* (*Allocate)(int32_t size);                                           // 6
  void* (*Reallocate)(void* block, int32_t size);                            // 7
  void (*Free)(void* block);                                                 // 8
  void (*EndProgram)(int32_t code);                                          // 9
  void (*RunMessageLoop)();                                                  // 10
  void (*LoadWindow)(WindowId id);                                           // 11
  intptr_t (*Notify)(int32_t code, intptr_t arg1, intptr_t arg2);            // 12
};

// The library commands the program calls, in the library's order.
struct ProgramCommands {
  CommandFunction showMessageBox;  // 0
  CommandFunction toText;          // 1
  CommandFunction run;             // 2
};

}  // namespace kavrel
