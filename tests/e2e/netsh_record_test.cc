#include "netsh_record.h"

#include <gtest/gtest.h>

#include "base/byte_reader.h"

namespace kavrel::e2e {
namespace {

NetshRecord Sample(uint32_t pid) {
  NetshRecord r;
  r.pid = pid;
  r.parentPid = 2;
  r.grandparentPid = 3;
  r.startTicks = 0x123456789ULL;
  r.commandLine = "netsh interface ip set address \"\xb1\xbe\xb5\xd8\" dhcp ";
  r.parentImage = "cmd.exe";
  r.parentCommandLine = "cmd /c netsh interface ip set address \"\xb1\xbe\xb5\xd8\" dhcp & x";
  r.workingDirectory = "C:\\Caf\xe9";
  r.searchesWorkingDirectory = pid % 2 == 1;
  r.args = {"netsh", "interface", "", "\xb1\xbe\xb5\xd8 1 "};
  return r;
}

void ExpectSame(const NetshRecord& a, const NetshRecord& b) {
  EXPECT_EQ(a.pid, b.pid);
  EXPECT_EQ(a.parentPid, b.parentPid);
  EXPECT_EQ(a.grandparentPid, b.grandparentPid);
  EXPECT_EQ(a.startTicks, b.startTicks);
  EXPECT_EQ(a.commandLine, b.commandLine);
  EXPECT_EQ(a.parentImage, b.parentImage);
  EXPECT_EQ(a.parentCommandLine, b.parentCommandLine);
  EXPECT_EQ(a.workingDirectory, b.workingDirectory);
  EXPECT_EQ(a.searchesWorkingDirectory, b.searchesWorkingDirectory);
  EXPECT_EQ(a.args, b.args);
}

TEST(NetshLogTest, ReadsBackEveryRecordExactly) {
  ByteWriter out;
  AppendNetshRecord(out, Sample(1));
  AppendNetshRecord(out, Sample(7));
  NetshLog log = ParseNetshLog(out.bytes());
  ASSERT_EQ(log.records.size(), 2u);
  ExpectSame(log.records[0], Sample(1));
  ExpectSame(log.records[1], Sample(7));
  EXPECT_EQ(log.unreadBytes, 0u);
  EXPECT_FALSE(log.malformed);
}

// A record still being written is left for the next read, at every cut.
TEST(NetshLogTest, HoldsBackARecordNotYetWhole) {
  ByteWriter out;
  AppendNetshRecord(out, Sample(1));
  size_t first = out.size();
  AppendNetshRecord(out, Sample(2));
  for (size_t cut = first + 1; cut < out.size(); ++cut) {
    NetshLog log = ParseNetshLog(std::span<const uint8_t>(out.bytes()).first(cut));
    ASSERT_EQ(log.records.size(), 1u) << cut;
    EXPECT_EQ(log.unreadBytes, cut - first);
    EXPECT_FALSE(log.malformed) << cut;
  }
}

TEST(NetshLogTest, RefusesDamageInsteadOfMisreadingIt) {
  ByteWriter out;
  AppendNetshRecord(out, Sample(1));
  std::vector<uint8_t> bytes = out.bytes();
  std::vector<uint8_t> badMagic = bytes;
  badMagic[0] ^= 0xFF;
  EXPECT_TRUE(ParseNetshLog(badMagic).malformed);
  // An argument count far beyond what the body holds.
  std::vector<uint8_t> badCount = bytes;
  size_t argcAt = bytes.size() - (4 + 5) - (4 + 9) - (4 + 0) - (4 + 7) - 4;
  StoreU32(&badCount[argcAt], 0x40000000);
  NetshLog log = ParseNetshLog(badCount);
  EXPECT_TRUE(log.malformed);
  EXPECT_TRUE(log.records.empty());
}

}  // namespace
}  // namespace kavrel::e2e
