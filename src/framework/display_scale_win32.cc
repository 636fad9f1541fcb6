#include "framework/display_scale_win32.h"

namespace kavrel {

namespace {

template <class Fn>
Fn UserFunction(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    using Fn = UINT(WINAPI*)();
    if (auto forSystem = UserFunction<Fn>("GetDpiForSystem"))
      if (UINT d = forSystem()) return int(d);
    int d = kDesignDpi;
    if (HDC screen = GetDC(nullptr)) {
      d = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
    return d > 0 ? d : kDesignDpi;
  }();
  return dpi;
}

int DpiOfWindow(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn forWindow = UserFunction<Fn>("GetDpiForWindow");
  if (forWindow && hwnd)
    if (UINT d = forWindow(hwnd)) return int(d);
  return SystemDpi();
}

int DrawnDpi(HWND hwnd) {
  if (HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr)
    if (LRESULT d = SendMessageW(root, kDrawnDpiMessage, 0, 0); d > 0) return int(d);
  return DpiOfWindow(hwnd);
}

int LayoutDpi(int dpi) {
#ifdef KAVREL_FONTS_ONLY_SCALED
  (void)dpi;
  return kDesignDpi;
#else
  return dpi;
#endif
}

int MetricForDpi(int index, int dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const Fn forDpi = UserFunction<Fn>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, UINT(dpi));
  // Without it the system's metrics are those of the system DPI.
  return BetweenDpis(GetSystemMetrics(index), SystemDpi(), dpi);
}

SIZE OuterSizeForDpi(int designWidth, int designHeight, DWORD style, DWORD exStyle, bool menu, int dpi) {
  if (dpi == kDesignDpi) return {designWidth, designHeight};
  using Fn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const Fn adjust = UserFunction<Fn>("AdjustWindowRectExForDpi");
  auto frame = [&](int at) {
    RECT r{0, 0, 0, 0};
    if (adjust) {
      adjust(&r, style, menu, exStyle, UINT(at));
    } else {
      AdjustWindowRectEx(&r, style, menu, exStyle);
      r = {BetweenDpis(r.left, SystemDpi(), at), BetweenDpis(r.top, SystemDpi(), at),
           BetweenDpis(r.right, SystemDpi(), at), BetweenDpis(r.bottom, SystemDpi(), at)};
    }
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  const SIZE design = frame(kDesignDpi), scaled = frame(dpi);
  return {ToDpi(designWidth - design.cx, dpi) + scaled.cx, ToDpi(designHeight - design.cy, dpi) + scaled.cy};
}

HFONT CreateDefaultFontForDpi(int dpi) {
  const int system = SystemDpi();
  if (dpi == system) return nullptr;
  LOGFONTW font{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) != sizeof font) return nullptr;
  font.lfHeight = ScaleLength(font.lfHeight, dpi, system);
  font.lfWidth = ScaleLength(font.lfWidth, dpi, system);
  return CreateFontIndirectW(&font);
}

}  // namespace kavrel
