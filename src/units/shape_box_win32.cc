#include "units/shape_box_win32.h"

#include "units/shape_figure.h"

namespace kavrel {

namespace {

constexpr int kPenStyles[6] = {PS_NULL, PS_INSIDEFRAME, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};

constexpr auto kProperties = PropertyTable<7>({
    OwnProperty(ptype::kColourOrDefault),      // background
    OwnProperty(ptype::kChoice),               // figure
    OwnProperty(ptype::kChoice),               // relief
    OwnProperty(ptype::kChoice),               // line style
    OwnProperty(ptype::kInteger),              // line width
    OwnProperty(ptype::kColour),               // line colour
    OwnProperty(ptype::kColourOrTransparent),  // fill
});

}  // namespace

constinit const UnitTypeDescriptor kShapeBoxUnitType{
    "\xcd\xe2\xd0\xce\xbf\xf2",  // 外形框
    "ShapeBox",
    nullptr,
    0,
    nullptr,
    0x840100C0,
    0,
    0,
    nullptr,
    int32_t(kProperties.size()),
    kProperties.data(),
    &ShapeBoxInterface,
    0,
    nullptr,
};

void* KAVREL_STDCALL ShapeBoxInterface(int32_t number) {
  switch (number) {
    case iface::kCreate: return reinterpret_cast<void*>(&UnitRoutines<ShapeBox>::Create);
    case iface::kPropertyChanged: return reinterpret_cast<void*>(&UnitPropertyChanged);
    case iface::kSaveProperties: return reinterpret_cast<void*>(&UnitSaveProperties);
    case iface::kGetProperty: return reinterpret_cast<void*>(&UnitGetProperty);
    default: return nullptr;
  }
}

bool ShapeBox::Build(uint32_t style, HWND parent, int32_t id, int32_t x, int32_t y, int32_t width,
                     int32_t height) {
  if (!RegisterUnitClass(kShapeBoxClass)) return false;
  return CreateEx(0, kShapeBoxClass, "", style | WS_CHILD | WS_CLIPSIBLINGS, x, y, width, height, parent,
                  reinterpret_cast<HMENU>(intptr_t(id)));
}

LRESULT ShapeBox::UnitProc(UINT msg, WPARAM wParam, LPARAM lParam) {
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
    default:
      // Notifications of contained units go back to them here.
      return Unit::UnitProc(msg, wParam, lParam);
  }
}

void ShapeBox::Paint(HDC dc) {
  RECT clip{};
  if (GetClipBox(dc, &clip) <= NULLREGION || IsRectEmpty(&clip)) return;
  HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN);
  HGDIOBJ oldBrush = GetCurrentObject(dc, OBJ_BRUSH);

  RECT client;
  GetClientRect(hwnd(), &client);
  const ShapePlan plan = PlanShape(props_, client.right - client.left, client.bottom - client.top);
  HPEN pens[2] = {};
  for (int i = 0; i < plan.passCount; ++i) {
    // A solid line's width is the design's; the system's other pens are one
    // pixel at any scale.
    const int style = kPenStyles[plan.pens[i].lineStyle];
    const int width = style == PS_INSIDEFRAME ? ToDpi(plan.pens[i].width, dpi()) : plan.pens[i].width;
    pens[i] = CreatePen(style, width, COLORREF(plan.pens[i].colour));
  }

  HBRUSH back = CreateSolidBrush(PaintColour(props_.backColour));
  SelectObject(dc, back);
  PatBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, PATCOPY);
  HBRUSH fill = plan.filled ? CreateSolidBrush(COLORREF(plan.fill)) : nullptr;

  SetBkMode(dc, TRANSPARENT);
  PixelRect r = plan.rect;
  for (int pass = 0; pass < plan.passCount; ++pass) {
    SelectObject(dc, pens[pass]);
    SelectObject(dc, pass == 0 && fill ? HGDIOBJ(fill) : GetStockObject(NULL_BRUSH));
    switch (plan.figure) {
      case kFigureRectangle:
      case kFigureSquare:
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        break;
      case kFigureEllipse:
      case kFigureCircle:
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
        break;
      case kFigureRoundRect:
      case kFigureRoundSquare:
        RoundRect(dc, r.left, r.top, r.right, r.bottom, plan.cornerWidth, plan.cornerHeight);
        break;
      case kFigureHorizontalLine:
        MoveToEx(dc, r.left, r.top, nullptr);
        LineTo(dc, r.right, r.top);
        break;
      case kFigureVerticalLine:
        MoveToEx(dc, r.left, r.top, nullptr);
        LineTo(dc, r.left, r.bottom);
        break;
      default:
        break;
    }
    r = NextPassRect(plan.figure, r);
  }

  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  for (HPEN pen : pens)
    if (pen) DeleteObject(pen);
  DeleteObject(back);
  if (fill) DeleteObject(fill);
}

bool ShapeBox::SetOwnProperty(int32_t own, const PropertyValue& value) {
  const int32_t v = ValueInt(value);
  switch (ShapeBoxOwn(own)) {
    case ShapeBoxOwn::kBackColour: props_.backColour = ValueColour(value); break;
    case ShapeBoxOwn::kFigure: props_.figure = ClampChoice(v, 7); break;
    case ShapeBoxOwn::kRelief: props_.relief = ClampChoice(v, 2); break;
    case ShapeBoxOwn::kLineStyle: props_.lineStyle = ClampChoice(v, 5); break;
    case ShapeBoxOwn::kLineWidth: props_.lineWidth = v < 0 ? 0 : v; break;
    case ShapeBoxOwn::kLineColour: props_.lineColour = ValueColour(value); break;
    case ShapeBoxOwn::kFillColour: props_.fillColour = ValueColour(value); break;
    default: return false;
  }
  InvalidateRect(hwnd(), nullptr, FALSE);
  return false;
}

bool ShapeBox::GetOwnProperty(int32_t own, PropertyValue& value) {
  switch (ShapeBoxOwn(own)) {
    case ShapeBoxOwn::kBackColour: value = ColourValue(props_.backColour); break;
    case ShapeBoxOwn::kFigure: value = IntValue(props_.figure); break;
    case ShapeBoxOwn::kRelief: value = IntValue(props_.relief); break;
    case ShapeBoxOwn::kLineStyle: value = IntValue(props_.lineStyle); break;
    case ShapeBoxOwn::kLineWidth: value = IntValue(props_.lineWidth); break;
    case ShapeBoxOwn::kLineColour: value = ColourValue(props_.lineColour); break;
    case ShapeBoxOwn::kFillColour: value = ColourValue(props_.fillColour); break;
    default: return false;
  }
  return true;
}

}  // namespace kavrel
