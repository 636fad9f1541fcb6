// Finding a unit type's descriptor by its UnitTypeId: the high half names the
// library (1-based), the low half the slot in its type table (1-based).
#pragma once

#include <cstdint>
#include <span>

#include "templates/unit_template.h"
#include "units/unit_type.h"

namespace kavrel {

// One type table per library, in the program's library order.
using UnitTypeLibraries = std::span<const std::span<const UnitTypeDescriptor>>;

// Null for an id whose top two bits are set, a library or slot out of range,
// and an unfilled slot.
const UnitTypeDescriptor* FindUnitType(UnitTypeLibraries libraries, UnitTypeId id);

// The property entry for `index` (0-7 common, then the type's own), or null.
inline const PropertyDescriptor* FindPropertyEntry(const UnitTypeDescriptor* type, int32_t index) {
  if (!type || !type->properties || index < 0 || index >= type->propertyCount) return nullptr;
  return &type->properties[index];
}

}  // namespace kavrel
