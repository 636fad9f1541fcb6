#include "commands/run_command_win32.h"

#include <windows.h>

#include <cstring>

#include "base/startup_profile.h"

#include "commands/runtime_heap.h"
#include "commands/text_ops.h"

namespace kavrel {

uint16_t RunShowCommand(bool given, int32_t showMode) {
  static constexpr uint16_t kShow[6] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                                        SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};
  int32_t mode = given ? showMode : 2;
  if (mode < 1) mode = 1;
  if (mode > 6) mode = 6;
  return kShow[mode - 1];
}

void Run(CommandResult* result, int32_t count, const CommandArg* args) {
  result->low = 0;
  if (count < 1 || !args) return;
  const char* line = args[0].Text();
  bool wait = count >= 2 && args[1].Low32() != 0;
  bool showGiven = count >= 3 && args[2].tag != tags::kNone;

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = RunShowCommand(showGiven, showGiven ? args[2].Int() : 0);

  // CreateProcessA may write into the command line, so it gets a copy, from
  // the runtime heap: running out of memory is the fatal report.
  const char* empty = "";
  char* commandLine = JoinTexts(1, line ? &line : &empty);

  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  const BOOL started =
      CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  MarkEvent(started ? "process-started" : "process-failed", started ? int32_t(process.dwProcessId) : int32_t(GetLastError()));
  Free(commandLine);
  if (!started) return;
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
  } else {
    WaitForInputIdle(process.hProcess, 1000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result->low = 1;
}

}  // namespace kavrel
