// Window styles from the window's own properties: every border kind, the
// caption rule, start positions, child and owned windows.
#include <gtest/gtest.h>

#include "base/display_scale.h"
#include "window/window_style.h"

namespace kavrel {
namespace {

using namespace wstyle;

WindowPlacement Place(const WindowProps& p, WindowPlacementInput in = {}) {
  if (in.rect.width == 0) in.rect = {50, 50, 482, 309};
  if (in.screenWidth == 0) {
    in.screenWidth = 1024;
    in.screenHeight = 768;
  }
  return ComputeWindowPlacement(p, in);
}

WindowProps Props(uint32_t border, uint32_t startPosition = 0) {
  WindowProps p;
  p.border = border;
  p.startPosition = startPosition;
  p.caption = "Kavrel";
  return p;
}

TEST(WindowStyle, EachBorderKindOfATopLevelWindow) {
  constexpr uint32_t kFrame = kClipChildren | kCaption | kSysMenu | kMinimizeBox;
  struct Case {
    uint32_t border;
    uint32_t style;
    uint32_t exStyle;
  } cases[] = {
      {0, kClipChildren | kMinimizeBox, 0},
      {1, kFrame | kThickFrame, 0},
      {2, kFrame, 0},
      {3, kFrame | kThickFrame, kExToolWindow},
      {4, kFrame, kExToolWindow},
      {5, kFrame | kThickFrame, kExClientEdge},
      {6, kFrame, kExClientEdge},
  };
  for (const Case& c : cases) {
    WindowPlacement w = Place(Props(c.border));
    EXPECT_EQ(w.style, c.style) << "border " << c.border;
    EXPECT_EQ(w.exStyle, c.exStyle) << "border " << c.border;
  }
}

TEST(WindowStyle, CaptionNeedsATextOrTheControlBox) {
  WindowProps p = Props(2);
  p.caption.clear();
  p.controlBox = 0;
  p.minButton = 0;
  // Only the frame bit 0x00400000 is left of the caption.
  EXPECT_EQ(Place(p).style, kClipChildren | kDlgFrame);
  p.caption = "x";
  EXPECT_EQ(Place(p).style, kClipChildren | kCaption);
  p.caption.clear();
  p.controlBox = 1;
  EXPECT_EQ(Place(p).style, kClipChildren | kCaption | kSysMenu);
  p.maxButton = 1;
  p.minButton = 1;
  EXPECT_EQ(Place(p).style & (kMaximizeBox | kMinimizeBox), kMaximizeBox | kMinimizeBox);
}

TEST(WindowStyle, StartPositions) {
  WindowPlacement centred = Place(Props(6, 1));
  EXPECT_EQ(centred.left, 271);
  EXPECT_EQ(centred.top, 229);
  WindowPlacement stored = Place(Props(6, 0));
  EXPECT_EQ(stored.left, 50);
  EXPECT_EQ(stored.top, 50);
  EXPECT_TRUE(Place(Props(6, 2)).style & kMinimize);
  // Maximised only with a resizable frame.
  EXPECT_FALSE(Place(Props(6, 3)).style & kMaximize);
  EXPECT_TRUE(Place(Props(5, 3)).style & kMaximize);
  // Odd spare space is divided down; a window wider than the screen goes left of it.
  WindowPlacementInput in;
  in.rect = {0, 0, 1025, 769};
  WindowPlacement big = Place(Props(2, 1), in);
  EXPECT_EQ(big.left, 0);
  EXPECT_EQ(big.top, 0);
  in.rect = {0, 0, 1030, 100};
  EXPECT_EQ(Place(Props(2, 1), in).left, -3);
}

TEST(WindowStyle, ChildAndOwnedWindows) {
  WindowPlacementInput in;
  in.child = true;
  in.rect = {10, 20, 100, 100};
  WindowPlacement child = Place(Props(5, 1), in);
  EXPECT_EQ(child.style & (kChild | kThickFrame | kDlgFrame | kPopup), kChild | kDlgFrame);  // caption only
  EXPECT_EQ(child.exStyle, kExDlgModalFrame | kExClientEdge);
  EXPECT_EQ(child.left, 10);  // children are never centred
  EXPECT_EQ(child.top, 20);

  in = {};
  in.hasOwner = true;
  in.extraStyle = kDisabled;
  WindowPlacement owned = Place(Props(2), in);
  EXPECT_EQ(owned.style & (kPopup | kChild), kPopup);
  EXPECT_TRUE(owned.style & kDisabled);
}

TEST(WindowStyle, FrameBitsMatchTheComputedStyle) {
  for (uint32_t border = 0; border <= 6; ++border) {
    WindowProps p = Props(border);
    EXPECT_EQ(Place(p).style & kFrameStyleMask, FrameStyleBits(p, false)) << border;
  }
}

TEST(WindowStyle, HiddenOwner) {
  WindowProps p;
  EXPECT_FALSE(OwnedByHiddenOwner(false, false, p, 3));
  EXPECT_TRUE(OwnedByHiddenOwner(false, true, p, 3));
  p.taskbar = 0;
  EXPECT_TRUE(OwnedByHiddenOwner(false, false, p, 3));
  EXPECT_FALSE(OwnedByHiddenOwner(true, false, p, 3));
  EXPECT_FALSE(OwnedByHiddenOwner(false, true, p, 0));
}

}  // namespace
}  // namespace kavrel

// Design lengths round as MulDiv does, halves away from zero (font heights
// are negative), saturate, and at 96 dpi or more come back as they went.
TEST(DisplayScale, RoundsAsTheSystemDoesAndComesBackExactly) {
  EXPECT_EQ(kavrel::ToDpi(1, 144), 2);
  EXPECT_EQ(kavrel::ToDpi(-35, 144), -53);
  EXPECT_EQ(kavrel::ToDpi(INT32_MIN, 192), INT32_MIN);
  for (int dpi : {96, 100, 120, 144, 168, 192, 240, 288, 480})
    for (int v = -400; v <= 1200; ++v) ASSERT_EQ(kavrel::FromDpi(kavrel::ToDpi(v, dpi), dpi), v) << v << " at " << dpi;
}
