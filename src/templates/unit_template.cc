#include "templates/unit_template.h"

#include <cstring>

#include "base/byte_reader.h"

namespace kavrel {

namespace {

uint32_t WordAt(std::span<const uint8_t> body, uint32_t at) {
  return uint64_t(at) + 4 <= body.size() ? LoadU32(body.data() + at) : 0;
}

std::string_view TextAt(std::span<const uint8_t> body, uint32_t at) {
  if (at >= body.size()) return {};
  const char* p = reinterpret_cast<const char*>(body.data() + at);
  return {p, strnlen(p, body.size() - at)};
}

uint32_t Pos(const ByteReader& r) { return uint32_t(r.position()); }

}  // namespace

bool WalkUnitRecord(std::span<const uint8_t> body, UnitRecordLayout& l) {
  ByteReader r(body);
  r.Skip(24);  // type and five reserved words
  l.name = Pos(r);
  r.SkipNulText();
  l.comment = Pos(r);
  r.SkipNulText();
  l.objectSlot = Pos(r);
  r.Skip(28);  // object slot, left, top, width, height, cursor slot, parent
  l.childCount = Pos(r);
  uint32_t children = r.U32();
  l.children = Pos(r);
  r.Skip(uint64_t(children) * 4);
  l.cursorSize = r.U32();
  l.cursor = Pos(r);
  r.Skip(l.cursorSize);
  l.tag = Pos(r);
  r.SkipNulText();
  r.Skip(4);  // reserved
  l.flags = Pos(r);
  r.Skip(8);  // flags, tab order
  l.bindingCount = Pos(r);
  uint32_t bindings = r.U32();
  l.bindings = Pos(r);
  r.Skip(uint64_t(bindings) * 8);
  r.Skip(20);
  l.properties = Pos(r);
  return r.ok();
}

bool WalkMenuItemRecord(std::span<const uint8_t> body, MenuItemLayout& l) {
  ByteReader r(body);
  r.Skip(24);
  l.name = Pos(r);
  r.SkipNulText();
  l.comment = Pos(r);
  r.SkipNulText();
  l.objectSlot = Pos(r);
  r.Skip(12);  // object slot, one word, flags
  l.text = Pos(r);
  r.SkipNulText();
  l.handler = Pos(r);
  r.Skip(4);
  l.rest = Pos(r);
  return r.ok();
}

uint32_t UnitTemplate::Word(uint32_t at) const { return WordAt(body_, at); }
std::string_view UnitTemplate::Text(uint32_t at) const { return TextAt(body_, at); }

UnitRect UnitTemplate::rect() const {
  const uint32_t at = layout_.objectSlot + 4;
  return {int32_t(Word(at)), int32_t(Word(at + 4)), int32_t(Word(at + 8)), int32_t(Word(at + 12))};
}

EventBinding UnitTemplate::binding(uint32_t i) const {
  if (i >= bindingCount()) return {};
  const uint32_t at = layout_.bindings + 8 * i;
  return {int32_t(Word(at)), Word(at + 4)};
}

std::optional<EventBinding> UnitTemplate::FindBinding(int32_t event) const {
  for (uint32_t i = 0, n = bindingCount(); i < n; ++i) {
    EventBinding b = binding(i);
    if (b.event == event) return b;
  }
  return std::nullopt;
}

uint32_t MenuItemTemplate::Word(uint32_t at) const { return WordAt(body_, at); }
std::string_view MenuItemTemplate::Text(uint32_t at) const { return TextAt(body_, at); }

}  // namespace kavrel
