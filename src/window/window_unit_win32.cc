// The window unit: creation, placement and styles, icons, painting, closing
// and destruction. Its own properties and its input filtering have files of
// their own.
#include "window/window_unit_win32.h"

#include <optional>
#include <string>

#include "base/startup_profile.h"
#include "commands/library_interface.h"
#include "framework/display_scale_win32.h"
#include "framework/program_text_win32.h"
#include "templates/window_template.h"
#include "units/unit_interface_win32.h"
#include "pictures/picture_win32.h"
#include "window/window_engine_win32.h"
#include "window/window_style.h"
#include "window/window_type.h"

namespace kavrel {

namespace {

constexpr char kDefaultClass[] = "WTWindow";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;

WindowEngineWin32& Engine() { return WindowEngineWin32::Instance(); }

void EnsureClass(const wchar_t* name) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (GetClassInfoW(module, name, &wc)) return;
  wc.style = kClassStyle;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

COLORREF ResolveColour(uint32_t colour) {
  return colour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : COLORREF(colour);
}

HICON IconOfSize(const IconEntryChoice& choice, int size) {
  // CreateIconFromResourceEx takes the image bytes as writable but does not write them.
  auto* bits = const_cast<BYTE*>(choice.image.data());
  return CreateIconFromResourceEx(bits, DWORD(choice.image.size()), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
}

}  // namespace

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

  RuntimeHost& host = Engine().host();
  WindowPlacementInput in;
  in.extraStyle = extraStyle;
  in.child = unit->child_;
  in.hasOwner = owner != nullptr;
  in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // The stored rectangle is the design's at 96 dpi, drawn at the window's
  // DPI: until the window is there, its parent's or the system's.
  const bool hasMenu = !unit->child_ && menu != nullptr;
  SIZE size{};
  auto placeAt = [&](int dpi) {
    in.rect = {left, top, width, height};
    const WindowPlacement design = ComputeWindowPlacement(unit->props_, in);
    size = OuterSizeForDpi(width, height, design.style, design.exStyle, hasMenu, LayoutDpi(dpi));
    in.rect = {ToDpi(left, LayoutDpi(dpi)), ToDpi(top, LayoutDpi(dpi)), size.cx, size.cy};
    return ComputeWindowPlacement(unit->props_, in);
  };
  unit->dpi_ = unit->child_ ? DrawnDpi(parentOrOwner) : SystemDpi();
  WindowPlacement placement = placeAt(unit->dpi_);
  HWND parent = unit->child_ ? parentOrOwner : owner;
  if (!unit->child_ && OwnedByHiddenOwner(owner != nullptr, unit->modal_, unit->props_, host.showModeWord()))
    parent = host.hiddenOwner();

  const std::wstring className = WideText(unit->props_.className.empty() ? kDefaultClass : unit->props_.className);
  EnsureClass(className.c_str());
  HMENU menuOrId = unit->child_ ? reinterpret_cast<HMENU>(intptr_t(childId)) : menu;
  // The menu becomes the window's only with the window; on failure the
  // caller still owns it.
  if (!unit->CreateEx(placement.exStyle, className.c_str(), unit->props_.caption.c_str(), placement.style,
                      placement.left, placement.top, size.cx, size.cy, parent, menuOrId)) {
    delete unit;
    return nullptr;
  }
  HWND hwnd = unit->hwnd();
  unit->ApplyFrameStyle();
  // A top-level window takes the DPI of the monitor it was made on.
  if (!unit->child_ && DpiOfWindow(hwnd) != unit->dpi_) {
    unit->dpi_ = DpiOfWindow(hwnd);
    placement = placeAt(unit->dpi_);
  }
  RECT r;
  GetWindowRect(hwnd, &r);
  if (r.right - r.left != size.cx || r.bottom - r.top != size.cy || r.left != placement.left ||
      r.top != placement.top)
    SetWindowPos(hwnd, nullptr, placement.left, placement.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  unit->ApplyIcons();
  unit->ApplyShape();
  unit->ApplyDefaultFont(true);
  unit->ApplyAlwaysOnTop();
  unit->ApplyMovable();
  return unit;
}

WindowUnit::~WindowUnit() {
  if (scaledFont_) DeleteObject(scaledFont_);
  if (accelerator_) DestroyAcceleratorTable(accelerator_);
  if (largeIcon_) DestroyIcon(largeIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

WindowTemplate* WindowUnit::Template() const { return Engine().TemplateOf(windowId_); }

void WindowUnit::ApplyFrameStyle() {
  HWND hwnd = this->hwnd();
  WindowPlacementInput in;
  in.child = child_;
  in.hasOwner = (GetWindowLongW(hwnd, GWL_STYLE) & WS_POPUP) != 0;
  const WindowPlacement want = ComputeWindowPlacement(props_, in);
  constexpr uint32_t kStyleMask = kFrameStyleMask | wstyle::kThickFrame;
  constexpr uint32_t kExMask = wstyle::kExToolWindow | wstyle::kExClientEdge | wstyle::kExDlgModalFrame;
  const uint32_t style = uint32_t(GetWindowLongW(hwnd, GWL_STYLE));
  const uint32_t exStyle = uint32_t(GetWindowLongW(hwnd, GWL_EXSTYLE));
  const uint32_t newStyle = (style & ~kStyleMask) | (want.style & kStyleMask);
  const uint32_t newEx = (exStyle & ~kExMask) | (want.exStyle & kExMask);
  if (newStyle == style && newEx == exStyle) return;
  SetWindowLongW(hwnd, GWL_STYLE, LONG(newStyle));
  SetWindowLongW(hwnd, GWL_EXSTYLE, LONG(newEx));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void WindowUnit::ApplyIcons() {
  HICON large = nullptr;
  HICON small = nullptr;
  IconEntryChoice choice;
  if (!props_.icon.empty() && ChooseIconEntry(props_.icon, choice)) {
    large = IconOfSize(choice, MetricForDpi(SM_CXICON, dpi_));
    small = IconOfSize(choice, MetricForDpi(SM_CXSMICON, dpi_));
  }
  HICON oldLarge = largeIcon_;
  HICON oldSmall = smallIcon_;
  largeIcon_ = large;
  smallIcon_ = small;
  if (!large && !small) {
    // The program's own icons, which stay the runtime's.
    uintptr_t defaults[2] = {};
    CallLibrary(request::kDefaultIcons, reinterpret_cast<intptr_t>(defaults), 0);
    large = reinterpret_cast<HICON>(defaults[0]);
    small = reinterpret_cast<HICON>(defaults[1]);
  }
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large ? large : small));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : large));
  if (oldLarge) DestroyIcon(oldLarge);
  if (oldSmall) DestroyIcon(oldSmall);
  MarkProfile("icons-set");
}

void WindowUnit::ApplyDefaultFont(bool redraw) {
  // Kept for units and dialogs that ask their parent for its font.
  HFONT previous = scaledFont_;
  scaledFont_ = CreateDefaultFontForDpi(dpi_);
  HGDIOBJ shown = scaledFont_ ? HGDIOBJ(scaledFont_) : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(shown), redraw ? TRUE : FALSE);
  if (previous) DeleteObject(previous);
}

void WindowUnit::ChangeDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  const bool changed = dpi != dpi_;
  dpi_ = dpi;
  if (suggested)
    SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  if (changed) {
    ApplyDefaultFont(false);
    ApplyIcons();
    ApplyShape();
    stretched_.Reset();
    if (WindowTemplate* window = Template()) {
      UnitTable& units = window->units();
      for (uint32_t i = 1; i < units.count(); ++i)
        if (Window* unit = Engine().LiveObjectAt(units, i)) SendMessageW(unit->hwnd(), kUnitDpiMessage, WPARAM(dpi), 0);
    }
  }
  // One repaint for all of it.
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
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
  const bool topmost = (GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
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

void WindowUnit::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT clip;
  if (GetClipBox(dc, &clip) == ERROR) clip = client;
  const COLORREF colour = ResolveColour(props_.backColour);
  HRGN remaining = CreateRectRgnIndirect(&clip);
  // A picture only drawn stretched over the client area is decoded at the
  // scale the area needs and released once the stretched copy holds it
  // (KeptPicture says why); it is decoded again when the copy must be
  // drawn anew. A decode that failed is tried again at the next paint, and
  // a paint that cannot draw the picture draws the colour, that paint only.
  const bool stretched = props_.pictureMode == 3, fitted = props_.pictureMode == 2;
  const bool hasArea = client.right > 0 && client.bottom > 0;
  const CoverSize cover = stretched ? CoverSize{client.right, client.bottom} : CoverSize{};
  const bool copyHolds = (stretched || fitted) && stretched_.Holds(picture_, client, colour, fitted, dpi_);
  if (!props_.picture.empty() && hasArea && !pictureUnsound_ && !copyHolds && !picture_.Covers(cover)) {
    MarkProfile("background-decode");
    pictureUnsound_ = picture_.Load(props_.picture, cover) == KeptPicture::Loaded::kNotAPicture;
    MarkProfile("background-decoded");
  }
  if (picture_.empty() || !hasArea) {
    stretched_.Reset();  // no copy stays of what is not shown
  } else if (stretched || fitted) {
    // Shrunk or stretched: the same pixels under any clip. Once the
    // stretched copy holds the picture, its decoded pixels may go.
    stretched_.Draw(dc, picture_, client, colour, fitted, &remaining, dpi_);
    if (stretched && stretched_.Holds(picture_, client, colour, false, dpi_)) picture_.ReleasePixels();
  } else if (props_.pictureMode <= 1) {
    DrawPictureLayout(int32_t(props_.pictureMode), dc, picture_, client, clip, &remaining, colour, dpi_);
  }
  if (remaining) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRgn(dc, remaining, brush);
    DeleteObject(brush);
    DeleteObject(remaining);
  }
  MarkProfile("background-painted");
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
    WinHelpW(hwnd(), HelpFile().c_str(), HELP_QUIT, 0);
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
  RuntimeHost& host = Engine().host();
  ReEnableOthers();
  CallLibrary(request::kUnitGone, intptr_t(windowId_), 0);
  host.WindowDestroyed();
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
    case WM_DPICHANGED:
      ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kDrawnDpiMessage:
      return dpi_;
    case WM_SETFONT:
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
      if (!props_.picture.empty() && props_.pictureMode != 0) InvalidateRect(hwnd(), nullptr, TRUE);
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
  if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
    using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
    using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    auto fromWindow = reinterpret_cast<MonitorFromWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
    auto info = reinterpret_cast<GetMonitorInfoFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoW")));
    if (fromWindow && info) {
      if (HMONITOR monitor = fromWindow(hwnd, MONITOR_DEFAULTTONEAREST)) {
        MONITORINFOEXW mi{};
        mi.cbSize = sizeof mi;  // the form with the device name
        if (info(monitor, reinterpret_cast<MONITORINFO*>(&mi))) {
          work = mi.rcWork;
          found = true;
        }
      }
    }
  }
  if (!found) SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
               SWP_NOZORDER | SWP_SHOWWINDOW);
}

void WindowUnit::ShowAfterLoad(bool reload) {
  HWND hwnd = this->hwnd();
  if (reload) {
    ShowWindow(hwnd, SW_SHOW);
  } else if (Engine().host().showModeWord() != 0) {
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


}  // namespace kavrel
