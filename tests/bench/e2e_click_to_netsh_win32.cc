// From a click on a button of the real Kavrel.exe to the recording netsh
// starting: the driver posts the click and notes the time, netsh notes the
// time it starts (the performance counter is one clock for every process),
// and the program prints the spread for the static-address button and for
// both netsh runs of the DHCP button.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "driver_win32.h"

namespace kavrel::e2e {
namespace {

constexpr int kPresses = 30;

double Milliseconds(int64_t ticks) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return double(ticks) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Report(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) return;
  std::printf("%-36s min %7.1f  median %7.1f  p90 %7.1f  max %7.1f ms  (%zu presses)\n", what, v.front(),
              v[v.size() / 2], v[v.size() * 9 / 10], v.back(), v.size());
}

int Run() {
  NetshLogFile log(TempPath("kavrel-bench-netsh") + ".log");
  std::string error;
  if (!InstallRecordingNetsh(log, &error)) {
    std::printf("%s\n", error.c_str());
    return 1;
  }
  auto app = AppSession::Start(KavrelOptions(), &error);
  if (!app) {
    std::printf("%s\n", Readable(error).c_str());
    return 1;
  }
  // The static-address button and the DHCP button, found by their places
  // in the group box; the boxes filled once.
  HWND staticButton = app->FindUnit(L"Button", 96, 120);
  HWND dhcpButton = app->FindUnit(L"Button", 424, 32);
  HWND boxes[] = {app->FindUnit(L"ComboBox", 64, 16), app->FindUnit(L"ComboBox", 64, 32),
                  app->FindUnit(L"ComboBox", 64, 64)};
  const char* texts[] = {"\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3", "192.168.2.10", "255.255.255.0"};  // 本地连接
  for (int i = 0; i < 3; ++i) {
    if (!boxes[i] || !app->Put(boxes[i], texts[i])) {
      std::printf("the boxes of the main window are not there\n");
      return 1;
    }
  }
  if (!staticButton || !dhcpButton) {
    std::printf("the buttons of the main window are not there\n");
    return 1;
  }

  // The baseline: the very line Kavrel gave cmd, started directly by this
  // program the way Run starts it, timed to the same netsh entry.
  auto startDirectly = [&](const std::string& utf8) -> std::optional<double> {
    log.Clear();
    std::wstring buffer = FromUtf8(utf8);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;  // what Run gives a line started without a show mode
    PROCESS_INFORMATION process{};
    LARGE_INTEGER started{};
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      return std::nullopt;
    auto records = log.WaitForRecords(1, 30000);
    WaitForSingleObject(process.hProcess, 15000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!records || records->empty()) return std::nullopt;
    return Milliseconds(int64_t((*records)[0].startTicks) - started.QuadPart);
  };
  std::string staticLine;
  std::vector<double> toStatic, toFirst, toSecond, direct;
  for (int i = 0; i < kPresses; ++i) {
    for (HWND button : {staticButton, dhcpButton}) {
      log.Clear();
      app->WaitForNoChildren(15000);
      LARGE_INTEGER clicked{};
      QueryPerformanceCounter(&clicked);
      app->Click(button);
      size_t runs = button == dhcpButton ? 2 : 1;
      auto records = log.WaitForRecords(runs, 30000);
      if (!records || records->size() != runs) {
        std::printf("press %d: no netsh run recorded\n", i);
        return 1;
      }
      auto after = [&](size_t k) { return Milliseconds(int64_t((*records)[k].startTicks) - clicked.QuadPart); };
      if (button == staticButton) {
        toStatic.push_back(after(0));
        staticLine = (*records)[0].parentCommandLine;
      } else {
        toFirst.push_back(after(0));
        toSecond.push_back(after(1));
      }
    }
    if (std::optional<double> t = startDirectly(staticLine)) {
      direct.push_back(*t);
    } else {
      std::printf("press %d: the line started directly ran no netsh\n", i);
      return 1;
    }
  }
  std::printf("click to the recording netsh starting, through cmd\n");
  Report("static address", toStatic);
  Report("DHCP, first netsh", toFirst);
  Report("DHCP, second netsh", toSecond);
  Report("static line started directly", direct);
  std::printf("%-36s %.2f x (medians)\n", "static address / started directly", Median(toStatic) / Median(direct));
  PostMessageW(app->main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  app->WaitForExit(10000);
  log.Clear();
  return 0;
}

}  // namespace
}  // namespace kavrel::e2e

int main() { return kavrel::e2e::Run(); }
