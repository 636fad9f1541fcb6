#include "templates/template_writer.h"

#include "base/byte_writer.h"

namespace kavrel {

namespace {

void WriteZeros(ByteWriter& w, size_t n) {
  for (size_t i = 0; i < n; ++i) w.WriteU8(0);
}

uint32_t StoredOffsetOf(uint32_t word, HandlerTable handlers) {
  if (word == 0 || word > handlers.size()) return kNoHandlerOffset;
  return handlers[word - 1].storedOffset;
}

}  // namespace

std::vector<uint8_t> WriteUnitRecord(const UnitDesign& u) {
  ByteWriter w;
  w.WriteU32(u.type);
  WriteZeros(w, 20);
  w.WriteNulText(u.name);
  w.WriteNulText(u.comment);
  w.WriteU32(0);  // object slot
  if (u.menu) {
    const MenuItemDesign& m = *u.menu;
    w.WriteU32(m.value);
    w.WriteU32(m.flags);
    w.WriteNulText(m.text);
    w.WriteU32(m.handlerOffset);
    w.WriteBytes(m.rest);
    return w.Take();
  }
  w.WriteI32(u.rect.left);
  w.WriteI32(u.rect.top);
  w.WriteI32(u.rect.width);
  w.WriteI32(u.rect.height);
  w.WriteU32(0);  // cursor slot
  w.WriteU32(u.parent);
  w.WriteU32(uint32_t(u.children.size()));
  for (UnitId c : u.children) w.WriteU32(c);
  w.WriteByteString(u.cursor);
  w.WriteNulText(u.tag);
  w.WriteU32(0);  // reserved
  w.WriteU32(u.flags);
  w.WriteU32(u.tabOrder);
  w.WriteU32(uint32_t(u.bindings.size()));
  for (const StoredBinding& b : u.bindings) {
    w.WriteI32(b.event);
    w.WriteU32(b.handlerOffset);
  }
  WriteZeros(w, 20);
  w.WriteBytes(u.properties);
  return w.Take();
}

std::vector<uint8_t> WriteUnitTable(std::span<const UnitDesign> units) {
  ByteWriter ids, offsets, records;
  for (const UnitDesign& u : units) {
    ids.WriteU32(u.id);
    offsets.WriteU32(uint32_t(records.size()));
    std::vector<uint8_t> body = WriteUnitRecord(u);
    records.WriteByteString(body);
  }
  ByteWriter table;
  table.WriteBytes(ids.bytes());
  table.WriteBytes(offsets.bytes());
  table.WriteBytes(records.bytes());
  return table.Take();
}

std::vector<uint8_t> WriteTemplateStore(std::span<const WindowDesign> windows) {
  ByteWriter w;
  w.WriteU32(uint32_t(windows.size() * 8));
  for (const WindowDesign& win : windows) w.WriteU32(win.id);
  for (size_t i = 0; i < windows.size(); ++i) w.WriteU32(0);
  for (const WindowDesign& win : windows) {
    w.WriteU32(win.designA);
    w.WriteU32(win.designB);
    w.WriteCountedText(win.designText1);
    w.WriteCountedText(win.designText2);
    w.WriteU32(uint32_t(win.units.size()));
    w.WriteByteString(WriteUnitTable(win.units));
  }
  return w.Take();
}

UnitDesign UnitDesignOf(const UnitTemplate& t, HandlerTable handlers) {
  UnitDesign u;
  u.id = t.id();
  u.type = t.type();
  u.name = std::string(t.name());
  u.comment = std::string(t.comment());
  u.rect = t.rect();
  u.parent = t.parent();
  for (uint32_t i = 0; i < t.childCount(); ++i) u.children.push_back(t.child(i));
  u.cursor.assign(t.cursor().begin(), t.cursor().end());
  u.tag = std::string(t.tag());
  u.flags = t.flags();
  u.tabOrder = t.tabOrder();
  for (uint32_t i = 0; i < t.bindingCount(); ++i) {
    EventBinding b = t.binding(i);
    u.bindings.push_back({b.event, StoredOffsetOf(b.handler, handlers)});
  }
  u.properties.assign(t.properties().begin(), t.properties().end());
  return u;
}

UnitDesign UnitDesignOf(const MenuItemTemplate& t, HandlerTable handlers) {
  UnitDesign u;
  u.id = t.id();
  u.type = t.type();
  u.name = std::string(t.name());
  u.comment = std::string(t.comment());
  MenuItemDesign m;
  m.value = t.value();
  m.flags = t.flags();
  m.text = std::string(t.text());
  m.handlerOffset = StoredOffsetOf(t.handler(), handlers);
  m.rest.assign(t.rest().begin(), t.rest().end());
  u.menu = std::move(m);
  return u;
}

WindowDesign WindowDesignOf(const WindowTemplate& w, HandlerTable handlers) {
  WindowDesign d;
  d.id = w.id;
  d.designA = w.designA;
  d.designB = w.designB;
  d.designText1 = w.designText1;
  d.designText2 = w.designText2;
  const UnitTable& t = w.units();
  for (uint32_t i = 0; i < t.count(); ++i) {
    if (t.IsMenuItem(i))
      d.units.push_back(UnitDesignOf(*t.MenuItemAt(i), handlers));
    else
      d.units.push_back(UnitDesignOf(*t.RecordAt(i), handlers));
  }
  return d;
}

}  // namespace kavrel
