// GetUnitProperty and SetUnitProperty on live windows and on templates.
#include <gtest/gtest.h>

#include "app/runtime_app_win32.h"
#include "commands/runtime_heap.h"
#include "engine_test_support.h"
#include "window/property_access.h"
#include "window/window_unit_win32.h"

namespace kavrel::engine_test {
namespace {

std::string TakeText(PropertyBits bits) {
  char* text = const_cast<char*>(PropertyText(bits));
  std::string s = text ? text : "<null>";
  Free(text);
  return s;
}

class EnginePropertyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareEngine();
    WindowProps p;
    p.caption = "props";
    p.border = 2;
    p.startPosition = 0;
    p.escCloses = 1;
    design_ = NewWindow(p, {40, 30, 320, 240});
    panel_ = NewUnit(design_, kPanelType, {10, 20, 200, 150});
    design_.units.push_back(panel_);
    BoxProps named;
    named.text = "192.168.0.1";
    box_ = NewUnit(design_, kBoxType, {7, 9, 60, 22}, kUnitVisible | kUnitTabStop, panel_.id, named);
    box_.tag = "t";
    design_.units.push_back(box_);
    design_.units[1].children = {box_.id};
    empty_ = NewUnit(design_, kBoxType, {100, 5, 30, 20});
    design_.units.push_back(empty_);
    window_ = &Install(design_);
    ASSERT_TRUE(Load(*window_));
    blocks_ = OutstandingBlocks();
  }
  void TearDown() override {
    Engine().DestroyAllWindows();
    Pump();
    EXPECT_EQ(OutstandingBlocks(), blocks_);
  }

  PropertyBits Get(UnitId unit, int32_t index, int32_t selector = -1) {
    return Engine().GetUnitProperty(design_.id, unit, index, selector);
  }
  void Set(UnitId unit, int32_t index, uintptr_t low, int32_t selector = -1) {
    Engine().SetUnitProperty(design_.id, unit, index, selector, low, 0);
  }

  WindowDesign design_;
  UnitDesign panel_, box_, empty_;
  WindowTemplate* window_ = nullptr;
  int64_t blocks_ = 0;
};

TEST_F(EnginePropertyTest, CommonPropertiesLiveAndFromTheTemplate) {
  // A unit: relative to its container's client area.
  EXPECT_EQ(Get(box_.id, 0), 7u);
  EXPECT_EQ(Get(box_.id, 1), 9u);
  EXPECT_EQ(Get(box_.id, 2), 60u);
  EXPECT_EQ(Get(box_.id, 3), 22u);
  EXPECT_EQ(Get(box_.id, 5), 1u);
  EXPECT_EQ(Get(box_.id, 6), 0u);
  EXPECT_EQ(TakeText(Get(box_.id, 4)), "t");
  // The window: screen coordinates; the outer size includes the frame.
  HWND hwnd = WindowHandle(design_.id);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(int32_t(Get(0, 0)), r.left);
  EXPECT_EQ(int32_t(Get(0, 1)), r.top);
  EXPECT_EQ(Get(0, 2), 320u);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_GT(Get(0, 3), uint64_t(client.bottom));

  // Live changes show in live reads...
  Set(box_.id, 0, 30);
  Set(box_.id, 6, 1);
  Set(box_.id, 5, 0);
  EXPECT_EQ(Get(box_.id, 0), 30u);
  EXPECT_EQ(Get(box_.id, 1), 9u);
  EXPECT_EQ(Get(box_.id, 6), 1u);
  EXPECT_EQ(Get(box_.id, 5), 0u);
  // ...and the template answers once the window is gone.
  DestroyWindow(hwnd);
  EXPECT_EQ(Get(box_.id, 0), 7u);
  EXPECT_EQ(Get(box_.id, 5), 1u);
  EXPECT_EQ(Get(box_.id, 6), 0u);
  EXPECT_EQ(Get(0, 0), 40u);
  Set(box_.id, 0, 99);  // nothing is alive to change
  EXPECT_EQ(Get(box_.id, 0), 7u);
}

// On a monitor of 144 dpi the program reads and writes positions and sizes
// in the design's units, as the template holds them.
TEST_F(EnginePropertyTest, PositionsAndSizesStayInTheDesignsUnitsAtAnyDpi) {
  HWND hwnd = WindowHandle(design_.id);
  RECT r;
  GetWindowRect(hwnd, &r);
  RECT at144{r.left, r.top, r.left + 480, r.top + 360};
  SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&at144));
  EXPECT_EQ(Get(0, 2), 320u);
  EXPECT_EQ(Get(0, 3), 240u);
  Set(0, 2, 300);
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, 450);
  EXPECT_EQ(Get(0, 2), 300u);
}

TEST_F(EnginePropertyTest, OwnTextsAreFreshBlocksOrNull) {
  PropertyBits first = Get(box_.id, 8);
  PropertyBits second = Get(box_.id, 8);
  EXPECT_NE(first, second);
  EXPECT_EQ(TakeText(first), "192.168.0.1");
  EXPECT_EQ(TakeText(second), "192.168.0.1");
  EXPECT_EQ(Get(empty_.id, 8), 0u);
  EXPECT_EQ(Get(box_.id, 9), 0u);
  EXPECT_EQ(Get(box_.id, 40), 0u);  // past the type's properties
}

TEST_F(EnginePropertyTest, WindowOwnProperties) {
  EXPECT_EQ(TakeText(Get(0, 8)), "props");
  EXPECT_EQ(Get(0, 9), 2u);            // border
  EXPECT_EQ(Get(0, 10), 0xFF000000u);  // background colour
  EXPECT_EQ(Get(0, 8 + 14), 1u);       // Esc closes
  EXPECT_EQ(Get(0, 8 + 12), 0u);       // no icon: an empty byte array
  Set(0, 8, reinterpret_cast<uintptr_t>("renamed"));
  char text[32] = {};
  GetWindowTextA(WindowHandle(design_.id), text, sizeof text);
  EXPECT_STREQ(text, "renamed");
  EXPECT_EQ(TakeText(Get(0, 8)), "renamed");
  Set(0, 8 + 1, 9);  // clamped to the last border kind
  EXPECT_EQ(Get(0, 9), 6u);
  EXPECT_TRUE(GetWindowLongA(WindowHandle(design_.id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(EnginePropertyTest, FontsWithMemberSelectors) {
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  EXPECT_EQ(int32_t(Get(box_.id, 10, 0)), gui.lfHeight);  // no font of its own
  EXPECT_EQ(TakeText(Get(box_.id, 10, 6)), gui.lfFaceName);

  FontMembers written;
  written.height = -24;
  written.bold = 1;
  written.underline = 1;
  written.faceName = reinterpret_cast<uintptr_t>("");
  Set(box_.id, 10, reinterpret_cast<uintptr_t>(&written));
  auto* read = reinterpret_cast<FontMembers*>(uintptr_t(Get(box_.id, 10, -1)));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->height, -24);
  EXPECT_EQ(read->bold, 1);
  EXPECT_EQ(read->italic, 0);
  EXPECT_EQ(read->underline, 1);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(read->points, MulDiv(24, 72, GetDeviceCaps(screen, LOGPIXELSY)));
  ReleaseDC(nullptr, screen);
  EXPECT_STREQ(reinterpret_cast<const char*>(read->faceName), "\xcb\xce\xcc\xe5");  // 宋体
  Free(reinterpret_cast<void*>(read->faceName));
  Free(read);
  Set(box_.id, 10, 1, 2);  // italic on
  EXPECT_EQ(Get(box_.id, 10, 2), 1u);
  EXPECT_EQ(int32_t(Get(box_.id, 10, 0)), -24);
}

TEST_F(EnginePropertyTest, AChangeThatNeedsTheUnitMadeAgain) {
  Box* before = BoxOf(design_.id, box_.id);
  ASSERT_TRUE(before);
  HWND panel = BoxOf(design_.id, panel_.id)->hwnd();
  const int32_t controlId = before->controlId;
  Set(box_.id, 9, 1);
  Box* after = BoxOf(design_.id, box_.id);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->props.number, 1);
  EXPECT_EQ(after->props.text, "192.168.0.1");  // the rest comes from the saved properties
  EXPECT_EQ(GetParent(after->hwnd()), panel);
  EXPECT_EQ(after->controlId, controlId);
  EXPECT_EQ(Get(box_.id, 0), 7u);
  EXPECT_EQ(Get(box_.id, 9), 1u);
  EXPECT_TRUE(IsWindowVisible(after->hwnd()));
}

TEST_F(EnginePropertyTest, AUnitMadeAgainInsideItsOwnMessageStaysAlive) {
  // The old box ends once its message returns, after the new one has taken
  // its place: that end must not clear the new box's slots.
  Box* before = BoxOf(design_.id, box_.id);
  ASSERT_TRUE(before);
  before->whileHandling = [this] { Set(box_.id, 9, 1); };
  SendMessageA(before->hwnd(), kBoxRunMessage, 0, 0);
  Pump();
  Box* after = BoxOf(design_.id, box_.id);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->props.number, 1);
  EXPECT_EQ(Get(box_.id, 9), 1u);
  Set(box_.id, 8, reinterpret_cast<uintptr_t>("again"));
  EXPECT_EQ(TakeText(Get(box_.id, 8)), "again");
}

TEST_F(EnginePropertyTest, PointersFromTheStandardList) {
  // The unit's stored pointer data is 4 zero bytes: position 0.
  auto* block = reinterpret_cast<uint8_t*>(uintptr_t(Get(box_.id, 7)));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LoadU32(block + 4), 4u);
  EXPECT_EQ(LoadU32(block + 8), 0u);
  Free(block);
}

}  // namespace
}  // namespace kavrel::engine_test
