#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "app_test_support.h"
#include "commands/run_command_win32.h"

namespace kavrel {
namespace {

using test::AppendFileText;
using test::ChildCommandLine;
using test::FileExists;
using test::ReadFileText;
using test::TempPath;

// Writes "<flags & STARTF_USESHOWWINDOW> <wShowWindow> <working directory>".
KAVREL_CHILD_SCENARIO(StartupInfo) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  char cwd[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  char line[MAX_PATH + 64];
  std::snprintf(line, sizeof line, "%d %d %s", (startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0,
                int(startup.wShowWindow), cwd);
  AppendFileText(args.at(0), line);
  return 0;
}

// Sleeps for the given milliseconds, then writes its file; ends with 3.
KAVREL_CHILD_SCENARIO(SleepThenWrite) {
  Sleep(DWORD(std::stoul(args.at(1))));
  AppendFileText(args.at(0), "done");
  return 3;
}

bool CallRun(const std::string& line, CommandArg wait, CommandArg show) {
  const CommandArg args[3] = {CommandArg::OfText(line.c_str()), wait, show};
  return CallCommand(&kavrel::Run, 3, args).low == 1;
}

TEST(RunCommand, ShowModesAreClampedAndMapped) {
  struct Case {
    bool given;
    int32_t mode;
    uint16_t show;
  };
  const Case cases[] = {{false, 0, SW_SHOWNORMAL},   {true, -5, SW_HIDE},        {true, 0, SW_HIDE},
                        {true, 1, SW_HIDE},          {true, 2, SW_SHOWNORMAL},   {true, 3, SW_SHOWMINIMIZED},
                        {true, 4, SW_SHOWMAXIMIZED}, {true, 5, SW_SHOWNOACTIVATE}, {true, 6, SW_MINIMIZE},
                        {true, 7, SW_MINIMIZE},      {true, 100, SW_MINIMIZE}};
  for (const Case& c : cases) EXPECT_EQ(RunShowCommand(c.given, c.mode), c.show) << c.given << " " << c.mode;

  // What a started program really receives, the omitted argument included
  // (its value word is ignored when the tag is 0).
  const Case started[] = {{false, 4, SW_SHOWNORMAL}, {true, -5, SW_HIDE}, {true, 3, SW_SHOWMINIMIZED},
                          {true, 7, SW_MINIMIZE}};
  for (const Case& c : started) {
    std::string file = TempPath("startup");
    CommandArg show = c.given ? CommandArg::OfInt(c.mode) : CommandArg{uintptr_t(uint32_t(c.mode)), 0, 0};
    ASSERT_TRUE(CallRun(ChildCommandLine("StartupInfo", {file}), CommandArg::OfLogical(true), show));
    int flag = -1, shown = -1;
    ASSERT_EQ(std::sscanf(ReadFileText(file).c_str(), "%d %d", &flag, &shown), 2) << ReadFileText(file);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(shown, c.show) << c.given << " " << c.mode;
    DeleteFileA(file.c_str());
  }
}

TEST(RunCommand, WaitsOnlyWhenAsked) {
  // Without waiting it comes back while the program still runs.
  std::string file = TempPath("nowait");
  EXPECT_TRUE(CallRun(ChildCommandLine("SleepThenWrite", {file, "4000"}), CommandArg::OfLogical(false),
                      CommandArg::Omitted()));
  EXPECT_FALSE(FileExists(file));
  for (int i = 0; i < 300 && !FileExists(file); ++i) Sleep(50);
  EXPECT_TRUE(FileExists(file));
  DeleteFileA(file.c_str());

  // Waiting, it returns once the program has ended, true whatever its exit code.
  file = TempPath("wait");
  EXPECT_TRUE(CallRun(ChildCommandLine("SleepThenWrite", {file, "300"}), CommandArg::OfLogical(true),
                      CommandArg::Omitted()));
  EXPECT_EQ(ReadFileText(file), "done");
  DeleteFileA(file.c_str());
}

std::wstring Lower(std::wstring s) {
  CharLowerBuffW(s.data(), DWORD(s.size()));
  return s;
}

// The system's folders and PATH's absolute ones are searched for a bare
// name (the planted end-to-end suite shows that Kavrel's folder and the
// working directory are not); a path is taken as the line gives it.
TEST(RunCommand, LooksABareNameUpInTheSystemsFoldersAndPath) {
  wchar_t system[MAX_PATH + 1] = {};
  GetSystemDirectoryW(system, MAX_PATH + 1);
  const std::wstring cmd = Lower(std::wstring(system) + L"\\cmd.exe");
  EXPECT_EQ(Lower(ProgramToStart(L"cmd /c netsh")), cmd);
  EXPECT_EQ(Lower(ProgramToStart(L" \t\"cmd\" /c netsh")), cmd);
  EXPECT_EQ(ProgramToStart(L"\"C:\\some folder\\x.exe\" /c"), L"C:\\some folder\\x.exe");
  // A path with a blank must be quoted: there is no guessing where it ends.
  EXPECT_EQ(ProgramToStart(L"C:\\some folder\\x.exe /c"), L"C:\\some");

  // This program, from its own folder as the working directory: only an
  // absolute PATH entry finds it.
  const std::string dir = test::ExecutableDir();
  const std::wstring folder(dir.begin(), dir.end()), self = L"kavrel_win_tests --x";
  std::wstring path(32767, L'\0'), previous(MAX_PATH + 1, L'\0');
  path.resize(GetEnvironmentVariableW(L"PATH", path.data(), DWORD(path.size())));
  previous.resize(GetCurrentDirectoryW(DWORD(previous.size()), previous.data()));
  SetCurrentDirectoryW(folder.c_str());
  SetEnvironmentVariableW(L"PATH", (L".;;" + path).c_str());
  EXPECT_EQ(ProgramToStart(self), L"");
  SetEnvironmentVariableW(L"PATH", (L"\"" + folder + L"\";" + path).c_str());
  EXPECT_EQ(Lower(ProgramToStart(self)), Lower(folder + L"\\kavrel_win_tests.exe"));
  SetEnvironmentVariableW(L"PATH", path.c_str());
  SetCurrentDirectoryW(previous.c_str());
}

TEST(RunCommand, FalseWhenNothingCanBeStarted) {
  EXPECT_FALSE(CallRun("", CommandArg::OfLogical(false), CommandArg::Omitted()));
  EXPECT_FALSE(CallRun("Z:\\kavrel-no-such-dir\\nothing.exe", CommandArg::OfLogical(true), CommandArg::Omitted()));
  EXPECT_FALSE(CallRun("kavrel-no-such-program /c", CommandArg::OfLogical(true), CommandArg::Omitted()));
  // Longer than Windows takes, whatever Wine would.
  EXPECT_FALSE(CallRun("cmd /c rem " + std::string(32760, 'x'), CommandArg::OfLogical(true), CommandArg::Omitted()));
  // A null text is the empty text.
  const CommandArg args[3] = {CommandArg::OfText(nullptr), CommandArg::OfLogical(false), CommandArg::Omitted()};
  EXPECT_EQ(CallCommand(&kavrel::Run, 3, args).low, 0u);
}

}  // namespace
}  // namespace kavrel
