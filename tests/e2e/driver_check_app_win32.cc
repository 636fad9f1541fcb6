// A small window program with the pieces the driver must handle (an
// editable combo box with GBK entries, buttons, a task-modal notice, a
// command line run through cmd), so that the driver itself is proved
// independently of Kavrel. Its "leak" button deliberately keeps one brush
// and one event per press, which the driver's counters must see.
#include <windows.h>

#include <cstdint>
#include <string>

namespace kavrel::e2e {
namespace {

constexpr int kComboId = 10;
constexpr int kRunId = 11;
constexpr int kLeakId = 12;

// Read by the driver through the image's symbol table.
int64_t g_clickCount = 0;

HWND g_combo = nullptr;

void Run(HWND window) {
  ++g_clickCount;
  char text[256] = {};
  GetWindowTextA(g_combo, text, sizeof text);
  if (!text[0]) {
    // 请输入网卡名称！ / 提示
    MessageBoxA(nullptr, "\xc7\xeb\xca\xe4\xc8\xeb\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6\xa3\xa1", "\xcc\xe1\xca\xbe",
                MB_TASKMODAL);
    return;
  }
  std::string line = std::string("cmd /c netsh check \"") + text + "\" & netsh again";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    WaitForInputIdle(info.hProcess, 1000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kRunId && HIWORD(wParam) == BN_CLICKED) Run(window);
      if (LOWORD(wParam) == kLeakId && HIWORD(wParam) == BN_CLICKED) {
        CreateSolidBrush(RGB(1, 2, 3));
        CreateEventA(nullptr, FALSE, FALSE, nullptr);
      }
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace
}  // namespace kavrel::e2e

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace kavrel::e2e;
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "KavrelDriverCheck";
  RegisterClassA(&wc);
  // 驱动检查
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, "KavrelDriverCheck", "\xc7\xfd\xb6\xaf\xbc\xec\xb2\xe9",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 320, 200, nullptr,
                                nullptr, instance, nullptr);
  g_combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                            10, 10, 200, 160, window, HMENU(kComboId), instance, nullptr);
  const char* entries[] = {"\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3", "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3\x20\x31\x20", ""};  // 本地连接; 本地连接 1 ; empty
  for (const char* entry : entries) SendMessageA(g_combo, CB_ADDSTRING, 0, LPARAM(entry));
  // 运行, 泄漏
  CreateWindowExA(0, "BUTTON", "\xd4\xcb\xd0\xd0", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 40, 80, 24, window,
                  HMENU(kRunId), instance, nullptr);
  CreateWindowExA(0, "BUTTON", "\xd0\xb9\xc2\xa9", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 40, 80, 24, window,
                  HMENU(kLeakId), instance, nullptr);
  SetFocus(g_combo);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return int(msg.wParam);
}
