// Windows made from small templates: placement, styles, icons, units and
// their parents, stacking and visibility, the events of a load, closing with
// its vetoes, destruction, reloading, and the undo of a failed load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>

#include "../host/picture_samples.h"
#include "../host/template_test_support.h"
#include "app/runtime_app_win32.h"
#include "app_test_support.h"
#include "base/byte_writer.h"
#include "engine_test_support.h"
#include "window/window_unit_win32.h"

namespace kavrel::engine_test {
namespace {

WindowProps MainLike() {
  WindowProps p;
  p.caption = "Kavrel V1.2";
  p.border = 6;
  p.backColour = 0xFFFFFF;
  p.startPosition = 1;
  return p;
}

// The menus of this process. A user handle whose upper word is 0 stands for
// whatever object holds its table index, so every index can be asked.
int LiveMenus() {
  int n = 0;
  for (uintptr_t h = 0x20; h < 0x10000; h += 2) n += IsMenu(reinterpret_cast<HMENU>(h)) ? 1 : 0;
  return n;
}

class EngineWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareEngine(); }
  void TearDown() override {
    // Nothing of one test stays up for the next.
    Engine().DestroyAllWindows();
    Pump();
  }
};

TEST_F(EngineWindowTest, CentredOnTheScreen) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  WindowDesign design = NewWindow(MainLike(), {50, 50, 482, 309});
  WindowTemplate& window = Install(design);
  ASSERT_TRUE(Load(window));
  HWND hwnd = WindowHandle(design.id);
  ASSERT_TRUE(hwnd);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 271);
  EXPECT_EQ(r.top, 229);
  EXPECT_EQ(r.right - r.left, 482);
  EXPECT_EQ(r.bottom - r.top, 309);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "WTWindow");
  char caption[32] = {};
  GetWindowTextA(hwnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Kavrel V1.2");
  EXPECT_EQ(SendMessageA(hwnd, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);  // it has a taskbar button of its own
}

// An icon file of one 32 x 32 image, 32 bits per pixel.
std::vector<uint8_t> IconFile() {
  ByteWriter w;
  w.WriteU16(0);
  w.WriteU16(1);
  w.WriteU16(1);
  const uint32_t imageSize = 40 + 32 * 32 * 4 + 32 * 4;
  for (uint8_t b : {32, 32, 0, 0}) w.WriteU8(b);
  w.WriteU16(1);
  w.WriteU16(32);
  w.WriteU32(imageSize);
  w.WriteU32(22);
  w.WriteU32(40);
  w.WriteI32(32);
  w.WriteI32(64);
  w.WriteU16(1);
  w.WriteU16(32);
  for (int i = 0; i < 6; ++i) w.WriteU32(0);
  for (int i = 0; i < 32 * 32; ++i) w.WriteU32(0xFF2040C0);
  for (int i = 0; i < 32; ++i) w.WriteU32(0);
  return w.Take();
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bm{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bm.bmWidth;
}

TEST_F(EngineWindowTest, IconsFromTheTemplate) {
  WindowProps p = MainLike();
  p.icon = IconFile();
  WindowDesign design = NewWindow(p, {0, 0, 300, 200});
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  auto large = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
  auto small = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
  EXPECT_EQ(IconWidth(large), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconWidth(small), GetSystemMetrics(SM_CXSMICON));
  // Setting the property again replaces them.
  Engine().SetUnitProperty(design.id, 0, 8 + 12, -1, 0, 0);
  EXPECT_NE(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0)), large);

  // Damaged icon data: the program's default icons (this executable has none).
  WindowProps broken = MainLike();
  broken.icon = {0, 0, 1, 0, 1, 0};
  WindowDesign plain = NewWindow(broken, {0, 0, 300, 200});
  ASSERT_TRUE(Load(Install(plain)));
  EXPECT_EQ(SendMessageA(WindowHandle(plain.id), WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(EngineWindowTest, StylesOfEachBorderKind) {
  struct Case {
    uint32_t border;
    bool thick, tool, sunken;
  } cases[] = {{1, true, false, false}, {2, false, false, false}, {3, true, true, false},
               {4, false, true, false}, {5, true, false, true},  {6, false, false, true}};
  for (const Case& c : cases) {
    WindowProps p = MainLike();
    p.border = c.border;
    p.maxButton = 1;
    // Hidden: a window that was never shown goes away at once under Wine.
    WindowDesign design = NewWindow(p, {0, 0, 300, 200}, 0);
    ASSERT_TRUE(Load(Install(design)));
    HWND hwnd = WindowHandle(design.id);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, true) << c.border;
    EXPECT_TRUE(style & WS_SYSMENU) << c.border;
    EXPECT_TRUE(style & WS_MAXIMIZEBOX) << c.border;
    EXPECT_TRUE(style & WS_CLIPCHILDREN) << c.border;
    EXPECT_EQ((style & WS_THICKFRAME) != 0, c.thick) << c.border;
    EXPECT_EQ((ex & WS_EX_TOOLWINDOW) != 0, c.tool) << c.border;
    EXPECT_EQ((ex & WS_EX_CLIENTEDGE) != 0, c.sunken) << c.border;
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 300) << c.border;  // the outer size as stored
    DestroyWindow(hwnd);
  }
  // No border: the caption the system gives overlapped windows is taken away again.
  WindowProps bare = MainLike();
  bare.border = 0;
  WindowDesign design = NewWindow(bare, {0, 0, 200, 100}, 0);
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION, 0);
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
}

TEST_F(EngineWindowTest, MaximisedOverTheWorkAreaOrMinimised) {
  WindowProps p = MainLike();
  p.border = 1;
  p.startPosition = 3;
  WindowDesign big = NewWindow(p, {0, 0, 300, 200});
  ASSERT_TRUE(Load(Install(big)));
  RECT work, r;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(WindowHandle(big.id), &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
  p.startPosition = 2;
  WindowDesign small = NewWindow(p, {0, 0, 300, 200});
  ASSERT_TRUE(Load(Install(small)));
  EXPECT_TRUE(IsIconic(WindowHandle(small.id)));
}

TEST_F(EngineWindowTest, TopmostUnmovableAndOwnedWithoutTaskbar) {
  WindowProps p = MainLike();
  p.alwaysOnTop = 1;
  p.movable = 0;
  p.taskbar = 0;
  WindowDesign design = NewWindow(p, {0, 0, 300, 200}, 0);
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetMenuState(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND), UINT(-1));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), RuntimeApp::Instance().hiddenOwner());
}

TEST_F(EngineWindowTest, UnitsAreCreatedReparentedStackedAndShown) {
  WindowDesign design = NewWindow(MainLike(), {0, 0, 400, 300});
  UnitDesign panel = NewUnit(design, kPanelType, {10, 10, 300, 200});
  design.units.push_back(panel);
  UnitDesign first = NewUnit(design, kBoxType, {5, 5, 50, 20}, kUnitVisible, panel.id);
  design.units.push_back(first);
  UnitDesign second = NewUnit(design, kBoxType, {5, 30, 50, 20}, kUnitVisible, panel.id);
  design.units.push_back(second);
  UnitDesign onNextPage = NewUnit(design, kBoxType, {5, 60, 50, 20}, kUnitVisible, panel.id);
  design.units.push_back(onNextPage);
  UnitDesign hidden = NewUnit(design, kBoxType, {320, 10, 50, 20}, kUnitDisabled);
  design.units.push_back(hidden);
  design.units[1].children = {first.id, second.id, 0, onNextPage.id};
  ASSERT_TRUE(Load(Install(design)));
  const WindowId id = design.id;
  HWND hwnd = WindowHandle(id);

  // Created from the last record to the first, with ids 100, 110, ...
  const std::vector<std::pair<UnitId, int32_t>> order = {
      {hidden.id, 100}, {onNextPage.id, 110}, {second.id, 120}, {first.id, 130}, {panel.id, 140}};
  EXPECT_EQ(Creations(), order);

  Box* panelBox = BoxOf(id, panel.id);
  ASSERT_TRUE(panelBox);
  EXPECT_EQ(GetParent(panelBox->hwnd()), hwnd);
  EXPECT_EQ(GetParent(BoxOf(id, first.id)->hwnd()), panelBox->hwnd());
  EXPECT_EQ(GetParent(BoxOf(id, hidden.id)->hwnd()), hwnd);
  // Positions stay relative to the container's client area.
  RECT r;
  GetWindowRect(BoxOf(id, second.id)->hwnd(), &r);
  MapWindowPoints(nullptr, panelBox->hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 30);

  // Record order within each parent, the first record on top.
  EXPECT_EQ(GetWindow(panelBox->hwnd(), GW_CHILD), BoxOf(id, first.id)->hwnd());
  EXPECT_EQ(GetWindow(BoxOf(id, first.id)->hwnd(), GW_HWNDNEXT), BoxOf(id, second.id)->hwnd());
  EXPECT_EQ(GetWindow(BoxOf(id, second.id)->hwnd(), GW_HWNDNEXT), BoxOf(id, onNextPage.id)->hwnd());
  EXPECT_EQ(GetWindow(hwnd, GW_CHILD), panelBox->hwnd());

  EXPECT_TRUE(IsWindowVisible(BoxOf(id, first.id)->hwnd()));
  EXPECT_FALSE(IsWindowVisible(BoxOf(id, onNextPage.id)->hwnd()));  // second page of a paged container
  EXPECT_FALSE(IsWindowVisible(BoxOf(id, hidden.id)->hwnd()));
  EXPECT_FALSE(IsWindowEnabled(BoxOf(id, hidden.id)->hwnd()));
  EXPECT_FALSE(GetWindowLongA(BoxOf(id, hidden.id)->hwnd(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(IsWindowEnabled(BoxOf(id, first.id)->hwnd()));

  // Request 1014 knows the runtime's windows.
  EXPECT_EQ(RuntimeApp::Instance().LibraryCallback(1014, reinterpret_cast<intptr_t>(panelBox->hwnd()), 0), 1);
  EXPECT_EQ(RuntimeApp::Instance().LibraryCallback(1014, reinterpret_cast<intptr_t>(GetDesktopWindow()), 0), 0);
}

TEST_F(EngineWindowTest, EventsOfALoadInOrderWithUnitEventsBlocked) {
  WindowDesign design = NewWindow(MainLike(), {0, 0, 300, 200});
  design.units[0].bindings = {Bind(window_event::kCreated, 0), Bind(window_event::kAfterCreated, 1),
                              Bind(window_event::kAfterCreated2, 2), Bind(kEventFocusGained, 5)};
  UnitDesign box = NewUnit(design, kBoxType, {5, 5, 50, 20});
  box.bindings = {Bind(kBoxLoadedEvent, 3), Bind(kBoxSettledEvent, 4)};
  design.units.push_back(box);
  WindowTemplate& window = Install(design);
  ASSERT_TRUE(Load(window));
  std::vector<int> order;
  for (const HandlerCall& c : Calls()) order.push_back(c.handler);
  // 0x806F came while events were blocked; the window has the focus once
  // shown; 0x8076 comes last.
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 5, 4}));
  EXPECT_EQ(Calls()[0].sourceWindow, design.id);
  EXPECT_EQ(Calls()[0].sourceUnit, design.units[0].id);
  EXPECT_EQ(Calls()[4].sourceUnit, box.id);
  EXPECT_FALSE(RuntimeApp::Instance().EventsBlocked());

  // Loading it again only brings it forward.
  HWND hwnd = WindowHandle(design.id);
  ShowWindow(hwnd, SW_MINIMIZE);
  ResetHandlers();
  ASSERT_TRUE(Load(window));
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(Creations().empty());
  EXPECT_EQ(WindowHandle(design.id), hwnd);
  EXPECT_FALSE(IsIconic(hwnd));
}

TEST_F(EngineWindowTest, ClosingAsksEvents12And1) {
  WindowDesign design = NewWindow(MainLike(), {0, 0, 300, 200});
  design.units[0].bindings = {Bind(window_event::kQueryClose, 0), Bind(window_event::kClose, 1),
                              Bind(window_event::kDestroy, 2)};
  UnitDesign box = NewUnit(design, kBoxType, {5, 5, 50, 20});
  design.units.push_back(box);
  WindowTemplate& window = Install(design);
  ASSERT_TRUE(Load(window));
  HWND hwnd = WindowHandle(design.id);
  ResetHandlers();

  SetResult(0, {true, 0});  // event 12 refuses
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(0), 1);
  EXPECT_EQ(CallCount(1), 0);

  SetResult(0, {true, 1});  // a non-zero value lets it go on
  SetResult(1, {true, 0});  // event 1 refuses
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(1), 1);

  SetResult(1, {});  // no value: not a refusal
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(CallCount(2), 1);  // destruction raised event 2
  // The template is as before the load: no live slots, common properties from it.
  EXPECT_FALSE(Engine().IsWindowAlive(design.id));
  EXPECT_EQ(window.units().SlotsAt(0).object, nullptr);
  EXPECT_EQ(window.units().SlotsAt(1).object, nullptr);
  EXPECT_FALSE(window.HasSavedTable());

  // And it loads again from there.
  ResetHandlers();
  ASSERT_TRUE(Load(window));
  EXPECT_NE(WindowHandle(design.id), nullptr);
  EXPECT_EQ(Creations().size(), 1u);
}

TEST_F(EngineWindowTest, FailedLoadIsUndone) {
  WindowDesign design = NewWindow(MainLike(), {0, 0, 300, 200});
  design.units.push_back(NewUnit(design, kBrokenType, {5, 5, 50, 20}));
  design.units.push_back(NewUnit(design, kBoxType, {5, 30, 50, 20}));
  WindowTemplate& window = Install(design);
  EXPECT_FALSE(Load(window));
  EXPECT_EQ(Creations().size(), 1u);  // the box after it came first
  EXPECT_FALSE(Engine().IsWindowAlive(design.id));
  for (uint32_t i = 0; i < window.units().count(); ++i) EXPECT_EQ(window.units().SlotsAt(i).object, nullptr);
  EXPECT_FALSE(window.HasSavedTable());
  EXPECT_FALSE(RuntimeApp::Instance().EventsBlocked());

  WindowDesign unknown = NewWindow(MainLike(), {0, 0, 300, 200});
  unknown.units.push_back(NewUnit(unknown, kUnknownType, {5, 5, 50, 20}));
  EXPECT_FALSE(Load(Install(unknown)));
  EXPECT_FALSE(Engine().IsWindowAlive(unknown.id));

  WindowProps tooNew = MainLike();
  WindowDesign badBlob = NewWindow(tooNew, {0, 0, 300, 200});
  badBlob.units[0].properties[0] = 7;  // a version above the window's highest
  EXPECT_FALSE(Load(Install(badBlob)));

  // The menu built for a window whose own properties do not decode goes
  // with the failed load.
  const int menus = LiveMenus();
  HMENU probe = CreateMenu();
  ASSERT_EQ(LiveMenus(), menus + 1);  // the count sees a menu
  DestroyMenu(probe);
  WindowDesign withMenu = NewWindow(tooNew, {0, 0, 300, 200});
  withMenu.units[0].properties[0] = 7;
  UnitDesign item;
  item.id = 0x26000000 | (withMenu.units[0].id & 0xFFFF00) | 1;  // a menu item entry
  item.type = unit_types::kMenuItem;
  item.menu = MenuItemDesign{0, 0, "File", kNoHandlerOffset, {}};
  withMenu.units.push_back(item);
  EXPECT_FALSE(Load(Install(withMenu)));
  EXPECT_EQ(LiveMenus(), menus);

  // An owner that is not a window.
  WindowTemplate& fine = Install(NewWindow(MainLike(), {0, 0, 100, 100}));
  EXPECT_FALSE(Engine().LoadWindow(fine, false, reinterpret_cast<HWND>(intptr_t(0x7FFF0)), false));
}

TEST_F(EngineWindowTest, ModalWindowDisablesTheOthersUntilItCloses) {
  WindowDesign first = NewWindow(MainLike(), {0, 0, 300, 200});
  ASSERT_TRUE(Load(Install(first)));
  WindowDesign dialog = NewWindow(MainLike(), {0, 0, 200, 100});
  ASSERT_TRUE(Engine().LoadWindow(Install(dialog), false, nullptr, true));
  HWND owner = WindowHandle(first.id);
  HWND modal = WindowHandle(dialog.id);
  EXPECT_FALSE(IsWindowEnabled(owner));
  EXPECT_TRUE(IsWindowEnabled(modal));
  EXPECT_EQ(GetWindow(modal, GW_OWNER), RuntimeApp::Instance().hiddenOwner());
  SendMessageA(modal, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(modal));
  EXPECT_TRUE(IsWindowEnabled(owner));
}

COLORREF Quadrants(int x, int y) {
  static const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  return colours[(y / 2) * 2 + x / 2];
}
COLORREF Red(int, int) { return RGB(200, 0, 0); }

TEST_F(EngineWindowTest, WhiteBackgroundAndPictureModes) {
  WindowProps plain = MainLike();
  plain.border = 0;
  plain.startPosition = 0;
  WindowDesign white = NewWindow(plain, {0, 0, 200, 100});
  ASSERT_TRUE(Load(Install(white)));
  {
    Capture capture(WindowHandle(white.id));
    EXPECT_EQ(capture.Count({0, 0, 200, 100}, RGB(255, 255, 255)), 200 * 100);
  }

  WindowProps stretched = plain;
  stretched.picture = Bmp(4, 4, &Quadrants);
  stretched.pictureMode = 3;
  WindowDesign four = NewWindow(stretched, {0, 0, 200, 100});
  ASSERT_TRUE(Load(Install(four)));
  {
    Capture capture(WindowHandle(four.id));
    EXPECT_EQ(capture.At(20, 10), RGB(255, 0, 0));
    EXPECT_EQ(capture.At(180, 10), RGB(0, 255, 0));
    EXPECT_EQ(capture.At(20, 90), RGB(0, 0, 255));
    EXPECT_EQ(capture.At(180, 90), RGB(255, 255, 0));
    EXPECT_EQ(capture.Count({0, 0, 200, 100}, RGB(255, 255, 255)), 0);  // nothing left to fill
  }

  // Centred and shrunk: 800 x 600 in 400 x 400 is 400 x 300 at (0, 50).
  WindowProps fitted = plain;
  fitted.backColour = RGB(0, 0, 160);
  fitted.picture = Bmp(800, 600, &Red);
  fitted.pictureMode = 2;
  WindowDesign fit = NewWindow(fitted, {0, 0, 400, 400});
  ASSERT_TRUE(Load(Install(fit)));
  {
    Capture capture(WindowHandle(fit.id));
    EXPECT_EQ(capture.Count({0, 0, 400, 50}, RGB(0, 0, 160)), 400 * 50);
    EXPECT_EQ(capture.Count({0, 350, 400, 400}, RGB(0, 0, 160)), 400 * 50);
    EXPECT_EQ(capture.Count({0, 50, 400, 350}, RGB(200, 0, 0)), 400 * 300);
  }

  // What an icon leaves transparent shows the window's colour.
  WindowProps icon = plain;
  icon.backColour = RGB(255, 0, 0);
  auto corner = [](int x, int y) { return x < 4 && y < 4; };
  icon.picture = samples::MakeIconFile(
      1, {{16, 16, 16, 4, samples::MakeIconDib(16, 16, 4, [&](int x, int y) { return corner(x, y) ? 0u : 1u; }, corner)}});
  icon.pictureMode = 3;
  WindowDesign cornered = NewWindow(icon, {0, 0, 160, 80});
  ASSERT_TRUE(Load(Install(cornered)));
  {
    Capture capture(WindowHandle(cornered.id));
    EXPECT_EQ(capture.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(capture.At(100, 50), RGB(17, 53, 91));  // colour table entry 1
  }

  // The system button face stands for 0xFF000000.
  WindowProps face = plain;
  face.backColour = 0xFF000000;
  WindowDesign faced = NewWindow(face, {0, 0, 100, 100});
  ASSERT_TRUE(Load(Install(faced)));
  {
    Capture capture(WindowHandle(faced.id));
    EXPECT_EQ(capture.At(50, 50), GetSysColor(COLOR_BTNFACE));
  }
}

// Every paint of a stretched picture gives the pixels of the whole picture
// stretched once, whatever part of the window the paint covers: a unit that
// asks for the background under it (a clipped, partial paint) gets exactly
// what the window shows there.
COLORREF Weave(int x, int y) { return RGB((x * 37) & 255, (y * 53) & 255, ((x + y) * 11) & 255); }

void ExpectTheSameUnderAnyClip(uint32_t mode) {
  WindowProps props = MainLike();
  props.border = 0;
  props.startPosition = 0;
  props.picture = Bmp(480, 250, &Weave);
  props.pictureMode = mode;
  WindowDesign design = NewWindow(props, {0, 0, 200, 100});
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  Capture whole(hwnd);
  const RECT part{37, 13, 111, 58};
  test::Canvas canvas(200, 100, RGB(0, 0, 0));
  IntersectClipRect(canvas.dc(), part.left, part.top, part.right, part.bottom);
  SendMessageA(hwnd, WM_PRINTCLIENT, WPARAM(canvas.dc()), PRF_CLIENT | PRF_ERASEBKGND);
  int differing = 0;
  for (int y = part.top; y < part.bottom; ++y)
    for (int x = part.left; x < part.right; ++x) differing += canvas.At(x, y) != whole.At(x, y) ? 1 : 0;
  EXPECT_EQ(differing, 0) << "mode " << mode;
  EXPECT_EQ(canvas.Count({0, 0, 200, part.top}, RGB(0, 0, 0)), 200 * part.top);  // outside the clip: untouched
}

TEST_F(EngineWindowTest, AStretchedPictureIsTheSameUnderAnyClip) {
  ExpectTheSameUnderAnyClip(3);  // stretched
  ExpectTheSameUnderAnyClip(2);  // shrunk to fit
}

// The stretched copy is drawn again whenever what it shows changes: after
// each change the whole window shows what a window made with the same
// properties shows.
TEST_F(EngineWindowTest, AStretchedPictureFollowsColourSizeAndPicture) {
  WindowProps props = MainLike();
  props.border = 0;
  props.startPosition = 0;
  props.picture = samples::MakePng(2, 1, {200, 100, 0, 128, 10, 20, 30, 64});  // half-transparent
  props.pictureMode = 3;
  WindowDesign design = NewWindow(props, {0, 0, 200, 100});
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  auto matches = [&](const char* change, int width, int height) {
    WindowDesign fresh = NewWindow(props, {0, 0, width, height});
    ASSERT_TRUE(Load(Install(fresh)));
    Capture now(hwnd), expected(WindowHandle(fresh.id));
    int differing = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) differing += now.At(x, y) != expected.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0) << change;
  };
  matches("first paint", 200, 100);
  Engine().SetUnitProperty(design.id, 0, 8 + 2, -1, props.backColour = RGB(160, 0, 0), 0);
  matches("colour", 200, 100);
  SetWindowPos(hwnd, nullptr, 0, 0, 240, 130, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  matches("size", 240, 130);
  props.picture = Bmp(30, 20, &Weave);
  ByteWriter block;  // a byte-array value: 1, the count, the bytes
  block.WriteU32(1);
  block.WriteByteString(props.picture);
  Engine().SetUnitProperty(design.id, 0, 8 + 3, -1, reinterpret_cast<uintptr_t>(block.bytes().data()), 0);
  matches("picture", 240, 130);
}

// A borderless window at the top left with the program's background
// stretched over it.
WindowProps StretchedBackground() {
  WindowProps props = MainLike();
  props.border = 0;
  props.startPosition = 0;
  props.picture = test::ReadGenerated("background.jpg");
  props.pictureMode = 3;
  return props;
}

// After a shrink and a grow, and after GDI was short for a moment (all but a
// few of the process's GDI objects taken) while the window had to decode its
// picture again and make its stretched copy anew: whatever of that failed,
// the next paint shows what a window made then shows.
TEST_F(EngineWindowTest, AStretchedPictureComesBackAfterAPaintThatFailed) {
  const WindowProps props = StretchedBackground();
  WindowDesign design = NewWindow(props, {0, 0, 200, 100});
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  auto resize = [&](int width, int height, int spare) {
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (spare < 0) return;
    test::Canvas canvas(width, height, RGB(0, 0, 0));
    test::GdiShortage shortage(spare);
    SendMessageW(hwnd, WM_PRINTCLIENT, WPARAM(canvas.dc()), PRF_CLIENT | PRF_ERASEBKGND);
  };
  auto matches = [&](int width, int height) {
    WindowDesign fresh = NewWindow(props, {0, 0, width, height});
    ASSERT_TRUE(Load(Install(fresh)));
    Capture now(hwnd), expected(WindowHandle(fresh.id));
    int differing = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) differing += now.At(x, y) != expected.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    DestroyWindow(WindowHandle(fresh.id));
  };
  { Capture first(hwnd); }
  resize(120, 70, -1);
  matches(120, 70);
  resize(476, 280, -1);
  matches(476, 280);
  for (int spare = 0; spare <= 8; ++spare) {
    SCOPED_TRACE(testing::Message() << spare << " GDI objects to spare");
    const int width = 200 + 4 * (spare + 1);  // a new size: decoded and copied anew
    resize(width, 100, spare);
    matches(width, 100);
  }
}

// Two grids side by side, 8 white pixels apart, as a PNG file of the host.
void SaveSideBySide(const test::PixelGrid& left, const test::PixelGrid& right, const std::string& hostPath) {
  const int width = left.width() + 8 + right.width(), height = std::max(left.height(), right.height());
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 255);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = x < left.width() ? left.At(x, y) : right.At(x - left.width() - 8, y);
      if (c == CLR_INVALID) continue;
      uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
      p[0] = GetRValue(c), p[1] = GetGValue(c), p[2] = GetBValue(c);
    }
  const samples::Bytes png = samples::MakePng(width, height, rgba);
  std::ofstream("Z:" + hostPath, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
}

// A JPEG stretched over the window is decoded at the smallest reduced scale
// that covers the client area, and again when the area outgrows it. Its
// pixels are not those of the whole picture stretched the same way, but
// within 40 dB PSNR of them. The two, whole on the left, are saved side by
// side beside the build's screenshot.
TEST_F(EngineWindowTest, AStretchedJpegIsDecodedOnlyAsLargeAsItIsShown) {
  constexpr int kWidth = 476, kHeight = 280;  // the main window's client area
  const RECT client{0, 0, kWidth, kHeight};
  const WindowProps props = StretchedBackground();
  WindowDesign design = NewWindow(props, {0, 0, 120, 70});
  ASSERT_TRUE(Load(Install(design)));
  HWND hwnd = WindowHandle(design.id);
  { Capture small(hwnd); }  // painted at the small size first
  SetWindowPos(hwnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Capture shown(hwnd);
  KeptPicture picture;
  ASSERT_EQ(picture.Load(props.picture), KeptPicture::Loaded::kYes);
  StretchedPicture stretched;
  test::Canvas whole(kWidth, kHeight, RGB(0, 0, 0));
  ASSERT_TRUE(stretched.Draw(whole.dc(), picture, client, RGB(255, 255, 255), false, nullptr));
  const double psnr = test::Psnr(shown, whole, client);
  std::printf("the reduced decode against the whole one: %.2f dB PSNR over the client area\n", psnr);
  EXPECT_GE(psnr, 40.0);
  EXPECT_LT(psnr, std::numeric_limits<double>::infinity()) << "the picture was decoded whole";
  SaveSideBySide(whole, shown, std::string(KAVREL_GENERATED_DIR) + "/../background-reduced-decode.png");
}

}  // namespace
}  // namespace kavrel::engine_test

namespace kavrel::engine_test {
namespace {

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { ExitProcess(99); }

// The loop ends with WM_QUIT 0 once the last window is gone, but only a
// loop that has been entered asks for it.
KAVREL_CHILD_SCENARIO(EngineLoop) {
  PrepareEngine();
  SetTimer(nullptr, 0, 20000, &GiveUp);
  RuntimeApp& app = RuntimeApp::Instance();
  WindowDesign design = NewWindow(WindowProps{}, {0, 0, 200, 100});
  WindowDesign other = NewWindow(WindowProps{}, {0, 0, 200, 100});
  Install(other);  // never loaded
  if (!Load(Install(design))) return 1;
  HWND hwnd = WindowHandle(design.id);
  if (args.at(0) == "before") {
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    MSG quit;
    if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return 2;
    app.RunMessageLoop();  // nothing alive: returns at once
    return 5;
  }
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  app.RunMessageLoop();
  return 7 + app.quitCode();
}

TEST(EngineLoop, LastWindowEndsAnEnteredLoop) {
  EXPECT_EQ(test::RunChild("EngineLoop", {"before"}), std::optional<DWORD>(5));
  EXPECT_EQ(test::RunChild("EngineLoop", {"after"}), std::optional<DWORD>(7));
}

}  // namespace
}  // namespace kavrel::engine_test
