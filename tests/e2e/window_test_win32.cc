// The main window of the real Kavrel.exe against its design: the window
// itself, its 21 units and their lists.
#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

class MainWindow : public KavrelTest {};

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

POINT OriginInClient(HWND unit, HWND main) {
  RECT r{};
  GetWindowRect(unit, &r);
  POINT p{r.left, r.top};
  ScreenToClient(main, &p);
  return p;
}

TEST_F(MainWindow, IsACentredFixedWindowWithCaptionAndMinimiseButton) {
  HWND w = app->main();
  EXPECT_EQ(ClassName(w), L"WTWindow");
  EXPECT_EQ(WindowText(w), text::kCaption);
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 482);
  EXPECT_EQ(r.bottom - r.top, 309);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 482) / 2) << "stored left is 50";
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 309) / 2) << "stored top is 50";

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
    RECT r = RectInParent(u);
    EXPECT_EQ(r.right - r.left, e.width);
    // A drop-down box shows only its edit part; its list is checked below.
    if (e.kind != UnitKind::ComboBox) {
      EXPECT_EQ(r.bottom - r.top, e.height);
    }
    POINT p = OriginInClient(u, app->main());
    EXPECT_EQ(p.x, e.clientLeft);
    EXPECT_EQ(p.y, e.clientTop);
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
  HWND reference = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, 0, 136, 160,
                                   nullptr, nullptr, nullptr, nullptr);
  SendMessageW(reference, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageW(reference, CB_SETITEMHEIGHT, 0, SendMessageW(reference, CB_GETITEMHEIGHT, 0, 0) + 1);
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
