// How long the runtime takes to load the main window (the window and its 21
// units from the template block) against the system building a dialog of
// 21 standard controls of the same sizes, with the same list entries, from
// an in-memory template (CreateDialogIndirectParamA) that sets the same fonts
// and icons and paints the same background picture. Both run in this one
// process, in turns, under the same conditions; the program prints the
// times and their ratio, first for creation alone (each decodes its picture
// and paints it once while it is made) and then including the painting
// that follows.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "framework/code_page_win32.h"
#include "program/program.h"
#include "program/program_descriptor.h"
#include "window/window_engine_win32.h"

namespace kavrel {
namespace {

constexpr WindowId kMainWindow = 0x52010001;
constexpr int kRounds = 25;
constexpr int kWarmUp = 3;

double Now() {
  static LARGE_INTEGER frequency{};
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER t{};
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Everything the new window posted or asked to paint.
void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

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

// DLGTEMPLATE and its items, in dialog units of the system font.
std::vector<WORD> DialogTemplate(const std::vector<Control>& controls) {
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

const std::vector<Control>* g_controls = nullptr;

// The window's background picture, which the dialog decodes and paints too.
std::vector<uint8_t> g_background;

// The system's own way to have a JPEG as a picture: OleLoadPicture over a
// stream of its bytes.
IPicture* LoadBackground() {
  if (g_background.empty()) return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, g_background.size());
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), g_background.data(), g_background.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  if (OleLoadPicture(stream, LONG(g_background.size()), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture)) !=
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
INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
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
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(LoadBackground()));
  const WPARAM font = WPARAM(GetStockObject(DEFAULT_GUI_FONT));
  int id = 100;
  for (const Control& c : *g_controls) {
    SendDlgItemMessageA(dialog, id, WM_SETFONT, font, TRUE);
    for (const auto& entry : c.entries) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, LPARAM(entry.c_str()));
    id += 10;
  }
  HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, LPARAM(icon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(icon));
  return TRUE;
}

struct Times {
  std::vector<double> create, paint;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Report(const char* what, const Times& t) {
  auto [lo, hi] = std::minmax_element(t.create.begin(), t.create.end());
  std::printf("%-44s %8.2f ms median (%.2f to %.2f), %8.2f ms with painting\n", what, Median(t.create), *lo, *hi,
              Median(t.paint));
}

int32_t RunBenchmark() {
  BindProgramRuntime(&TheRuntimeServices(), TheProgramCommands(), ActiveCodePageBytes());
  RuntimeApp& app = RuntimeApp::Instance();
  app.InitRuntime();
  auto found = app.windows().Find(kMainWindow);
  WindowEngine* engine = app.windowEngine();
  if (!found || !engine) {
    std::printf("the runtime has no window engine or no main window template\n");
    return 1;
  }
  std::vector<Control> controls = Controls();
  {
    const std::string path = KAVREL_GENERATED_DIR "/background.jpg";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) file = std::fopen(("Z:" + path).c_str(), "rb");
    if (!file) {
      std::printf("%s missing; build the generator first\n", path.c_str());
      return 1;
    }
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) g_background.insert(g_background.end(), chunk, chunk + n);
    std::fclose(file);
  }
  g_controls = &controls;
  std::vector<WORD> dialogTemplate = DialogTemplate(controls);

  Times window, dialog;
  for (int round = 0; round < kWarmUp + kRounds; ++round) {
    double t0 = Now();
    if (!engine->LoadWindow(*found->window, false, nullptr, false)) {
      std::printf("LoadWindow failed\n");
      return 1;
    }
    double t1 = Now();
    Drain();
    double t2 = Now();
    HWND loaded = FindWindowA("WTWindow", "Kavrel V1.2");
    if (!loaded) {
      std::printf("the loaded window is not there\n");
      return 1;
    }
    DestroyWindow(loaded);
    Drain();

    double d0 = Now();
    HWND made = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                           nullptr, DialogProc, 0);
    ShowWindow(made, SW_SHOW);
    double d1 = Now();
    Drain();
    double d2 = Now();
    if (!made) {
      std::printf("CreateDialogIndirectParamA failed (%lu)\n", GetLastError());
      return 1;
    }
    DestroyWindow(made);
    Drain();

    if (round < kWarmUp) continue;
    window.create.push_back(t1 - t0);
    window.paint.push_back(t2 - t0);
    dialog.create.push_back(d1 - d0);
    dialog.paint.push_back(d2 - d0);
  }
  std::printf("main window load against an equivalent dialog, %d rounds each, in turns\n", kRounds);
  Report("LoadWindow, the window and 21 units", window);
  Report("CreateDialogIndirectParamA, 21 controls", dialog);
  std::printf("%-44s %8.2f x, %8.2f x with painting\n", "ratio", Median(window.create) / Median(dialog.create),
              Median(window.paint) / Median(dialog.paint));
  std::fflush(stdout);
  return 0;
}

int32_t BenchmarkMain() {
  if (RunBenchmark() != 0) {
    std::fflush(stdout);
    ExitProcess(1);
  }
  return 0;  // no message loop: straight to the runtime's shutdown, which ends the process with 0
}

}  // namespace
}  // namespace kavrel

int main() {
  using namespace kavrel;
  RuntimeApp::Instance().SetWindowEngine(&InstallWindowEngine(RuntimeApp::Instance()));
  static const LibraryDescriptor* const libraries[] = {&TheRuntimeLibrary()};
  static ProgramDescriptor descriptor = TheProgramDescriptor();
  descriptor.libraryCount = 1;
  descriptor.libraries = libraries;
  RuntimeApp& app = RuntimeApp::Instance();
  app.SetProgram(&descriptor, &BenchmarkMain);
  return RunApplication(app, GetModuleHandleA(nullptr), GetCommandLineA(), SW_SHOWNORMAL);
}
