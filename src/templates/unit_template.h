// One record of a window's UnitTable, read in place. A record is never copied
// into a structure of its own: the field walk finds each field in the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "commands/runtime_services.h"

namespace kavrel {

// Identifiers: kind in bits 24-27, entry class in bits 28-31, serial number in
// bits 0-23. Only a value with both a kind and a serial number is valid.
inline constexpr bool IsValidId(uint32_t id) { return (id & 0x00FFFFFF) != 0 && (id & 0x0F000000) != 0; }
inline constexpr uint32_t IdKind(uint32_t id) { return (id >> 24) & 0xF; }
inline constexpr uint32_t IdEntryClass(uint32_t id) { return id >> 28; }
inline constexpr uint32_t kUnitKind = 6;
inline constexpr uint32_t kWindowKind = 2;
inline constexpr uint32_t kEntryOwnRecord = 0;
inline constexpr uint32_t kEntryUnit = 1;
inline constexpr uint32_t kEntryMenuItem = 2;
inline constexpr bool IsMenuItemId(uint32_t id) { return IdKind(id) == kUnitKind && IdEntryClass(id) == kEntryMenuItem; }

// UnitTypeId: library number in the high half, 1-based type slot in the low.
using UnitTypeId = uint32_t;
namespace unit_types {
inline constexpr UnitTypeId kWindow = 0x00010001;
inline constexpr UnitTypeId kMenuItem = 0x00010003;
inline constexpr UnitTypeId kShapeBox = 0x00010007;
inline constexpr UnitTypeId kGroupBox = 0x00010009;
inline constexpr UnitTypeId kLabel = 0x0001000A;
inline constexpr UnitTypeId kButton = 0x0001000B;
inline constexpr UnitTypeId kComboBox = 0x0001000E;
}  // namespace unit_types

// UnitFlags.
inline constexpr uint32_t kUnitVisible = 1;
inline constexpr uint32_t kUnitDisabled = 2;
inline constexpr uint32_t kUnitTabStop = 4;

// A stored handler of -1 binds nothing.
inline constexpr uint32_t kNoHandlerOffset = 0xFFFFFFFF;

// As it stands in the loaded table: `handler` is the relocated handler word,
// 0 for none, otherwise the routine's 1-based position in the handler table.
struct EventBinding {
  int32_t event = 0;
  uint32_t handler = 0;
};

// Byte positions of a unit record's fields inside its body, found by the walk.
struct UnitRecordLayout {
  uint32_t name = 0;
  uint32_t comment = 0;
  uint32_t objectSlot = 0;  // then left, top, width, height, cursor slot, parent, child count
  uint32_t childCount = 0;
  uint32_t children = 0;
  uint32_t cursorSize = 0;
  uint32_t cursor = 0;
  uint32_t tag = 0;
  uint32_t flags = 0;  // reserved word just before
  uint32_t bindingCount = 0;
  uint32_t bindings = 0;
  uint32_t properties = 0;  // may equal the body size: no property data
};

// The walk over fields 3 to 21; false when it runs past the body.
bool WalkUnitRecord(std::span<const uint8_t> body, UnitRecordLayout& layout);

// Byte positions of a menu item record's fields.
struct MenuItemLayout {
  uint32_t name = 0;
  uint32_t comment = 0;
  uint32_t objectSlot = 0;  // then one word, then the flags
  uint32_t text = 0;
  uint32_t handler = 0;
  uint32_t rest = 0;  // the fields the menu builder reads
};

bool WalkMenuItemRecord(std::span<const uint8_t> body, MenuItemLayout& layout);

struct UnitRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool operator==(const UnitRect&) const = default;
};

// Record of an ordinary unit or of the window's own record (entry classes 0
// and 1). Made only by UnitTable, which has checked that the walk fits.
class UnitTemplate {
 public:
  UnitTemplate(std::span<const uint8_t> body, const UnitRecordLayout& layout, uint32_t position, UnitId id)
      : body_(body), layout_(layout), position_(position), id_(id) {}

  std::span<const uint8_t> body() const { return body_; }
  uint32_t size() const { return uint32_t(body_.size()); }
  uint32_t position() const { return position_; }
  UnitId id() const { return id_; }

  UnitTypeId type() const { return Word(0); }
  std::string_view name() const { return Text(layout_.name); }
  std::string_view comment() const { return Text(layout_.comment); }
  UnitRect rect() const;
  UnitId parent() const { return Word(layout_.objectSlot + 24); }
  uint32_t childCount() const { return Word(layout_.childCount); }
  // 0 past the end (0 is also the page separator of paged containers).
  UnitId child(uint32_t i) const { return i < childCount() ? Word(layout_.children + 4 * i) : 0; }
  std::span<const uint8_t> cursor() const { return body_.subspan(layout_.cursor, layout_.cursorSize); }
  std::string_view tag() const { return Text(layout_.tag); }
  uint32_t flags() const { return Word(layout_.flags); }
  bool visible() const { return (flags() & kUnitVisible) != 0; }
  bool disabled() const { return (flags() & kUnitDisabled) != 0; }
  bool tabStop() const { return (flags() & kUnitTabStop) != 0; }
  uint32_t tabOrder() const { return Word(layout_.flags + 4); }
  uint32_t bindingCount() const { return Word(layout_.bindingCount); }
  EventBinding binding(uint32_t i) const;
  // The first binding of `event`; dispatch takes that one.
  std::optional<EventBinding> FindBinding(int32_t event) const;
  // The PropertyBlob; empty when the walk ends at the record's end.
  std::span<const uint8_t> properties() const { return body_.subspan(layout_.properties); }

  const UnitRecordLayout& layout() const { return layout_; }

 private:
  uint32_t Word(uint32_t at) const;
  std::string_view Text(uint32_t at) const;

  std::span<const uint8_t> body_;
  UnitRecordLayout layout_;
  uint32_t position_;
  UnitId id_;
};

// Record of a menu item (entry class 2).
class MenuItemTemplate {
 public:
  MenuItemTemplate(std::span<const uint8_t> body, const MenuItemLayout& layout, uint32_t position, UnitId id)
      : body_(body), layout_(layout), position_(position), id_(id) {}

  uint32_t position() const { return position_; }
  UnitId id() const { return id_; }
  UnitTypeId type() const { return Word(0); }
  std::string_view name() const { return Text(layout_.name); }
  std::string_view comment() const { return Text(layout_.comment); }
  uint32_t value() const { return Word(layout_.objectSlot + 4); }
  // Bit 0 hidden; bits 1 and 2 two further item states.
  uint32_t flags() const { return Word(layout_.objectSlot + 8); }
  std::string_view text() const { return Text(layout_.text); }
  uint32_t handler() const { return Word(layout_.handler); }  // relocated word
  std::span<const uint8_t> rest() const { return body_.subspan(layout_.rest); }

 private:
  uint32_t Word(uint32_t at) const;
  std::string_view Text(uint32_t at) const;

  std::span<const uint8_t> body_;
  MenuItemLayout layout_;
  uint32_t position_;
  UnitId id_;
};

}  // namespace kavrel
