#include "window/unit_library.h"

#include "units/unit_descriptors.h"
#include "window/window_type.h"

namespace kavrel {

namespace {

// Slots by number; every other slot stays empty.
const UnitTypeDescriptor* const kFilledSlots[kUnitTypeSlots] = {
    &kWindowUnitType,    // 0
    nullptr,             // 1
    nullptr,             // 2: menu items
    nullptr,             // 3
    nullptr,             // 4
    nullptr,             // 5
    &kShapeBoxUnitType,  // 6
    nullptr,             // 7
    &kGroupBoxUnitType,  // 8
    &kLabelUnitType,     // 9
    &kButtonUnitType,    // 10
    nullptr,             // 11
    nullptr,             // 12
    &kComboBoxUnitType,  // 13
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
