// The screenshot of the window that the build keeps (build/kavrel.png),
// taken by scripts/e2e-screenshot.sh through this test: the driver waits
// for the window, lets it paint, and has ImageMagick's import save the
// screen of the harness's display cropped to the window.
#include <iostream>

#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

class Screenshot : public KavrelTest {};

TEST_F(Screenshot, SavesTheWindowCroppedFromTheScreen) {
  std::string out = Environment("KAVREL_SCREENSHOT");  // a path of the host
  std::string display = Environment("DISPLAY");
  if (out.empty()) GTEST_SKIP() << "KAVREL_SCREENSHOT names no file";
  ASSERT_FALSE(display.empty());
  std::string import = Environment("KAVREL_IMPORT");
  if (import.empty()) import = "/usr/bin/import";

  // Painting is done once the program waits for input again.
  WaitForInputIdle(app->process(), 10000);
  RedrawWindow(app->main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(1500);
  RECT r{};
  GetWindowRect(app->main(), &r);
  std::string geometry = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                         std::to_string(r.left) + "+" + std::to_string(r.top);
  // Wine starts a program of the host as it starts its own.
  std::string line = import + " -display " + display + " -window root -crop " + geometry + " +repage \"" + out + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      << line;
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_EQ(code, 0u) << line;
  std::cout << "screenshot " << geometry << " saved to " << out << "\n";
}

}  // namespace
}  // namespace kavrel::e2e
