#include "netsh_record.h"

#include "base/byte_reader.h"

namespace kavrel::e2e {

namespace {

constexpr uint32_t kMagic = 0x3352534E;  // "NSR3"
// No record comes near this; a larger length is damage, not data.
constexpr uint32_t kMaxBody = 1u << 20;

bool ReadBody(std::span<const uint8_t> body, NetshRecord& r) {
  ByteReader in(body);
  uint32_t low = 0, high = 0, searches = 0, argc = 0;
  in.ReadU32(r.pid);
  in.ReadU32(r.parentPid);
  in.ReadU32(r.grandparentPid);
  in.ReadU32(low);
  in.ReadU32(high);
  r.startTicks = uint64_t(high) << 32 | low;
  in.ReadCountedText(r.commandLine);
  in.ReadCountedText(r.parentImage);
  in.ReadCountedText(r.parentCommandLine);
  in.ReadCountedText(r.workingDirectory);
  in.ReadU32(searches);
  r.searchesWorkingDirectory = searches != 0;
  in.ReadU32(argc);
  // Each argument takes at least its length word.
  if (!in.ok() || argc > in.remaining() / 4) return false;
  r.args.resize(argc);
  for (auto& arg : r.args) in.ReadCountedText(arg);
  return in.ok() && in.AtEnd();
}

}  // namespace

void AppendNetshRecord(ByteWriter& out, const NetshRecord& r) {
  ByteWriter body;
  body.WriteU32(r.pid);
  body.WriteU32(r.parentPid);
  body.WriteU32(r.grandparentPid);
  body.WriteU32(uint32_t(r.startTicks));
  body.WriteU32(uint32_t(r.startTicks >> 32));
  body.WriteCountedText(r.commandLine);
  body.WriteCountedText(r.parentImage);
  body.WriteCountedText(r.parentCommandLine);
  body.WriteCountedText(r.workingDirectory);
  body.WriteU32(r.searchesWorkingDirectory ? 1 : 0);
  body.WriteU32(uint32_t(r.args.size()));
  for (const auto& arg : r.args) body.WriteCountedText(arg);
  out.WriteU32(kMagic);
  out.WriteU32(uint32_t(body.size()));
  out.WriteBytes(body.bytes());
}

NetshLog ParseNetshLog(std::span<const uint8_t> bytes) {
  NetshLog log;
  ByteReader in(bytes);
  while (!in.AtEnd()) {
    uint64_t start = in.position();
    uint32_t magic = 0, length = 0;
    if (!in.ReadU32(magic) || !in.ReadU32(length)) {
      log.unreadBytes = bytes.size() - start;
      break;
    }
    if (magic != kMagic || length > kMaxBody) {
      log.malformed = true;
      log.unreadBytes = bytes.size() - start;
      break;
    }
    std::span<const uint8_t> body = in.View(length);
    if (body.size() != length) {
      log.unreadBytes = bytes.size() - start;
      break;
    }
    NetshRecord record;
    if (!ReadBody(body, record)) {
      log.malformed = true;
      log.unreadBytes = bytes.size() - start;
      break;
    }
    log.records.push_back(std::move(record));
  }
  return log;
}

}  // namespace kavrel::e2e
