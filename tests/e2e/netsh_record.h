// One run of the recording netsh, as it appends it to its log: what it was
// asked to do (its command line and argument vector, as received) and who
// asked (the cmd process that ran it, with that process's own command line),
// and in which working directory, and whether it would search that.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/byte_writer.h"

namespace kavrel::e2e {

struct NetshRecord {
  uint32_t pid = 0;
  uint32_t parentPid = 0;
  uint32_t grandparentPid = 0;  // the process that started the parent
  uint64_t startTicks = 0;      // QueryPerformanceCounter at entry
  // Texts in UTF-8, of the UTF-16 the system gave.
  std::string commandLine;      // GetCommandLineW
  std::string parentImage;      // e.g. "cmd.exe"
  std::string parentCommandLine;
  std::string workingDirectory;   // inherited through cmd from the program
  // NeedCurrentDirectoryForExePathW(L"netsh"): whether a search for a bare
  // program name from here would look in the working directory.
  bool searchesWorkingDirectory = false;
  std::vector<std::string> args;  // argv, argv[0] included
};

// Appends one framed record: magic, body length, body.
void AppendNetshRecord(ByteWriter& out, const NetshRecord& record);

struct NetshLog {
  std::vector<NetshRecord> records;
  // Bytes that form no whole record yet (a record being written), or the
  // first malformed record and everything after it.
  uint64_t unreadBytes = 0;
  bool malformed = false;
};

NetshLog ParseNetshLog(std::span<const uint8_t> bytes);

}  // namespace kavrel::e2e
