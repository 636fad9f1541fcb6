#include "units/group_box_win32.h"

namespace kavrel {

namespace {

constexpr DWORD kPositions[3] = {BS_LEFT, BS_CENTER, BS_RIGHT};

constexpr auto kProperties = PropertyTable<5>({
    OwnProperty(ptype::kText),             // caption
    OwnProperty(ptype::kChoice),           // caption position
    OwnProperty(ptype::kColour),           // caption colour
    OwnProperty(ptype::kColourOrDefault),  // background
    OwnProperty(ptype::kFont),
});

}  // namespace

constinit const UnitTypeDescriptor kGroupBoxUnitType{
    "\xb7\xd6\xd7\xe9\xbf\xf2",  // 分组框
    "GroupBox",
    nullptr,
    0,
    nullptr,
    0x840140C0,
    0,
    0,
    nullptr,
    int32_t(kProperties.size()),
    kProperties.data(),
    &GroupBoxInterface,
    0,
    nullptr,
};

void* KAVREL_STDCALL GroupBoxInterface(int32_t number) {
  switch (number) {
    case iface::kCreate: return reinterpret_cast<void*>(&UnitRoutines<GroupBox>::Create);
    case iface::kPropertyChanged: return reinterpret_cast<void*>(&UnitPropertyChanged);
    case iface::kSaveProperties: return reinterpret_cast<void*>(&UnitSaveProperties);
    case iface::kGetProperty: return reinterpret_cast<void*>(&UnitGetProperty);
    case iface::kConvertTexts: return reinterpret_cast<void*>(&UnitRoutines<GroupBox>::ConvertTexts);
    default: return nullptr;
  }
}

bool GroupBox::Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width,
                     int32_t height) {
  background_.Get(props_.backColour);
  const DWORD s = style | kPositions[ClampChoice(props_.captionPosition, 2)] | BS_GROUPBOX | WS_CHILD |
                  WS_CLIPSIBLINGS;
  if (!CreateEx(0, L"BUTTON", props_.caption.c_str(), s, x, y, width, height, parent,
                reinterpret_cast<HMENU>(intptr_t(id))))
    return false;
  ApplyFont(props_.font);
  return true;
}

void GroupBox::VisitTexts(Props& props, TextConverterFn converter, uintptr_t user) {
  converter(&props.caption, 0, user);
  ConvertFontFace(props.font, converter, user);
}

bool GroupBox::OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) return false;
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, COLORREF(props_.captionColour));
  SetBkColor(dc, PaintColour(props_.backColour));
  *result = reinterpret_cast<LRESULT>(background_.Get(props_.backColour));
  return true;
}

LRESULT GroupBox::UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    if (HBRUSH brush = background_.Get(props_.backColour)) {
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
    }
    return Default();
  }
  // Notifications of contained units go back to them here.
  return Unit::UnitProc(msg, wParam, lParam);
}

bool GroupBox::SetOwnProperty(int32_t own, const PropertyValue& value) {
  switch (GroupBoxOwn(own)) {
    case GroupBoxOwn::kCaption:
      props_.caption = ValueText(value);
      SetWindowProgramText(hwnd(), props_.caption);
      break;
    case GroupBoxOwn::kCaptionPosition:
      props_.captionPosition = ClampChoice(ValueInt(value), 2);
      ChangeStyle(hwnd(), BS_CENTER, kPositions[props_.captionPosition]);
      InvalidateRect(hwnd(), nullptr, TRUE);
      break;
    case GroupBoxOwn::kCaptionColour:
      props_.captionColour = ValueColour(value);
      InvalidateRect(hwnd(), nullptr, TRUE);
      break;
    case GroupBoxOwn::kBackColour:
      props_.backColour = ValueColour(value);
      background_.Reset();
      background_.Get(props_.backColour);
      InvalidateRect(hwnd(), nullptr, TRUE);
      break;
    case GroupBoxOwn::kFont:
      props_.font = ValueBytes(value);
      ApplyFont(props_.font);
      break;
    default:
      break;
  }
  return false;
}

bool GroupBox::GetOwnProperty(int32_t own, PropertyValue& value) {
  switch (GroupBoxOwn(own)) {
    case GroupBoxOwn::kCaption: value = TextValue(props_.caption); break;
    case GroupBoxOwn::kCaptionPosition: value = IntValue(props_.captionPosition); break;
    case GroupBoxOwn::kCaptionColour: value = ColourValue(props_.captionColour); break;
    case GroupBoxOwn::kBackColour: value = ColourValue(props_.backColour); break;
    case GroupBoxOwn::kFont: value = BytesValue(props_.font); break;
    default: return false;
  }
  return true;
}

}  // namespace kavrel
