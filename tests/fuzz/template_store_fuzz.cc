// The template block reader: any input either is refused or loads to tables
// whose every accessor stays inside them, and which write and read back to
// the same windows.
#include <cstdlib>

#include "program/main_window_design.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"
#include "units/button_props.h"
#include "units/combo_box_props.h"
#include "units/group_box_props.h"
#include "units/label_props.h"
#include "units/shape_box_props.h"
#include "window/window_props.h"

namespace {

using namespace kavrel;

HandlerResult Nothing(int32_t, const uint64_t*) { return {}; }

const HandlerEntry kHandlers[] = {
    {main_window::kSetStaticAddressOffset, Nothing}, {main_window::kAddAlternateDnsOffset, Nothing},
    {main_window::kUseDhcpOffset, Nothing},          {main_window::kSetPreferredDnsOffset, Nothing},
    {main_window::kWindowLoadedOffset, Nothing},     {main_window::kDecorLabelEventOffset, Nothing},
};

volatile size_t sink;

void Touch(std::string_view s) { sink = sink + s.size() + (s.empty() ? 0 : uint8_t(s.back())); }
void Touch(std::span<const uint8_t> s) { sink = sink + s.size() + (s.empty() ? 0 : s.back()); }

void LoadProperties(const UnitTemplate& u) {
  std::span<const uint8_t> blob = u.properties();
  switch (u.type()) {
    case unit_types::kWindow: WindowProps{}.Load(blob); break;
    case unit_types::kLabel: LabelProps{}.Load(blob); break;
    case unit_types::kShapeBox: ShapeBoxProps{}.Load(blob); break;
    case unit_types::kGroupBox: GroupBoxProps{}.Load(blob); break;
    case unit_types::kButton: ButtonProps{}.Load(blob); break;
    case unit_types::kComboBox: ComboBoxProps{}.Load(blob); break;
    default: break;
  }
}

void Walk(WindowTable& windows) {
  for (size_t w = 0; w < windows.size(); ++w) {
    WindowTemplate& window = *windows.At(w);
    if (windows.IdOf(&window) != window.id) std::abort();
    UnitTable& t = window.units();
    for (uint32_t i = 0; i <= t.count(); ++i) {
      Touch(t.BodyAt(i));
      if (auto m = t.MenuItemAt(i)) {
        Touch(m->name());
        Touch(m->comment());
        Touch(m->text());
        Touch(m->rest());
        sink = sink + m->value() + m->flags() + uintptr_t(windows.HandlerOf(m->handler()));
      }
      auto u = t.RecordAt(i);
      if (!u) continue;
      Touch(u->name());
      Touch(u->comment());
      Touch(u->tag());
      Touch(u->cursor());
      Touch(u->properties());
      UnitRect r = u->rect();
      sink = sink + uint32_t(r.left) + uint32_t(r.top) + uint32_t(r.width) + uint32_t(r.height) + u->parent() +
             u->flags() + u->tabOrder();
      for (uint32_t c = 0; c <= u->childCount() && c < 4096; ++c) sink = sink + u->child(c);
      for (uint32_t b = 0; b <= u->bindingCount() && b < 4096; ++b)
        sink = sink + uintptr_t(windows.HandlerOf(u->binding(b).handler));
      if (auto b = u->FindBinding(0)) sink = sink + b->handler;
      if (auto f = t.Find(u->id()); f && f->position() > i) std::abort();  // the first match counts
      LoadProperties(*u);
    }
    window.SaveTableForLoad();
    for (uint32_t i = 0; i < t.count(); ++i) window.units().SetObject(i, &window);
    window.RestoreTableAfterDestroy();
    for (uint32_t i = 0; i < t.count(); ++i)
      if (window.units().SlotsAt(i).object) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WindowTable windows;
  if (!LoadTemplateStore({data, size}, kHandlers, windows)) {
    if (!windows.empty()) std::abort();
    return 0;
  }
  Walk(windows);
  // What loaded writes and reads back to the same windows.
  std::vector<WindowDesign> designs;
  for (size_t w = 0; w < windows.size(); ++w) designs.push_back(WindowDesignOf(*windows.At(w), kHandlers));
  WindowTable again;
  if (!LoadTemplateStore(WriteTemplateStore(designs), kHandlers, again) || again.size() != designs.size())
    std::abort();
  for (size_t w = 0; w < again.size(); ++w) {
    WindowDesign d = WindowDesignOf(*again.At(w), kHandlers);
    if (d.id != designs[w].id || d.designA != designs[w].designA || d.designText1 != designs[w].designText1 ||
        d.designText2 != designs[w].designText2 || !(d.units == designs[w].units))
      std::abort();
  }
  return 0;
}
