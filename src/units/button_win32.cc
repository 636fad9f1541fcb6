#include "units/button_win32.h"

#include "base/startup_profile.h"

namespace kavrel {

namespace {

constexpr DWORD kHorizontal[3] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVertical[3] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
constexpr DWORD kAlignmentBits = 0x0F00;
constexpr DWORD kTypeBits = 0x1F;

constexpr auto kProperties = PropertyTable<6>({
    OwnProperty(ptype::kPicture),
    OwnProperty(ptype::kChoice),  // default button
    OwnProperty(ptype::kText),    // caption
    OwnProperty(ptype::kChoice),  // horizontal alignment
    OwnProperty(ptype::kChoice),  // vertical alignment
    OwnProperty(ptype::kFont),
});

}  // namespace

constinit const UnitTypeDescriptor kButtonUnitType{
    "\xb0\xb4\xc5\xa5",  // 按钮
    "Button",
    nullptr,
    0,
    nullptr,
    0x80000840,
    0,
    0,
    nullptr,
    int32_t(kProperties.size()),
    kProperties.data(),
    &ButtonInterface,
    0,
    nullptr,
};

void* KAVREL_STDCALL ButtonInterface(int32_t number) {
  switch (number) {
    case iface::kCreate: return reinterpret_cast<void*>(&UnitRoutines<Button>::Create);
    case iface::kPropertyChanged: return reinterpret_cast<void*>(&UnitPropertyChanged);
    case iface::kSaveProperties: return reinterpret_cast<void*>(&UnitSaveProperties);
    case iface::kGetProperty: return reinterpret_cast<void*>(&UnitGetProperty);
    case iface::kConvertTexts: return reinterpret_cast<void*>(&UnitRoutines<Button>::ConvertTexts);
    case iface::kIsDefaultButton: return reinterpret_cast<void*>(&UnitIsDefaultButton);
    default: return nullptr;
  }
}

Button::~Button() { ReleaseResources(); }

DWORD Button::PrepareImage() {
  if (props_.picture.empty()) return 0;
  picture_ = DecodePicture(props_.picture.data(), int32_t(props_.picture.size()));
  if (picture_) {
    HDC screen = GetDC(nullptr);
    const bool made = MakePictureImage(screen, picture_, GetSysColor(COLOR_BTNFACE), image_);
    ReleaseDC(nullptr, screen);
    image_.dc = nullptr;  // made for the screen, drawn by the button
    if (made) return picture_->kind == kPictureIco || picture_->kind == kPictureCur ? BS_ICON : BS_BITMAP;
  }
  // A picture that cannot be shown leaves the caption.
  ReleaseResources();
  return 0;
}

bool Button::Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
  DWORD s = style;
  if (props_.defaultButton == 1) s |= BS_DEFPUSHBUTTON;
  s = (s & ~kAlignmentBits) | kHorizontal[ClampChoice(props_.horizontalAlign, 2)] |
      kVertical[ClampChoice(props_.verticalAlign, 2)];
  const DWORD imageBit = PrepareImage();
  s |= imageBit | BS_MULTILINE | WS_CHILD | WS_CLIPSIBLINGS;
  if (!CreateEx(0, L"BUTTON", props_.caption.c_str(), s, x, y, width, height, parent,
                reinterpret_cast<HMENU>(intptr_t(id)))) {
    ReleaseResources();
    return false;
  }
  ApplyFont(props_.font);
  if (imageBit == BS_ICON)
    SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image_.icon));
  else if (imageBit == BS_BITMAP)
    SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image_.bitmap));
  return true;
}

void Button::ReleaseResources() {
  FreePictureImage(image_);
  FreePicture(picture_);
  picture_ = nullptr;
}

void Button::VisitTexts(Props& props, TextConverterFn converter, uintptr_t user) {
  converter(&props.caption, 0, user);
  ConvertFontFace(props.font, converter, user);
}

bool Button::IsDefaultButton() {
  return (DWORD(GetWindowLongW(hwnd(), GWL_STYLE)) & kTypeBits) == DWORD(BS_DEFPUSHBUTTON);
}

bool Button::OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    // However the notification came, a disabled button raises nothing.
    const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
    MarkEvent("clicked", enabled ? 1 : 0);
    if (enabled) RaiseEvent(0);
    *result = 0;
    return true;
  }
  return false;
}

namespace {

// The messages a click is made of, for the event marks.
const char* ClickStep(UINT msg) {
  switch (msg) {
    case BM_CLICK: return "bm-click";
    case WM_LBUTTONDOWN: return "button-down";
    case WM_LBUTTONUP: return "button-up";
    case WM_CAPTURECHANGED: return "capture-changed";
    case WM_KILLFOCUS: return "focus-lost";
    default: return nullptr;
  }
}

}  // namespace

LRESULT Button::UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // With the button's state as it meets the message (pushed 4, focus 8).
  const char* step = EventMarksOn() ? ClickStep(msg) : nullptr;
  if (step) MarkEvent(step, int32_t(SendMessageW(hwnd(), BM_GETSTATE, 0, 0)));
  switch (msg) {
    case WM_SETFOCUS: {
      const LRESULT r = Default();
      RaiseEvent(kEventFocusGained);
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = Default();
      RaiseEvent(kEventFocusLost);
      return r;
    }
    default:
      return Unit::UnitProc(msg, wParam, lParam);
  }
}

bool Button::SetOwnProperty(int32_t own, const PropertyValue& value) {
  const int32_t v = ValueInt(value);
  switch (ButtonOwn(own)) {
    case ButtonOwn::kPicture:
      // The picture shown is fixed at creation.
      props_.picture = ValueBytes(value);
      return true;
    case ButtonOwn::kDefaultButton:
      props_.defaultButton = ClampChoice(v, 1);
      ChangeStyle(hwnd(), BS_DEFPUSHBUTTON, props_.defaultButton == 1 ? BS_DEFPUSHBUTTON : 0);
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case ButtonOwn::kCaption:
      props_.caption = ValueText(value);
      SetWindowProgramText(hwnd(), props_.caption);
      return false;
    case ButtonOwn::kHorizontalAlign:
      props_.horizontalAlign = ClampChoice(v, 2);
      ChangeStyle(hwnd(), BS_CENTER, kHorizontal[props_.horizontalAlign]);
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case ButtonOwn::kVerticalAlign:
      props_.verticalAlign = ClampChoice(v, 2);
      ChangeStyle(hwnd(), BS_VCENTER, kVertical[props_.verticalAlign]);
      InvalidateRect(hwnd(), nullptr, TRUE);
      return false;
    case ButtonOwn::kFont:
      props_.font = ValueBytes(value);
      ApplyFont(props_.font);
      return false;
    default:
      return false;
  }
}

bool Button::GetOwnProperty(int32_t own, PropertyValue& value) {
  switch (ButtonOwn(own)) {
    case ButtonOwn::kPicture: value = BytesValue(props_.picture); break;
    case ButtonOwn::kDefaultButton: value = IntValue(props_.defaultButton); break;
    case ButtonOwn::kCaption: value = TextValue(props_.caption); break;
    case ButtonOwn::kHorizontalAlign: value = IntValue(props_.horizontalAlign); break;
    case ButtonOwn::kVerticalAlign: value = IntValue(props_.verticalAlign); break;
    case ButtonOwn::kFont: value = BytesValue(props_.font); break;
    default: return false;
  }
  return true;
}

}  // namespace kavrel
