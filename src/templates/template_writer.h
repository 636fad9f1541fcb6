// The mirror of the template store reader: a window and its units as plain
// values, written field by field in the order the reader walks them. The
// build's generator writes the program's block with it; reading a loaded
// window back into these values closes the round trip.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "commands/runtime_services.h"
#include "templates/handler_table.h"
#include "templates/unit_template.h"
#include "templates/window_template.h"

namespace kavrel {

// A binding as stored: the handler is an offset from the CodeBase, or -1.
struct StoredBinding {
  int32_t event = 0;
  uint32_t handlerOffset = kNoHandlerOffset;

  bool operator==(const StoredBinding&) const = default;
};

// The body of a menu item record after its name and comment.
struct MenuItemDesign {
  uint32_t value = 0;
  uint32_t flags = 0;
  std::string text;
  uint32_t handlerOffset = kNoHandlerOffset;
  std::vector<uint8_t> rest;

  bool operator==(const MenuItemDesign&) const = default;
};

struct UnitDesign {
  UnitId id = 0;
  UnitTypeId type = 0;
  std::string name;
  std::string comment;
  UnitRect rect;
  UnitId parent = 0;
  std::vector<UnitId> children;
  std::vector<uint8_t> cursor;
  std::string tag;
  uint32_t flags = 0;
  uint32_t tabOrder = 0;
  std::vector<StoredBinding> bindings;
  std::vector<uint8_t> properties;
  std::optional<MenuItemDesign> menu;  // set for menu item entries

  bool operator==(const UnitDesign&) const = default;
};

struct WindowDesign {
  WindowId id = 0;
  uint32_t designA = 0;
  uint32_t designB = 0;
  std::string designText1;
  std::string designText2;
  std::vector<UnitDesign> units;  // entry 0 is the window's own record
};

// Record body without its size word; reserved fields and slots are zero.
std::vector<uint8_t> WriteUnitRecord(const UnitDesign& unit);
std::vector<uint8_t> WriteUnitTable(std::span<const UnitDesign> units);
// The slot words of the WindowIndex are written as 0.
std::vector<uint8_t> WriteTemplateStore(std::span<const WindowDesign> windows);

// Reads a loaded record back; handler words go back to their stored offsets
// through the table they were relocated with.
UnitDesign UnitDesignOf(const UnitTemplate& unit, HandlerTable handlers);
UnitDesign UnitDesignOf(const MenuItemTemplate& item, HandlerTable handlers);
WindowDesign WindowDesignOf(const WindowTemplate& window, HandlerTable handlers);

}  // namespace kavrel
