#include "window/window_unit_win32.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "app/runtime_app_win32.h"
#include "templates/window_template.h"
#include "units/unit_interface_win32.h"
#include "window/key_codes.h"
#include "window/picture_win32.h"
#include "window/window_engine_win32.h"
#include "window/window_style.h"
#include "window/window_type.h"

namespace kavrel {

namespace {

constexpr char kDefaultClass[] = "WTWindow";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr int32_t kDefaultIconsRequest = 1000;

WindowEngineWin32& Engine() { return WindowEngineWin32::Instance(); }

void EnsureClass(const char* name) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (GetClassInfoA(module, name, &wc)) return;
  wc.style = kClassStyle;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

COLORREF ResolveColour(uint32_t colour) {
  return colour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : COLORREF(colour);
}

HICON IconOfSize(const IconEntryChoice& choice, int size) {
  // CreateIconFromResourceEx takes the image bytes as writable but does not write them.
  auto* bits = const_cast<BYTE*>(choice.image.data());
  return CreateIconFromResourceEx(bits, DWORD(choice.image.size()), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
}

bool IsKeyboardMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

// Choice properties are clamped into their range.
uint32_t Clamp(uintptr_t value, uint32_t last) {
  const int32_t v = int32_t(uint32_t(value));
  return v < 0 ? 0 : (uint32_t(v) > last ? last : uint32_t(v));
}

std::vector<uint8_t> BytesOf(const PropertyValue& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(value.word0);
  if (!p || value.word1 == 0) return {};
  return {p, p + value.word1};
}

std::string TextOf(const PropertyValue& value) {
  const char* p = reinterpret_cast<const char*>(value.word0);
  return p ? std::string(p) : std::string();
}

// Interface routines of the window type.
BOOL KAVREL_STDCALL GetWindowProperty(Window* unit, int32_t own, PropertyValue* value) {
  WindowUnit* window = WindowUnit::FromWindow(unit);
  if (!window || !value) return FALSE;
  return window->GetOwnProperty(own, *value) ? TRUE : FALSE;
}

BOOL KAVREL_STDCALL WindowPropertyChanged(Window* unit, int32_t own, const PropertyValue* value, const char** tip) {
  if (tip) *tip = nullptr;
  WindowUnit* window = WindowUnit::FromWindow(unit);
  if (window && value) window->SetOwnProperty(own, *value);
  return FALSE;  // the window applies every change in place
}

// A movable shared block sized exactly to the blob.
HGLOBAL BlobBlock(const std::vector<uint8_t>& blob) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, blob.size());
  if (!block) return nullptr;
  if (!blob.empty()) {
    void* p = GlobalLock(block);
    if (!p) {
      GlobalFree(block);
      return nullptr;
    }
    memcpy(p, blob.data(), blob.size());
    GlobalUnlock(block);
  }
  return block;
}

HGLOBAL KAVREL_STDCALL SaveWindowProperties(Window* unit) {
  WindowUnit* window = WindowUnit::FromWindow(unit);
  return window ? BlobBlock(window->props().Save()) : nullptr;
}

HGLOBAL KAVREL_STDCALL ConvertWindowTexts(const uint8_t* blob, int32_t* blobSize, TextConverterFn converter,
                                          uintptr_t user) {
  if (!blobSize) return nullptr;
  WindowProps props;
  std::span<const uint8_t> bytes;
  if (blob && *blobSize > 0) bytes = {blob, size_t(*blobSize)};
  if (!props.Load(bytes)) return nullptr;
  if (converter) {
    converter(&props.caption, 0, user);
    converter(&props.helpFile, 0, user);
  }
  std::vector<uint8_t> saved = props.Save();
  *blobSize = int32_t(saved.size());
  return BlobBlock(saved);
}

}  // namespace

void* KAVREL_STDCALL WindowUnitInterface(int32_t number) {
  switch (number) {
    case iface::kCreate:
      return reinterpret_cast<void*>(&WindowUnit::Create);
    case iface::kPropertyChanged:
      return reinterpret_cast<void*>(&WindowPropertyChanged);
    case iface::kSaveProperties:
      return reinterpret_cast<void*>(&SaveWindowProperties);
    case iface::kGetProperty:
      return reinterpret_cast<void*>(&GetWindowProperty);
    case iface::kConvertTexts:
      return reinterpret_cast<void*>(&ConvertWindowTexts);
    default:
      return nullptr;
  }
}

Window* KAVREL_STDCALL WindowUnit::Create(HWND parentOrOwner, const uint8_t* blob, int32_t blobSize,
                                          uint32_t extraStyle, HWND owner, int32_t childId, HMENU menu, int32_t left,
                                          int32_t top, int32_t width, int32_t height, WindowId window,
                                          UnitId ownRecord, int32_t childFlag) {
  auto* unit = new WindowUnit;
  std::span<const uint8_t> bytes;
  if (blob && blobSize > 0) bytes = {blob, size_t(blobSize)};
  if (!unit->props_.Load(bytes)) {
    delete unit;
    return nullptr;
  }
  unit->windowId_ = window;
  unit->ownRecordId_ = ownRecord;
  unit->child_ = childFlag != 0;
  unit->modal_ = Engine().loadingModal();

  RuntimeApp& app = RuntimeApp::Instance();
  WindowPlacementInput in;
  in.extraStyle = extraStyle;
  in.child = unit->child_;
  in.hasOwner = owner != nullptr;
  in.rect = {left, top, width, height};
  in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const WindowPlacement placement = ComputeWindowPlacement(unit->props_, in);
  HWND parent = unit->child_ ? parentOrOwner : owner;
  if (!unit->child_ && OwnedByHiddenOwner(owner != nullptr, unit->modal_, unit->props_, app.showModeWord()))
    parent = app.hiddenOwner();

  const std::string className = unit->props_.className.empty() ? kDefaultClass : unit->props_.className;
  EnsureClass(className.c_str());
  HMENU menuOrId = unit->child_ ? reinterpret_cast<HMENU>(intptr_t(childId)) : menu;
  // The menu becomes the window's only with the window; on failure the
  // caller still owns it.
  if (!unit->CreateEx(placement.exStyle, className.c_str(), unit->props_.caption.c_str(), placement.style,
                      placement.left, placement.top, width, height, parent, menuOrId)) {
    delete unit;
    return nullptr;
  }
  HWND hwnd = unit->hwnd();
  unit->ApplyFrameStyle();
  RECT r;
  GetWindowRect(hwnd, &r);
  if (r.right - r.left != width || r.bottom - r.top != height)
    SetWindowPos(hwnd, nullptr, placement.left, placement.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  unit->ApplyIcons();
  unit->ApplyShape();
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  unit->ApplyAlwaysOnTop();
  unit->ApplyMovable();
  return unit;
}

WindowUnit::~WindowUnit() {
  if (accelerator_) DestroyAcceleratorTable(accelerator_);
  if (largeIcon_) DestroyIcon(largeIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  FreePicture(picture_);
}

WindowTemplate* WindowUnit::Template() const { return Engine().TemplateOf(windowId_); }

void WindowUnit::ApplyFrameStyle() {
  HWND hwnd = this->hwnd();
  WindowPlacementInput in;
  in.child = child_;
  in.hasOwner = (GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP) != 0;
  const WindowPlacement want = ComputeWindowPlacement(props_, in);
  constexpr uint32_t kStyleMask = kFrameStyleMask | wstyle::kThickFrame;
  constexpr uint32_t kExMask = wstyle::kExToolWindow | wstyle::kExClientEdge | wstyle::kExDlgModalFrame;
  const uint32_t style = uint32_t(GetWindowLongA(hwnd, GWL_STYLE));
  const uint32_t exStyle = uint32_t(GetWindowLongA(hwnd, GWL_EXSTYLE));
  const uint32_t newStyle = (style & ~kStyleMask) | (want.style & kStyleMask);
  const uint32_t newEx = (exStyle & ~kExMask) | (want.exStyle & kExMask);
  if (newStyle == style && newEx == exStyle) return;
  SetWindowLongA(hwnd, GWL_STYLE, LONG(newStyle));
  SetWindowLongA(hwnd, GWL_EXSTYLE, LONG(newEx));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void WindowUnit::ApplyIcons() {
  HICON large = nullptr;
  HICON small = nullptr;
  IconEntryChoice choice;
  if (!props_.icon.empty() && ChooseIconEntry(props_.icon, choice)) {
    large = IconOfSize(choice, GetSystemMetrics(SM_CXICON));
    small = IconOfSize(choice, GetSystemMetrics(SM_CXSMICON));
  }
  HICON oldLarge = largeIcon_;
  HICON oldSmall = smallIcon_;
  largeIcon_ = large;
  smallIcon_ = small;
  if (!large && !small) {
    // The program's own icons, which stay the runtime's.
    uintptr_t defaults[2] = {};
    RuntimeApp::Instance().CallLibrary(kDefaultIconsRequest, reinterpret_cast<intptr_t>(defaults), 0);
    large = reinterpret_cast<HICON>(defaults[0]);
    small = reinterpret_cast<HICON>(defaults[1]);
  }
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large ? large : small));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : large));
  if (oldLarge) DestroyIcon(oldLarge);
  if (oldSmall) DestroyIcon(oldSmall);
}

void WindowUnit::ApplyShape() {
  if (props_.shape == 0) {
    SetWindowRgn(hwnd(), nullptr, TRUE);
    return;
  }
  // Every shape other than the rectangle is drawn as the ellipse inside the
  // window's rectangle; the program uses none of them.
  RECT r;
  GetWindowRect(hwnd(), &r);
  HRGN region = CreateEllipticRgn(0, 0, r.right - r.left, r.bottom - r.top);
  if (region && !SetWindowRgn(hwnd(), region, TRUE)) DeleteObject(region);
}

void WindowUnit::ApplyAlwaysOnTop() {
  if (child_) return;
  const bool topmost = (GetWindowLongA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (props_.alwaysOnTop == 1 || topmost)
    SetWindowPos(hwnd(), props_.alwaysOnTop == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowUnit::ApplyMovable() {
  if (props_.movable == 0) {
    if (HMENU system = GetSystemMenu(hwnd(), FALSE)) DeleteMenu(system, SC_MOVE, MF_BYCOMMAND);
  } else {
    HMENU system = GetSystemMenu(hwnd(), FALSE);
    if (system && GetMenuState(system, SC_MOVE, MF_BYCOMMAND) == UINT(-1)) GetSystemMenu(hwnd(), TRUE);
  }
}

void WindowUnit::DisableOthers(const std::vector<HWND>& windows) {
  for (HWND other : windows) {
    if (other == hwnd() || !IsWindow(other)) continue;
    disabled_.push_back({other, IsWindowEnabled(other) != FALSE});
    EnableWindow(other, FALSE);
  }
}

void WindowUnit::ReEnableOthers() {
  for (const auto& [other, wasEnabled] : disabled_)
    if (IsWindow(other)) EnableWindow(other, wasEnabled ? TRUE : FALSE);
  disabled_.clear();
}

void WindowUnit::SetAccelerator(HACCEL accelerator) {
  if (accelerator_ && accelerator_ != accelerator) DestroyAcceleratorTable(accelerator_);
  accelerator_ = accelerator;
}

bool WindowUnit::GetOwnProperty(int32_t own, PropertyValue& value) const {
  value = PropertyValue{};
  auto text = [&](const std::string& t) { value.word0 = reinterpret_cast<uintptr_t>(t.c_str()); };
  auto bytes = [&](const std::vector<uint8_t>& b) {
    value.word0 = b.empty() ? 0 : reinterpret_cast<uintptr_t>(b.data());
    value.word1 = uint32_t(b.size());
  };
  switch (WindowOwn(own)) {
    case WindowOwn::kCaption: text(props_.caption); break;
    case WindowOwn::kBorder: value.word0 = props_.border; break;
    case WindowOwn::kBackColour: value.word0 = props_.backColour; break;
    case WindowOwn::kPicture: bytes(props_.picture); break;
    case WindowOwn::kPictureMode: value.word0 = props_.pictureMode; break;
    case WindowOwn::kSound: bytes(props_.sound); break;
    case WindowOwn::kSoundMode: value.word0 = props_.soundMode; break;
    case WindowOwn::kControlBox: value.word0 = props_.controlBox; break;
    case WindowOwn::kMaxButton: value.word0 = props_.maxButton; break;
    case WindowOwn::kMinButton: value.word0 = props_.minButton; break;
    case WindowOwn::kStartPosition: value.word0 = props_.startPosition; break;
    case WindowOwn::kMovable: value.word0 = props_.movable; break;
    case WindowOwn::kIcon: bytes(props_.icon); break;
    case WindowOwn::kEnterMovesOn: value.word0 = props_.enterMovesOn; break;
    case WindowOwn::kEscCloses: value.word0 = props_.escCloses; break;
    case WindowOwn::kF1Help: value.word0 = props_.f1Help; break;
    case WindowOwn::kHelpFile: text(props_.helpFile); break;
    case WindowOwn::kHelpContext: value.word0 = props_.helpContext; break;
    case WindowOwn::kTaskbar: value.word0 = props_.taskbar; break;
    case WindowOwn::kDragAnywhere: value.word0 = props_.dragAnywhere; break;
    case WindowOwn::kShape: value.word0 = props_.shape; break;
    case WindowOwn::kAlwaysOnTop: value.word0 = props_.alwaysOnTop; break;
    case WindowOwn::kProperty22: value.word0 = props_.property22; break;
    case WindowOwn::kClassName: text(props_.className); break;
    default: return false;
  }
  return true;
}

bool WindowUnit::SetOwnProperty(int32_t own, const PropertyValue& value) {
  const uint32_t word = uint32_t(value.word0);
  const uint32_t logical = word != 0 ? 1 : 0;
  HWND hwnd = this->hwnd();
  switch (WindowOwn(own)) {
    case WindowOwn::kCaption:
      props_.caption = TextOf(value);
      SetWindowTextA(hwnd, props_.caption.c_str());
      ApplyFrameStyle();
      break;
    case WindowOwn::kBorder:
      props_.border = Clamp(value.word0, 6);
      ApplyFrameStyle();
      break;
    case WindowOwn::kBackColour:
      props_.backColour = word;
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WindowOwn::kPicture:
      props_.picture = BytesOf(value);
      FreePicture(picture_);
      picture_ = nullptr;
      pictureDecoded_ = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WindowOwn::kPictureMode:
      props_.pictureMode = Clamp(value.word0, 3);
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WindowOwn::kSound: props_.sound = BytesOf(value); break;
    case WindowOwn::kSoundMode: props_.soundMode = Clamp(value.word0, 2); break;
    case WindowOwn::kControlBox:
      props_.controlBox = logical;
      ApplyFrameStyle();
      break;
    case WindowOwn::kMaxButton:
      props_.maxButton = logical;
      ApplyFrameStyle();
      break;
    case WindowOwn::kMinButton:
      props_.minButton = logical;
      ApplyFrameStyle();
      break;
    case WindowOwn::kStartPosition: props_.startPosition = Clamp(value.word0, 3); break;
    case WindowOwn::kMovable:
      props_.movable = logical;
      ApplyMovable();
      break;
    case WindowOwn::kIcon:
      props_.icon = BytesOf(value);
      ApplyIcons();
      break;
    case WindowOwn::kEnterMovesOn: props_.enterMovesOn = logical; break;
    case WindowOwn::kEscCloses: props_.escCloses = logical; break;
    case WindowOwn::kF1Help: props_.f1Help = logical; break;
    case WindowOwn::kHelpFile: props_.helpFile = TextOf(value); break;
    case WindowOwn::kHelpContext: props_.helpContext = word; break;
    case WindowOwn::kTaskbar: props_.taskbar = logical; break;
    case WindowOwn::kDragAnywhere: props_.dragAnywhere = logical; break;
    case WindowOwn::kShape:
      props_.shape = Clamp(value.word0, 29);
      ApplyShape();
      break;
    case WindowOwn::kAlwaysOnTop:
      props_.alwaysOnTop = logical;
      ApplyAlwaysOnTop();
      break;
    case WindowOwn::kProperty22: props_.property22 = word; break;
    case WindowOwn::kClassName: props_.className = TextOf(value); break;  // takes effect at the next load
    default: return false;
  }
  return true;
}

void WindowUnit::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT clip;
  if (GetClipBox(dc, &clip) == ERROR) clip = client;
  const COLORREF colour = ResolveColour(props_.backColour);
  HRGN remaining = CreateRectRgnIndirect(&clip);
  if (!props_.picture.empty() && !pictureDecoded_) {
    pictureDecoded_ = true;
    picture_ = DecodePicture(props_.picture.data(), int32_t(props_.picture.size()));
  }
  if (picture_) {
    switch (props_.pictureMode) {
      case 0:
      case 1:
      case 2:
        DrawPictureLayout(int32_t(props_.pictureMode), dc, picture_, client, clip, &remaining, colour);
        break;
      case 3:
        if (DrawPicture(dc, picture_, client.left, client.top, client.right - client.left,
                        client.bottom - client.top, colour) &&
            remaining) {
          DeleteObject(remaining);
          remaining = nullptr;
        }
        break;
      default:
        break;
    }
  }
  if (remaining) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRgn(dc, remaining, brush);
    DeleteObject(brush);
    DeleteObject(remaining);
  }
}

bool WindowUnit::OnClose() {
  const bool forced = forceClose_ || forceClose2_;
  WindowEngineWin32& engine = Engine();
  if (engine.RaiseVetoable(windowId_, 0, window_event::kQueryClose) && !forced) return false;
  if (!IsWindow(hwnd())) return false;
  if (engine.RaiseVetoable(windowId_, 0, window_event::kClose) && !forced) return false;
  if (!IsWindow(hwnd())) return false;
  ReEnableOthers();
  return true;
}

void WindowUnit::OnDestroy() {
  Engine().RaiseEvent(windowId_, 0, window_event::kDestroy);
  if (helpStarted_) {
    WinHelpA(hwnd(), HelpFile().c_str(), HELP_QUIT, 0);
    helpStarted_ = false;
  }
  if (!child_) {
    if (HMENU menu = GetMenu(hwnd())) {
      SetMenu(hwnd(), nullptr);
      DestroyMenu(menu);
    }
  }
}

void WindowUnit::OnFinalDestroy() {
  if (accelerator_) DestroyAcceleratorTable(accelerator_);
  accelerator_ = nullptr;
  // Units went before their window and took their pointers with them; the
  // window's own record keeps the client area's.
  if (WindowTemplate* window = Template()) {
    UnitTable& units = window->units();
    for (uint32_t i = 0; i < units.count(); ++i) {
      DestroyUnitCursor(units.SlotsAt(i).cursor);
      units.SetCursor(i, 0);
    }
  }
  RuntimeApp& app = RuntimeApp::Instance();
  ReEnableOthers();
  app.CallLibrary(2000, intptr_t(windowId_), 0);
  app.WindowDestroyed();
  delete this;
}

bool WindowUnit::OnSetCursor(HWND over, int hitTest) {
  if (hitTest != HTCLIENT) return false;
  WindowTemplate* window = Template();
  if (!window) return false;
  const UnitTable& units = window->units();
  std::optional<uint32_t> position;
  if (over == hwnd()) {
    position = 0;
  } else {
    position = Engine().UnitPositionOf(units, over, false);
  }
  if (!position) return false;
  const uintptr_t cursor = units.SlotsAt(*position).cursor;
  if (!cursor) return false;
  SetCursor(reinterpret_cast<HCURSOR>(cursor));
  return true;
}

LRESULT WindowUnit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PRINTCLIENT:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CLOSE:
      if (!OnClose()) return 0;
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_SETFONT:
      // Kept for units and dialogs that ask their parent for its font.
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_SIZE:
      // Stretched, centred and tiled pictures depend on the client size.
      if (picture_ && props_.pictureMode != 0) InvalidateRect(hwnd(), nullptr, TRUE);
      break;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) <= 1 && LOWORD(wParam) >= kMenuCommandBase) {
        // A menu item (or its accelerator): its event 0.
        if (WindowTemplate* window = Template()) {
          const uint32_t position = LOWORD(wParam) - kMenuCommandBase;
          if (window->units().IsMenuItem(position)) {
            Engine().RaiseEvent(windowId_, window->units().IdAt(position), 0);
            return 0;
          }
        }
      }
      break;
    default:
      break;
  }
  return Window::WindowProc(msg, wParam, lParam);
}

void WindowUnit::MaximiseOverWorkArea() {
  HWND hwnd = this->hwnd();
  if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  ShowWindow(hwnd, SW_SHOWMAXIMIZED);
  RECT work{};
  bool found = false;
  if (HMODULE user = LoadLibraryA("User32.dll")) {
    using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
    using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    auto fromWindow = reinterpret_cast<MonitorFromWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
    auto info = reinterpret_cast<GetMonitorInfoFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
    if (fromWindow && info) {
      if (HMONITOR monitor = fromWindow(hwnd, MONITOR_DEFAULTTONEAREST)) {
        MONITORINFOEXA mi{};
        mi.cbSize = sizeof mi;  // the 72-byte form, with the device name
        if (info(monitor, reinterpret_cast<MONITORINFO*>(&mi))) {
          work = mi.rcWork;
          found = true;
        }
      }
    }
    FreeLibrary(user);
  }
  static_assert(sizeof(MONITORINFOEXA) == 72);
  if (!found) SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
               SWP_NOZORDER | SWP_SHOWWINDOW);
}

void WindowUnit::ShowAfterLoad(bool reload) {
  HWND hwnd = this->hwnd();
  if (reload) {
    ShowWindow(hwnd, SW_SHOW);
  } else if (RuntimeApp::Instance().showModeWord() != 0) {
    switch (props_.startPosition) {
      case 3:
        MaximiseOverWorkArea();
        break;
      case 2:
        ShowWindow(hwnd, SW_SHOWMINIMIZED);
        break;
      default:
        ShowWindow(hwnd, SW_SHOW);
        break;
    }
  }
  if (!IsWindow(hwnd)) return;
  HWND focus = GetFocus();
  if (!focus) return;
  WindowEngineWin32& engine = Engine();
  if (focus == hwnd) {
    engine.RaiseEvent(windowId_, 0, kEventFocusGained);
  } else if (WindowTemplate* window = Template()) {
    if (auto position = engine.UnitPositionOf(window->units(), focus, true))
      engine.RaiseEvent(windowId_, window->units().IdAt(*position), kEventFocusGained);
  }
}

void WindowUnit::MoveFocus(bool forward) {
  WindowTemplate* window = Template();
  if (!window) return;
  const UnitTable& units = window->units();
  WindowEngineWin32& engine = Engine();
  struct Candidate {
    uint32_t order;
    uint32_t position;
    HWND hwnd;
  };
  std::vector<Candidate> candidates;
  for (uint32_t i = 1; i < units.count(); ++i) {
    Window* unit = engine.LiveObjectAt(units, i);
    if (!unit) continue;
    HWND h = unit->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h) || !(GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP)) continue;
    auto record = units.RecordAt(i);
    candidates.push_back({record ? record->tabOrder() : 0, i, h});
  }
  if (candidates.empty()) return;
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.order < b.order; });
  std::optional<uint32_t> current = engine.UnitPositionOf(units, GetFocus(), true);
  size_t at = forward ? 0 : candidates.size() - 1;
  if (current) {
    for (size_t k = 0; k < candidates.size(); ++k) {
      if (candidates[k].position != *current) continue;
      at = forward ? (k + 1) % candidates.size() : (k + candidates.size() - 1) % candidates.size();
      break;
    }
  }
  SetFocus(candidates[at].hwnd);
}

std::string WindowUnit::HelpFile() const {
  if (!props_.helpFile.empty()) return props_.helpFile;
  RuntimeApp& app = RuntimeApp::Instance();
  std::string name = app.exeName();
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return app.exeDirSlash() + name + ".hlp";
}

void WindowUnit::ShowHelp() {
  const std::string file = HelpFile();
  if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (props_.helpContext != 0) {
    WinHelpA(hwnd(), file.c_str(), HELP_CONTEXT, props_.helpContext);
  } else {
    WinHelpA(hwnd(), file.c_str(), HELP_FINDER, 0);
  }
  helpStarted_ = true;
}

bool WindowUnit::HandleEnter(HWND focus, MSG* msg) {
  WindowTemplate* window = Template();
  if (!window) return false;
  const UnitTable& units = window->units();
  WindowEngineWin32& engine = Engine();
  auto takesEnter = [&](uint32_t position, bool focused) {
    Window* unit = engine.LiveObjectAt(units, position);
    auto record = units.RecordAt(position);
    if (!unit || !record) return false;
    HWND h = unit->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return false;
    const UnitTypeDescriptor* type = engine.TypeOf(record->type());
    if (!type || !(type->stateFlags & typeflag::kDefaultButtonCapable)) return false;
    if (!focused) {
      auto isDefault = reinterpret_cast<IsDefaultButtonFn>(type->getInterface
                                                                ? type->getInterface(iface::kIsDefaultButton)
                                                                : nullptr);
      if (!isDefault || !isDefault(unit)) return false;
    }
    engine.RaiseEvent(windowId_, record->id(), 0);
    return true;
  };
  if (auto position = engine.UnitPositionOf(units, focus, true)) {
    const LRESULT code = SendMessageA(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;  // the unit takes it itself
    if (takesEnter(*position, true)) return true;
  }
  if (props_.enterMovesOn == 1) {
    MoveFocus(true);
    return true;
  }
  for (uint32_t i = 1; i < units.count(); ++i)
    if (takesEnter(i, false)) return true;
  return false;
}

bool WindowUnit::HandleMnemonic(char c) {
  WindowTemplate* window = Template();
  if (!window) return false;
  const UnitTable& units = window->units();
  WindowEngineWin32& engine = Engine();
  for (uint32_t i = 1; i < units.count(); ++i) {
    Window* unit = engine.LiveObjectAt(units, i);
    auto record = units.RecordAt(i);
    if (!unit || !record) continue;
    HWND h = unit->hwnd();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    // Button-like types take mnemonics; pressing one acts as a click.
    const UnitTypeDescriptor* type = engine.TypeOf(record->type());
    if (!type || !(type->stateFlags & typeflag::kDefaultButtonCapable)) continue;
    char text[256] = {};
    GetWindowTextA(h, text, sizeof text);
    if (!TextHasMnemonic(text, c)) continue;
    SetFocus(h);
    engine.RaiseEvent(windowId_, record->id(), 0);
    return true;
  }
  return false;
}

bool WindowUnit::HandleKeyDown(MSG* msg) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0 || (msg->message == WM_SYSKEYDOWN && (msg->lParam & (1 << 29)));
  const uint32_t code = KeyCode(uint32_t(msg->wParam), ctrl, shift, alt);
  const KeyAction action = ClassifyKey(code);
  if (action == KeyAction::kNone) return false;
  HWND focus = GetFocus();
  LRESULT wants = 0;
  if (focus && focus != hwnd())
    wants = SendMessageA(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  switch (action) {
    case KeyAction::kNextUnit:
    case KeyAction::kPreviousUnit:
      if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      MoveFocus(action == KeyAction::kNextUnit);
      return true;
    case KeyAction::kEnter:
      return HandleEnter(focus, msg);
    case KeyAction::kEscape:
      if (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      if (props_.escCloses != 1) return false;
      SendMessageA(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case KeyAction::kHelp:
      if (props_.f1Help != 1) return false;
      ShowHelp();
      return true;
    case KeyAction::kArrowBackward:
    case KeyAction::kArrowForward:
      // Option-unit groups would take the arrows first; no type of this
      // runtime forms them, so the focused unit gets the key.
      return false;
    case KeyAction::kMnemonic:
      return HandleMnemonic(MnemonicChar(code));
    default:
      return false;
  }
}

bool WindowUnit::PreTranslateInput(MSG* msg) {
  HWND hwnd = this->hwnd();
  if (IsKeyboardMessage(msg->message) && !IsWindowEnabled(hwnd)) return true;
  if (msg->message == WM_LBUTTONDOWN || msg->message == WM_NCLBUTTONDOWN) {
    // A press ends whatever mode another window holds the mouse for.
    HWND capture = GetCapture();
    if (capture && capture != msg->hwnd) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  }
  if (Window::PreTranslateChain(msg)) return true;
  if (IsKeyboardMessage(msg->message) && accelerator_ && TranslateAcceleratorA(hwnd, accelerator_, msg)) return true;

  WindowTemplate* window = Template();
  WindowEngineWin32& engine = Engine();
  if (window) {
    const UnitTable& units = window->units();
    for (uint32_t i = 1; i < units.count(); ++i) {
      auto record = units.RecordAt(i);
      if (!record) continue;
      const UnitTypeDescriptor* type = engine.TypeOf(record->type());
      if (!type || !(type->stateFlags & typeflag::kOffersMessages) || !type->getInterface) continue;
      auto offer = reinterpret_cast<OfferMessageFn>(type->getInterface(iface::kOfferMessage));
      Window* unit = engine.LiveObjectAt(units, i);
      if (offer && unit && offer(unit, msg)) return true;
    }
  }

  if (msg->message == WM_LBUTTONDOWN && props_.dragAnywhere == 1) {
    POINT pt = msg->pt;
    const LPARAM where = MAKELPARAM(short(pt.x), short(pt.y));
    if (msg->hwnd == hwnd) {
      PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, where);
      return false;
    }
    if (window) {
      const UnitTable& units = window->units();
      if (auto position = engine.UnitPositionOf(units, msg->hwnd, false)) {
        auto record = units.RecordAt(*position);
        const UnitTypeDescriptor* type = record ? engine.TypeOf(record->type()) : nullptr;
        if (type && (type->stateFlags & typeflag::kPassive)) {
          PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, where);
          return true;
        }
      }
    }
  }

  if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) return HandleKeyDown(msg);
  return false;
}

}  // namespace kavrel
