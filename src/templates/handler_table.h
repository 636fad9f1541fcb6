// Event handlers as the template store binds them. A stored handler is a byte
// offset from the program's CodeBase; the program is built with a table that
// maps each offset it uses to its routine, and relocation goes through it.
#pragma once

#include <cstdint>
#include <span>

namespace kavrel {

// A handler gives back either nothing or one value.
struct HandlerResult {
  bool hasValue = false;
  int64_t value = 0;
};

// Arguments in order, argument 1 first: one 32-bit value each for a simple
// event record (zero- or sign-extended as the record says), up to 64 bits
// for a typed record.
using EventHandler = HandlerResult (*)(int32_t argCount, const uint64_t* args);

struct HandlerEntry {
  uint32_t storedOffset;
  EventHandler routine;
};

using HandlerTable = std::span<const HandlerEntry>;

}  // namespace kavrel
