// The load sequence: a window and its units made from the window's template,
// in named steps. Events are blocked while the window is built; a step that
// fails gives the whole load up and leaves nothing half-built behind.
#include <map>
#include <vector>

#include "base/startup_profile.h"
#include "commands/library_interface.h"
#include "framework/display_scale_win32.h"
#include "framework/program_text_win32.h"
#include "units/unit_interface_win32.h"
#include "window/window_engine_win32.h"
#include "window/window_unit_win32.h"

namespace kavrel {

namespace {

constexpr int32_t kFirstChildId = 100;
constexpr int32_t kChildIdStep = 10;

uint32_t ExtraStyle(uint32_t flags) {
  uint32_t style = 0;
  if (flags & kUnitDisabled) style |= WS_DISABLED;
  if (flags & kUnitTabStop) style |= WS_TABSTOP;
  return style;
}

// The menu bar of a window with menu item records: one item per visible
// record, in table order, with its command id from the record's position.
HMENU BuildMenu(const UnitTable& units) {
  if (!units.HasMenuItems()) return nullptr;
  HMENU menu = CreateMenu();
  if (!menu) return nullptr;
  for (uint32_t i = 0; i < units.count(); ++i) {
    auto item = units.MenuItemAt(i);
    if (!item || (item->flags() & 1)) continue;
    UINT flags = MF_STRING;
    if (item->flags() & 2) flags |= MF_GRAYED;
    if (item->flags() & 4) flags |= MF_CHECKED;
    const std::string text(item->text());
    AppendMenuW(menu, flags, kMenuCommandBase + i, WideText(text).c_str());
  }
  return menu;
}

}  // namespace

// One load of one window template.
class WindowLoad {
 public:
  WindowLoad(WindowEngineWin32& engine, WindowTemplate& window, WindowId id, bool reload, HWND owner, bool modal)
      : engine_(engine),
        window_(window),
        units_(window.units()),
        count_(units_.count()),
        id_(id),
        reload_(reload),
        owner_(owner),
        modal_(modal),
        visible_(count_, false) {}

  // True when the window was made (it may be gone again by the time its
  // creation events have run).
  bool Run() {
    CallLibrary(request::kBlockEvents, 0, 0);
    window_.SaveTableForLoad();
    menu_ = BuildMenu(units_);
    if (!CreateWindowUnit()) return Fail();
    MarkProfile("window-created");
    if (!CreateUnits()) return Fail();
    PlaceUnitsInContainers();
    StackUnits();
    MakeCursors();
    AnnounceLoaded();
    ShowUnits();
    MarkProfile("units-shown");
    CallLibrary(request::kUnblockEvents, 0, 0);
    return Finish();
  }

 private:
  Window* ObjectAt(uint32_t position) const { return static_cast<Window*>(units_.SlotsAt(position).object); }

  // Gives the load up. The window is not kept half-built: destroying it
  // takes its units with it and puts the template state back.
  bool Fail() {
    if (accelerator_) DestroyAcceleratorTable(accelerator_);
    // A menu not yet handed to a created window is still ours. (A window
    // whose creation failed late may have taken it down already.)
    if (menu_ && IsMenu(menu_)) DestroyMenu(menu_);
    if (windowObject_) {
      DestroyWindow(windowObject_->hwnd());
    } else {
      window_.RestoreTableAfterDestroy();
    }
    window_.DropSavedTable();
    CallLibrary(request::kUnblockEvents, 0, 0);
    return false;
  }

  // The window itself, from the record at position 0; it takes the menu.
  bool CreateWindowUnit() {
    auto own = units_.RecordAt(0);
    if (!own) return false;
    auto create = TypeInterface<CreateWindowUnitFn>(engine_.TypeOf(own->type()), iface::kCreate);
    if (!create) return false;
    const UnitRect r = own->rect();
    std::span<const uint8_t> blob = own->properties();
    engine_.loadingModal_ = modal_;
    Window* object = create(owner_, blob.data(), int32_t(blob.size()), ExtraStyle(own->flags()), owner_, 0, menu_,
                            r.left, r.top, r.width, r.height, id_, units_.IdAt(0), 0);
    engine_.loadingModal_ = false;
    windowObject_ = WindowUnit::FromWindow(object);
    if (!windowObject_) {
      if (object) {
        if (GetMenu(object->hwnd()) == menu_) menu_ = nullptr;  // destroyed with its window
        DestroyWindow(object->hwnd());
      }
      return false;
    }
    menu_ = nullptr;  // the window owns it now
    units_.SetObject(0, windowObject_);
    visible_[0] = reload_ || own->visible();
    hwnd_ = windowObject_->hwnd();
    return true;
  }

  // Every unit but menu items, last record first, as children of the window.
  bool CreateUnits() {
    int32_t childId = kFirstChildId;
    for (uint32_t i = count_ - 1; i >= 1; --i) {
      if (units_.IsMenuItem(i)) continue;
      auto record = units_.RecordAt(i);
      if (!record) return false;
      const UnitTypeDescriptor* type = engine_.TypeOf(record->type());
      auto create = TypeInterface<CreateUnitFn>(type, iface::kCreate);
      if (!create) return false;
      // The record's rectangle is the design's; the unit is made at the window's DPI.
      const UnitRect r = record->rect();
      const int dpi = LayoutDpi(windowObject_->dpi());
      std::span<const uint8_t> blob = record->properties();
      Window* unit = create(blob.data(), int32_t(blob.size()), ExtraStyle(record->flags()), ParentFor(*record),
                            childId, 0, ToDpi(r.left, dpi), ToDpi(r.top, dpi), ToDpi(r.width, dpi),
                            ToDpi(r.height, dpi), id_, record->id(), 0, 0);
      childId += kChildIdStep;
      if (!unit) return false;
      units_.SetObject(i, unit);
      MarkProfile("unit-created", int32_t(i));
      visible_[i] = record->visible() && !(type->stateFlags & typeflag::kNeverShown);
    }
    return true;
  }

  // The window a unit starts on: its container's, when that is made
  // already, else the window's. (Moving a unit later costs a round of
  // messages to both windows; where it lands is the same.)
  HWND ParentFor(const UnitTemplate& record) const {
    if (record.parent() != 0)
      if (std::optional<uint32_t> at = units_.PositionOf(record.parent()))
        if (Window* container = ObjectAt(*at)) return container->hwnd();
    return hwnd_;
  }

  // Each unit goes onto the window of its container, if it did not start
  // there; of a paged container only the first page shows.
  void PlaceUnitsInContainers() {
    for (uint32_t i = 1; i < count_; ++i) {
      auto record = units_.RecordAt(i);
      if (!record) continue;
      if (record->parent() != 0) {
        std::optional<uint32_t> at = units_.PositionOf(record->parent());
        Window* container = at ? ObjectAt(*at) : nullptr;
        Window* unit = ObjectAt(i);
        if (container && container != windowObject_ && unit && GetParent(unit->hwnd()) != container->hwnd())
          SetParent(unit->hwnd(), container->hwnd());
      }
      const UnitTypeDescriptor* type = engine_.TypeOf(record->type());
      if (type && (type->stateFlags & typeflag::kPaged)) HideLaterPages(*record);
    }
  }

  void HideLaterPages(const UnitTemplate& container) {
    bool pastFirstPage = false;
    for (uint32_t c = 0; c < container.childCount(); ++c) {
      const UnitId child = container.child(c);
      if (child == 0) {
        pastFirstPage = true;
        continue;
      }
      if (!pastFirstPage) continue;
      if (auto at = units_.PositionOf(child)) visible_[*at] = false;
    }
  }

  // Stacking: record order within each parent, the first on top.
  void StackUnits() {
    std::map<HWND, HWND> lastOfParent;
    for (uint32_t i = 1; i < count_; ++i) {
      Window* unit = ObjectAt(i);
      if (!unit) continue;
      HWND parent = GetParent(unit->hwnd());
      auto last = lastOfParent.find(parent);
      SetWindowPos(unit->hwnd(), last == lastOfParent.end() ? HWND_TOP : last->second, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      lastOfParent[parent] = unit->hwnd();
    }
  }

  void MakeCursors() {
    for (uint32_t i = 0; i < count_; ++i) {
      if (auto record = units_.RecordAt(i))
        units_.SetCursor(i, reinterpret_cast<uintptr_t>(BuildUnitCursor(record->cursor())));
    }
  }

  // The units, last first, then the window learn that the load is complete.
  void AnnounceLoaded() {
    for (uint32_t i = count_ - 1; i >= 1; --i)
      if (Window* unit = ObjectAt(i)) SendMessageW(unit->hwnd(), kUnitsLoadedMessage, 0, 0);
    SendMessageW(hwnd_, kWindowLoadedMessage, 0, 0);
  }

  void ShowUnits() {
    for (uint32_t i = 1; i < count_; ++i)
      if (Window* unit = ObjectAt(i)) ShowWindow(unit->hwnd(), visible_[i] ? SW_SHOWNA : SW_HIDE);
    windowObject_->SetAccelerator(accelerator_);
  }

  // With events flowing again: the creation events, the window shown, other
  // windows disabled under a modal one, focus settled. Each step runs only
  // while the window is still there.
  bool Finish() {
    engine_.RaiseEvent(id_, 0, window_event::kCreated);
    if (IsWindow(hwnd_)) engine_.RaiseEvent(id_, 0, window_event::kAfterCreated);
    if (IsWindow(hwnd_)) engine_.RaiseEvent(id_, 0, window_event::kAfterCreated2);
    if (!IsWindow(hwnd_)) return true;

    MarkProfile("created-events-raised");
    if (visible_[0]) windowObject_->ShowAfterLoad(reload_);
    if (!IsWindow(hwnd_)) return true;
    MarkProfile("window-shown");

    if (modal_) DisableOtherWindows();
    SettleFocus();
    if (IsWindow(hwnd_)) windowObject_->SetLoaded();
    return true;
  }

  void DisableOtherWindows() {
    WindowTable& table = engine_.windows();
    std::vector<HWND> others;
    for (size_t w = 0; w < table.size(); ++w) {
      WindowTemplate* other = table.At(w);
      if (other == &window_) continue;
      Window* object = engine_.LiveObjectAt(other->units(), 0);
      if (object && !(GetWindowLongW(object->hwnd(), GWL_STYLE) & WS_CHILD)) others.push_back(object->hwnd());
    }
    windowObject_->DisableOthers(others);
  }

  // Units may move the focus while they settle; a focus they took from a
  // window that still exists goes back.
  void SettleFocus() {
    HWND focus = GetFocus();
    for (uint32_t i = count_ - 1; i >= 1; --i)
      if (Window* unit = engine_.LiveObjectAt(units_, i)) SendMessageW(unit->hwnd(), kFocusSettledMessage, 0, 0);
    if (GetFocus() != focus && focus && IsWindow(focus)) SetFocus(focus);
  }

  WindowEngineWin32& engine_;
  WindowTemplate& window_;
  UnitTable& units_;
  const uint32_t count_;
  const WindowId id_;
  const bool reload_;
  HWND owner_;
  const bool modal_;
  std::vector<bool> visible_;
  HMENU menu_ = nullptr;
  HACCEL accelerator_ = nullptr;  // menu items of this runtime carry no shortcut keys
  WindowUnit* windowObject_ = nullptr;
  HWND hwnd_ = nullptr;
};

bool WindowEngineWin32::LoadWindow(WindowTemplate& window, bool reload, HWND owner, bool modal) {
  const WindowId id = windows().IdOf(&window).value_or(window.id);
  if (WindowUnit* live = LiveWindow(window)) {
    // One window per template: a window that is up is brought forward
    // (and, on a reload, shown) rather than made a second time.
    HWND h = live->hwnd();
    if (reload) ShowWindow(h, SW_SHOW);
    if (IsIconic(h)) {
      ShowWindow(h, SW_RESTORE);
    } else {
      SetForegroundWindow(h);
      SetActiveWindow(h);
    }
    return true;
  }
  if (modal) {
    owner = nullptr;
  } else if (owner && !IsWindow(owner)) {
    return false;
  }
  UnitTable& units = window.units();
  if (units.count() == 0 || units.IsMenuItem(0)) return false;
  return WindowLoad(*this, window, id, reload, owner, modal).Run();
}

}  // namespace kavrel
