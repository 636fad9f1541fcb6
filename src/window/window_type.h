// The window as a unit type: slot 0 of the unit library, UnitTypeId
// 0x00010001, with its 32 property descriptors (8 common, 24 own).
#pragma once

#include <cstdint>

#include "units/unit_type.h"

namespace kavrel {

inline constexpr int32_t kWindowPropertyCount = 32;
inline constexpr uint32_t kWindowTypeFlags = 0x800000D0;

extern const PropertyDescriptor kWindowProperties[kWindowPropertyCount];
extern const UnitTypeDescriptor kWindowUnitType;

// The window type's routines by interface number (window_unit_win32.cc).
void* KAVREL_STDCALL WindowUnitInterface(int32_t number);

}  // namespace kavrel
