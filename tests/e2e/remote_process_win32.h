// What one process of the test can learn about another from outside: its
// command line, its parent, the processes it started, and how many kernel
// handles and GDI objects it holds. Everything here reads; nothing changes
// the other process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavrel::e2e {

struct ProcessEntry {
  DWORD pid = 0;
  DWORD parentPid = 0;
  std::string image;  // file name only, e.g. "cmd.exe"
};

std::vector<ProcessEntry> ListProcesses();
std::optional<ProcessEntry> FindProcess(DWORD pid);

// Copies n bytes from the other process; false when any of them is missing.
bool ReadRemote(HANDLE process, uintptr_t address, void* out, size_t n);

std::optional<uintptr_t> PebAddress(HANDLE process);
DWORD ParentProcessId(HANDLE process);

// The command line the process was started with, in UTF-8; nullopt when it
// cannot be read.
std::optional<std::string> RemoteCommandLine(HANDLE process);
// Its working directory now, without a trailing backslash (but for a
// drive's root).
std::optional<std::wstring> RemoteWorkingDirectory(HANDLE process);

// Kernel handles the process holds (the system's handle list, since Wine
// answers GetProcessHandleCount with 0).
std::optional<int> CountHandles(DWORD pid);

// GDI objects the process holds: GetGuiResources where the system counts
// them, else the entries in use in the process's GDI handle table.
std::optional<int> CountGdiObjects(HANDLE process);

// Private bytes the process has committed: GetProcessMemoryInfo's count
// where the system keeps one (Wine gives 0 for another process), else the
// committed private regions of its address space added up.
std::optional<uint64_t> PrivateBytes(HANDLE process);

// Windows of the process, top-level and children.
int CountWindows(DWORD pid);

}  // namespace kavrel::e2e
