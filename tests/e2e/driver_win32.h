// The end-to-end driver: starts a program of the build, finds its main
// window and drives it from outside the process the way a user would, with
// window messages and keystrokes, and reads back what it shows. Texts are
// read with wide messages sent by the driver itself (GetWindowText does not
// cross processes, and Wine marshals the ANSI text messages wrongly across
// them) and compared as GBK bytes; what the recording netsh recorded is
// UTF-8, compared with the UTF-8 of the GBK text that should have run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "netsh_record.h"
#include "remote_process_win32.h"

namespace kavrel::e2e {

// GBK (code page 936) and UTF-16, whatever the driver's own code page.
std::string ToGbk(const std::wstring& wide);
std::wstring FromGbk(const std::string& gbk);
// UTF-8: of a GBK text (for a comparison with a record, and for messages a
// person reads on the terminal), and of UTF-16.
std::string Readable(const std::string& gbk);
std::vector<std::string> Readable(const std::vector<std::string>& gbk);
std::string Utf8(const std::wstring& wide);
std::wstring FromUtf8(const std::string& utf8);

// A record's arguments after the program name.
std::vector<std::string> Arguments(const NetshRecord& record);

// Polls `done` every few milliseconds; true as soon as it holds.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

std::wstring WindowWideText(HWND window);
std::string WindowText(HWND window);  // GBK
bool SetWindowTextWide(HWND window, const std::wstring& text);
std::wstring ClassName(HWND window);
bool IsClass(HWND window, const wchar_t* name);
// The window's rectangle in its parent's client coordinates (screen
// coordinates for a top-level window).
RECT RectInParent(HWND window);
std::vector<std::string> ComboEntries(HWND combo);
// The display's DPI (the prefix's LogPixels under Wine), and a design length
// at a DPI as the system rounds it.
int DisplayDpi();
inline int AtDpi(int designPixels, int dpi) { return MulDiv(designPixels, dpi, 96); }
// Every descendant, in the order EnumChildWindows gives.
std::vector<HWND> Descendants(HWND window);
// Children of `parent` from the top of the z-order down.
std::vector<HWND> ChildrenInZOrder(HWND parent);

std::wstring DirectoryOfDriver();
// A unique path for this run (Windows form) under the prefix's temp folder.
std::string TempPath(const std::string& stem);
bool FileExists(const std::string& path);

// The recording netsh's log, which the driver owns for the run.
class NetshLogFile {
 public:
  explicit NetshLogFile(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  bool Clear() const;
  NetshLog Read() const;
  // The records once there are at least `count` whole ones.
  std::optional<std::vector<NetshRecord>> WaitForRecords(size_t count, DWORD timeoutMs) const;

 private:
  std::string path_;
};

// What is appended to a file from now on; empty for an empty path or no file.
class FileTail {
 public:
  // Marks the end of what has been written so far.
  explicit FileTail(std::string path);
  bool available() const { return !path_.empty(); }
  // What has been written since the mark.
  std::string SinceMark() const;

 private:
  std::string path_;
  size_t mark_ = 0;
};

// The copy of the run's standard error that scripts/e2e-run.sh keeps in the
// file named by KAVREL_E2E_STDERR: what Wine's cmd says when it cannot start
// a command.
struct StandardErrorCopy : FileTail {
  StandardErrorCopy();
};

// The program's profile and event marks: a file of the driver's, written
// through a handle the program inherits (KAVREL_PROFILE_HANDLE); the file's
// path is KAVREL_E2E_PROFILE while a ProfileFile is in place.
class ProfileFile {
 public:
  ProfileFile();
  ~ProfileFile();
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

 private:
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// What the program marked of its events, when a ProfileFile is in place.
struct EventMarks : FileTail {
  EventMarks();
};

// system32\netsh.exe, where cmd finds netsh.
std::string SystemNetshPath();

// Copies the recording netsh over system32\netsh.exe, points it at `log`
// through the environment the started programs inherit, and proves it by
// running "cmd /c netsh ..." once through Wine's own cmd.exe. Wine loads
// the copy only with WINEDLLOVERRIDES=netsh.exe=n set before wine starts.
bool InstallRecordingNetsh(const NetshLogFile& log, std::string* error);

struct Notice {
  HWND box = nullptr;
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;  // visible buttons' captions
  bool hasIcon = false;
};

struct ResourceCounts {
  std::optional<int64_t> heapBlocks;
  std::optional<int> handles;
  std::optional<int> gdiObjects;
  int windows = 0;
};

struct StartOptions {
  std::wstring exePath;
  std::wstring windowClass;
  std::string caption;  // GBK
  // Variable to read for HeapBlocks(): an exact symbol of the image.
  std::string heapCounterSymbol;
  // The program inherits the driver's inheritable handles (a ProfileFile's).
  bool inheritHandles = false;
};

// Kavrel.exe beside the driver, its window class and caption.
StartOptions KavrelOptions();

class AppSession {
 public:
  // Starts the program and waits until its main window is up; on failure
  // returns null and says why (including the text of any box it showed).
  static std::unique_ptr<AppSession> Start(const StartOptions& options, std::string* error);
  ~AppSession();
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  HWND main() const { return main_; }
  DWORD pid() const { return pid_; }
  DWORD threadId() const { return threadId_; }
  HANDLE process() const { return process_; }
  bool alive() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

  // The descendant of the main window of class `cls` whose rectangle in its
  // parent's client area starts at (left, top).
  HWND FindUnit(const wchar_t* cls, int left, int top) const;

  // Text into a combo box the way a paste does (WM_SETTEXT), or key by key
  // into its edit field (WM_CHAR, in UTF-16 units); both wait until the box
  // shows it.
  bool Put(HWND combo, const std::wstring& text) const;
  bool Put(HWND combo, const std::string& gbk) const { return Put(combo, FromGbk(gbk)); }
  bool Type(HWND combo, const std::string& gbk) const;
  // Chooses list entry `index` with the arrow keys in the edit field, as a
  // user does; true once the box shows that entry.
  bool Pick(HWND combo, int index) const;
  void Click(HWND button) const { PostMessageW(button, BM_CLICK, 0, 0); }
  // Tells the main window, drawn at `from` dpi, that it is now on a monitor
  // of `to` dpi, with the rectangle Windows suggests when it moves there:
  // the same corner, the size scaled.
  bool MoveToDpi(int from, int to) const;

  std::optional<Notice> WaitForNotice(DWORD timeoutMs) const;
  std::optional<Notice> CurrentNotice() const;
  bool CloseNotice(const Notice& notice) const;

  // The unit that has the keyboard focus (a combo box rather than its edit
  // field), or null.
  HWND Focus() const;
  // Key down and up as keyboard input to the program (Shift held when
  // asked); false when the program could not be made the foreground.
  bool PressKey(WORD vk, bool shift = false) const;

  std::vector<ProcessEntry> Children() const;
  // Waits until no process started by this one is left.
  bool WaitForNoChildren(DWORD timeoutMs) const;
  std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

  ResourceCounts Counts() const;
  std::optional<int64_t> HeapBlocks() const;

 private:
  AppSession() = default;

  StartOptions options_;
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD pid_ = 0;
  DWORD threadId_ = 0;
  HWND main_ = nullptr;
  mutable std::optional<uintptr_t> heapCounter_;  // address in the program
};

}  // namespace kavrel::e2e
