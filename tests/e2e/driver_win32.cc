#include "driver_win32.h"

#include <algorithm>
#include <cstring>

#include "base/startup_profile.h"
#include "pe_symbols.h"

namespace kavrel::e2e {

namespace {

constexpr UINT kGbk = 936;
constexpr UINT kSendTimeoutMs = 5000;
constexpr uintptr_t kPebImageBase = sizeof(void*) == 8 ? 0x10 : 0x08;

LRESULT Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, &result))
    return -1;
  return LRESULT(result);
}

DWORD WindowPid(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

struct WindowSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (WindowPid(window) == search->pid) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  WindowSearch search{pid, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<uint8_t> bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart < (256 << 20)) {
    bytes.resize(size_t(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr) || got != bytes.size()))
      bytes.resize(got);
  }
  CloseHandle(file);
  return bytes;
}

// The symbol from the image, or, when the image is stripped, from the file
// its .gnu_debuglink names beside it, provided that file's CRC is the one
// recorded: symbols of another build would point anywhere.
std::optional<uint32_t> SymbolRva(const std::wstring& imagePath, const std::string& name) {
  auto image = ReadWholeFile(imagePath);
  if (!image) return std::nullopt;
  if (auto rva = FindSymbolRva(*image, name)) return rva;
  auto link = FindDebugLink(*image);
  if (!link) return std::nullopt;
  size_t slash = imagePath.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : imagePath.substr(0, slash + 1);
  auto debug = ReadWholeFile(folder + FromUtf8(link->fileName));
  if (!debug || DebugLinkCrc(*debug) != link->crc) return std::nullopt;
  return FindSymbolRva(*debug, name);
}

}  // namespace

namespace {

std::string Narrow(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Widen(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring out(size_t(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), out.data(), n);
  return out;
}

}  // namespace

std::string ToGbk(const std::wstring& wide) { return Narrow(kGbk, wide); }
std::wstring FromGbk(const std::string& gbk) { return Widen(kGbk, gbk); }
std::string Utf8(const std::wstring& wide) { return Narrow(CP_UTF8, wide); }
std::wstring FromUtf8(const std::string& utf8) { return Widen(CP_UTF8, utf8); }

std::string Readable(const std::string& gbk) { return Utf8(FromGbk(gbk)); }

std::vector<std::string> Readable(const std::vector<std::string>& gbk) {
  std::vector<std::string> out;
  for (const std::string& text : gbk) out.push_back(Readable(text));
  return out;
}

std::vector<std::string> Arguments(const NetshRecord& record) {
  if (record.args.empty()) return {};
  return std::vector<std::string>(record.args.begin() + 1, record.args.end());
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    Sleep(10);
  }
}

std::wstring WindowWideText(HWND window) {
  LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::wstring text(size_t(length) + 1, L'\0');
  LRESULT got = Send(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
  if (got < 0) return {};
  text.resize(std::min(size_t(got), text.size() - 1));
  return text;
}

std::string WindowText(HWND window) { return ToGbk(WindowWideText(window)); }

bool SetWindowTextWide(HWND window, const std::wstring& text) {
  return Send(window, WM_SETTEXT, 0, LPARAM(text.c_str())) != -1;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  int n = GetClassNameW(window, name, 256);
  return std::wstring(name, size_t(std::max(n, 0)));
}

bool IsClass(HWND window, const wchar_t* name) { return lstrcmpiW(ClassName(window).c_str(), name) == 0; }

RECT RectInParent(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent && parent != GetDesktopWindow()) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int DisplayDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}

std::vector<std::string> ComboEntries(HWND combo) {
  std::vector<std::string> entries;
  LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = Send(combo, CB_GETLBTEXTLEN, WPARAM(i), 0);
    if (length < 0) break;
    std::wstring text(size_t(length) + 1, L'\0');
    LRESULT got = Send(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text.data()));
    text.resize(got < 0 ? 0 : std::min(size_t(got), size_t(length)));
    entries.push_back(ToGbk(text));
  }
  return entries;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> found;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> ChildrenInZOrder(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child && children.size() < 1000; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

std::wstring DirectoryOfDriver() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  size_t slash = dir.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}

std::string TempPath(const std::string& stem) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool NetshLogFile::Clear() const {
  // A netsh that is still writing holds the file; wait for it.
  return WaitUntil([&] { return DeleteFileA(path_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }, 10000);
}

NetshLog NetshLogFile::Read() const {
  auto bytes = ReadWholeFile(FromUtf8(path_));
  if (!bytes) return {};
  return ParseNetshLog(*bytes);
}

std::optional<std::vector<NetshRecord>> NetshLogFile::WaitForRecords(size_t count, DWORD timeoutMs) const {
  NetshLog log;
  if (!WaitUntil([&] { return (log = Read()).records.size() >= count || log.malformed; }, timeoutMs)) return std::nullopt;
  if (log.malformed) return std::nullopt;
  return log.records;
}

namespace {

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::string() : std::string(value, n);
}

}  // namespace

FileTail::FileTail(std::string path) : path_(std::move(path)) { mark_ = SinceMark().size(); }

StandardErrorCopy::StandardErrorCopy() : FileTail(Variable("KAVREL_E2E_STDERR")) {}

EventMarks::EventMarks() : FileTail(Variable("KAVREL_E2E_PROFILE")) {}

ProfileFile::ProfileFile() : path_(TempPath("kavrel-profile")) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  handle_ = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return;
  SetEnvironmentVariableA("KAVREL_PROFILE_HANDLE", std::to_string(uintptr_t(handle_)).c_str());
  SetEnvironmentVariableA("KAVREL_PROFILE_START", std::to_string(ProfileClockNs()).c_str());
  SetEnvironmentVariableA("KAVREL_E2E_PROFILE", path_.c_str());
}

ProfileFile::~ProfileFile() {
  for (const char* name : {"KAVREL_PROFILE_HANDLE", "KAVREL_PROFILE_START", "KAVREL_E2E_PROFILE"})
    SetEnvironmentVariableA(name, nullptr);
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  DeleteFileA(path_.c_str());
}

std::string FileTail::SinceMark() const {
  if (path_.empty()) return {};
  auto bytes = ReadWholeFile(FromUtf8(path_));
  if (!bytes || bytes->size() <= mark_) return {};
  return std::string(bytes->begin() + std::ptrdiff_t(mark_), bytes->end());
}

std::string SystemNetshPath() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\netsh.exe";
}

bool InstallRecordingNetsh(const NetshLogFile& log, std::string* error) {
  std::wstring source = DirectoryOfDriver() + L"kavrel_netsh.exe";
  std::string target = SystemNetshPath();
  if (!CopyFileW(source.c_str(), FromUtf8(target).c_str(), FALSE)) {
    *error = "cannot copy " + Utf8(source) + " to " + target + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  SetEnvironmentVariableA("KAVREL_NETSH_LOG", log.path().c_str());
  log.Clear();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  char line[] = "cmd /c netsh e2e-install-check";
  if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    *error = "cannot start cmd (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  WaitForSingleObject(info.hProcess, 30000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  auto records = log.WaitForRecords(1, 5000);
  bool ok = records && records->size() == 1 && records->front().args.size() == 2 &&
            records->front().args[1] == "e2e-install-check" && lstrcmpiA(records->front().parentImage.c_str(), "cmd.exe") == 0;
  if (!ok) *error = "the recording netsh did not record the check run through cmd: Wine runs its own netsh unless "
              "WINEDLLOVERRIDES=netsh.exe=n is in the environment wine starts with";
  log.Clear();
  return ok;
}

StartOptions KavrelOptions() {
  StartOptions options;
  wchar_t exe[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"KAVREL_EXE", exe, MAX_PATH);
  options.exePath = n > 0 && n < MAX_PATH ? std::wstring(exe, n) : DirectoryOfDriver() + L"Kavrel.exe";
  options.windowClass = L"WTWindow";
  options.caption = "Kavrel V1.2";
  // The runtime heap's count of blocks not yet freed.
  options.heapCounterSymbol = ImageSymbol("_ZN6kavrel12_GLOBAL__N_113g_outstandingE");
  return options;
}

std::unique_ptr<AppSession> AppSession::Start(const StartOptions& options, std::string* error) {
  std::unique_ptr<AppSession> session(new AppSession());
  session->options_ = options;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + options.exePath + L"\"";
  if (!CreateProcessW(options.exePath.c_str(), line.data(), nullptr, nullptr, options.inheritHandles, 0, nullptr,
                      nullptr, &startup, &info)) {
    *error = "cannot start " + Utf8(options.exePath) + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  session->process_ = info.hProcess;
  session->thread_ = info.hThread;
  session->pid_ = info.dwProcessId;
  session->threadId_ = info.dwThreadId;

  std::wstring caption = FromGbk(options.caption);
  std::optional<Notice> box;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(session->pid_)) {
          if (IsClass(window, options.windowClass.c_str()) && IsWindowVisible(window) &&
              FromGbk(WindowText(window)) == caption) {
            session->main_ = window;
            return true;
          }
        }
        box = session->CurrentNotice();
        return box.has_value() || !session->alive();
      },
      30000);
  if (session->main_) return session;

  if (box) {
    *error = "the program showed a box instead of its window: \"" + Readable(box->caption) + "\" / \"" +
             Readable(box->text) + "\"";
  } else if (!session->alive()) {
    DWORD code = 0;
    GetExitCodeProcess(session->process_, &code);
    *error = "the program ended with exit code " + std::to_string(int32_t(code)) + " before showing its window";
  } else {
    *error = "no window of class WTWindow with the caption appeared within 30 s";
  }
  return nullptr;
}

AppSession::~AppSession() {
  if (process_ && alive()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  if (thread_) CloseHandle(thread_);
  if (process_) CloseHandle(process_);
}

HWND AppSession::FindUnit(const wchar_t* cls, int left, int top) const {
  for (HWND window : Descendants(main_)) {
    if (!IsClass(window, cls)) continue;
    RECT r = RectInParent(window);
    if (r.left == left && r.top == top) return window;
  }
  return nullptr;
}

bool AppSession::MoveToDpi(int from, int to) const {
  RECT suggested{};
  GetWindowRect(main_, &suggested);
  suggested.right = suggested.left + AtDpi(MulDiv(suggested.right - suggested.left, 96, from), to);
  suggested.bottom = suggested.top + AtDpi(MulDiv(suggested.bottom - suggested.top, 96, from), to);
  // The rectangle goes by address, in the program's own memory.
  void* at = VirtualAllocEx(process_, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!at) return false;
  DWORD_PTR result = 0;
  const bool sent = WriteProcessMemory(process_, at, &suggested, sizeof suggested, nullptr) &&
                    SendMessageTimeoutW(main_, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(at),
                                        SMTO_BLOCK, 10000, &result);
  VirtualFreeEx(process_, at, 0, MEM_RELEASE);
  return sent;
}

bool AppSession::Put(HWND combo, const std::wstring& text) const {
  SetWindowTextWide(combo, text);
  return WaitUntil([&] { return WindowWideText(combo) == text; }, 5000);
}

bool AppSession::Type(HWND combo, const std::string& gbk) const {
  HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
  if (!edit || !Put(combo, std::wstring())) return false;
  for (wchar_t c : FromGbk(gbk)) PostMessageW(edit, WM_CHAR, WPARAM(c), 1);
  return WaitUntil([&] { return WindowText(combo) == gbk; }, 5000);
}

bool AppSession::Pick(HWND combo, int index) const {
  HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
  LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  if (!edit || index < 0 || index >= count) return false;
  for (int step = 0; step < count + 1; ++step) {
    LRESULT current = Send(combo, CB_GETCURSEL, 0, 0);
    if (current == index) break;
    WPARAM key = current < index ? VK_DOWN : VK_UP;
    PostMessageW(edit, WM_KEYDOWN, key, 1);
    PostMessageW(edit, WM_KEYUP, key, LPARAM(0xC0000001));
    WaitUntil([&] { return Send(combo, CB_GETCURSEL, 0, 0) != current; }, 2000);
  }
  std::string wanted = ComboEntries(combo).at(size_t(index));
  return WaitUntil([&] { return Send(combo, CB_GETCURSEL, 0, 0) == index && WindowText(combo) == wanted; }, 2000);
}

std::optional<Notice> AppSession::CurrentNotice() const {
  for (HWND window : TopLevelWindows(pid_)) {
    if (!IsClass(window, L"#32770") || !IsWindowVisible(window)) continue;
    Notice notice;
    notice.box = window;
    notice.caption = WindowText(window);
    for (HWND child : Descendants(window)) {
      if (!IsWindowVisible(child)) continue;
      LONG style = GetWindowLongW(child, GWL_STYLE);
      if (IsClass(child, L"Static")) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
          notice.hasIcon = notice.hasIcon || Send(child, STM_GETICON, 0, 0) > 0;
        } else {
          std::string text = WindowText(child);
          if (!text.empty()) notice.text = text;
        }
      } else if (IsClass(child, L"Button")) {
        notice.buttons.push_back(WindowText(child));
      }
    }
    return notice;
  }
  return std::nullopt;
}

std::optional<Notice> AppSession::WaitForNotice(DWORD timeoutMs) const {
  std::optional<Notice> notice;
  WaitUntil([&] { return (notice = CurrentNotice()).has_value() || !alive(); }, timeoutMs);
  return notice;
}

bool AppSession::CloseNotice(const Notice& notice) const {
  HWND ok = nullptr;
  for (HWND child : Descendants(notice.box))
    if (IsClass(child, L"Button") && IsWindowVisible(child)) ok = child;
  if (ok)
    PostMessageW(ok, BM_CLICK, 0, 0);
  else
    PostMessageW(notice.box, WM_COMMAND, IDOK, 0);
  return WaitUntil([&] { return !IsWindow(notice.box) || !IsWindowVisible(notice.box); }, 5000);
}

HWND AppSession::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(threadId_, &info) || !info.hwndFocus) return nullptr;
  HWND focus = info.hwndFocus;
  HWND parent = GetParent(focus);
  if (IsClass(focus, L"Edit") && parent && IsClass(parent, L"ComboBox")) return parent;
  return focus;
}

bool AppSession::PressKey(WORD vk, bool shift) const {
  HWND foreground = GetForegroundWindow();
  if (!foreground || WindowPid(foreground) != pid_) {
    SetForegroundWindow(main_);
    if (!WaitUntil([&] { HWND f = GetForegroundWindow(); return f && WindowPid(f) == pid_; }, 2000)) return false;
  }
  INPUT inputs[4] = {};
  int n = 0;
  auto key = [&](WORD code, bool up) {
    inputs[n].type = INPUT_KEYBOARD;
    inputs[n].ki.wVk = code;
    inputs[n].ki.wScan = WORD(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
    inputs[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++n;
  };
  if (shift) key(VK_SHIFT, false);
  key(vk, false);
  key(vk, true);
  if (shift) key(VK_SHIFT, true);
  return SendInput(UINT(n), inputs, sizeof(INPUT)) == UINT(n);
}

std::vector<ProcessEntry> AppSession::Children() const {
  std::vector<ProcessEntry> children;
  for (auto& p : ListProcesses())
    if (p.parentPid == pid_ && p.pid != pid_) children.push_back(p);
  return children;
}

bool AppSession::WaitForNoChildren(DWORD timeoutMs) const {
  return WaitUntil([&] { return Children().empty(); }, timeoutMs);
}

std::optional<DWORD> AppSession::WaitForExit(DWORD timeoutMs) const {
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::optional<int64_t> AppSession::HeapBlocks() const {
  if (options_.heapCounterSymbol.empty()) return std::nullopt;
  if (!heapCounter_) {
    auto peb = PebAddress(process_);
    uintptr_t base = 0;
    if (!peb || !ReadRemote(process_, *peb + kPebImageBase, &base, sizeof base)) return std::nullopt;
    auto rva = SymbolRva(options_.exePath, options_.heapCounterSymbol);
    if (!rva) return std::nullopt;
    heapCounter_ = base + *rva;
  }
  // Two equal reads: the count is not caught in the middle of a change.
  int64_t first = 0, second = 1;
  for (int attempt = 0; attempt < 100 && first != second; ++attempt) {
    if (!ReadRemote(process_, *heapCounter_, &first, sizeof first) ||
        !ReadRemote(process_, *heapCounter_, &second, sizeof second))
      return std::nullopt;
  }
  if (first != second) return std::nullopt;
  return first;
}

ResourceCounts AppSession::Counts() const {
  ResourceCounts counts;
  counts.heapBlocks = HeapBlocks();
  counts.handles = CountHandles(pid_);
  counts.gdiObjects = CountGdiObjects(process_);
  counts.windows = CountWindows(pid_);
  return counts;
}

}  // namespace kavrel::e2e
