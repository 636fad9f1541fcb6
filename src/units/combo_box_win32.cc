#include "units/combo_box_win32.h"

#include <algorithm>

#include "templates/property_blob.h"
#include "units/edit_selection.h"

namespace kavrel {

namespace {

constexpr DWORD kKindStyles[3] = {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST};
constexpr int32_t kLimitMax = 32767;
constexpr UINT kBindingAnnounce = 0x806F;

constexpr auto kProperties = PropertyTable<17>({
    OwnProperty(ptype::kChoice),   // kind
    OwnProperty(ptype::kText),     // content
    OwnProperty(ptype::kInteger),  // maximum length
    OwnProperty(ptype::kInteger),  // selection start
    OwnProperty(ptype::kInteger),  // selection length
    OwnProperty(ptype::kText, kOwnPropertyFlags | 0x0008),  // selected text
    OwnProperty(ptype::kLogical),  // sorted
    OwnProperty(ptype::kInteger),  // extra entry height
    OwnProperty(ptype::kColour),   // text colour
    OwnProperty(ptype::kColourOrDefault),  // background
    OwnProperty(ptype::kFont),
    OwnProperty(ptype::kInteger),      // current entry
    OwnProperty(ptype::kCustomBytes),  // entry texts
    OwnProperty(ptype::kCustomBytes),  // entry values
    OwnProperty(ptype::kDataSource),
    OwnProperty(ptype::kDataColumn),
    OwnProperty(ptype::kLogical, kOwnPropertyFlags | 0x0010),  // binding option
});

bool IsColourRequest(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

// The control counts UTF-16 units; the selection properties count bytes of
// the program's text, as they always have.
int32_t BytesIn(std::wstring_view wide, int32_t units) {
  return int32_t(ProgramTextOf(wide.substr(0, std::clamp(size_t(std::max(units, 0)), size_t(0), wide.size()))).text.size());
}
EditSelection SelectionInBytes(std::wstring_view wide, uint32_t editSel) {
  const EditSelection units = SelectionFromEditSel(editSel);
  if (!HasEditField(editSel)) return units;
  const int32_t start = BytesIn(wide, units.start);
  return {start, BytesIn(wide, units.start + units.length) - start};
}
int32_t UnitsIn(std::string_view text, int32_t bytes) {
  return int32_t(WideText(text.substr(0, std::clamp(size_t(std::max(bytes, 0)), size_t(0), text.size()))).size());
}

}  // namespace

constinit const UnitTypeDescriptor kComboBoxUnitType{
    "\xd7\xe9\xba\xcf\xbf\xf2",  // 组合框
    "ComboBox",
    nullptr,
    0,
    nullptr,
    0x80000240,
    0,
    0,
    nullptr,
    int32_t(kProperties.size()),
    kProperties.data(),
    &ComboBoxInterface,
    0,
    nullptr,
};

void* KAVREL_STDCALL ComboBoxInterface(int32_t number) {
  switch (number) {
    case iface::kCreate: return reinterpret_cast<void*>(&UnitRoutines<ComboBox>::Create);
    case iface::kPropertyChanged: return reinterpret_cast<void*>(&UnitPropertyChanged);
    case iface::kSaveProperties: return reinterpret_cast<void*>(&UnitSaveProperties);
    case iface::kGetProperty: return reinterpret_cast<void*>(&UnitGetProperty);
    case iface::kConvertTexts: return reinterpret_cast<void*>(&UnitRoutines<ComboBox>::ConvertTexts);
    default: return nullptr;
  }
}

bool ComboBox::Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width,
                     int32_t height) {
  props_.kind = ClampChoice(props_.kind, 2);
  DWORD s = style | kKindStyles[props_.kind] | CBS_AUTOHSCROLL | WS_VSCROLL | WS_CHILD | WS_CLIPSIBLINGS;
  if (props_.sorted == 1) s |= CBS_SORT;
  // The height given to the window includes the dropped-down list.
  if (props_.kind != 0 && height < ToDpi(kDropDownHeight, dpi())) height = ToDpi(kDropDownHeight, dpi());
  background_.Get(props_.backColour);
  if (!CreateEx(0, L"COMBOBOX", props_.content.c_str(), s, x, y, width, height, parent,
                reinterpret_cast<HMENU>(intptr_t(id))))
    return false;
  ApplyFont(props_.font);
  SetEntryHeight(int32_t((uint32_t(EntryHeight()) + uint32_t(ExtraHeight(dpi()))) & 0xFFFF));
  SendMessageW(hwnd(), CB_LIMITTEXT, WPARAM(props_.maxLength), 0);

  // Item data only for the entries the values reach.
  const size_t values = props_.entryValues.size() / 4;
  for (size_t i = 0; i < props_.entries.size(); ++i) {
    const LRESULT at =
        SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(props_.entries[i]).c_str()));
    if (i < values && at >= 0) {
      const uint8_t* v = props_.entryValues.data() + 4 * i;
      const uint32_t data = uint32_t(v[0]) | uint32_t(v[1]) << 8 | uint32_t(v[2]) << 16 | uint32_t(v[3]) << 24;
      SendMessageW(hwnd(), CB_SETITEMDATA, WPARAM(at), LPARAM(int32_t(data)));
    }
  }

  FitListToEntries();
  props_.currentEntry = ClampListIndex(props_.currentEntry, int32_t(props_.entries.size()));
  SendMessageW(hwnd(), CB_SETCURSEL, WPARAM(props_.currentEntry), 0);
  if (Editable()) {
    // The stored content replaces what the current entry put into the edit field.
    SetWindowProgramText(hwnd(), props_.content);
    ApplySelection();
  }
  return true;
}

void ComboBox::VisitTexts(Props& props, TextConverterFn converter, uintptr_t user) {
  converter(&props.content, 0, user);
  ConvertFontFace(props.font, converter, user);
  for (std::string& entry : props.entries) converter(&entry, 0, user);
  converter(&props.dataSource, 0, user);
  converter(&props.dataColumn, 0, user);
}

void ComboBox::OnDpiChanged(int from) {
  SetEntryHeight(EntryHeight() - ToDpi(props_.extraHeight, from));
  ApplyFont(props_.font, false);
  SetEntryHeight(EntryHeight() + ExtraHeight(dpi()));
  FitListToEntries();
}

void ComboBox::FitListToEntries() {
  // At 96 dpi the list is as wide as the box, as designed.
  int32_t wanted = 0;
  if (dpi() != kDesignDpi && !props_.entries.empty()) {
    // A font's characters do not grow exactly with its height: an entry
    // that fits the design's list may need a few pixels more at this DPI.
    RECT box{};
    GetWindowRect(hwnd(), &box);
    const int32_t roomAtDesign = FromDpi(box.right - box.left, dpi()) - MetricForDpi(SM_CXVSCROLL, kDesignDpi);
    const int32_t beside = MetricForDpi(SM_CXVSCROLL, dpi());
    HFONT atDesign = CreateShownFont(props_.font, kDesignDpi);
    HDC dc = GetDC(hwnd());
    auto widthIn = [&](HGDIOBJ font, const std::wstring& text) {
      SIZE size{};
      HGDIOBJ old = SelectObject(dc, font);
      GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
      SelectObject(dc, old);
      return int32_t(size.cx);
    };
    HGDIOBJ designFont = atDesign ? HGDIOBJ(atDesign) : GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ shownFont = font() ? HGDIOBJ(font()) : GetStockObject(DEFAULT_GUI_FONT);
    for (const std::string& entry : props_.entries) {
      const std::wstring text = WideText(entry);
      if (widthIn(designFont, text) <= roomAtDesign) wanted = std::max(wanted, widthIn(shownFont, text) + beside);
    }
    ReleaseDC(hwnd(), dc);
    if (atDesign) DeleteObject(atDesign);
    if (wanted <= box.right - box.left) wanted = 0;
  }
  if (wanted == 0 && !listWidened_) return;
  // A width less than the box's gives the list the box's width again.
  SendMessageW(hwnd(), CB_SETDROPPEDWIDTH, WPARAM(wanted ? wanted : 1), 0);
  listWidened_ = wanted != 0;
}

int32_t ComboBox::LaidOutHeight(int32_t windowHeight) {
  // A drop-down box's window is its edit part; its design height holds the list.
  RECT dropped{};
  if (props_.kind == 0 || !SendMessageW(hwnd(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
    return windowHeight;
  return dropped.bottom - dropped.top;
}

int32_t ComboBox::ExtraHeight(int dpi) const { return ToDpi(props_.extraHeight, dpi); }

int32_t ComboBox::EntryHeight() { return int32_t(SendMessageW(hwnd(), CB_GETITEMHEIGHT, 0, 0)); }

void ComboBox::SetEntryHeight(int32_t height) { SendMessageW(hwnd(), CB_SETITEMHEIGHT, 0, LPARAM(height)); }

void ComboBox::ApplySelection() {
  const std::string text = WindowText(hwnd());
  const int32_t start = UnitsIn(text, props_.selectionStart);
  const int32_t end = UnitsIn(text, props_.selectionStart + props_.selectionLength);
  SendMessageW(hwnd(), CB_SETEDITSEL, 0, MAKELPARAM(WORD(start), WORD(end)));
}

LRESULT ComboBox::AnswerColour(HDC dc) {
  SetTextColor(dc, COLORREF(props_.textColour));
  SetBkColor(dc, PaintColour(props_.backColour));
  return reinterpret_cast<LRESULT>(background_.Get(props_.backColour));
}

const std::string& ComboBox::LiveContent() {
  if (!designMode()) props_.content = WindowText(hwnd());
  return props_.content;
}

bool ComboBox::OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  if (IsColourRequest(msg)) {
    *result = AnswerColour(reinterpret_cast<HDC>(wParam));
    return true;
  }
  if (msg != WM_COMMAND) return false;
  int32_t event = 0;
  switch (HIWORD(wParam)) {
    case CBN_SELENDOK:
      // The event follows once the control has put the entry in place.
      PostMessageW(hwnd(), kComboChosenMessage, 0, 0);
      *result = 0;
      return true;
    case CBN_EDITCHANGE: event = 1; break;
    case CBN_DROPDOWN: event = 2; break;
    case CBN_CLOSEUP: event = 3; break;
    case CBN_DBLCLK: event = 4; break;
    case CBN_SETFOCUS: event = kEventFocusGained; break;
    case CBN_KILLFOCUS: event = kEventFocusLost; break;
    default: return false;
  }
  RaiseEvent(event);
  *result = 0;
  return true;
}

LRESULT ComboBox::UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kComboChosenMessage:
      RaiseEvent(0);
      return 0;
    // The edit field and the list ask the box itself for their colours.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return AnswerColour(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND:
      if (props_.kind == 0) {
        RECT client;
        GetClientRect(hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background_.Get(props_.backColour));
      }
      return Default();
    case kBindingAnnounce:
      return 0;
    default:
      return Unit::UnitProc(msg, wParam, lParam);
  }
}

void ComboBox::SetSelection(bool start, int32_t value) {
  const int32_t length = Editable() ? int32_t(WindowText(hwnd()).size()) : 0;
  const EditSelection current{props_.selectionStart, props_.selectionLength};
  const EditSelection next =
      start ? SelectionWithStart(value, length, current) : SelectionWithLength(value, length, current);
  props_.selectionStart = next.start;
  props_.selectionLength = next.length;
  if (Editable()) ApplySelection();
}

void ComboBox::ReplaceSelectedText(const std::string& value) {
  if (!Editable()) return;
  const uint32_t answer = uint32_t(SendMessageW(hwnd(), CB_GETEDITSEL, 0, 0));
  if (!HasEditField(answer)) return;
  int32_t caret = 0;
  const std::wstring wide = WindowWideText(hwnd());
  const std::string text = ReplaceSelected(ProgramTextOf(wide).text, SelectionInBytes(wide, answer), value, &caret);
  SetWindowProgramText(hwnd(), text);
  caret = UnitsIn(text, caret);
  SendMessageW(hwnd(), CB_SETEDITSEL, 0, MAKELPARAM(WORD(caret), WORD(caret)));
}

bool ComboBox::SetOwnProperty(int32_t own, const PropertyValue& value) {
  const int32_t v = ValueInt(value);
  switch (ComboBoxOwn(own)) {
    case ComboBoxOwn::kKind: {
      const int32_t kind = ClampChoice(v, 2);
      if (kind == props_.kind) return false;
      props_.kind = kind;
      // A simple box shows the button face, the drop-down kinds white.
      if (kind != 0 && props_.backColour == kDefaultColour) props_.backColour = 0xFFFFFF;
      if (kind == 0 && props_.backColour == 0xFFFFFF) props_.backColour = kDefaultColour;
      return true;
    }
    case ComboBoxOwn::kContent:
      props_.content = ValueText(value);
      if (Editable()) SetWindowProgramText(hwnd(), props_.content);
      return false;
    case ComboBoxOwn::kMaxLength:
      props_.maxLength = ClampRange(v, 0, kLimitMax);
      if (Editable()) SendMessageW(hwnd(), CB_LIMITTEXT, WPARAM(props_.maxLength), 0);
      return false;
    case ComboBoxOwn::kSelectionStart:
    case ComboBoxOwn::kSelectionLength:
      SetSelection(ComboBoxOwn(own) == ComboBoxOwn::kSelectionStart, v);
      return false;
    case ComboBoxOwn::kSelectedText:
      ReplaceSelectedText(ValueText(value));
      return false;
    case ComboBoxOwn::kSorted: {
      const int32_t sorted = ValueLogical(value);
      if (sorted == props_.sorted) return false;
      props_.sorted = sorted;
      return true;
    }
    case ComboBoxOwn::kExtraHeight: {
      const int32_t extra = ClampRange(v, 0, kLimitMax);
      SetEntryHeight(EntryHeight() - ExtraHeight(dpi()) + ToDpi(extra, dpi()));
      props_.extraHeight = extra;
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    }
    case ComboBoxOwn::kTextColour:
      props_.textColour = ValueColour(value);
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case ComboBoxOwn::kBackColour:
      props_.backColour = ValueColour(value);
      background_.Reset();
      background_.Get(props_.backColour);
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case ComboBoxOwn::kFont:
      props_.font = ValueBytes(value);
      // The font sets the entry height; the extra pixels stay on top of it.
      SetEntryHeight(EntryHeight() - ExtraHeight(dpi()));
      ApplyFont(props_.font);
      SetEntryHeight(EntryHeight() + ExtraHeight(dpi()));
      FitListToEntries();
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case ComboBoxOwn::kCurrentEntry: {
      const int32_t count = int32_t(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0));
      props_.currentEntry = ClampListIndex(v, count < 0 ? 0 : count);
      SendMessageW(hwnd(), CB_SETCURSEL, WPARAM(props_.currentEntry), 0);
      return false;
    }
    case ComboBoxOwn::kEntries: {
      props_.entries.clear();
      const std::vector<uint8_t> bytes = ValueBytes(value);
      if (!bytes.empty()) {
        BlobLoader loader(bytes);
        loader.TextList(props_.entries);
        if (!loader.ok()) props_.entries.clear();
      }
      return true;
    }
    case ComboBoxOwn::kEntryValues:
      props_.entryValues = ValueBytes(value);
      return true;
    // Nothing is bound in this runtime, so storing is all.
    case ComboBoxOwn::kDataSource: props_.dataSource = ValueText(value); return false;
    case ComboBoxOwn::kDataColumn: props_.dataColumn = ValueText(value); return false;
    case ComboBoxOwn::kBindingOption: props_.bindingOption = ValueLogical(value); return false;
    default: return false;
  }
}

bool ComboBox::GetOwnProperty(int32_t own, PropertyValue& value) {
  const bool live = !designMode();
  switch (ComboBoxOwn(own)) {
    case ComboBoxOwn::kKind: value = IntValue(props_.kind); break;
    case ComboBoxOwn::kContent: value = TextValue(LiveContent()); break;
    case ComboBoxOwn::kMaxLength: value = IntValue(props_.maxLength); break;
    case ComboBoxOwn::kSelectionStart:
    case ComboBoxOwn::kSelectionLength: {
      EditSelection s{props_.selectionStart, props_.selectionLength};
      if (live) s = SelectionInBytes(WindowWideText(hwnd()), uint32_t(SendMessageW(hwnd(), CB_GETEDITSEL, 0, 0)));
      value = IntValue(ComboBoxOwn(own) == ComboBoxOwn::kSelectionStart ? s.start : s.length);
      break;
    }
    case ComboBoxOwn::kSelectedText: {
      if (live) {
        const uint32_t answer = uint32_t(SendMessageW(hwnd(), CB_GETEDITSEL, 0, 0));
        const std::wstring wide = WindowWideText(hwnd());
        selectedText_ = HasEditField(answer) ? SelectedPart(ProgramTextOf(wide).text, SelectionInBytes(wide, answer))
                                             : std::string();
      } else {
        selectedText_ =
            SelectedPart(props_.content, EditSelection{props_.selectionStart, props_.selectionLength});
      }
      value = TextValue(selectedText_);
      break;
    }
    case ComboBoxOwn::kSorted: value = IntValue(props_.sorted); break;
    case ComboBoxOwn::kExtraHeight: value = IntValue(props_.extraHeight); break;
    case ComboBoxOwn::kTextColour: value = ColourValue(props_.textColour); break;
    case ComboBoxOwn::kBackColour: value = ColourValue(props_.backColour); break;
    case ComboBoxOwn::kFont: value = BytesValue(props_.font); break;
    case ComboBoxOwn::kCurrentEntry:
      if (live) props_.currentEntry = int32_t(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
      value = IntValue(props_.currentEntry);
      break;
    case ComboBoxOwn::kEntries: {
      BlobSaver saver;
      saver.TextList(props_.entries);
      entryBytes_ = saver.Take();
      value = BytesValue(entryBytes_);
      break;
    }
    case ComboBoxOwn::kEntryValues: value = BytesValue(props_.entryValues); break;
    case ComboBoxOwn::kDataSource: value = TextValue(props_.dataSource); break;
    case ComboBoxOwn::kDataColumn: value = TextValue(props_.dataColumn); break;
    case ComboBoxOwn::kBindingOption: value = IntValue(props_.bindingOption); break;
    default: return false;
  }
  return true;
}

}  // namespace kavrel
