// The main window of the real Kavrel.exe against its design: the window
// itself, its 21 units and their lists.
#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

// The room a text takes in its unit's font as the design gives it, made here
// at `dpi` (the decorative label's own, every other unit's the default GUI
// font), wrapped within `width` as a button wraps, else on one line.
SIZE Needed(const std::string& gbk, const ExpectedUnit& e, int dpi, int width) {
  LOGFONTW f{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof f, &f);
  f.lfHeight = MulDiv(f.lfHeight, dpi, DisplayDpi());  // the stock font is the display's
  if (e.record == 1) f = {AtDpi(-35, dpi), 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"\x534e\x6587\x884c\x6977"};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, CreateFontIndirectW(&f));
  RECT r{0, 0, width, 0};
  DrawTextW(dc, FromGbk(gbk).c_str(), -1, &r,
            DT_CALCRECT | DT_NOPREFIX | (e.kind == UnitKind::Button ? DT_WORDBREAK : DT_SINGLELINE));
  DeleteObject(SelectObject(dc, old));
  ReleaseDC(nullptr, dc);
  return {r.right, r.bottom};
}

class MainWindow : public KavrelTest {
 protected:
  // Every unit's rectangle is the design's at `dpi`, within a pixel where
  // that is not 96.
  void ExpectDesignGeometry(int dpi) {
    const int slack = dpi == 96 ? 0 : 1;
    for (const ExpectedUnit& e : ExpectedUnits()) {
      SCOPED_TRACE(testing::Message() << "record " << e.record << " at " << dpi << " dpi");
      HWND u = Unit(e.id);
      ASSERT_TRUE(u);
      RECT r = RectInParent(u);
      EXPECT_NEAR(r.left, AtDpi(e.left, dpi), slack);
      EXPECT_NEAR(r.top, AtDpi(e.top, dpi), slack);
      EXPECT_NEAR(r.right - r.left, AtDpi(e.width, dpi), slack);
      // A drop-down box shows only its edit part; its list is checked apart.
      if (e.kind != UnitKind::ComboBox) {
        EXPECT_NEAR(r.bottom - r.top, AtDpi(e.height, dpi), slack);
      }
      RECT inWindow{};
      GetWindowRect(u, &inWindow);
      MapWindowPoints(nullptr, app->main(), reinterpret_cast<POINT*>(&inWindow), 2);
      EXPECT_NEAR(inWindow.left, AtDpi(e.clientLeft, dpi), slack);
      EXPECT_NEAR(inWindow.top, AtDpi(e.clientTop, dpi), slack);
    }
  }
};

TEST_F(MainWindow, IsACentredFixedWindowWithCaptionAndMinimiseButton) {
  HWND w = app->main();
  EXPECT_EQ(ClassName(w), L"WTWindow");
  EXPECT_EQ(WindowText(w), text::kCaption);
  RECT r{};
  GetWindowRect(w, &r);
  const int width = r.right - r.left, height = r.bottom - r.top, dpi = DisplayDpi();
  if (dpi == 96) {
    EXPECT_EQ(width, 482);
    EXPECT_EQ(height, 309);
  }
  RECT client{};  // the design's: 482 x 309 less Wine's frame at 96 dpi
  GetClientRect(w, &client);
  EXPECT_NEAR(client.right, AtDpi(472, dpi), dpi == 96 ? 0 : 1);
  EXPECT_NEAR(client.bottom, AtDpi(280, dpi), dpi == 96 ? 0 : 1);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2) << "stored left is 50";
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2) << "stored top is 50";

  LONG style = Style(w);
  LONG ex = GetWindowLongW(w, GWL_EXSTYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  for (LONG bit : {WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN, WS_VISIBLE}) EXPECT_TRUE(style & bit) << std::hex << bit;
  for (LONG bit : {WS_MAXIMIZEBOX, WS_THICKFRAME, WS_CHILD, LONG(WS_POPUP), WS_DISABLED, WS_MINIMIZE, WS_MAXIMIZE})
    EXPECT_FALSE(style & bit) << std::hex << bit;
  EXPECT_TRUE(ex & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(ex & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
  // Its own taskbar button: not owned by the hidden owner window. (Its
  // icon is not read here: Wine answers WM_GETICON from another process
  // with 0.)
  EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);

}

TEST_F(MainWindow, HasTheTwentyOneUnitsAsDesigned) {
  int units = 0;
  for (HWND window : Descendants(app->main()))
    if (!IsClass(GetParent(window), L"ComboBox")) ++units;  // a combo box's edit field is part of it
  EXPECT_EQ(units, 21);

  for (const ExpectedUnit& e : ExpectedUnits()) {
    SCOPED_TRACE(testing::Message() << "record " << e.record << ", unit " << std::hex << e.id);
    HWND u = Unit(e.id);
    ASSERT_TRUE(u) << "no " << ToGbk(ClassOf(e.kind)) << " at " << std::dec << e.left << "," << e.top;
    EXPECT_EQ(GetParent(u), e.parent ? Unit(e.parent) : app->main());
    EXPECT_EQ(GetDlgCtrlID(u), ControlId(e.record));
    EXPECT_EQ(WindowText(u), e.text);

    LONG style = Style(u);
    EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE), WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, e.tabStop);
    EXPECT_FALSE(style & WS_DISABLED);
    switch (e.kind) {
      case UnitKind::Button:
        EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON);
        EXPECT_EQ(style & (BS_MULTILINE | BS_CENTER | BS_VCENTER), BS_MULTILINE | BS_CENTER | BS_VCENTER);
        break;
      case UnitKind::ComboBox:
        // (The system hands WS_VSCROLL on to the box's list.)
        EXPECT_EQ(style & 0x03, CBS_DROPDOWN);
        EXPECT_EQ(style & (CBS_AUTOHSCROLL | CBS_SORT), CBS_AUTOHSCROLL);
        break;
      case UnitKind::GroupBox:
        EXPECT_EQ(style & 0x0F, BS_GROUPBOX);
        EXPECT_EQ(style & BS_CENTER, BS_RIGHT);
        break;
      case UnitKind::Label:
        EXPECT_FALSE(style & WS_BORDER);
        EXPECT_EQ(GetWindowLongW(u, GWL_EXSTYLE), 0);
        break;
      case UnitKind::ShapeBox: break;
    }
  }
  ExpectDesignGeometry(DisplayDpi());
}

// Among units of one parent an earlier record lies above a later one, so
// the decorative label covers the panel it overlaps.
TEST_F(MainWindow, StacksTheUnitsOfEachParentInRecordOrder) {
  for (HWND parent : {app->main(), Unit(kPanelShape), Unit(kGroupBox), Unit(kInnerShape)}) {
    ASSERT_TRUE(parent);
    std::vector<HWND> expected;
    for (const ExpectedUnit& e : ExpectedUnits())
      if ((e.parent ? Unit(e.parent) : app->main()) == parent) expected.push_back(Unit(e.id));
    EXPECT_EQ(ChildrenInZOrder(parent), expected) << "children of " << ToGbk(ClassName(parent));
  }
}

TEST_F(MainWindow, ComboBoxesStartEmptyWithTheirDesignedLists) {
  // A system combo box made as the design asks (160 high with its list, the
  // default GUI font, one pixel more per entry) shows what the system makes
  // of that request: Wine, for one, keeps the font's entry height.
  const int dpi = DisplayDpi();
  HWND reference = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, 0,
                                   AtDpi(136, dpi), AtDpi(160, dpi), nullptr, nullptr, nullptr, nullptr);
  SendMessageW(reference, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageW(reference, CB_SETITEMHEIGHT, 0, SendMessageW(reference, CB_GETITEMHEIGHT, 0, 0) + AtDpi(1, dpi));
  LRESULT entryHeight = SendMessageW(reference, CB_GETITEMHEIGHT, 0, 0);
  RECT referenceDropped{};
  SendMessageW(reference, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&referenceDropped));
  DestroyWindow(reference);

  for (uint32_t id : {kConnectionNameBox, kAddressBox, kMaskBox, kGatewayBox, kPreferredDnsBox, kAlternateDnsBox}) {
    SCOPED_TRACE(testing::Message() << "combo box " << std::hex << id);
    HWND box = Unit(id);
    ASSERT_TRUE(box);
    EXPECT_EQ(ComboEntries(box), ExpectedEntries(id));
    EXPECT_EQ(WindowText(box), "");
    DWORD_PTR current = 0, height = 0;
    SendMessageTimeoutW(box, CB_GETCURSEL, 0, 0, SMTO_BLOCK, 5000, &current);
    // The name box's entry 0 is chosen first, then the empty content replaces
    // the edit text.
    EXPECT_EQ(LRESULT(current), id == kConnectionNameBox ? 0 : CB_ERR);
    SendMessageTimeoutW(box, CB_GETITEMHEIGHT, 0, 0, SMTO_BLOCK, 5000, &height);
    EXPECT_EQ(LRESULT(height), entryHeight);
    RECT dropped{};
    SendMessageTimeoutW(box, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped), SMTO_BLOCK, 5000, nullptr);
    EXPECT_EQ(dropped.bottom - dropped.top, referenceDropped.bottom - referenceDropped.top)
        << "made 160 high, not the 20 of its template";
  }
}

// What fits its unit at 96 dpi fits at the display's DPI, measured in the
// unit's font: captions, the DHCP button's four lines, the entries in their
// lists. "MAC" and "GW", which their 16-pixel labels cut at 96 dpi, are cut
// no more than there; no combo box reaches over another unit.
TEST_F(MainWindow, WhatFitsAtDesignSizeFitsAtTheDisplaysScale) {
  const int dpi = DisplayDpi(), scrollBar = GetSystemMetrics(SM_CXVSCROLL);
  for (const ExpectedUnit& e : ExpectedUnits()) {
    SCOPED_TRACE(testing::Message() << "record " << e.record << " at " << dpi << " dpi");
    const bool combo = e.kind == UnitKind::ComboBox;
    RECT room{}, box{}, other{}, both{};  // in the unit at this DPI
    GetClientRect(Unit(e.id), &room);
    if (combo && SendMessageTimeoutW(Unit(e.id), CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&box), SMTO_BLOCK, 5000, nullptr))
      room.right = box.right - box.left - scrollBar;
    const SIZE design{combo ? e.width - MulDiv(scrollBar, 96, dpi) : e.width, combo ? 100 : e.height};
    for (const std::string& text : combo ? ExpectedEntries(e.id) : std::vector<std::string>{e.text}) {
      if (text.empty()) continue;
      const SIZE atDesign = Needed(text, e, 96, design.cx), atDpi = Needed(text, e, dpi, room.right);
      const bool fits = atDesign.cx <= design.cx && atDesign.cy <= design.cy;
      EXPECT_TRUE(fits ? atDpi.cx <= room.right && atDpi.cy <= room.bottom
                       : double(room.right) / atDpi.cx >= double(design.cx) / atDesign.cx - 0.05)
          << Readable(text) << (fits ? " does not fit" : " is cut more");
    }
    GetWindowRect(Unit(e.id), &box);
    for (const ExpectedUnit& o : ExpectedUnits())
      EXPECT_FALSE(combo && o.id != e.id && o.kind != UnitKind::ShapeBox && o.kind != UnitKind::GroupBox &&
                   GetWindowRect(Unit(o.id), &other) && IntersectRect(&both, &box, &other))
          << "over " << o.record;
  }
}

// Moved to a monitor of 144 dpi and back, as Windows tells it with
// WM_DPICHANGED (which Wine never sends): the design at 144 dpi, then the
// 96-dpi window again; ten more round trips hold no GDI object more.
TEST_F(MainWindow, FollowsTheMonitorsDpiThereAndBack) {
  if (DisplayDpi() != 96) GTEST_SKIP() << "starts at 96 dpi";
  RECT before{}, after{};
  GetWindowRect(app->main(), &before);
  ASSERT_TRUE(app->MoveToDpi(96, 144));
  ExpectDesignGeometry(144);
  ASSERT_TRUE(app->MoveToDpi(144, 96));
  // Counted with every paint done (UpdateWindow waits for the program's).
  auto painted = [&] {
    RedrawWindow(app->main(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return CountGdiObjects(app->process());
  };
  const std::optional<int> gdi = painted();
  ASSERT_TRUE(gdi);
  for (int trip = 0; trip < 10; ++trip) ASSERT_TRUE(app->MoveToDpi(96, 144) && app->MoveToDpi(144, 96));
  GetWindowRect(app->main(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  ExpectDesignGeometry(96);
  // Wine's own caches may hold one object less or more for a moment; one a
  // trip would be ten.
  EXPECT_TRUE(WaitUntil([&] { return painted() <= gdi; }, 5000)) << *gdi << " GDI objects before, " << *painted();
}

TEST_F(MainWindow, PickingAnEntryShowsItsExactText) {
  HWND name = Unit(kConnectionNameBox);
  ASSERT_TRUE(name);
  ASSERT_TRUE(app->Pick(name, 1));
  EXPECT_EQ(WindowText(name), text::kLocal1);
  ASSERT_TRUE(app->Pick(name, 16));
  EXPECT_EQ(WindowText(name), "") << "the trailing empty entries empty the box";
  HWND address = Unit(kAddressBox);
  ASSERT_TRUE(address);
  ASSERT_TRUE(app->Pick(address, 2));
  EXPECT_EQ(WindowText(address), "192.168.2.");
}

}  // namespace
}  // namespace kavrel::e2e
