// How a unit type is described to the window engine: the unit library's type
// table holds one UnitTypeDescriptor per type (56 bytes on the target), each
// with its property table (20 bytes per property) and the routine that hands
// out the type's interface routines by number.
#pragma once

#include <cstdint>

#include "commands/library_interface.h"
#include "commands/values.h"

#ifdef _WIN32
#define KAVREL_STDCALL __stdcall
#else
#define KAVREL_STDCALL
#endif

namespace kavrel {

// PropertyType codes (the value form of each is given where it is used).
namespace ptype {
inline constexpr int16_t kInteger = 1001;
inline constexpr int16_t kLogical = 1003;
inline constexpr int16_t kText = 1005;
inline constexpr int16_t kChoice = 1006;
inline constexpr int16_t kPicture = 1009;
inline constexpr int16_t kIcon = 1010;
inline constexpr int16_t kCursor = 1011;
inline constexpr int16_t kSound = 1012;
inline constexpr int16_t kFont = 1013;
inline constexpr int16_t kColour = 1014;
inline constexpr int16_t kColourOrTransparent = 1015;
inline constexpr int16_t kFileName = 1016;
inline constexpr int16_t kColourOrDefault = 1017;
inline constexpr int16_t kDataSource = 1018;
inline constexpr int16_t kDataColumn = 1020;
inline constexpr int16_t kCustomBytes = 1024;
}  // namespace ptype

// 0xFF000000: the system button-face colour, or "no colour", as the property says.
inline constexpr uint32_t kDefaultColour = 0xFF000000;

struct PropertyDescriptor {
  const char* name;
  const char* englishName;
  const char* description;
  int16_t type;
  uint16_t stateFlags;  // design-time data, carried, not interpreted
  const void* choices;
};

// A property value as the types' get and set routines exchange it: word 0 is
// the value itself, or the address of a text or of bytes (then word 1 is the
// byte count). Eight bytes on the target.
struct PropertyValue {
  uintptr_t word0 = 0;
  uint32_t word1 = 0;
};

// Interface numbers a type may answer.
namespace iface {
inline constexpr int32_t kCreate = 1;
inline constexpr int32_t kPropertyChanged = 4;
inline constexpr int32_t kSaveProperties = 5;
inline constexpr int32_t kGetProperty = 6;
inline constexpr int32_t kConvertTexts = 9;
inline constexpr int32_t kIsDefaultButton = 10;
inline constexpr int32_t kOfferMessage = 11;
}  // namespace iface

// Gives the routine for an interface number, or null. Each routine's own
// signature is declared where the window engine calls it.
using GetUnitInterfaceFn = void*(KAVREL_STDCALL*)(int32_t number);

// Type state flags the window engine tests.
namespace typeflag {
inline constexpr uint32_t kNeverShown = 0x8000;
inline constexpr uint32_t kPaged = 0x100;
inline constexpr uint32_t kDefaultButtonCapable = 0x800;
inline constexpr uint32_t kOffersMessages = 0x20;
inline constexpr uint32_t kPassive = 0x04000000;  // drag-anywhere passes through
inline constexpr uint32_t kEventsA = 0x04;
inline constexpr uint32_t kEventsB = 0x40;
}  // namespace typeflag

struct UnitTypeDescriptor {
  const char* chineseName;
  const char* englishName;
  const char* description;
  int32_t methodCount;
  const void* methods;
  uint32_t stateFlags;
  int32_t iconId;
  int32_t eventCount;
  const void* events;
  int32_t propertyCount;
  const PropertyDescriptor* properties;
  GetUnitInterfaceFn getInterface;
  int32_t elementCount;
  const void* elements;
};

#if defined(_WIN32) && !defined(_WIN64)  // the 32-bit target
static_assert(sizeof(PropertyValue) == 8, "property value is two 32-bit words on the target");
static_assert(sizeof(PropertyDescriptor) == 20, "property descriptor is 20 bytes on the target");
static_assert(sizeof(UnitTypeDescriptor) == 56, "unit type descriptor is 56 bytes on the target");
#endif

}  // namespace kavrel
