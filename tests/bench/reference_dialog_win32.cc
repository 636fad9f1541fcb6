#include "reference_dialog_win32.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace kavrel::bench {
namespace {

std::wstring Wide(const char* gbk) {
  int n = MultiByteToWideChar(936, 0, gbk, -1, nullptr, 0);
  std::wstring out(size_t(std::max(n, 1)), L'\0');
  MultiByteToWideChar(936, 0, gbk, -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

// The window's units in the window's client coordinates, as standard
// controls: labels and shape boxes as statics, the group box, the buttons
// and the drop-down combo boxes (made 160 high, as the runtime makes them).
struct Control {
  WORD atom;  // 0x80 button, 0x82 static, 0x85 combo box
  DWORD style;
  int x, y, cx, cy;
  const char* text;
  std::vector<std::string> entries;
};

std::vector<Control> Controls() {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const DWORD combo = child | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
  const DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
  std::vector<std::string> names = {"\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3", "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3 1 ",
                                    "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3 2 ", "\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3"};
  for (int i = 1; i <= 3; ++i) names.push_back("\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3 " + std::to_string(i) + " ");
  names.push_back("\xce\xde\xcf\xdf\xcd\xf8\xc2\xe7\xc1\xac\xbd\xd3 4");
  for (int i = 1; i <= 8; ++i) names.push_back("VMware Network Adapter VMnet" + std::to_string(i));
  names.insert(names.end(), 3, "");
  const std::vector<std::string> addresses = {"172.16.3.", "172.16.12.", "192.168.2.", "192.168.3.", ""};
  const std::vector<std::string> mask = {"255.255.255.0", ""}, dns = {"222.222.222.222", ""};
  return {
      {0x82, child, 312, 56, 112, 48, "\xce\xd2\xd4\xb8\xd2\xe2", {}},  // 我愿意
      {0x82, child, 288, 112, 88, 24, "static", {}},
      {0x80, button, 424, 120, 32, 112, "\xb6\xaf\r\n\r\n\xcc\xac\r\n\r\n\xbb\xf1\r\n\r\n\xc8\xa1", {}},  // 动态获取
      {0x80, button, 336, 208, 56, 24, "\xb1\xb8\xd3\xc3(A)", {}},  // 备用(A)
      {0x85, combo, 272, 184, 120, 160, "", dns},
      {0x82, child, 232, 184, 32, 24, "DNS.A", {}},
      {0x80, button, 272, 208, 56, 24, "\xca\xd7\xd1\xa1(P)", {}},  // 首选(P)
      {0x85, combo, 272, 152, 120, 160, "", dns},
      {0x82, child, 232, 152, 32, 24, "DNS.P", {}},
      {0x80, button, 96, 208, 56, 24, "\xbe\xb2\xcc\xac(S)", {}},  // 静态(S)
      {0x85, combo, 64, 184, 136, 160, "", addresses},
      {0x82, child, 24, 184, 16, 24, "GW", {}},
      {0x85, combo, 64, 152, 136, 160, "", mask},
      {0x82, child, 24, 152, 16, 24, "MAC", {}},
      {0x85, combo, 64, 120, 136, 160, "", addresses},
      {0x82, child, 24, 120, 16, 24, "IP", {}},
      {0x85, combo, 64, 64, 200, 160, "", names},
      {0x82, child, 8, 64, 48, 24, "\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6", {}},  // 网卡名称
      {0x80, child | BS_GROUPBOX | BS_RIGHT, 0, 88, 480, 192, "", {}},
      {0x82, child | SS_BLACKFRAME, 0, 48, 480, 240, "", {}},
      {0x82, child | SS_BLACKFRAME, 8, 105, 408, 144, "", {}},
  };
}

const std::vector<Control>& TheControls() {
  static const std::vector<Control> controls = Controls();
  return controls;
}

// DLGTEMPLATE and its items, in dialog units of the system font.
std::vector<WORD> DialogTemplateOf(const std::vector<Control>& controls) {
  LONG units = GetDialogBaseUnits();
  int bx = LOWORD(units), by = HIWORD(units);
  auto dx = [&](int px) { return short(MulDiv(px, 4, bx)); };
  auto dy = [&](int py) { return short(MulDiv(py, 8, by)); };
  std::vector<WORD> t;
  auto align = [&] {
    if (t.size() % 2) t.push_back(0);
  };
  auto dword = [&](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto text = [&](const char* gbk) {
    for (wchar_t c : Wide(gbk)) t.push_back(WORD(c));
    t.push_back(0);
  };
  dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | DS_CENTER);
  dword(WS_EX_CLIENTEDGE);
  t.push_back(WORD(controls.size()));
  t.push_back(0);
  t.push_back(0);
  t.push_back(WORD(dx(476)));  // the client area of the 482 x 309 window
  t.push_back(WORD(dy(280)));
  t.push_back(0);  // no menu
  t.push_back(0);  // the dialog class
  text("Kavrel V1.2");
  int id = 100;
  for (const Control& c : controls) {
    align();
    dword(c.style);
    dword(0);
    t.push_back(WORD(dx(c.x)));
    t.push_back(WORD(dy(c.y)));
    t.push_back(WORD(dx(c.cx)));
    t.push_back(WORD(dy(c.cy)));
    t.push_back(WORD(id));
    id += 10;
    t.push_back(0xFFFF);
    t.push_back(c.atom);
    text(c.text);
    t.push_back(0);  // no creation data
  }
  return t;
}

// The system's own way to have a JPEG as a picture: OleLoadPicture over a
// stream of its bytes.
IPicture* LoadBackground(std::span<const uint8_t> background) {
  if (background.empty()) return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, background.size());
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), background.data(), background.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  if (OleLoadPicture(stream, LONG(background.size()), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture)) !=
      S_OK)
    picture = nullptr;
  stream->Release();
  return picture;
}

// Stretched over the client area, with the stretch mode the window uses.
void PaintBackground(HWND dialog, HDC dc, IPicture* picture) {
  RECT client;
  GetClientRect(dialog, &client);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  picture->Render(dc, 0, 0, client.right, client.bottom, 0, height, width, -height, nullptr);
}

// What the runtime does for every unit and for the window that a bare
// dialog template does not: each control gets the font the units get (the
// stock GUI font; a dialog without DS_SETFONT keeps the system font), the
// window gets its two icons, and its background picture is decoded when it
// is made and painted stretched on every erase.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* picture = reinterpret_cast<IPicture*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (msg == WM_ERASEBKGND && picture) {
    PaintBackground(dialog, reinterpret_cast<HDC>(wParam), picture);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
    return TRUE;
  }
  if (msg == WM_DESTROY && picture) {
    picture->Release();
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    return FALSE;
  }
  if (msg != WM_INITDIALOG) return FALSE;
  const auto& made = *reinterpret_cast<const ReferenceDialog*>(lParam);
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(LoadBackground(made.background)));
  const WPARAM font = WPARAM(GetStockObject(DEFAULT_GUI_FONT));
  int id = 100;
  for (const Control& c : TheControls()) {
    SendDlgItemMessageA(dialog, id, WM_SETFONT, font, TRUE);
    for (const auto& entry : c.entries) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, LPARAM(entry.c_str()));
    id += 10;
  }
  SendMessageA(dialog, WM_SETICON, ICON_BIG, LPARAM(made.largeIcon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(made.smallIcon));
  return TRUE;
}

}  // namespace

std::vector<WORD> ReferenceDialogTemplate() { return DialogTemplateOf(TheControls()); }

HWND CreateReferenceDialog(const std::vector<WORD>& dialogTemplate, const ReferenceDialog& dialog) {
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                    nullptr, DialogProc, reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace kavrel::bench
