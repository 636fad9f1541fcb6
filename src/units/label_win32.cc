#include "units/label_win32.h"

namespace kavrel {

namespace {

// Data binding announcements; nothing is bound in this runtime.
constexpr UINT kBindingAnnounce = 0x806F;
constexpr UINT kBindingRefresh = 0x8070;

constexpr DWORD kBorderExStyles = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;

struct BorderStyle {
  DWORD exStyle;
  DWORD style;
};
constexpr BorderStyle kBorders[7] = {
    {0, 0},
    {WS_EX_CLIENTEDGE, 0},
    {WS_EX_DLGMODALFRAME, 0},
    {WS_EX_STATICEDGE, 0},
    {WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0},
    {0, WS_BORDER},
    {0, 0},  // the gradient frame is painted
};

constexpr UINT kHorizontal[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
constexpr UINT kVertical[3] = {DT_TOP, DT_VCENTER, DT_BOTTOM};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

constexpr auto kProperties = PropertyTable<21>({
    OwnProperty(ptype::kText),                  // caption
    OwnProperty(ptype::kChoice),                // effect
    OwnProperty(ptype::kChoice),                // border
    OwnProperty(ptype::kInteger),               // frame width
    OwnProperty(ptype::kColourOrTransparent),   // frame colours
    OwnProperty(ptype::kColourOrTransparent),
    OwnProperty(ptype::kColourOrTransparent),
    OwnProperty(ptype::kFont),
    OwnProperty(ptype::kColour),                // caption colour
    OwnProperty(ptype::kColourOrDefault),       // background
    OwnProperty(ptype::kPicture),
    OwnProperty(ptype::kChoice),                // picture layout
    OwnProperty(ptype::kChoice),                // gradient direction
    OwnProperty(ptype::kColourOrTransparent),   // gradient colours
    OwnProperty(ptype::kColourOrTransparent),
    OwnProperty(ptype::kColourOrTransparent),
    OwnProperty(ptype::kChoice),                // horizontal alignment
    OwnProperty(ptype::kLogical),               // wrap
    OwnProperty(ptype::kChoice),                // vertical alignment
    OwnProperty(ptype::kDataSource),
    OwnProperty(ptype::kDataColumn),
});

}  // namespace

constinit const UnitTypeDescriptor kLabelUnitType{
    "\xb1\xea\xc7\xa9",  // 标签
    "Label",
    nullptr,
    0,
    nullptr,
    0x84012040,
    0,
    0,
    nullptr,
    int32_t(kProperties.size()),
    kProperties.data(),
    &LabelInterface,
    0,
    nullptr,
};

void* KAVREL_STDCALL LabelInterface(int32_t number) {
  switch (number) {
    case iface::kCreate: return reinterpret_cast<void*>(&UnitRoutines<Label>::Create);
    case iface::kPropertyChanged: return reinterpret_cast<void*>(&UnitPropertyChanged);
    case iface::kSaveProperties: return reinterpret_cast<void*>(&UnitSaveProperties);
    case iface::kGetProperty: return reinterpret_cast<void*>(&UnitGetProperty);
    case iface::kConvertTexts: return reinterpret_cast<void*>(&UnitRoutines<Label>::ConvertTexts);
    default: return nullptr;
  }
}

Label::~Label() { DropPicture(); }

bool Label::Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!RegisterUnitClass(kLabelClass)) return false;
  if (!CreateEx(0, kLabelClass, props_.caption.c_str(), style | WS_CHILD | WS_CLIPSIBLINGS, x, y, width, height,
                parent, reinterpret_cast<HMENU>(intptr_t(id))))
    return false;
  ApplyBorder();
  return true;
}

void Label::VisitTexts(Props& props, TextConverterFn converter, uintptr_t user) {
  converter(&props.caption, 0, user);
  ConvertFontFace(props.font, converter, user);
  converter(&props.dataSource, 0, user);
  converter(&props.dataColumn, 0, user);
}

void Label::ApplyBorder() {
  const BorderStyle& b = kBorders[ClampChoice(props_.border, 6)];
  // One change for both words, so the frame is refreshed once.
  const DWORD oldEx = DWORD(GetWindowLongW(hwnd(), GWL_EXSTYLE));
  const DWORD oldStyle = DWORD(GetWindowLongW(hwnd(), GWL_STYLE));
  const DWORD ex = (oldEx & ~kBorderExStyles) | b.exStyle;
  const DWORD style = (oldStyle & ~DWORD(WS_BORDER)) | b.style;
  if (ex == oldEx && style == oldStyle) return;
  SetWindowLongW(hwnd(), GWL_EXSTYLE, LONG(ex));
  SetWindowLongW(hwnd(), GWL_STYLE, LONG(style));
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Label::DropPicture() {
  fitted_.Reset();
  picture_.Reset();
}

void Label::ReleaseResources() {
  DropPicture();
  background_.Reset();
}

LRESULT Label::UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      if (dc) Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case kLabelEventMessage: {
      const uint32_t args[2] = {uint32_t(wParam), uint32_t(lParam)};
      SimpleEventRecord record;
      RaiseEvent(0, args, &record);
      return record.hasResult ? LRESULT(int32_t(record.result)) : 0;
    }
    case kBindingAnnounce:
    case kBindingRefresh:
      return 0;
    default:
      return Unit::UnitProc(msg, wParam, lParam);
  }
}

void Label::Paint(HDC dc) {
  RECT clip{};
  if (GetClipBox(dc, &clip) <= NULLREGION || IsRectEmpty(&clip)) return;
  const int saved = SaveDC(dc);
  RECT r;
  GetClientRect(hwnd(), &r);

  const int32_t frameWidth = ToDpi(props_.frameWidth, dpi());
  if (props_.border == 6 && props_.frameWidth > 0 && DrawFrame(dc, r, clip, frameWidth))
    r = ToRect(InsideFrame(ToPixelRect(r), frameWidth));

  RECT inside;
  if (!IntersectRect(&inside, &clip, &r)) SetRectEmpty(&inside);
  HRGN remaining = CreateRectRgnIndirect(&inside);
  SelectClipRgn(dc, remaining);

  const COLORREF back = PaintColour(props_.backColour);
  if (!props_.picture.empty()) {
    // Bytes that do not decode are not tried again.
    if (picture_.empty() && picture_.Load(props_.picture) != KeptPicture::Loaded::kYes) props_.picture.clear();
    // Shrunk pictures come from one drawing: the same pixels under any clip.
    const int32_t layout = ClampChoice(props_.pictureLayout, 2);
    if (!picture_.empty() && layout == kLayoutFitted)
      fitted_.Draw(dc, picture_, r, back, true, &remaining, dpi());
    else if (!picture_.empty())
      DrawPictureLayout(layout, dc, picture_, r, clip, &remaining, back, dpi());
  } else if (props_.gradient != 0) {
    const GradientStops stops =
        ChooseGradientColours(props_.gradientColour1, props_.gradientColour2, props_.gradientColour3);
    if (FillGradientRect(dc, props_.gradient, stops, r, clip)) {
      DeleteObject(remaining);
      remaining = nullptr;
    }
  }
  if (remaining) {
    FillRgn(dc, remaining, background_.Get(props_.backColour));
    DeleteObject(remaining);
  }

  DrawCaption(dc, r);
  RestoreDC(dc, saved);
}

bool Label::DrawFrame(HDC dc, const RECT& r, const RECT& clip, int32_t width) {
  const GradientStops stops = ChooseGradientColours(props_.frameColour1, props_.frameColour2, props_.frameColour3);
  if (stops.count < 2 || IsRectEmpty(&r)) return false;
  HRGN previous = CreateRectRgn(0, 0, 0, 0);
  const bool hadClip = GetClipRgn(dc, previous) == 1;
  for (const FrameBand& band : GradientFrameBands(ToPixelRect(r), width)) {
    const RECT area = ToRect(band.rect);
    if (band.mitred) {
      POINT corners[4];
      for (int i = 0; i < 4; ++i) corners[i] = {LONG(band.corners[size_t(i)][0]), LONG(band.corners[size_t(i)][1])};
      HRGN trapezoid = CreatePolygonRgn(corners, 4, WINDING);
      if (hadClip) CombineRgn(trapezoid, trapezoid, previous, RGN_AND);
      SelectClipRgn(dc, trapezoid);
      DeleteObject(trapezoid);
      FillGradientRect(dc, band.direction, stops, area, clip);
      SelectClipRgn(dc, hadClip ? previous : nullptr);
    } else {
      FillGradientRect(dc, band.direction, stops, area, clip);
    }
  }
  DeleteObject(previous);
  return true;
}

void Label::DrawCaption(HDC dc, const RECT& area) {
  const std::wstring text = WindowWideText(hwnd());
  if (text.empty()) return;
  HFONT created = CreateShownFont(props_.font, dpi());
  HGDIOBJ old = SelectObject(dc, created ? HGDIOBJ(created) : GetStockObject(DEFAULT_GUI_FONT));
  UINT format = DT_NOCLIP | kHorizontal[ClampChoice(props_.horizontalAlign, 2)];
  if (props_.wrap == 1)
    format |= DT_WORDBREAK | DT_VCENTER;
  else
    format |= DT_SINGLELINE | kVertical[ClampChoice(props_.verticalAlign, 2)];
  SetBkMode(dc, TRANSPARENT);

  RECT r = area;
  auto draw = [&](COLORREF colour, RECT at) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), int(text.size()), &at, format);
  };
  switch (ClampChoice(props_.effect, 3)) {
    case 1: {
      RECT below = r;
      OffsetRect(&below, 1, 1);
      draw(kWhite, below);
      break;
    }
    case 2:
      draw(kWhite, r);
      OffsetRect(&r, 1, 1);
      break;
    case 3: {
      RECT shadow = r;
      OffsetRect(&shadow, 2, 2);
      draw(kBlack, shadow);
      break;
    }
    default:
      break;
  }
  draw(COLORREF(props_.captionColour), r);
  SelectObject(dc, old);
  if (created) DeleteObject(created);
}

bool Label::SetOwnProperty(int32_t own, const PropertyValue& value) {
  const int32_t v = ValueInt(value);
  switch (LabelOwn(own)) {
    case LabelOwn::kCaption:
      props_.caption = ValueText(value);
      SetWindowProgramText(hwnd(), props_.caption);
      break;
    case LabelOwn::kEffect: props_.effect = ClampChoice(v, 3); break;
    case LabelOwn::kBorder:
      props_.border = ClampChoice(v, 6);
      ApplyBorder();
      break;
    case LabelOwn::kFrameWidth: props_.frameWidth = v < 5 ? 5 : v; break;
    case LabelOwn::kFrameColour1: props_.frameColour1 = ValueColour(value); break;
    case LabelOwn::kFrameColour2: props_.frameColour2 = ValueColour(value); break;
    case LabelOwn::kFrameColour3: props_.frameColour3 = ValueColour(value); break;
    case LabelOwn::kFont: props_.font = ValueBytes(value); break;
    case LabelOwn::kCaptionColour: props_.captionColour = ValueColour(value); break;
    case LabelOwn::kBackColour: props_.backColour = ValueColour(value); break;
    case LabelOwn::kPicture:
      props_.picture = ValueBytes(value);
      DropPicture();
      break;
    case LabelOwn::kPictureLayout: props_.pictureLayout = ClampChoice(v, 2); break;
    case LabelOwn::kGradient: props_.gradient = ClampChoice(v, 8); break;
    case LabelOwn::kGradientColour1: props_.gradientColour1 = ValueColour(value); break;
    case LabelOwn::kGradientColour2: props_.gradientColour2 = ValueColour(value); break;
    case LabelOwn::kGradientColour3: props_.gradientColour3 = ValueColour(value); break;
    case LabelOwn::kHorizontalAlign: props_.horizontalAlign = ClampChoice(v, 2); break;
    case LabelOwn::kWrap: props_.wrap = ValueLogical(value); break;
    case LabelOwn::kVerticalAlign: props_.verticalAlign = ClampChoice(v, 2); break;
    // Nothing is bound in this runtime, so storing the names is all.
    case LabelOwn::kDataSource: props_.dataSource = ValueText(value); break;
    case LabelOwn::kDataColumn: props_.dataColumn = ValueText(value); break;
    default: return false;
  }
  InvalidateRect(hwnd(), nullptr, FALSE);
  return false;
}

bool Label::GetOwnProperty(int32_t own, PropertyValue& value) {
  switch (LabelOwn(own)) {
    case LabelOwn::kCaption: value = TextValue(props_.caption); break;
    case LabelOwn::kEffect: value = IntValue(props_.effect); break;
    case LabelOwn::kBorder: value = IntValue(props_.border); break;
    case LabelOwn::kFrameWidth: value = IntValue(props_.frameWidth); break;
    case LabelOwn::kFrameColour1: value = ColourValue(props_.frameColour1); break;
    case LabelOwn::kFrameColour2: value = ColourValue(props_.frameColour2); break;
    case LabelOwn::kFrameColour3: value = ColourValue(props_.frameColour3); break;
    case LabelOwn::kFont: value = BytesValue(props_.font); break;
    case LabelOwn::kCaptionColour: value = ColourValue(props_.captionColour); break;
    case LabelOwn::kBackColour: value = ColourValue(props_.backColour); break;
    case LabelOwn::kPicture: value = BytesValue(props_.picture); break;
    case LabelOwn::kPictureLayout: value = IntValue(props_.pictureLayout); break;
    case LabelOwn::kGradient: value = IntValue(props_.gradient); break;
    case LabelOwn::kGradientColour1: value = ColourValue(props_.gradientColour1); break;
    case LabelOwn::kGradientColour2: value = ColourValue(props_.gradientColour2); break;
    case LabelOwn::kGradientColour3: value = ColourValue(props_.gradientColour3); break;
    case LabelOwn::kHorizontalAlign: value = IntValue(props_.horizontalAlign); break;
    case LabelOwn::kWrap: value = IntValue(props_.wrap); break;
    case LabelOwn::kVerticalAlign: value = IntValue(props_.verticalAlign); break;
    case LabelOwn::kDataSource: value = TextValue(props_.dataSource); break;
    case LabelOwn::kDataColumn: value = TextValue(props_.dataColumn); break;
    default: return false;
  }
  return true;
}

}  // namespace kavrel
