// The window unit: the top-level window of a loaded window template. It
// paints its background, closes and goes away as its properties say, and
// filters the input of its units before dispatch (PreTranslateInput).
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "base/display_scale.h"
#include "commands/runtime_services.h"
#include "framework/window_win32.h"
#include "units/unit_type.h"
#include "pictures/picture.h"
#include "pictures/stretched_picture_win32.h"
#include "window/window_props.h"

namespace kavrel {

class WindowTemplate;

// Private notifications the units get after a load.
inline constexpr UINT kUnitsLoadedMessage = 0x806F;
inline constexpr UINT kWindowLoadedMessage = 0x8004;
inline constexpr UINT kFocusSettledMessage = 0x8076;

// Window events.
namespace window_event {
inline constexpr int32_t kCreated = 0;
inline constexpr int32_t kClose = 1;
inline constexpr int32_t kDestroy = 2;
inline constexpr int32_t kAfterCreated = 3;
inline constexpr int32_t kAfterCreated2 = 4;
inline constexpr int32_t kIdle = 7;
inline constexpr int32_t kQueryClose = 12;
}  // namespace window_event

// Menu items get command ids from here on, by table position.
inline constexpr UINT kMenuCommandBase = 0x1000;

class WindowUnit : public Window {
 public:
  // The create routine of the window type (interface 1).
  static Window* KAVREL_STDCALL Create(HWND parentOrOwner, const uint8_t* blob, int32_t blobSize, uint32_t extraStyle,
                                       HWND owner, int32_t childId, HMENU menu, int32_t left, int32_t top,
                                       int32_t width, int32_t height, WindowId window, UnitId ownRecord,
                                       int32_t childFlag);

  static WindowUnit* FromWindow(Window* window) { return dynamic_cast<WindowUnit*>(window); }

  WindowId windowId() const { return windowId_; }
  UnitId ownRecordId() const { return ownRecordId_; }
  const WindowProps& props() const { return props_; }
  bool loaded() const { return loaded_; }
  void SetLoaded() { loaded_ = true; }
  bool modal() const { return modal_; }

  // A modal window disables the other top-level windows of the table and
  // gives them back their state when it closes.
  void DisableOthers(const std::vector<HWND>& windows);
  void ReEnableOthers();

  void SetAccelerator(HACCEL accelerator);

  // Interfaces 6 and 4 of the window type for the window's own properties.
  bool GetOwnProperty(int32_t own, PropertyValue& value) const;
  bool SetOwnProperty(int32_t own, const PropertyValue& value);

  // The pre-translation order for messages to this window or its units;
  // true consumes the message.
  bool PreTranslateInput(MSG* msg);

  // Shows the window after a load.
  void ShowAfterLoad(bool reload);

  // The focus moves to the next (or previous) unit that takes it.
  void MoveFocus(bool forward);

  // The DPI the window draws its design at.
  int dpi() const { return dpi_; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalDestroy() override;

 private:
  WindowUnit() = default;
  ~WindowUnit() override;

  WindowTemplate* Template() const;
  void ApplyFrameStyle();
  void ApplyIcons();
  void ApplyShape();
  void ApplyDefaultFont(bool redraw);
  // WM_DPICHANGED: the suggested rectangle taken, every unit, font and kept
  // picture made again for the new DPI, and the whole window painted once.
  void ChangeDpi(int dpi, const RECT* suggested);
  void ApplyAlwaysOnTop();
  void ApplyMovable();
  void PaintBackground(HDC dc);
  bool OnClose();
  void OnDestroy();
  bool OnSetCursor(HWND over, int hitTest);
  void MaximiseOverWorkArea();
  bool HandleKeyDown(MSG* msg);
  bool HandleEnter(HWND focus, MSG* msg);
  bool HandleMnemonic(char c);
  void ShowHelp();
  std::wstring HelpFile() const;

  WindowProps props_;
  WindowId windowId_ = 0;
  UnitId ownRecordId_ = 0;
  bool child_ = false;
  bool modal_ = false;
  std::vector<std::pair<HWND, bool>> disabled_;  // (window, was enabled)
  HACCEL accelerator_ = nullptr;
  HICON largeIcon_ = nullptr;  // made here; the default icons are not ours
  HICON smallIcon_ = nullptr;
  HFONT font_ = nullptr;        // as WM_SETFONT gave it
  HFONT scaledFont_ = nullptr;  // the default font at a DPI not the system's; ours
  int dpi_ = kDesignDpi;
  KeptPicture picture_;
  StretchedPicture stretched_;  // the picture as layout 2 or 3 last drew it
  bool pictureUnsound_ = false;  // no picture file: not tried again until it changes
  bool loaded_ = false;
  bool helpStarted_ = false;
  // While either is set the veto events are not honoured.
  bool forceClose_ = false;
  bool forceClose2_ = false;
};

}  // namespace kavrel
