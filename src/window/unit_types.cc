#include "window/unit_types.h"

namespace kavrel {

const UnitTypeDescriptor* FindUnitType(UnitTypeLibraries libraries, UnitTypeId id) {
  if (id & 0xC0000000) return nullptr;
  const uint32_t library = id >> 16;
  const uint32_t slot = id & 0xFFFF;
  if (library == 0 || library > libraries.size() || slot == 0) return nullptr;
  std::span<const UnitTypeDescriptor> types = libraries[library - 1];
  if (slot > types.size()) return nullptr;
  const UnitTypeDescriptor& type = types[slot - 1];
  // Unfilled slots of the table are all zero.
  return type.getInterface || type.stateFlags ? &type : nullptr;
}

}  // namespace kavrel
