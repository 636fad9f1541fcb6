// Every action of the real Kavrel.exe pressed from outside: each notice in
// the order of the checks with nothing run, each command line exactly as
// cmd received it and netsh's arguments as cmd split them, and the refused
// injections.
#include <cctype>
#include <thread>

#include "kavrel_test_win32.h"

namespace kavrel::e2e {
namespace {

using namespace text;

struct NoticeCase {
  const char* what;
  Fields fields;
  const std::string& notice;
};

class Notices : public KavrelTest {
 protected:
  void ExpectNotices(uint32_t button, const std::vector<NoticeCase>& cases) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      ASSERT_TRUE(Fill(c.fields));
      EXPECT_TRUE(ExpectNotice(button, c.notice));
    }
  }
};

TEST_F(Notices, StaticAddressInTheOrderOfItsChecks) {
  ExpectNotices(kStaticButton,
                {
                    {"everything empty", {}, kNameMissing},
                    {"only the name empty", {"", "192.168.2.10", "255.255.255.0", "192.168.2.1", "1.1.1.1", "2.2.2.2"}, kNameMissing},
                    {"address empty", {kLocal, "", "255.255.255.0", "192.168.2.1", "", ""}, kAddressOrMaskMissing},
                    {"address and mask empty", {kLocal, "", "", "192.168.2.1", "", ""}, kAddressOrMaskMissing},
                    {"mask empty", {kLocal, "192.168.2.10", "", "192.168.2.1", "", ""}, kAddressOrMaskMissing},
                    {"a name of blanks is not empty", {"  ", "", "255.255.255.0", "", "", ""}, kAddressOrMaskMissing},
                });
}

TEST_F(Notices, PreferredDnsInTheOrderOfItsChecks) {
  ExpectNotices(kPreferredButton,
                {
                    {"everything empty", {}, kNameMissing},
                    {"only the name empty", {"", "1.1.1.1", "255.0.0.0", "1.1.1.2", "8.8.8.8", "8.8.4.4"}, kNameMissing},
                    {"preferred empty", {kLocal, "", "", "", "", "8.8.4.4"}, kPreferredMissing},
                    {"both empty: missing before conflict", {kLocal, "", "", "", "", ""}, kPreferredMissing},
                    {"both equal", {kLocal, "", "", "", "8.8.8.8", "8.8.8.8"}, kPreferredConflict},
                });
}

TEST_F(Notices, AlternateDnsInTheOrderOfItsChecks) {
  ExpectNotices(kAlternateButton,
                {
                    {"everything empty", {}, kNameMissing},
                    {"only the name empty", {"", "1.1.1.1", "255.0.0.0", "1.1.1.2", "8.8.8.8", "8.8.4.4"}, kNameMissing},
                    {"alternate empty", {kLocal, "", "", "", "8.8.8.8", ""}, kAlternateMissing},
                    {"both empty: missing before conflict", {kLocal, "", "", "", "", ""}, kAlternateMissing},
                    {"both equal", {kLocal, "", "", "", "8.8.4.4", "8.8.4.4"}, kAlternateConflict},
                });
}

TEST_F(Notices, DhcpLooksAtTheNameOnly) {
  ExpectNotices(kDhcpButton,
                {
                    {"everything empty", {}, kNameMissing},
                    {"only the name empty", {"", "192.168.2.10", "255.255.255.0", "192.168.2.1", "8.8.8.8", "8.8.8.8"}, kNameMissing},
                });
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

class CommandLines : public KavrelTest {
 protected:
  // One press runs exactly `line` through one cmd started by Kavrel, and
  // netsh once per argument list, in this order.
  void ExpectRun(uint32_t button, const std::string& line, const std::vector<std::vector<std::string>>& netshArgs) {
    ASSERT_TRUE(log.Clear());
    auto records = PressAndRecord(button, netshArgs.size());
    EXPECT_EQ(PlantedStandInsThatRan(), std::vector<std::string>()) << "ran instead of the system's programs";
    ASSERT_TRUE(records) << "expected: " << Readable(line);
    ASSERT_EQ(records->size(), netshArgs.size());
    for (size_t i = 0; i < records->size(); ++i) {
      const NetshRecord& r = (*records)[i];
      SCOPED_TRACE(testing::Message() << "netsh run " << i + 1);
      EXPECT_EQ(r.parentCommandLine, Readable(line));
      EXPECT_EQ(Lower(r.parentImage), "cmd.exe");
      EXPECT_EQ(r.grandparentPid, app->pid()) << "cmd was not started by Kavrel";
      EXPECT_EQ(r.parentPid, records->front().parentPid) << "one cmd runs every netsh of the line";
      EXPECT_EQ(Arguments(r), Readable(netshArgs[i])) << r.commandLine;
      // cmd started in the system folder and looks for netsh on PATH only.
      EXPECT_EQ(Lower(r.workingDirectory), Lower(SystemFolder()));
      EXPECT_FALSE(r.searchesWorkingDirectory);
    }
  }
};

TEST_F(CommandLines, StaticAddressReadsTheBoxesAnewAtEachPress) {
  ASSERT_TRUE(Fill({kLocal, "192.168.2.10", "255.255.255.0", "192.168.2.1", "", ""}));
  ExpectRun(kStaticButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(kLocal) + " static 192.168.2.10 255.255.255.0 192.168.2.1",
            {{"interface", "ip", "set", "address", kLocal, "static", "192.168.2.10", "255.255.255.0", "192.168.2.1"}});
  ASSERT_TRUE(app->Put(Unit(kAddressBox), "10.0.0.7"));
  ExpectRun(kStaticButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(kLocal) + " static 10.0.0.7 255.255.255.0 192.168.2.1",
            {{"interface", "ip", "set", "address", kLocal, "static", "10.0.0.7", "255.255.255.0", "192.168.2.1"}});
}

TEST_F(CommandLines, StaticAddressWithTheGatewayLeftEmptyEndsInABlank) {
  ASSERT_TRUE(Fill({kLocal, "192.168.2.10", "255.255.255.0", "", "", ""}));
  ExpectRun(kStaticButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(kLocal) + " static 192.168.2.10 255.255.255.0 ",
            {{"interface", "ip", "set", "address", kLocal, "static", "192.168.2.10", "255.255.255.0"}});
}

TEST_F(CommandLines, ANamePickedFromTheListKeepsItsTrailingBlank) {
  ASSERT_TRUE(Fill({"", "", "", "", "", ""}));
  ASSERT_TRUE(app->Pick(Unit(kConnectionNameBox), 1));
  ASSERT_TRUE(app->Pick(Unit(kAddressBox), 2));
  // Then typed on after the picked prefix, key by key.
  ASSERT_TRUE(app->Type(Unit(kAddressBox), "192.168.2.10"));
  ASSERT_TRUE(app->Pick(Unit(kMaskBox), 0));
  ExpectRun(kStaticButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(kLocal1) + " static 192.168.2.10 255.255.255.0 ",
            {{"interface", "ip", "set", "address", kLocal1, "static", "192.168.2.10", "255.255.255.0"}});
}

// Typed key by key, a Traditional and a Simplified name run as typed under
// every code page: 乙太網路 and 连, which Big5 lacks.
TEST_F(CommandLines, ANameTypedInGoesInAsTyped) {
  const std::string name = "\xd2\xd2\xcc\xab\xbe\x57\xc2\xb7 " + kLocal;  // 乙太網路 本地连接
  ASSERT_TRUE(Fill({"", "", "", "", "", ""}));
  ASSERT_TRUE(app->Type(Unit(kConnectionNameBox), name));
  ExpectRun(kDhcpButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(name) + " dhcp & netsh interface ip set dns " +
                Quoted(name) + " dhcp",
            {{"interface", "ip", "set", "address", name, "dhcp"}, {"interface", "ip", "set", "dns", name, "dhcp"}});
}

TEST_F(CommandLines, PreferredDnsRunsWithoutAnAlternate) {
  ASSERT_TRUE(Fill({kLocal, "", "", "", "222.222.222.222", ""}));
  ExpectRun(kPreferredButton, "cmd /d /v:off /c netsh interface ip set dns name=" + Quoted(kLocal) + " static 222.222.222.222",
            {{"interface", "ip", "set", "dns", "name=" + kLocal, "static", "222.222.222.222"}});
  // A trailing blank makes two servers different.
  ASSERT_TRUE(Fill({kLocal, "", "", "", "8.8.8.8 ", "8.8.8.8"}));
  ExpectRun(kPreferredButton, "cmd /d /v:off /c netsh interface ip set dns name=" + Quoted(kLocal) + " static 8.8.8.8 ",
            {{"interface", "ip", "set", "dns", "name=" + kLocal, "static", "8.8.8.8"}});
}

TEST_F(CommandLines, AlternateDnsRunsWithoutAPreferred) {
  ASSERT_TRUE(Fill({kLocal, "", "", "", "", "8.8.4.4"}));
  ExpectRun(kAlternateButton, "cmd /d /v:off /c netsh interface ip add dns name=" + Quoted(kLocal) + " add=8.8.4.4 index=2",
            {{"interface", "ip", "add", "dns", "name=" + kLocal, "add=8.8.4.4", "index=2"}});
  // Letter case makes two servers different.
  ASSERT_TRUE(Fill({kLocal, "", "", "", "dns.example", "DNS.example"}));
  ExpectRun(kAlternateButton, "cmd /d /v:off /c netsh interface ip add dns name=" + Quoted(kLocal) + " add=DNS.example index=2",
            {{"interface", "ip", "add", "dns", "name=" + kLocal, "add=DNS.example", "index=2"}});
}

TEST_F(CommandLines, DhcpRunsNetshTwiceFromOneLine) {
  ASSERT_TRUE(Fill({kLocal, "", "", "", "", ""}));
  ExpectRun(kDhcpButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(kLocal) + " dhcp & netsh interface ip set dns " +
                Quoted(kLocal) + " dhcp",
            {{"interface", "ip", "set", "address", kLocal, "dhcp"}, {"interface", "ip", "set", "dns", kLocal, "dhcp"}});
}

// When Wine's cmd cannot start a netsh it says so on standard error; the
// press is made again rather than taken for a run the program left out.
// Here netsh is missing from system32 until cmd has complained.
TEST_F(CommandLines, APressWhoseNetshCmdCouldNotStartIsMadeAgain) {
  StandardErrorCopy said;
  ASSERT_TRUE(said.available()) << "no copy of standard error: run the driver through scripts/e2e-run.sh";
  const std::string netsh = SystemNetshPath(), hidden = netsh + ".hidden";
  ASSERT_TRUE(MoveFileA(netsh.c_str(), hidden.c_str()));
  struct PutBack {
    const std::string &from, &to;
    ~PutBack() { MoveFileA(from.c_str(), to.c_str()); }
  } putBack{hidden, netsh};
  std::thread restorer([&] {
    WaitUntil([&] { return said.SinceMark().find("netsh") != std::string::npos; }, 30000);
    MoveFileA(hidden.c_str(), netsh.c_str());
  });
  struct Join {
    std::thread& thread;
    ~Join() { thread.join(); }
  } join{restorer};
  ASSERT_TRUE(Fill({kLocal, "", "", "", "", ""}));
  ExpectRun(kDhcpButton,
            "cmd /d /v:off /c netsh interface ip set address " + Quoted(kLocal) + " dhcp & netsh interface ip set dns " +
                Quoted(kLocal) + " dhcp",
            {{"interface", "ip", "set", "address", kLocal, "dhcp"}, {"interface", "ip", "set", "dns", kLocal, "dhcp"}});
  EXPECT_GE(platformRepeats(), 1);
}

TEST_F(CommandLines, BlanksAreNotEmptyAndGoInAsTyped) {
  ASSERT_TRUE(Fill({"  ", "", "", "", "", ""}));
  ExpectRun(kDhcpButton, "cmd /d /v:off /c netsh interface ip set address \"  \" dhcp & netsh interface ip set dns \"  \" dhcp",
            {{"interface", "ip", "set", "address", "  ", "dhcp"}, {"interface", "ip", "set", "dns", "  ", "dhcp"}});
}

// A GBK character whose second byte is 0x7C ('|') is one character, not
// cmd's pipe: it goes into the line like any other.
TEST_F(CommandLines, AGbkSecondByteIsNoOperator) {
  const std::string name = kLocal + "\x81\x7c";          // 本地连接亅
  const std::string address = "192.168.2.10\x81\x7c";    // 192.168.2.10亅
  ASSERT_TRUE(Fill({name, address, "255.255.255.0", "", "", ""}));
  ExpectRun(kStaticButton, "cmd /d /v:off /c netsh interface ip set address " + Quoted(name) + " static " + address + " 255.255.255.0 ",
            {{"interface", "ip", "set", "address", name, "static", address, "255.255.255.0"}});
}

struct InjectionCase {
  const char* what;
  uint32_t button;
  Fields fields;
  std::string createdFile;  // what the injected command would write, if anything
};

class Injection : public KavrelTest {};

TEST_F(Injection, LinesThatCmdWouldReadAsMoreAreRefused) {
  const std::string f1 = "C:\\kavrel-injected-1.txt", f2 = "C:\\kavrel-injected-2.txt", f3 = "C:\\kavrel-injected-3.txt",
                    f4 = "C:\\kavrel-injected-4.txt", f5 = "C:\\kavrel-injected-5.txt", f6 = "C:\\kavrel-injected-6.txt",
                    f7 = "C:\\kavrel-injected-7.txt";
  const std::vector<InjectionCase> cases = {
      {"a quotation mark ends the quoted name", kStaticButton,
       {kLocal + "\" & echo x>" + f1 + " & \"", "192.168.2.10", "255.255.255.0", "", "", ""}, f1},
      {"& after the address", kStaticButton, {kLocal, "192.168.2.10 & echo x>" + f2, "255.255.255.0", "", "", ""}, f2},
      {"| after the mask", kStaticButton, {kLocal, "192.168.2.10", "255.255.255.0|echo x>" + f3, "", "", ""}, f3},
      {"> after the gateway", kStaticButton, {kLocal, "192.168.2.10", "255.255.255.0", "192.168.2.1>" + f4, "", ""}, f4},
      {"^ at the end of the gateway", kStaticButton, {kLocal, "192.168.2.10", "255.255.255.0", "192.168.2.1^", "", ""}, ""},
      {"a tab in the name", kStaticButton, {kLocal + "\t1", "192.168.2.10", "255.255.255.0", "", "", ""}, ""},
      {"% in the quoted name", kPreferredButton, {"%SystemRoot%", "", "", "", "8.8.8.8", ""}, ""},
      {"& after the preferred DNS", kPreferredButton, {kLocal, "", "", "", "8.8.8.8 & echo x>" + f5, ""}, f5},
      {"< after the preferred DNS", kPreferredButton, {kLocal, "", "", "", "8.8.8.8<C:\\windows\\win.ini", ""}, ""},
      {"| after the alternate DNS", kAlternateButton, {kLocal, "", "", "", "", "8.8.4.4|echo x>" + f6}, f6},
      {"a quotation mark in the name", kAlternateButton, {"a\"b", "", "", "", "", "8.8.4.4"}, ""},
      {"a quotation mark ends the quoted name", kDhcpButton, {"a\" & echo x>" + f7 + " & \"", "", "", "", "", ""}, f7},
      {"% in the name", kDhcpButton, {"%TEMP%", "", "", "", "", ""}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.createdFile.empty()) DeleteFileA(c.createdFile.c_str());
    ASSERT_TRUE(Fill(c.fields));
    EXPECT_TRUE(ExpectNotice(c.button, kIllegalCharacters));
    if (!c.createdFile.empty()) {
      EXPECT_FALSE(FileExists(c.createdFile)) << c.createdFile;
    }
  }
}

// A character that code page 936 has no code for is refused as an unsafe
// one, in the quoted name and in a bare box alike: never a "?" or a
// look-alike in a command line.
TEST_F(Injection, WhatCodePage936CannotHoldIsRefused) {
  const std::wstring texts[] = {L"\uD55C\uAD6D", L"\U0001F600", std::wstring(1, wchar_t(0xD800)) + L"x"};  // 한국, an emoji
  for (const std::wstring& text : texts) {
    SCOPED_TRACE(Utf8(text));
    ASSERT_TRUE(Fill({kLocal, "192.168.2.10", "255.255.255.0", "", "8.8.8.8", "8.8.4.4"}));
    ASSERT_TRUE(app->Put(Unit(kAddressBox), L"192.168.2.10" + text));
    EXPECT_TRUE(ExpectNotice(kStaticButton, kIllegalCharacters));
    ASSERT_TRUE(app->Put(Unit(kConnectionNameBox), FromGbk(kLocal) + text));
    for (uint32_t button : {kPreferredButton, kAlternateButton, kDhcpButton})
      EXPECT_TRUE(ExpectNotice(button, kIllegalCharacters));
  }
}

// 30,000 characters in every box: each line is longer than the system
// takes, so nothing starts, nothing is cut short, and nothing leaks.
TEST_F(Injection, OverLongTextsStartNothing) {
  const ResourceCounts before = app->Counts();
  const uint32_t boxes[] = {kConnectionNameBox, kAddressBox, kMaskBox, kGatewayBox, kPreferredDnsBox, kAlternateDnsBox};
  for (size_t i = 0; i < std::size(boxes); ++i) ASSERT_TRUE(app->Put(Unit(boxes[i]), std::wstring(30000, L'\u8FDE' + wchar_t(i))));
  for (uint32_t button : {kStaticButton, kPreferredButton, kAlternateButton, kDhcpButton}) {
    app->Click(Unit(button));
    ExpectNothingRun();
    EXPECT_FALSE(app->CurrentNotice());
  }
  ASSERT_TRUE(app->alive());
  if (before.heapBlocks) {
    EXPECT_EQ(app->Counts().heapBlocks, before.heapBlocks);
  }
}

// The illegal-character check comes after the checks every action makes.
TEST_F(Injection, EmptyAndConflictingInputIsReportedFirst) {
  ASSERT_TRUE(Fill({"a\"b", "", "255.255.255.0", "", "", ""}));
  EXPECT_TRUE(ExpectNotice(kStaticButton, kAddressOrMaskMissing));
  ASSERT_TRUE(Fill({"a\"b", "", "", "", "8.8.8.8&x", "8.8.8.8&x"}));
  EXPECT_TRUE(ExpectNotice(kPreferredButton, kPreferredConflict));
  EXPECT_TRUE(ExpectNotice(kAlternateButton, kAlternateConflict));
  ASSERT_TRUE(Fill({"", "", "", "", "", "8.8.4.4|x"}));
  EXPECT_TRUE(ExpectNotice(kAlternateButton, kNameMissing));
}

}  // namespace
}  // namespace kavrel::e2e
