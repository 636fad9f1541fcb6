#include "remote_process_win32.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include "base/byte_reader.h"

namespace kavrel::e2e {

namespace {

// The layouts read below are those of processes as wide as this one: every
// program of these tests is built for one width, 32-bit or (where the
// machine runs no 32-bit code) 64-bit.
constexpr bool k64 = sizeof(void*) == 8;
constexpr uintptr_t kPebProcessParameters = k64 ? 0x20 : 0x10;
constexpr uintptr_t kParametersCurrentDirectory = k64 ? 0x38 : 0x24;
constexpr uintptr_t kParametersCommandLine = k64 ? 0x70 : 0x40;
constexpr uintptr_t kPebGdiHandleTable = k64 ? 0xF8 : 0x94;
constexpr size_t kGdiEntrySize = 24;  // the same for both widths
constexpr size_t kGdiEntryTypeOffset = 14;
constexpr size_t kGdiMaxEntries = 0x10000;
constexpr ULONG kSystemHandleInformation = 16;
constexpr size_t kHandleListHeader = k64 ? 8 : 4;  // the count, then entries aligned for a pointer
constexpr size_t kHandleEntrySize = k64 ? 24 : 16;
constexpr NTSTATUS kInfoLengthMismatch = NTSTATUS(0xC0000004);

using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using QuerySystem = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

template <typename F>
F NtEntry(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

std::optional<PROCESS_BASIC_INFORMATION> BasicInformation(HANDLE process) {
  static auto query = NtEntry<QueryProcess>("NtQueryInformationProcess");
  PROCESS_BASIC_INFORMATION info{};
  if (!query || query(process, 0, &info, sizeof info, nullptr) != 0) return std::nullopt;
  return info;
}

}  // namespace

std::vector<ProcessEntry> ListProcesses() {
  std::vector<ProcessEntry> out;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    entry.szExeFile[MAX_PATH - 1] = 0;
    out.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  CloseHandle(snapshot);
  return out;
}

std::optional<ProcessEntry> FindProcess(DWORD pid) {
  for (auto& p : ListProcesses())
    if (p.pid == pid) return p;
  return std::nullopt;
}

bool ReadRemote(HANDLE process, uintptr_t address, void* out, size_t n) {
  SIZE_T done = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), out, n, &done) && done == n;
}

std::optional<uintptr_t> PebAddress(HANDLE process) {
  auto info = BasicInformation(process);
  if (!info || !info->PebBaseAddress) return std::nullopt;
  return reinterpret_cast<uintptr_t>(info->PebBaseAddress);
}

DWORD ParentProcessId(HANDLE process) {
  auto info = BasicInformation(process);
  return info ? DWORD(info->InheritedFromUniqueProcessId) : 0;
}

namespace {

// A string of the process's start-up parameters, at `offset` in them.
std::optional<std::wstring> RemoteParameter(HANDLE process, uintptr_t offset) {
  auto peb = PebAddress(process);
  uintptr_t parameters = 0;
  UNICODE_STRING text{};
  if (!peb || !ReadRemote(process, *peb + kPebProcessParameters, &parameters, sizeof parameters) ||
      !ReadRemote(process, parameters + offset, &text, sizeof text))
    return std::nullopt;
  // A length in bytes from another process: even, and bounded by what a
  // command line can hold.
  if (text.Length % 2 != 0 || text.Length > 65534) return std::nullopt;
  std::wstring wide(text.Length / 2, L'\0');
  if (!wide.empty() && !ReadRemote(process, reinterpret_cast<uintptr_t>(text.Buffer), wide.data(), text.Length))
    return std::nullopt;
  return wide;
}

}  // namespace

std::optional<std::string> RemoteCommandLine(HANDLE process) {
  auto wide = RemoteParameter(process, kParametersCommandLine);
  if (!wide) return std::nullopt;
  if (wide->empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide->data(), int(wide->size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide->data(), int(wide->size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::optional<std::wstring> RemoteWorkingDirectory(HANDLE process) {
  auto wide = RemoteParameter(process, kParametersCurrentDirectory);
  // Kept with its trailing backslash.
  if (wide && wide->size() > 3 && wide->back() == L'\\') wide->pop_back();
  return wide;
}

std::optional<int> CountHandles(DWORD pid) {
  static auto query = NtEntry<QuerySystem>("NtQuerySystemInformation");
  if (!query) return std::nullopt;
  std::vector<uint8_t> buffer(1 << 16);
  NTSTATUS status;
  for (;;) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed);
    if (status != kInfoLengthMismatch || buffer.size() >= (64u << 20)) break;
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return std::nullopt;
  ByteReader in{std::span<const uint8_t>(buffer)};
  uint32_t count = in.U32();
  in.Skip(kHandleListHeader - 4);
  if (!in.ok() || count > in.remaining() / kHandleEntrySize) return std::nullopt;
  int mine = 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t owner = 0;
    in.ReadU16(owner);
    in.Skip(kHandleEntrySize - 2);
    // The list names owners by the low 16 bits of their id.
    if (owner == uint16_t(pid)) ++mine;
  }
  if (!in.ok()) return std::nullopt;
  return mine;
}

std::optional<int> CountGdiObjects(HANDLE process) {
  DWORD counted = GetGuiResources(process, GR_GDIOBJECTS);
  if (counted > 0) return int(counted);
  auto peb = PebAddress(process);
  uintptr_t table = 0;
  if (!peb || !ReadRemote(process, *peb + kPebGdiHandleTable, &table, sizeof table) || !table) return std::nullopt;
  std::vector<uint8_t> entries(kGdiMaxEntries * kGdiEntrySize);
  if (!ReadRemote(process, table, entries.data(), entries.size())) return std::nullopt;
  ByteReader in{std::span<const uint8_t>(entries)};
  int used = 0;
  for (size_t i = 0; i < kGdiMaxEntries; ++i) {
    uint8_t type = 0;
    in.Skip(kGdiEntryTypeOffset);
    in.ReadU8(type);
    in.Skip(kGdiEntrySize - kGdiEntryTypeOffset - 1);
    // A freed entry keeps its object word but loses its type.
    if (type != 0) ++used;
  }
  if (!in.ok()) return std::nullopt;
  return used;
}

std::optional<uint64_t> PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters) &&
      counters.PrivateUsage > 0)
    return counters.PrivateUsage;
  uint64_t committed = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (uintptr_t at = 0; VirtualQueryEx(process, reinterpret_cast<void*>(at), &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
    const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  if (committed == 0) return std::nullopt;
  return committed;
}

namespace {

struct WindowCount {
  DWORD pid;
  int count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
  auto* c = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == c->pid) ++c->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM param) {
  auto* c = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == c->pid) {
    ++c->count;
    EnumChildWindows(window, CountChild, param);
  }
  return TRUE;
}

}  // namespace

int CountWindows(DWORD pid) {
  WindowCount c{pid, 0};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&c));
  return c.count;
}

}  // namespace kavrel::e2e
