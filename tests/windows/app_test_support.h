// Shared by the application core's Windows tests: scenarios run in a child
// process (this executable started again), so that exit codes and the end of
// the process can be observed, and a watcher that reads and closes the
// message boxes the code under test shows.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kavrel::test {

using ChildScenario = int (*)(const std::vector<std::string>& args);

struct ChildRegistrar {
  ChildRegistrar(const char* name, ChildScenario scenario);
};

// Defines a scenario that a child process runs; its result is the child's
// exit code (unless the code under test ends the process first).
#define KAVREL_CHILD_SCENARIO(name)                                               \
  static int name##Scenario(const std::vector<std::string>& args);                \
  static ::kavrel::test::ChildRegistrar name##Registrar(#name, &name##Scenario); \
  static int name##Scenario([[maybe_unused]] const std::vector<std::string>& args)

std::string ExecutablePath();
std::string ExecutableDir();
// The command line that makes this executable run `scenario` with `args`.
std::string ChildCommandLine(const std::string& scenario, const std::vector<std::string>& args);

// Runs the scenario in a child and gives its exit code; nothing when it did
// not end within `timeoutMs` (it is then terminated). `directory` is the
// child's working directory (empty: this process's).
std::optional<DWORD> RunChild(const std::string& scenario, const std::vector<std::string>& args,
                              const std::string& directory = "", DWORD timeoutMs = 60000);

// A fresh file name in the temporary folder; the file does not exist.
std::string TempPath(const char* stem);
std::string ReadFileText(const std::string& path);
void AppendFileText(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Looks for a dialog box of this process captioned `caption`, reads the text
// it shows, calls `inspect` while it is up, then closes it: with the command
// `button`, or WM_CLOSE when `button` is 0. Should no such box come up within
// the time limit, every dialog box of the process is closed so that the test
// fails instead of hanging.
class BoxWatcher {
 public:
  using Inspect = void (*)(HWND box, void* context);

  explicit BoxWatcher(std::string caption, int button = IDOK, Inspect inspect = nullptr, void* context = nullptr,
                      DWORD limitMs = 20000);
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // Waits for the watcher to finish.
  void Join();
  bool found() const { return found_; }
  const std::string& text() const { return text_; }

 private:
  void Watch();

  std::string caption_;
  int button_;
  Inspect inspect_;
  void* context_;
  DWORD limitMs_;
  std::atomic<bool> found_{false};
  std::string text_;
  std::thread thread_;
};

// Makes the next operator new on this thread throw std::bad_alloc, or with
// `otherException` an exception that is not about memory (this executable
// replaces the global operator new and delete).
void FailNextAllocation(bool otherException = false);

// The text a message box shows (its static text control).
std::string BoxText(HWND box);
// The number of push buttons on a box.
int BoxButtonCount(HWND box);

}  // namespace kavrel::test
