// The window's styles computed from its own properties, without Win32, so the
// rules for every border kind and start position are tested on the host.
#pragma once

#include <cstdint>

#include "templates/unit_template.h"
#include "window/window_props.h"

namespace kavrel {

// The Win32 style bits the rules use, by value.
namespace wstyle {
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kMinimize = 0x20000000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kDisabled = 0x08000000;
inline constexpr uint32_t kClipChildren = 0x02000000;
inline constexpr uint32_t kMaximize = 0x01000000;
inline constexpr uint32_t kCaption = 0x00C00000;
inline constexpr uint32_t kBorder = 0x00800000;
inline constexpr uint32_t kDlgFrame = 0x00400000;
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kThickFrame = 0x00040000;
inline constexpr uint32_t kMinimizeBox = 0x00020000;
inline constexpr uint32_t kMaximizeBox = 0x00010000;
inline constexpr uint32_t kTabStop = 0x00010000;

inline constexpr uint32_t kExDlgModalFrame = 0x00000001;
inline constexpr uint32_t kExTopmost = 0x00000008;
inline constexpr uint32_t kExToolWindow = 0x00000080;
inline constexpr uint32_t kExClientEdge = 0x00000200;
}  // namespace wstyle

struct WindowPlacementInput {
  uint32_t extraStyle = 0;  // WS_DISABLED / WS_TABSTOP from the record's flags
  bool child = false;
  bool hasOwner = false;  // an owner was given by the caller
  UnitRect rect;          // the outer rectangle as stored
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
};

struct WindowPlacement {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int32_t left = 0;
  int32_t top = 0;
};

WindowPlacement ComputeWindowPlacement(const WindowProps& props, const WindowPlacementInput& in);

// The bits that creation brings back into line with the properties after
// the window exists: caption, border, system menu and the two buttons.
inline constexpr uint32_t kFrameStyleMask =
    wstyle::kCaption | wstyle::kBorder | wstyle::kSysMenu | wstyle::kMinimizeBox | wstyle::kMaximizeBox;
uint32_t FrameStyleBits(const WindowProps& props, bool child);

// Whether a window with no owner of its own is owned by the hidden owner:
// modal windows and windows without a taskbar button are, unless the
// program's show-mode word is 0.
inline bool OwnedByHiddenOwner(bool ownerGiven, bool modal, const WindowProps& props, uint32_t showModeWord) {
  return !ownerGiven && (modal || props.taskbar == 0) && showModeWord != 0;
}

}  // namespace kavrel
