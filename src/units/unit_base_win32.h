// The Win32 half of the unit base: the Unit object every type derives from
// (a framework Window attached to the unit's child window), the routines
// every type hands out through GetUnitInterface, and the colour, font, style
// and property-value rules the types share.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/display_scale_win32.h"
#include "framework/program_text_win32.h"
#include "framework/window_win32.h"
#include "units/gradient.h"
#include "units/unit_base.h"
#include "units/unit_interface_win32.h"
#include "units/unit_type.h"

namespace kavrel {

// A colour-or-default value as painted now.
COLORREF PaintColour(uint32_t colour);

inline RECT ToRect(const PixelRect& r) { return {LONG(r.left), LONG(r.top), LONG(r.right), LONG(r.bottom)}; }

// A solid brush of a colour-or-default value; made again when the resolved
// colour has changed, so DefaultColour follows the system colour scheme.
class UnitBrush {
 public:
  UnitBrush() = default;
  UnitBrush(const UnitBrush&) = delete;
  UnitBrush& operator=(const UnitBrush&) = delete;
  ~UnitBrush() { Reset(); }

  HBRUSH Get(uint32_t colour);
  void Reset();

 private:
  HBRUSH brush_ = nullptr;
  COLORREF colour_ = 0;
};

// A stored font description is a LOGFONTA of 60 bytes whose face name is a
// program text; these give it as the system's wide LOGFONTW and back.
LOGFONTW WideFont(std::span<const uint8_t, 60> description);
std::array<uint8_t, 60> FontDescriptionOf(const LOGFONTW& font);

// A font of a 60-byte description at `dpi`, with the character set,
// precisions, quality and pitch overridden; null for any other length or
// when the font cannot be made.
HFONT CreateUnitFont(std::span<const uint8_t> description, int dpi);
// The font a unit shows at `dpi`: its own, else the default font at that
// DPI; null where the stock GUI font serves. The caller deletes it.
HFONT CreateShownFont(std::span<const uint8_t> description, int dpi);

// Replaces style bits (or extended style bits) as one change and refreshes
// the frame without moving, sizing, re-ordering or activating the window.
void ChangeStyle(HWND hwnd, DWORD remove, DWORD add, bool extended = false);

// Registers a private unit class on first use: redraw on resize, double
// clicks, the arrow cursor and no background brush.
bool RegisterUnitClass(const wchar_t* name);

// A new movable shared global block holding exactly `bytes`; null when none
// can be had.
HGLOBAL BytesToGlobal(std::span<const uint8_t> bytes);

// Property values as the get and set routines exchange them.
PropertyValue IntValue(int32_t v);
PropertyValue ColourValue(uint32_t v);
PropertyValue TextValue(const std::string& text);
// Null pointer and 0 when empty.
PropertyValue BytesValue(const std::vector<uint8_t>& bytes);
int32_t ValueInt(const PropertyValue& v);
uint32_t ValueColour(const PropertyValue& v);
// Only exactly 1 is true.
int32_t ValueLogical(const PropertyValue& v);
std::string ValueText(const PropertyValue& v);
std::vector<uint8_t> ValueBytes(const PropertyValue& v);

// Fills `area` with a gradient in 50 x 50 tiles, computing only the tiles
// that meet `clip`; false (and nothing drawn) when no fill can be made.
bool FillGradientRect(HDC dc, int32_t direction, const GradientStops& stops, const RECT& area, const RECT& clip);

// The window text of any window, as a program text.
std::string WindowText(HWND hwnd);

class Unit : public Window {
 public:
  Unit(WindowId window, UnitId unit, bool designMode) : window_(window), unit_(unit), designMode_(designMode) {}
  ~Unit() override;

  WindowId windowId() const { return window_; }
  UnitId unitId() const { return unit_; }
  bool designMode() const { return designMode_; }
  // The DPI the unit draws its design at: its window's.
  int dpi() const { return dpi_; }
  void StartAtDpi(int dpi) { dpi_ = dpi; }

  // Own properties by OwnIndex. The setter gives true when the unit must be
  // re-created for the change to show; the getter false for an index the
  // type does not have.
  virtual bool SetOwnProperty(int32_t own, const PropertyValue& value) = 0;
  virtual bool GetOwnProperty(int32_t own, PropertyValue& value) = 0;
  // The current property blob.
  virtual std::vector<uint8_t> SaveBlob() const = 0;
  virtual bool IsDefaultButton() { return false; }

  // Raises an event through request 2008; true when a handler ran. The
  // record, with the handler's result, goes to *record when given.
  bool RaiseEvent(int32_t index, std::span<const uint32_t> args = {}, SimpleEventRecord* record = nullptr);

 protected:
  // Every message of the unit's window; no exception leaves it.
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) final;
  // The type's own handling; the base hands child notifications back and
  // does the default processing.
  virtual LRESULT UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) { return Window::WindowProc(msg, wParam, lParam); }

  // The font rule: the previous font is deleted; a 60-byte description
  // gives a font of the unit's own, anything else the default font, both
  // at the unit's DPI.
  void ApplyFont(const std::vector<uint8_t>& description, bool redraw = true);
  HFONT font() const { return font_; }

  // The window now draws at another DPI than `from`: the unit has been
  // moved and sized to its design there; the type makes its fonts and
  // measures again.
  virtual void OnDpiChanged(int /*from*/) {}
  // The height the unit's design gives it; a combo box's includes its list.
  virtual int32_t LaidOutHeight(int32_t windowHeight) { return windowHeight; }

  // GDI objects and decoded pictures, released before the runtime hears of
  // the end.
  virtual void ReleaseResources() {}

  // Request 2000, then the object deletes itself.
  void OnFinalDestroy() override;

 private:
  WindowId window_;
  UnitId unit_;
  bool designMode_;
  int dpi_ = kDesignDpi;
  HFONT font_ = nullptr;

  void ChangeDpi(int dpi);
};

// The routines shared by every type (interfaces 4, 5, 6 and 10).
BOOL KAVREL_STDCALL UnitPropertyChanged(Window* unit, int32_t ownIndex, const PropertyValue* value,
                                        const char** tip);
HGLOBAL KAVREL_STDCALL UnitSaveProperties(Window* unit);
BOOL KAVREL_STDCALL UnitGetProperty(Window* unit, int32_t ownIndex, PropertyValue* value);
BOOL KAVREL_STDCALL UnitIsDefaultButton(Window* unit);

// The routines made per type. T has: a constructor (WindowId, UnitId, bool),
// `Props& props()`, `bool Build(style, parent, id, x, y, width, height)`
// (common step 4 and the type's own steps), and a static
// `VisitTexts(Props&, TextConverterFn, uintptr_t)` for ConvertTexts.
template <class T>
struct UnitRoutines {
  static Window* KAVREL_STDCALL Create(const uint8_t* blob, int32_t blobSize, uint32_t style, HWND parent,
                                       int32_t controlId, int32_t, int32_t x, int32_t y, int32_t width,
                                       int32_t height, WindowId window, UnitId unit, int32_t,
                                       int32_t designMode) {
    auto* object = new T(window, unit, designMode != 0);
    object->StartAtDpi(DrawnDpi(parent));
    if (blob && blobSize >= 1 && !object->props().Load(std::span<const uint8_t>(blob, size_t(blobSize)))) {
      delete object;
      return nullptr;
    }
    // Build fails only when the window could not be made, so the object
    // is not attached and nothing else refers to it.
    if (!object->Build(style, parent, controlId, x, y, width, height)) {
      delete object;
      return nullptr;
    }
    return object;
  }

  static HGLOBAL KAVREL_STDCALL ConvertTexts(const uint8_t* blob, int32_t* blobSize, TextConverterFn converter,
                                             uintptr_t user) {
    if (!blobSize) return nullptr;
    typename T::Props scratch;
    if (blob && *blobSize >= 1 && !scratch.Load(std::span<const uint8_t>(blob, size_t(*blobSize)))) return nullptr;
    if (converter) T::VisitTexts(scratch, converter, user);
    std::vector<uint8_t> bytes = scratch.Save();
    HGLOBAL block = BytesToGlobal(bytes);
    if (block) *blobSize = int32_t(bytes.size());
    return block;
  }
};

// Passes a font's face-name field to the converter when the font is a
// 60-byte description.
void ConvertFontFace(std::vector<uint8_t>& font, TextConverterFn converter, uintptr_t user);

// A type's property table: the eight properties every type has (left, top,
// width, height, tag, visible, disabled, cursor), then its own.
inline constexpr uint16_t kFixedPropertyFlags = 0xE000;
inline constexpr uint16_t kOwnPropertyFlags = 0x8000;

constexpr PropertyDescriptor OwnProperty(int16_t type, uint16_t flags = kOwnPropertyFlags) {
  return {nullptr, nullptr, nullptr, type, flags, nullptr};
}

template <size_t N>
constexpr std::array<PropertyDescriptor, 8 + N> PropertyTable(const std::array<PropertyDescriptor, N>& own) {
  std::array<PropertyDescriptor, 8 + N> table{};
  constexpr int16_t fixed[8] = {ptype::kInteger, ptype::kInteger, ptype::kInteger, ptype::kInteger,
                                ptype::kText,    ptype::kLogical, ptype::kLogical, ptype::kCursor};
  for (size_t i = 0; i < 8; ++i) table[i] = OwnProperty(fixed[i], kFixedPropertyFlags);
  for (size_t i = 0; i < N; ++i) table[8 + i] = own[i];
  return table;
}

}  // namespace kavrel
