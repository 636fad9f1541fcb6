// A window's UnitTable: n UnitIds, n record offsets and the records, kept in
// one contiguous buffer exactly as stored, with the handler words relocated.
// Besides the bytes the table holds one pair of live slots per entry (the
// unit's object and its mouse cursor while the window exists): they never go
// into the byte buffer, whose words stay 32 bits wide on every host.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "templates/handler_table.h"
#include "templates/unit_template.h"

namespace kavrel {

struct LiveSlots {
  void* object = nullptr;  // the created unit or window object
  uintptr_t cursor = 0;    // the cursor handle made from the record's cursor data
};

// Routine of a relocated handler word, or null for 0 and for a word that
// names no entry of `handlers`.
EventHandler ResolveHandler(HandlerTable handlers, uint32_t word);

class UnitTable {
 public:
  UnitTable() = default;

  // Takes the stored bytes of a table of `count` entries. Refuses a table
  // smaller than its two arrays, a record (with its size word) that leaves
  // the table, and a record whose field walk runs past its end.
  static std::optional<UnitTable> Adopt(std::vector<uint8_t> bytes, uint32_t count);

  // Turns every stored handler offset into its word: -1 into 0, an offset of
  // `handlers` into its 1-based position. False, with the table partly
  // relocated, when an offset is not in `handlers`.
  bool Relocate(HandlerTable handlers);

  uint32_t count() const { return count_; }
  std::span<const uint8_t> bytes() const { return bytes_; }

  // 0 past the end.
  UnitId IdAt(uint32_t position) const;
  // Position 0 is the window's own record. Nothing past the end or for a
  // menu item entry.
  std::optional<UnitTemplate> RecordAt(uint32_t position) const;
  // The first entry with `id`; invalid identifiers find nothing.
  std::optional<UnitTemplate> Find(UnitId id) const;
  std::optional<uint32_t> PositionOf(UnitId id) const;
  bool IsMenuItem(uint32_t position) const { return IsMenuItemId(IdAt(position)); }
  std::optional<MenuItemTemplate> MenuItemAt(uint32_t position) const;
  // Record body by position, whatever its entry class.
  std::span<const uint8_t> BodyAt(uint32_t position) const;
  bool HasMenuItems() const;

  // Live slots; positions past the end read as empty and are not written.
  LiveSlots SlotsAt(uint32_t position) const;
  void SetObject(uint32_t position, void* object);
  void SetCursor(uint32_t position, uintptr_t cursor);
  void ClearSlots(uint32_t position);

 private:
  // Start of the record body of an entry (past its size word), its size,
  // and where in the body its handlers start, as the walk found them: the
  // binding count of a unit record, the handler word of a menu item.
  struct Extent {
    uint32_t at = 0;
    uint32_t size = 0;
    uint32_t handlers = 0;
  };

  std::vector<uint8_t> bytes_;
  std::vector<Extent> extents_;
  std::vector<LiveSlots> slots_;
  uint32_t count_ = 0;
};

}  // namespace kavrel
