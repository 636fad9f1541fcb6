#include "units/unit_base_win32.h"

#include <algorithm>
#include <cstring>

#include "framework/program_text_win32.h"

#include "commands/library_interface.h"

namespace kavrel {

COLORREF PaintColour(uint32_t colour) { return ResolveDefaultColour(colour, GetSysColor(COLOR_BTNFACE)); }

HBRUSH UnitBrush::Get(uint32_t colour) {
  const COLORREF resolved = PaintColour(colour);
  if (brush_ && resolved == colour_) return brush_;
  Reset();
  brush_ = CreateSolidBrush(resolved);
  colour_ = resolved;
  return brush_;
}

void UnitBrush::Reset() {
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
}

// Every field but the face name is laid out alike in both forms.
constexpr size_t kFontFields = offsetof(LOGFONTA, lfFaceName);
static_assert(sizeof(LOGFONTA) == 60 && offsetof(LOGFONTW, lfFaceName) == kFontFields);

LOGFONTW WideFont(std::span<const uint8_t, 60> description) {
  LOGFONTW font{};
  std::memcpy(&font, description.data(), kFontFields);
  // A stored name need not be terminated.
  const auto* face = reinterpret_cast<const char*>(description.data() + kFontFields);
  WideTextInto(std::string_view(face, strnlen(face, LF_FACESIZE - 1)), font.lfFaceName, LF_FACESIZE);
  return font;
}

std::array<uint8_t, 60> FontDescriptionOf(const LOGFONTW& font) {
  std::array<uint8_t, 60> description{};
  std::memcpy(description.data(), &font, kFontFields);
  const std::string face = ProgramTextOf(std::wstring_view(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE))).text;
  std::memcpy(description.data() + kFontFields, face.data(), std::min(face.size(), size_t(LF_FACESIZE - 1)));
  return description;
}

HFONT CreateUnitFont(std::span<const uint8_t> description, int dpi) {
  if (description.size() != sizeof(LOGFONTA)) return nullptr;
  LOGFONTW font = WideFont(description.first<60>());
  font.lfHeight = ToDpi(font.lfHeight, dpi);
  font.lfWidth = ToDpi(font.lfWidth, dpi);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = 0;
  return CreateFontIndirectW(&font);
}

HFONT CreateShownFont(std::span<const uint8_t> description, int dpi) {
  if (HFONT own = CreateUnitFont(description, dpi)) return own;
  return CreateDefaultFontForDpi(dpi);
}

void ChangeStyle(HWND hwnd, DWORD remove, DWORD add, bool extended) {
  const int which = extended ? GWL_EXSTYLE : GWL_STYLE;
  const DWORD old = DWORD(GetWindowLongW(hwnd, which));
  const DWORD style = (old & ~remove) | add;
  if (style == old) return;
  SetWindowLongW(hwnd, which, LONG(style));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool RegisterUnitClass(const wchar_t* name) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSW existing;
  if (GetClassInfoW(module, name, &existing)) return true;
  WNDCLASSW wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;  // the unit object subclasses each window
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = name;
  return RegisterClassW(&wc) != 0;
}

HGLOBAL BytesToGlobal(std::span<const uint8_t> bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes.size());
  if (!block) return nullptr;
  if (!bytes.empty()) {
    void* p = GlobalLock(block);
    if (!p) {
      GlobalFree(block);
      return nullptr;
    }
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  return block;
}

PropertyValue IntValue(int32_t v) { return {uintptr_t(uint32_t(v)), 0}; }
PropertyValue ColourValue(uint32_t v) { return {uintptr_t(v), 0}; }

PropertyValue TextValue(const std::string& text) { return {reinterpret_cast<uintptr_t>(text.c_str()), 0}; }

PropertyValue BytesValue(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return {0, 0};
  return {reinterpret_cast<uintptr_t>(bytes.data()), uint32_t(bytes.size())};
}

int32_t ValueInt(const PropertyValue& v) { return int32_t(uint32_t(v.word0)); }
uint32_t ValueColour(const PropertyValue& v) { return uint32_t(v.word0); }
int32_t ValueLogical(const PropertyValue& v) { return uint32_t(v.word0) == 1 ? 1 : 0; }

std::string ValueText(const PropertyValue& v) {
  const char* text = reinterpret_cast<const char*>(v.word0);
  return text ? std::string(text) : std::string();
}

std::vector<uint8_t> ValueBytes(const PropertyValue& v) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(v.word0);
  if (!bytes || v.word1 == 0) return {};
  return std::vector<uint8_t>(bytes, bytes + v.word1);
}

bool FillGradientRect(HDC dc, int32_t direction, const GradientStops& stops, const RECT& area, const RECT& clip) {
  const PixelRect whole = ToPixelRect(area);
  if (!CanFillGradient(direction, stops, whole)) return false;
  std::vector<uint32_t> pixels(size_t(kGradientTile) * kGradientTile);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  for (const PixelRect& tile : GradientTiles(whole, ToPixelRect(clip))) {
    const int32_t w = tile.Width();
    const int32_t h = tile.Height();
    FillGradientTile(direction, stops, whole, tile, pixels);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    StretchDIBits(dc, tile.left, tile.top, w, h, 0, 0, w, h, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  return true;
}

std::string WindowText(HWND hwnd) { return WindowProgramText(hwnd).text; }

bool Unit::RaiseEvent(int32_t index, std::span<const uint32_t> args, SimpleEventRecord* record) {
  SimpleEventRecord event = MakeEventRecord(window_, unit_, index, args);
  const bool ran = CallLibrary(request::kRaiseEvent, reinterpret_cast<intptr_t>(&event), 0) != 0;
  if (record) *record = event;
  return ran;
}

LRESULT Unit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kUnitDpiMessage) {
    ChangeDpi(int(wParam));
    return 0;
  }
  return UnitProc(msg, wParam, lParam);
}

void Unit::ChangeDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  RECT r;
  GetWindowRect(hwnd(), &r);
  MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
  const int from = dpi_;
  dpi_ = dpi;
  // Each of left, top, width and height goes through the design's pixels,
  // as the load scaled them, so that coming back gives the same rectangle.
  SetWindowPos(hwnd(), nullptr, BetweenDpis(r.left, from, dpi), BetweenDpis(r.top, from, dpi),
               BetweenDpis(r.right - r.left, from, dpi), BetweenDpis(LaidOutHeight(r.bottom - r.top), from, dpi),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  OnDpiChanged(from);
}

void Unit::ApplyFont(const std::vector<uint8_t>& description, bool redraw) {
  HFONT previous = font_;
  font_ = CreateShownFont(description, dpi_);
  HGDIOBJ shown = font_ ? HGDIOBJ(font_) : GetStockObject(DEFAULT_GUI_FONT);
  if (hwnd()) SendMessageW(hwnd(), WM_SETFONT, WPARAM(shown), redraw ? TRUE : FALSE);
  // Only once the window no longer uses it.
  if (previous) DeleteObject(previous);
}

Unit::~Unit() {
  if (font_) DeleteObject(font_);
}

void Unit::OnFinalDestroy() {
  ReleaseResources();
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  CallLibrary(request::kUnitGone, intptr_t(window_), intptr_t(unit_));
  delete this;
}

namespace {

Unit* AsUnit(Window* window) { return dynamic_cast<Unit*>(window); }

}  // namespace

BOOL KAVREL_STDCALL UnitPropertyChanged(Window* unit, int32_t ownIndex, const PropertyValue* value,
                                        const char** tip) {
  if (tip) *tip = nullptr;
  Unit* object = AsUnit(unit);
  if (!object || !value) return FALSE;
  // What throws goes on to the guard where the system called in: the fatal
  // report, never a property quietly left as it was.
  return object->SetOwnProperty(ownIndex, *value) ? TRUE : FALSE;
}

HGLOBAL KAVREL_STDCALL UnitSaveProperties(Window* unit) {
  Unit* object = AsUnit(unit);
  return object ? BytesToGlobal(object->SaveBlob()) : nullptr;
}

BOOL KAVREL_STDCALL UnitGetProperty(Window* unit, int32_t ownIndex, PropertyValue* value) {
  Unit* object = AsUnit(unit);
  if (!object || !value) return FALSE;
  // FALSE is an index the type does not have; a read that threw goes on to
  // the fatal report, never to the program as an empty value.
  return object->GetOwnProperty(ownIndex, *value) ? TRUE : FALSE;
}

BOOL KAVREL_STDCALL UnitIsDefaultButton(Window* unit) {
  Unit* object = AsUnit(unit);
  return object && object->IsDefaultButton() ? TRUE : FALSE;
}

void ConvertFontFace(std::vector<uint8_t>& font, TextConverterFn converter, uintptr_t user) {
  if (font.size() != sizeof(LOGFONTA)) return;
  converter(font.data() + offsetof(LOGFONTA, lfFaceName), 1, user);
}

}  // namespace kavrel
