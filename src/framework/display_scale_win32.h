// The display's DPI as the system tells it (base/display_scale.h has the
// lengths). The per-DPI functions of the system are looked up when first
// needed: where a system lacks them (Windows 7 and 8), the system DPI
// serves.
#pragma once

#include <windows.h>

#include "base/display_scale.h"

namespace kavrel {

// The DPI the system made its stock objects at.
int SystemDpi();
// The DPI of a window's monitor as the system says it, else the system DPI.
int DpiOfWindow(HWND hwnd);
// The DPI `hwnd`'s top-level window draws its design at: what that window
// answers kDrawnDpiMessage with, else DpiOfWindow.
int DrawnDpi(HWND hwnd);
inline constexpr UINT kDrawnDpiMessage = 0x8077;
// Sent to each unit of a window that now draws at another DPI (wParam).
inline constexpr UINT kUnitDpiMessage = 0x8078;

// The DPI a window drawn at `dpi` lays its units out at: the same. (Built
// with KAVREL_FONTS_ONLY_SCALED, for the screenshot check's counter-proof,
// it is 96: what a program shows that scales its fonts only.)
int LayoutDpi(int dpi);

// GetSystemMetrics as at `dpi`.
int MetricForDpi(int index, int dpi);

// The outer size of a window with these styles whose outer size at 96 dpi
// is `designWidth` x `designHeight`: its client area scaled, with the frame
// the system draws at `dpi`.
SIZE OuterSizeForDpi(int designWidth, int designHeight, DWORD style, DWORD exStyle, bool menu, int dpi);

// The font a unit without a font of its own shows at `dpi`: null where that
// is the stock GUI font itself (at the system DPI), else a new font of the
// stock font's face scaled from the system DPI to `dpi`, which the caller
// deletes.
HFONT CreateDefaultFontForDpi(int dpi);

}  // namespace kavrel
