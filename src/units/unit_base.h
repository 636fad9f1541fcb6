// What every unit type shares that needs no Win32: the event record units
// hand to the runtime, and the colour and choice rules.
#pragma once

#include <cstdint>
#include <span>

#include "commands/library_interface.h"
#include "commands/runtime_services.h"
#include "units/unit_type.h"

namespace kavrel {

// Ids, index and at most five arguments; both result fields 0.
SimpleEventRecord MakeEventRecord(WindowId window, UnitId unit, int32_t index, std::span<const uint32_t> args);

// A colour-or-default value as painted: DefaultColour is the button face.
inline uint32_t ResolveDefaultColour(uint32_t colour, uint32_t buttonFace) {
  return colour == kDefaultColour ? buttonFace : colour;
}

// Choices above the last become the last, negatives 0.
int32_t ClampChoice(int32_t value, int32_t last);
int32_t ClampRange(int32_t value, int32_t low, int32_t high);

}  // namespace kavrel
