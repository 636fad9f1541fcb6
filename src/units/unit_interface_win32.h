// The signatures of the routines a unit type hands out through its
// GetUnitInterface (see unit_type.h for the numbers). A unit object is the
// framework Window attached to the unit's window; the window engine passes
// it back to the type's routines. All use the standard Windows calling
// convention.
#pragma once

#include <windows.h>

#include <cstdint>

#include "commands/runtime_services.h"
#include "framework/window_win32.h"
#include "units/unit_type.h"

namespace kavrel {

// 1, for a unit: the object, or null on failure. `reserved` and `reserved2`
// are ignored.
using CreateUnitFn = Window*(KAVREL_STDCALL*)(const uint8_t* blob, int32_t blobSize, uint32_t style,
                                              HWND parent, int32_t controlId, int32_t reserved, int32_t x,
                                              int32_t y, int32_t width, int32_t height, WindowId window,
                                              UnitId unit, int32_t reserved2, int32_t designMode);

// 1, for the window type: parent or owner, the own record's property data,
// extra style bits, owner, child id (0), menu, outer rectangle, the window's
// ids, and 1 for a child window, 0 for a top-level one.
using CreateWindowUnitFn = Window*(KAVREL_STDCALL*)(HWND parentOrOwner, const uint8_t* blob, int32_t blobSize,
                                                    uint32_t extraStyle, HWND owner, int32_t childId, HMENU menu,
                                                    int32_t left, int32_t top, int32_t width, int32_t height,
                                                    WindowId window, UnitId ownRecord, int32_t childFlag);

// 4: true when the unit must be re-created for the change to show; `tip`
// is always set to null.
using PropertyChangedFn = BOOL(KAVREL_STDCALL*)(Window* unit, int32_t ownIndex, const PropertyValue* value,
                                                const char** tip);

// 5: a movable shared global block holding the unit's current blob, sized
// exactly; the caller owns it.
using SavePropertiesFn = HGLOBAL(KAVREL_STDCALL*)(Window* unit);

// 6: false for an index the type does not have or a null unit. Texts and
// bytes point into the unit's own storage.
using GetPropertyFn = BOOL(KAVREL_STDCALL*)(Window* unit, int32_t ownIndex, PropertyValue* value);

// The converter of ConvertTexts: kind 0 passes a std::string* the converter
// may change; kind 1 passes a font's 32-byte face-name field, changed in place.
using TextConverterFn = void(KAVREL_STDCALL*)(void* text, int32_t kind, uintptr_t user);

// 9: a new global block with every text passed through the converter, or
// null when the blob does not load; *blobSize is updated.
using ConvertTextsFn = HGLOBAL(KAVREL_STDCALL*)(const uint8_t* blob, int32_t* blobSize,
                                                TextConverterFn converter, uintptr_t user);

// 10.
using IsDefaultButtonFn = BOOL(KAVREL_STDCALL*)(Window* unit);

// 11: the unit type is offered a message before dispatch; true consumes it.
using OfferMessageFn = BOOL(KAVREL_STDCALL*)(Window* unit, MSG* msg);

// Routine `number` of a type's interface, or null when the type has none.
template <class Fn>
Fn TypeInterface(const UnitTypeDescriptor* type, int32_t number) {
  if (!type || !type->getInterface) return nullptr;
  return reinterpret_cast<Fn>(type->getInterface(number));
}

}  // namespace kavrel
