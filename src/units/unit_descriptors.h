// The unit types of the runtime's unit library besides the window, for its
// type table: shape box (slot 6), group box (8), label (9), button (10) and
// combo box (13). Each type's routines are handed out by its interface
// routine (defined in the type's Win32 file).
#pragma once

#include <cstdint>

#include "units/unit_type.h"

namespace kavrel {

extern const UnitTypeDescriptor kShapeBoxUnitType;
extern const UnitTypeDescriptor kGroupBoxUnitType;
extern const UnitTypeDescriptor kLabelUnitType;
extern const UnitTypeDescriptor kButtonUnitType;
extern const UnitTypeDescriptor kComboBoxUnitType;

void* KAVREL_STDCALL ShapeBoxInterface(int32_t number);
void* KAVREL_STDCALL GroupBoxInterface(int32_t number);
void* KAVREL_STDCALL LabelInterface(int32_t number);
void* KAVREL_STDCALL ButtonInterface(int32_t number);
void* KAVREL_STDCALL ComboBoxInterface(int32_t number);

}  // namespace kavrel
