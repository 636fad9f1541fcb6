// GetUnitProperty and SetUnitProperty on live units: the common properties
// through their windows, the own ones through the type's routines, and a
// unit made again when a change needs it. The value conversions are the
// neutral half, in property_access.cc.
#include <cstring>
#include <vector>

#include "commands/runtime_error.h"
#include "framework/display_scale_win32.h"
#include "units/unit_base_win32.h"
#include "units/unit_interface_win32.h"
#include "window/property_access.h"
#include "window/window_engine_win32.h"

namespace kavrel {

namespace {

// Font heights a program reads and writes are the design's, at 96 dpi
// whatever the display's: the stock font, made at the system DPI, is given
// at 96.
FontContext SystemFontContext() {
  FontContext context;
  LOGFONTW font{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == sizeof font) {
    static_assert(sizeof(LOGFONTA) == FontDescription::kSize);
    font.lfHeight = ScaleLength(font.lfHeight, kDesignDpi, SystemDpi());
    font.lfWidth = ScaleLength(font.lfWidth, kDesignDpi, SystemDpi());
    if (auto d = FontDescription::FromBytes(FontDescriptionOf(font))) context.defaultFont = *d;
  }
  context.logPixelsY = kDesignDpi;
  return context;
}

// A unit's rectangle in its parent (a top-level window's on the screen), in
// the window's pixels.
RECT PlacedRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  HWND parent = GetAncestor(h, GA_PARENT);
  const bool popup = (GetWindowLongW(h, GWL_STYLE) & WS_POPUP) != 0;
  if (!popup && parent && Window::FromHandle(parent)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

PropertyBits WindowEngineWin32::LiveCommonProperty(Window* object, int32_t index) const {
  HWND h = object->hwnd();
  // Positions and sizes are read in the design's units at any DPI.
  const RECT r = PlacedRect(h);
  const int dpi = DrawnDpi(h);
  switch (index) {
    case common::kLeft:
      return uint32_t(FromDpi(r.left, dpi));
    case common::kTop:
      return uint32_t(FromDpi(r.top, dpi));
    case common::kWidth:
      return uint32_t(FromDpi(r.right - r.left, dpi));
    case common::kHeight:
      return uint32_t(FromDpi(r.bottom - r.top, dpi));
    case common::kVisible:
      return IsWindowVisible(h) ? 1 : 0;
    case common::kDisabled:
      return IsWindowEnabled(h) ? 0 : 1;
    default:
      return 0;
  }
}

PropertyBits WindowEngineWin32::GetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector) {
  WindowTemplate* t = TemplateOf(window);
  if (!t) ReportFatal(kPropertyWindowMissing, 0);
  const UnitTable& table = t->units();
  std::optional<uint32_t> position = unit == 0 ? std::optional<uint32_t>(0) : table.PositionOf(unit);
  if (!position || *position >= table.count()) ReportFatal(kLiveObjectMissing, 0);
  if (table.IsMenuItem(*position)) {
    auto item = table.MenuItemAt(*position);
    return item ? MenuItemProperty(*item, index) : 0;
  }
  auto record = table.RecordAt(*position);
  if (!record) ReportFatal(kLiveObjectMissing, 0);
  const UnitTypeDescriptor* type = TypeOf(record->type());
  Window* object = LiveObjectAt(table, *position);
  if (index >= common::kCount) {
    const PropertyDescriptor* entry = FindPropertyEntry(type, index);
    if (!object) ReportFatal(kPropertyWindowNotLoaded, 0);
    auto get = TypeInterface<GetPropertyFn>(type, iface::kGetProperty);
    if (!entry || !get) return 0;
    // A read that throws never comes back here: it is the fatal report.
    PropertyValue raw;
    get(object, index - common::kCount, &raw);
    return ConvertPropertyValue(entry->type, raw, selector, &SystemFontContext);
  }
  if (index < 0) return 0;
  if (index == common::kTag || index == common::kPointer || !object) return TemplateCommonProperty(*record, index);
  return LiveCommonProperty(object, index);
}

void WindowEngineWin32::SetLiveCommonProperty(Window* object, UnitTable& table, uint32_t position, int32_t index,
                                              uintptr_t low, uint32_t high) {
  HWND h = object->hwnd();
  // A position or size written in the design's units, drawn at the window's DPI.
  const int32_t v = ToDpi(int32_t(uint32_t(low)), DrawnDpi(h));
  const RECT r = PlacedRect(h);
  int32_t x = r.left, y = r.top, w = r.right - r.left, hgt = r.bottom - r.top;
  switch (index) {
    case common::kLeft: x = v; break;
    case common::kTop: y = v; break;
    case common::kWidth: w = v; break;
    case common::kHeight: hgt = v; break;
    case common::kVisible:
      ShowWindow(h, v ? SW_SHOWNA : SW_HIDE);
      return;
    case common::kDisabled:
      EnableWindow(h, v ? FALSE : TRUE);
      return;
    case common::kPointer: {
      // A new pointer from a byte array whose first word is a position in the standard list.
      PropertyValue written;
      std::vector<uint8_t> storage;
      WrittenPropertyValue(ptype::kCursor, -1, low, high, PropertyValue{}, nullptr, written, storage);
      DestroyUnitCursor(table.SlotsAt(position).cursor);
      std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(written.word0), written.word1);
      table.SetCursor(position, reinterpret_cast<uintptr_t>(BuildUnitCursor(written.word0 ? data : std::span<const uint8_t>())));
      return;
    }
    default:
      return;  // the tag stays as the template has it
  }
  SetWindowPos(h, nullptr, x, y, w, hgt, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WindowEngineWin32::RecreateUnit(WindowTemplate& window, uint32_t position, const UnitTypeDescriptor* type) {
  UnitTable& table = window.units();
  Window* old = LiveObjectAt(table, position);
  auto record = table.RecordAt(position);
  auto save = TypeInterface<SavePropertiesFn>(type, iface::kSaveProperties);
  auto create = TypeInterface<CreateUnitFn>(type, iface::kCreate);
  if (!old || !record || !save || !create) return false;
  HGLOBAL saved = save(old);
  if (!saved) return false;
  std::vector<uint8_t> blob(GlobalSize(saved));
  if (!blob.empty()) {
    if (void* p = GlobalLock(saved)) {
      memcpy(blob.data(), p, blob.size());
      GlobalUnlock(saved);
    }
  }
  GlobalFree(saved);

  HWND h = old->hwnd();
  HWND parent = GetParent(h);
  HWND above = GetWindow(h, GW_HWNDPREV);
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  const int32_t controlId = GetDlgCtrlID(h);
  const uintptr_t cursor = table.SlotsAt(position).cursor;

  recreating_ = true;
  DestroyWindow(h);
  recreating_ = false;
  table.SetObject(position, nullptr);
  Window* unit = create(blob.data(), int32_t(blob.size()), uint32_t(style) & (WS_DISABLED | WS_TABSTOP), parent,
                        controlId, 0, r.left, r.top, r.right - r.left, r.bottom - r.top, window.id, record->id(), 0, 0);
  if (!unit) {
    DestroyUnitCursor(cursor);
    table.ClearSlots(position);
    return false;
  }
  table.SetObject(position, unit);
  SetWindowPos(unit->hwnd(), above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(unit->hwnd(), (style & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
  return true;
}

void WindowEngineWin32::SetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector, uintptr_t low,
                                        uint32_t high) {
  WindowTemplate* t = TemplateOf(window);
  if (!t) ReportFatal(kPropertyWindowMissing, 0);
  UnitTable& table = t->units();
  std::optional<uint32_t> position = unit == 0 ? std::optional<uint32_t>(0) : table.PositionOf(unit);
  if (!position || *position >= table.count()) ReportFatal(kLiveObjectMissing, 0);
  if (table.IsMenuItem(*position)) return;  // menu items are read from their records only
  auto record = table.RecordAt(*position);
  if (!record) ReportFatal(kLiveObjectMissing, 0);
  const UnitTypeDescriptor* type = TypeOf(record->type());
  Window* object = LiveObjectAt(table, *position);
  if (index < common::kCount) {
    if (index >= 0 && object) SetLiveCommonProperty(object, table, *position, index, low, high);
    return;
  }
  if (!object) ReportFatal(kPropertyWindowNotLoaded, 0);
  const PropertyDescriptor* entry = FindPropertyEntry(type, index);
  auto changed = TypeInterface<PropertyChangedFn>(type, iface::kPropertyChanged);
  if (!entry || !changed) return;
  PropertyValue current;
  if (entry->type == ptype::kFont) {
    if (auto get = TypeInterface<GetPropertyFn>(type, iface::kGetProperty)) get(object, index - common::kCount, &current);
  }
  PropertyValue value;
  std::vector<uint8_t> storage;
  if (!WrittenPropertyValue(entry->type, selector, low, high, current, &SystemFontContext, value, storage)) return;
  const char* tip = nullptr;
  if (changed(object, index - common::kCount, &value, &tip) && *position != 0) RecreateUnit(*t, *position, type);
}

}  // namespace kavrel
