// The runtime's unit library: its table of 51 unit type slots. Slot s holds
// the type whose UnitTypeId is 0x10000 + s + 1; unfilled slots are zero.
#pragma once

#include <span>

#include "units/unit_type.h"

namespace kavrel {

inline constexpr int32_t kUnitTypeSlots = 51;

std::span<const UnitTypeDescriptor> UnitTypeTable();

}  // namespace kavrel
