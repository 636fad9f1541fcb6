// Combo box units: kinds and styles, list filling, the content rule at
// creation, live reads after a pick and after typing, every setter, colours
// and events.
#include <gtest/gtest.h>

#include "templates/property_blob.h"
#include "unit_test_support.h"
#include "units/combo_box_props.h"
#include "units/combo_box_win32.h"
#include "units/unit_descriptors.h"

namespace kavrel::unit_test {
namespace {

const UnitTypeDescriptor& Type() { return kComboBoxUnitType; }

DWORD StyleOf(Window* unit) { return DWORD(GetWindowLongA(unit->hwnd(), GWL_STYLE)); }

LRESULT Send(Window* unit, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(unit->hwnd(), msg, w, l); }

COMBOBOXINFO InfoOf(Window* unit) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(unit->hwnd(), &info);
  return info;
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> values) {
  std::vector<uint8_t> bytes;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
  return bytes;
}

// The entry heights a box asks for and the control's answers, in order: Wine
// keeps the entry height of a box that is not owner-drawn, so what the unit
// asks is what can be checked.
struct HeightTalk {
  UINT msg;
  LPARAM asked;
  LRESULT answer;
};
std::vector<HeightTalk> g_talk;
HHOOK g_talkHook = nullptr;

LRESULT CALLBACK RecordHeights(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && (m->message == CB_GETITEMHEIGHT || m->message == CB_SETITEMHEIGHT) && m->wParam == 0)
    g_talk.push_back({m->message, m->lParam, m->lResult});
  return CallNextHookEx(g_talkHook, code, wParam, lParam);
}

class HeightRecorder {
 public:
  HeightRecorder() {
    g_talk.clear();
    g_talkHook = SetWindowsHookExA(WH_CALLWNDPROCRET, &RecordHeights, nullptr, GetCurrentThreadId());
  }
  ~HeightRecorder() { UnhookWindowsHookEx(g_talkHook); }
  // What each CB_SETITEMHEIGHT asked, beside the height answered last before it.
  std::vector<std::pair<LRESULT, LPARAM>> Sets() const {
    std::vector<std::pair<LRESULT, LPARAM>> sets;
    LRESULT last = -1;
    for (const HeightTalk& t : g_talk) {
      if (t.msg == CB_GETITEMHEIGHT) last = t.answer;
      else sets.emplace_back(last, t.asked);
    }
    return sets;
  }
};

class ComboBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallHook(); }
  void TearDown() override { RemoveHook(); }

  Window* Make(const ComboBoxProps& p, int height = 20, UnitId id = 0x1601001A) {
    return CreateUnit(Type(), p.Save(), parent.hwnd(), 10, 10, 200, height, id, WS_VISIBLE | WS_TABSTOP);
  }
  // Names as the connection box holds them, trailing blanks included.
  static ComboBoxProps Names() {
    ComboBoxProps p;
    p.entries = {"LAN", "LAN 1 ", "LAN 2 ", ""};
    p.currentEntry = 0;
    return p;
  }
  // Types into the edit field as the keyboard would.
  static void TypeText(Window* box, const std::string& text) {
    HWND edit = InfoOf(box).hwndItem;
    for (char ch : text) SendMessageA(edit, WM_CHAR, WPARAM(uint8_t(ch)), 1);
    Pump();
  }
  // Drops the list and clicks the entry, as the mouse would.
  static void Pick(Window* box, int index) {
    Send(box, CB_SHOWDROPDOWN, TRUE);
    Pump();
    HWND list = InfoOf(box).hwndList;
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_MOUSEMOVE, 0, at);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
  }

  TestParent parent;
};

TEST_F(ComboBoxTest, KindsStylesAndTheDropDownHeight) {
  Window* box = nullptr;
  {
    CreationRecorder created;
    box = CreateUnit(Type(), {}, parent.hwnd(), 10, 10, 120, 20);
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(created.windows.empty());
    // The control keeps the scroll bar for its list; the request carries it.
    const CreationRecorder::Created& first = created.windows.front();
    EXPECT_EQ(first.className, "COMBOBOX");
    EXPECT_EQ(first.style & (WS_VSCROLL | CBS_AUTOHSCROLL | WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | 3),
              DWORD(WS_VSCROLL | CBS_AUTOHSCROLL | WS_CHILD | WS_CLIPSIBLINGS | CBS_DROPDOWN));
    // Created 160 high, list included.
    EXPECT_EQ(first.height, kDropDownHeight);
  }
  char name[32] = {};
  GetClassNameA(box->hwnd(), name, sizeof name);
  EXPECT_STREQ(name, "ComboBox");
  EXPECT_FALSE(StyleOf(box) & CBS_SORT);
  // Only the edit part shows until it drops down.
  RECT shown{};
  GetWindowRect(box->hwnd(), &shown);
  EXPECT_LT(shown.bottom - shown.top, 40);

  ComboBoxProps p;
  p.kind = 0;
  p.sorted = 1;
  Window* simple = Make(p, 90);
  ASSERT_NE(simple, nullptr);
  EXPECT_EQ(StyleOf(simple) & 3, DWORD(CBS_SIMPLE));
  EXPECT_TRUE(StyleOf(simple) & CBS_SORT);
  GetWindowRect(simple->hwnd(), &shown);
  EXPECT_EQ(shown.bottom - shown.top, 90);
  p.kind = 7;  // clamped to the drop-down list
  Window* list = Make(p);
  EXPECT_EQ(StyleOf(list) & 3, DWORD(CBS_DROPDOWNLIST));

  std::vector<uint8_t> newer = p.Save();
  newer[0] = 4;
  EXPECT_EQ(CreateUnit(Type(), newer, parent.hwnd(), 0, 0, 10, 10), nullptr);
}

TEST_F(ComboBoxTest, ListFillingItemDataEntryHeightAndLimit) {
  ComboBoxProps p;
  p.entries = {"a", "b", "c"};
  p.entryValues = Words({11, 22});  // shorter than the list
  p.currentEntry = 7;
  p.maxLength = 5;
  p.extraHeight = 6;
  Window* box = nullptr;
  {
    HeightRecorder heights;
    box = Make(p);
    const auto sets = heights.Sets();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_GT(sets[0].first, 0);
    EXPECT_EQ(sets[0].second, sets[0].first + 6);
  }
  Window* reference = Make(ComboBoxProps{});
  ASSERT_NE(box, nullptr);
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(Send(box, CB_GETCOUNT), 3);
  EXPECT_EQ(Send(box, CB_GETITEMDATA, 0), 11);
  EXPECT_EQ(Send(box, CB_GETITEMDATA, 1), 22);
  EXPECT_EQ(Send(box, CB_GETITEMDATA, 2), 0);
  // The stored index is clamped and stored back.
  EXPECT_EQ(Send(box, CB_GETCURSEL), 2);
  EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kCurrentEntry)), 2);
  // The limit holds for typing.
  Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  TypeText(box, "1234567");
  EXPECT_EQ(GetText(Type(), box, int32_t(ComboBoxOwn::kContent)), "12345");
  // The entry texts read back as a TextList.
  const PropertyValue entries = GetProperty(Type(), box, int32_t(ComboBoxOwn::kEntries));
  BlobSaver saver;
  saver.TextList(p.entries);
  const std::vector<uint8_t> expected = saver.Take();
  ASSERT_EQ(entries.word1, expected.size());
  EXPECT_EQ(std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(entries.word0),
                                 reinterpret_cast<const uint8_t*>(entries.word0) + entries.word1),
            expected);
  EXPECT_EQ(GetProperty(Type(), box, int32_t(ComboBoxOwn::kEntryValues)).word1, 8u);
  EXPECT_EQ(GetProperty(Type(), reference, int32_t(ComboBoxOwn::kEntryValues)).word0, 0u);
}

TEST_F(ComboBoxTest, ContentReplacesTheCurrentEntryUnlessTheBoxIsAList) {
  Window* names = Make(Names());
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(Send(names, CB_GETCURSEL), 0);
  EXPECT_EQ(WindowText(names->hwnd()), "");
  EXPECT_EQ(GetText(Type(), names, int32_t(ComboBoxOwn::kContent)), "");

  ComboBoxProps p = Names();
  p.content = "abc";
  p.selectionStart = 1;
  p.selectionLength = 1;
  Window* withText = Make(p);
  EXPECT_EQ(WindowText(withText->hwnd()), "abc");
  EXPECT_EQ(GetText(Type(), withText, int32_t(ComboBoxOwn::kSelectedText)), "b");

  p.kind = 2;
  p.currentEntry = 1;
  Window* list = Make(p);
  EXPECT_EQ(GetText(Type(), list, int32_t(ComboBoxOwn::kContent)), "LAN 1 ");
  EXPECT_EQ(GetInt(Type(), list, int32_t(ComboBoxOwn::kSelectionStart)), 0);
  EXPECT_EQ(GetText(Type(), list, int32_t(ComboBoxOwn::kSelectedText)), "");
}

TEST_F(ComboBoxTest, ContentAfterAPickAndAfterTyping) {
  Window* box = Make(Names());
  ASSERT_NE(box, nullptr);
  Hooks().Clear();
  Pick(box, 1);
  // Event 0 comes one posted message later, with the entry in place.
  EXPECT_EQ(Hooks().Count(0), 0);
  Pump();
  EXPECT_EQ(Hooks().Count(0), 1);
  EXPECT_EQ(GetText(Type(), box, int32_t(ComboBoxOwn::kContent)), "LAN 1 ");
  EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kCurrentEntry)), 1);
  EXPECT_GE(Hooks().Count(2), 1);  // dropped down
  EXPECT_GE(Hooks().Count(3), 1);  // closed up

  // Choosing an empty entry empties the field.
  Pick(box, 3);
  Pump();
  EXPECT_EQ(GetText(Type(), box, int32_t(ComboBoxOwn::kContent)), "");

  Hooks().Clear();
  TypeText(box, " 10.0.0.1 ");
  EXPECT_EQ(GetText(Type(), box, int32_t(ComboBoxOwn::kContent)), " 10.0.0.1 ");
  EXPECT_GE(Hooks().Count(1), 1);
  EXPECT_EQ(Hooks().Count(0), 0);
}

TEST_F(ComboBoxTest, SelectionSettersAndLiveReads) {
  ComboBoxProps p;
  p.content = "abc";
  Window* box = Make(p);
  ASSERT_NE(box, nullptr);
  auto selection = [&] { return uint32_t(Send(box, CB_GETEDITSEL)); };
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kSelectionStart), IntValue(-1));
  EXPECT_EQ(selection(), (3u << 16) | 3u);  // the caret after "c", nothing selected
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kSelectionLength), IntValue(-1));
  EXPECT_EQ(selection(), 3u << 16);  // everything
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kSelectionStart), IntValue(1));
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kSelectionLength), IntValue(1));
  EXPECT_EQ(selection(), (2u << 16) | 1u);
  EXPECT_EQ(GetText(Type(), box, int32_t(ComboBoxOwn::kSelectedText)), "b");
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kSelectedText), TextValue(std::string("XY")));
  EXPECT_EQ(WindowText(box->hwnd()), "aXYc");
  EXPECT_EQ(selection(), (3u << 16) | 3u);
  // Reads ask the control.
  Send(box, CB_SETEDITSEL, 0, MAKELPARAM(0, 2));
  EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kSelectionStart)), 0);
  EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kSelectionLength)), 2);
  EXPECT_EQ(GetText(Type(), box, int32_t(ComboBoxOwn::kSelectedText)), "aX");
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kSelectionStart), IntValue(-7));
  EXPECT_EQ(LOWORD(selection()), 0);
}

TEST_F(ComboBoxTest, OtherSettersClampApplyOrAskForRecreation) {
  ComboBoxProps p = Names();
  p.extraHeight = 0;
  Window* box = Make(p);
  ASSERT_NE(box, nullptr);

  SetProperty(Type(), box, int32_t(ComboBoxOwn::kMaxLength), IntValue(40000));
  EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kMaxLength)), 32767);
  {
    HeightRecorder heights;
    SetProperty(Type(), box, int32_t(ComboBoxOwn::kExtraHeight), IntValue(40000));
    EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kExtraHeight)), 32767);
    SetProperty(Type(), box, int32_t(ComboBoxOwn::kExtraHeight), IntValue(-2));
    EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kExtraHeight)), 0);
    SetProperty(Type(), box, int32_t(ComboBoxOwn::kExtraHeight), IntValue(3));
    const auto sets = heights.Sets();
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].second, sets[0].first + 32767);
    EXPECT_EQ(sets[1].second, sets[1].first - 32767);
    EXPECT_EQ(sets[2].second, sets[2].first + 3);
  }
  {
    // A font sets the entry height; the extra pixels stay on top of it.
    HeightRecorder heights;
    SetProperty(Type(), box, int32_t(ComboBoxOwn::kFont), BytesValue(FontBytes(-30, 400, "Tahoma")));
    const auto sets = heights.Sets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].second, sets[0].first - 3);
    EXPECT_EQ(sets[1].second, sets[1].first + 3);
    EXPECT_GT(sets[1].first, 20);  // the large font's own height
  }

  SetProperty(Type(), box, int32_t(ComboBoxOwn::kCurrentEntry), IntValue(99));
  EXPECT_EQ(Send(box, CB_GETCURSEL), 3);
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kCurrentEntry), IntValue(-5));
  EXPECT_EQ(Send(box, CB_GETCURSEL), -1);
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kContent), TextValue(std::string("x y")));
  EXPECT_EQ(WindowText(box->hwnd()), "x y");

  // Kind, sorting and the lists are fixed at creation: stored, re-create.
  EXPECT_FALSE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kKind), IntValue(1)));
  EXPECT_TRUE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kKind), IntValue(0)));
  EXPECT_EQ(uint32_t(GetProperty(Type(), box, int32_t(ComboBoxOwn::kBackColour)).word0), kDefaultColour);
  EXPECT_TRUE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kKind), IntValue(5)));
  EXPECT_EQ(GetInt(Type(), box, int32_t(ComboBoxOwn::kKind)), 2);
  EXPECT_EQ(uint32_t(GetProperty(Type(), box, int32_t(ComboBoxOwn::kBackColour)).word0), 0xFFFFFFu);
  EXPECT_TRUE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kSorted), IntValue(1)));
  EXPECT_FALSE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kSorted), IntValue(1)));
  BlobSaver saver;
  saver.TextList({"x", "y"});
  const std::vector<uint8_t> list = saver.Take();
  EXPECT_TRUE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kEntries), BytesValue(list)));
  EXPECT_EQ(GetProperty(Type(), box, int32_t(ComboBoxOwn::kEntries)).word1, list.size());
  EXPECT_EQ(Send(box, CB_GETCOUNT), 4);  // the shown list stays until re-created
  EXPECT_TRUE(SetProperty(Type(), box, int32_t(ComboBoxOwn::kEntryValues), BytesValue(Words({1}))));
  bool ok = true;
  GetProperty(Type(), box, 17, &ok);
  EXPECT_FALSE(ok);
}

TEST_F(ComboBoxTest, ColoursOfTheEditFieldAndTheSystemButtonFace) {
  ComboBoxProps p;
  p.backColour = 0x00FFFF;  // yellow
  p.textColour = 0x0000FF;
  p.content = "WWWW";
  Window* box = Make(p);
  ASSERT_NE(box, nullptr);
  const COMBOBOXINFO info = InfoOf(box);
  const Capture c(box->hwnd());
  EXPECT_GT(c.Count(info.rcItem, RGB(255, 255, 0)), 50);
  EXPECT_GT(c.CountIf(info.rcItem, [](COLORREF x) { return GetRValue(x) > 0xC0 && GetGValue(x) < 0x40; }), 5);

  // A simple box erases with its brush, which follows the button face.
  ComboBoxProps simple;
  simple.kind = 0;
  simple.backColour = kDefaultColour;
  Window* s = Make(simple, 90);
  ButtonFaceOverride face(RGB(0x40, 0x50, 0x60));
  HDC dc = GetDC(s->hwnd());
  SendMessageA(s->hwnd(), WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(InfoOf(s).hwndItem));
  EXPECT_EQ(GetBkColor(dc), RGB(0x40, 0x50, 0x60));
  ReleaseDC(s->hwnd(), dc);
  // What its erase fills, all of its client area.
  RECT client;
  GetClientRect(s->hwnd(), &client);
  Canvas canvas(client.right, client.bottom, RGB(0xFF, 0, 0xFF));
  SendMessageA(s->hwnd(), WM_ERASEBKGND, WPARAM(canvas.dc()), 0);
  EXPECT_EQ(canvas.Count(client, RGB(0x40, 0x50, 0x60)), client.right * client.bottom);
}

TEST_F(ComboBoxTest, FocusAndDoubleClickEvents) {
  ComboBoxProps p = Names();
  p.kind = 0;
  Window* simple = Make(p, 90, 0x16010036);
  Window* other = Make(Names(), 20, 0x1601001F);
  ASSERT_NE(simple, nullptr);
  SetForegroundWindow(parent.hwnd());
  SetFocus(InfoOf(other).hwndItem);
  Pump();
  Hooks().Clear();
  SetFocus(InfoOf(simple).hwndItem);
  Pump();
  ASSERT_GE(Hooks().events.size(), 2u);
  EXPECT_EQ(Hooks().events[0].event, -8);
  EXPECT_EQ(Hooks().events[0].unit, 0x1601001Fu);
  EXPECT_EQ(Hooks().events[1].event, -7);
  EXPECT_EQ(Hooks().events[1].unit, 0x16010036u);

  HWND list = InfoOf(simple).hwndList;
  RECT item{};
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM(item.left + 5, item.top + 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(Hooks().Count(4), 1);
  EXPECT_EQ(GetText(Type(), simple, int32_t(ComboBoxOwn::kContent)), "LAN 1 ");
}

TEST_F(ComboBoxTest, SaveConvertAndDestroy) {
  ComboBoxProps p = Names();
  p.content = "c";
  p.font = FontBytes(-12, 400, "Arial");
  p.dataColumn = "col";
  Window* box = Make(p);
  ASSERT_NE(box, nullptr);
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kTextColour), ColourValue(0x111111));
  SetProperty(Type(), box, int32_t(ComboBoxOwn::kContent), TextValue(std::string("d")));
  p.textColour = 0x111111;
  p.content = "d";
  EXPECT_EQ(SaveBlob(Type(), box), p.Save());

  ConverterCalls calls;
  const auto converted = ConvertBlob(Type(), p.Save(), &calls);
  ASSERT_TRUE(converted);
  EXPECT_EQ(calls.texts, 1 + 4 + 2);  // content, entries, data names
  EXPECT_EQ(calls.faces, 1);
  ComboBoxProps back;
  ASSERT_TRUE(back.Load(*converted));
  EXPECT_EQ(back.entries[1], "LAN 1 !");

  DestroyWindow(box->hwnd());
  Pump();
  ASSERT_EQ(Hooks().gone.size(), 1u);
  EXPECT_EQ(Hooks().gone[0].second, 0x1601001Au);
}

}  // namespace
}  // namespace kavrel::unit_test
