#include "templates/unit_table.h"

#include "base/byte_reader.h"

namespace kavrel {

EventHandler ResolveHandler(HandlerTable handlers, uint32_t word) {
  if (word == 0 || word > handlers.size()) return nullptr;
  return handlers[word - 1].routine;
}

std::optional<UnitTable> UnitTable::Adopt(std::vector<uint8_t> bytes, uint32_t count) {
  const uint64_t size = bytes.size();
  const uint64_t arrays = uint64_t(count) * 8;
  if (arrays > size) return std::nullopt;
  UnitTable t;
  t.extents_.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t sizeWord = arrays + LoadU32(bytes.data() + uint64_t(count) * 4 + uint64_t(i) * 4);
    if (sizeWord + 4 > size) return std::nullopt;
    const uint64_t recordSize = LoadU32(bytes.data() + sizeWord);
    if (sizeWord + 4 + recordSize > size) return std::nullopt;
    std::span<const uint8_t> body(bytes.data() + sizeWord + 4, size_t(recordSize));
    const UnitId id = LoadU32(bytes.data() + uint64_t(i) * 4);
    uint32_t handlers;
    bool fits;
    if (IsMenuItemId(id)) {
      MenuItemLayout layout;
      fits = WalkMenuItemRecord(body, layout);
      handlers = layout.handler;
    } else {
      UnitRecordLayout layout;
      fits = WalkUnitRecord(body, layout);
      handlers = layout.bindingCount;
    }
    t.extents_[i] = {uint32_t(sizeWord + 4), uint32_t(recordSize), handlers};
    if (!fits) return std::nullopt;
  }
  t.bytes_ = std::move(bytes);
  t.slots_.resize(count);
  t.count_ = count;
  return t;
}

namespace {

bool RelocateWord(uint8_t* word, HandlerTable handlers) {
  const uint32_t stored = LoadU32(word);
  if (stored == kNoHandlerOffset) {
    StoreU32(word, 0);
    return true;
  }
  for (size_t k = 0; k < handlers.size(); ++k) {
    if (handlers[k].storedOffset == stored) {
      StoreU32(word, uint32_t(k + 1));
      return true;
    }
  }
  return false;
}

}  // namespace

bool UnitTable::Relocate(HandlerTable handlers) {
  for (uint32_t i = 0; i < count_; ++i) {
    uint8_t* at = bytes_.data() + extents_[i].at + extents_[i].handlers;
    if (IsMenuItem(i)) {
      if (!RelocateWord(at, handlers)) return false;
      continue;
    }
    // The binding count, then (event, handler) pairs; Adopt's walk found
    // them all inside the record.
    const uint32_t n = LoadU32(at);
    for (uint32_t k = 0; k < n; ++k)
      if (!RelocateWord(at + 4 + 8 * k + 4, handlers)) return false;
  }
  return true;
}

UnitId UnitTable::IdAt(uint32_t position) const {
  return position < count_ ? LoadU32(bytes_.data() + uint64_t(position) * 4) : 0;
}

std::span<const uint8_t> UnitTable::BodyAt(uint32_t position) const {
  if (position >= count_) return {};
  return {bytes_.data() + extents_[position].at, extents_[position].size};
}

std::optional<UnitTemplate> UnitTable::RecordAt(uint32_t position) const {
  if (position >= count_ || IsMenuItem(position)) return std::nullopt;
  UnitRecordLayout layout;
  std::span<const uint8_t> body = BodyAt(position);
  if (!WalkUnitRecord(body, layout)) return std::nullopt;
  return UnitTemplate(body, layout, position, IdAt(position));
}

std::optional<MenuItemTemplate> UnitTable::MenuItemAt(uint32_t position) const {
  if (position >= count_ || !IsMenuItem(position)) return std::nullopt;
  MenuItemLayout layout;
  std::span<const uint8_t> body = BodyAt(position);
  if (!WalkMenuItemRecord(body, layout)) return std::nullopt;
  return MenuItemTemplate(body, layout, position, IdAt(position));
}

std::optional<uint32_t> UnitTable::PositionOf(UnitId id) const {
  if (!IsValidId(id)) return std::nullopt;
  for (uint32_t i = 0; i < count_; ++i)
    if (IdAt(i) == id) return i;
  return std::nullopt;
}

std::optional<UnitTemplate> UnitTable::Find(UnitId id) const {
  std::optional<uint32_t> at = PositionOf(id);
  if (!at) return std::nullopt;
  return RecordAt(*at);
}

bool UnitTable::HasMenuItems() const {
  for (uint32_t i = 0; i < count_; ++i)
    if (IsMenuItem(i)) return true;
  return false;
}

LiveSlots UnitTable::SlotsAt(uint32_t position) const { return position < count_ ? slots_[position] : LiveSlots{}; }

void UnitTable::SetObject(uint32_t position, void* object) {
  if (position < count_) slots_[position].object = object;
}

void UnitTable::SetCursor(uint32_t position, uintptr_t cursor) {
  if (position < count_) slots_[position].cursor = cursor;
}

void UnitTable::ClearSlots(uint32_t position) {
  if (position < count_) slots_[position] = {};
}

}  // namespace kavrel
