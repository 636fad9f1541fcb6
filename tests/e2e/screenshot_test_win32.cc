// The screenshot of the window that the build keeps (build/kavrel.png),
// taken by scripts/e2e-screenshot.sh through this test: the driver waits
// for the window, lets it paint, and has ImageMagick's import save the
// screen of the harness's display cropped to the window.
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

bool EndsWithPngEnd(const std::string& path) {
  static const uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  uint8_t tail[12] = {};
  DWORD got = 0;
  bool done = SetFilePointer(file, -12, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
              ReadFile(file, tail, sizeof tail, &got, nullptr) && got == sizeof tail &&
              std::memcmp(tail, kEnd, sizeof tail) == 0;
  CloseHandle(file);
  return done;
}

class Screenshot : public KavrelTest {};

TEST_F(Screenshot, SavesTheWindowCroppedFromTheScreen) {
  std::string out = Environment("KAVREL_SCREENSHOT");  // a path of the host
  std::string display = Environment("DISPLAY");
  if (out.empty()) GTEST_SKIP() << "KAVREL_SCREENSHOT names no file";
  ASSERT_FALSE(display.empty());
  std::string import = Environment("KAVREL_IMPORT");
  if (import.empty()) import = "/usr/bin/import";

  // With KAVREL_DPI_TRIPS=n the window first goes to 144 dpi and back n times.
  for (int trip = std::atoi(Environment("KAVREL_DPI_TRIPS").c_str()); trip > 0; --trip)
    ASSERT_TRUE(app->MoveToDpi(96, 144) && app->MoveToDpi(144, 96));
  // Painting is done once the program waits for input again.
  WaitForInputIdle(app->process(), 10000);
  RedrawWindow(app->main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(1500);
  RECT r{};
  GetWindowRect(app->main(), &r);
  std::string geometry = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                         std::to_string(r.left) + "+" + std::to_string(r.top);
  // Wine starts a program of the host as it starts its own, but its handle
  // cannot be waited on: the finished file tells, as a PNG ends with its
  // IEND chunk.
  std::string line = import + " -display " + display + " -window root -crop " + geometry + " +repage \"png:" + out + "\"";
  std::string windowsPath = "Z:" + out;
  for (char& c : windowsPath)
    if (c == '/') c = '\\';
  DeleteFileA(windowsPath.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      << line;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_TRUE(WaitUntil([&] { return EndsWithPngEnd(windowsPath); }, 60000)) << line;
  // Where the client area is in the shot, for comparisons that leave out
  // the frame the system draws.
  RECT client{};
  GetClientRect(app->main(), &client);
  POINT origin{0, 0};
  ClientToScreen(app->main(), &origin);
  std::cout << "screenshot " << geometry << " saved to " << out << "; client area " << client.right << "x"
            << client.bottom << "+" << origin.x - r.left << "+" << origin.y - r.top << "\n";
}

}  // namespace
}  // namespace kavrel::e2e
