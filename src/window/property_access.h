// Unit property access without Win32: the lookups' error texts, the values
// answered from a template, and the conversion of a type's raw property value
// into what GetUnitProperty returns (and back, for SetUnitProperty). Texts and
// byte arrays returned are fresh runtime-heap blocks; empty ones are null.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "commands/runtime_services.h"
#include "templates/font_description.h"
#include "templates/unit_template.h"
#include "units/unit_type.h"

namespace kavrel {

// 未载入欲访问窗口组件所在的窗口
inline constexpr char kPropertyWindowMissing[] =
    "\xce\xb4\xd4\xd8\xc8\xeb\xd3\xfb\xb7\xc3\xce\xca\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xcb\xf9\xd4\xda\xb5\xc4\xb4\xb0"
    "\xbf\xda";
// 指定窗口尚未载入
inline constexpr char kPropertyWindowNotLoaded[] = "\xd6\xb8\xb6\xa8\xb4\xb0\xbf\xda\xc9\xd0\xce\xb4\xd4\xd8\xc8\xeb";
// 指定窗口或窗口组件不存在或尚未载入
inline constexpr char kLiveObjectMissing[] =
    "\xd6\xb8\xb6\xa8\xb4\xb0\xbf\xda\xbb\xf2\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xb2\xbb\xb4\xe6\xd4\xda\xbb\xf2\xc9\xd0"
    "\xce\xb4\xd4\xd8\xc8\xeb";
// 宋体: the face a written font gets when its own name is unusable.
inline constexpr char kFallbackFontFace[] = "\xcb\xce\xcc\xe5";

// Common property numbers.
namespace common {
inline constexpr int32_t kLeft = 0;
inline constexpr int32_t kTop = 1;
inline constexpr int32_t kWidth = 2;
inline constexpr int32_t kHeight = 3;
inline constexpr int32_t kTag = 4;
inline constexpr int32_t kVisible = 5;
inline constexpr int32_t kDisabled = 6;
inline constexpr int32_t kPointer = 7;
inline constexpr int32_t kCount = 8;
}  // namespace common

// Value types outside ptype that conversion knows.
inline constexpr int16_t kValueInt64A = 1002;
inline constexpr int16_t kValueInt64B = 1004;

// The standard mouse pointers: position in the list -> system cursor id.
inline constexpr uint32_t kStandardPointers[15] = {0,     32512, 32515, 32513, 32514, 32651, 32650, 32648,
                                                   32646, 32643, 32645, 32642, 32644, 32516, 32649};
// -1 when `cursorId` is not in the list.
int32_t StandardPointerPosition(uint32_t cursorId);

// New heap copies.
void* NewTextResult(std::string_view text);
// Two words (1, n) and the n bytes. With `pointerList`, a first word of a
// block of at least 4 bytes becomes its position in the standard list.
void* NewByteArrayResult(std::span<const uint8_t> bytes, bool pointerList = false);

// Common properties 0-7 as the template stores them.
PropertyBits TemplateCommonProperty(const UnitTemplate& unit, int32_t index);
// The properties of a menu item record.
PropertyBits MenuItemProperty(const MenuItemTemplate& item, int32_t index);

// A font as a font property reads back with member selector -1: seven words,
// the last a new text with the face name. 28 bytes on the target.
struct FontMembers {
  int32_t height = 0;
  int32_t bold = 0;
  int32_t italic = 0;
  int32_t strikeOut = 0;
  int32_t underline = 0;
  int32_t points = 0;
  uintptr_t faceName = 0;
};
#if defined(_WIN32) && !defined(_WIN64)  // the 32-bit target
static_assert(sizeof(FontMembers) == 28, "seven 32-bit words on the target");
#endif

// Win32's MulDiv: a * b / c rounded half away from zero; -1 when c is 0.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// What the font conversion needs from the system.
struct FontContext {
  FontDescription defaultFont;  // of the default GUI font
  int32_t logPixelsY = 96;
};
using FontContextFn = FontContext (*)();

PropertyBits FontMember(const FontDescription& font, int32_t selector, int32_t logPixelsY);

// Converts the raw value a type's get routine filled in by the property's
// value type; `fontContext` is asked only for fonts.
PropertyBits ConvertPropertyValue(int16_t valueType, const PropertyValue& raw, int32_t selector,
                                  FontContextFn fontContext);

// A value written through SetUnitProperty, in the form the type's set
// routine takes. Texts and bytes point into the written value, or into
// `storage` for a font built here. `current` is the property's present raw
// value (fonts with a member selector change one member of it).
bool WrittenPropertyValue(int16_t valueType, int32_t selector, uintptr_t low, uint32_t high,
                          const PropertyValue& current, FontContextFn fontContext, PropertyValue& out,
                          std::vector<uint8_t>& storage);

}  // namespace kavrel
