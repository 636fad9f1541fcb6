#include "window/window_style.h"

namespace kavrel {

uint32_t FrameStyleBits(const WindowProps& props, bool child) {
  uint32_t style = 0;
  if (props.border != 0) {
    if (!props.caption.empty() || props.controlBox) {
      style |= wstyle::kCaption;
      if (props.controlBox) style |= wstyle::kSysMenu;
    }
    // The frame bit a top-level window gets is 0x00400000 (the dialog frame).
    if (!child) style |= wstyle::kDlgFrame;
  }
  if (props.maxButton) style |= wstyle::kMaximizeBox;
  if (props.minButton) style |= wstyle::kMinimizeBox;
  return style;
}

WindowPlacement ComputeWindowPlacement(const WindowProps& props, const WindowPlacementInput& in) {
  WindowPlacement out;
  out.style = in.extraStyle | wstyle::kClipChildren | FrameStyleBits(props, in.child);
  out.left = in.rect.left;
  out.top = in.rect.top;
  if (props.border != 0 && in.child) out.exStyle = wstyle::kExDlgModalFrame;
  switch (props.border) {
    case 1:
      out.style |= wstyle::kThickFrame;
      break;
    case 3:
      out.style |= wstyle::kThickFrame;
      out.exStyle |= wstyle::kExToolWindow;
      break;
    case 4:
      out.exStyle |= wstyle::kExToolWindow;
      break;
    case 5:
      out.style |= wstyle::kThickFrame;
      out.exStyle |= wstyle::kExClientEdge;
      break;
    case 6:
      out.exStyle |= wstyle::kExClientEdge;
      break;
    default:
      break;
  }
  if (!in.child) {
    switch (props.startPosition) {
      case 1:
        out.left = (in.screenWidth - in.rect.width) / 2;
        out.top = (in.screenHeight - in.rect.height) / 2;
        break;
      case 2:
        out.style |= wstyle::kMinimize;
        break;
      case 3:
        if (out.style & wstyle::kThickFrame) out.style |= wstyle::kMaximize;
        break;
      default:
        break;
    }
  }
  if (in.child) {
    out.style = (out.style & ~wstyle::kThickFrame) | wstyle::kChild;
  } else if (in.hasOwner) {
    out.style = (out.style & ~(wstyle::kPopup | wstyle::kChild)) | wstyle::kPopup;
  }
  return out;
}

}  // namespace kavrel
