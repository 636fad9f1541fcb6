#include "units/unit_library.h"

#include "window/window_type.h"

namespace kavrel {

namespace {

// Slots by number; the unit types fill theirs here as they are added:
// 6 shape box, 8 group box, 9 label, 10 button, 13 combo box.
const UnitTypeDescriptor* const kFilledSlots[kUnitTypeSlots] = {
    &kWindowUnitType,  // 0
};

struct Table {
  UnitTypeDescriptor slots[kUnitTypeSlots] = {};
  Table() {
    for (int32_t i = 0; i < kUnitTypeSlots; ++i)
      if (kFilledSlots[i]) slots[i] = *kFilledSlots[i];
  }
};

}  // namespace

std::span<const UnitTypeDescriptor> UnitTypeTable() {
  static const Table table;
  return table.slots;
}

}  // namespace kavrel
