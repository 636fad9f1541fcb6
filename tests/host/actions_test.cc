#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "commands/runtime_heap.h"
#include "commands/runtime_services.h"
#include "commands/to_text.h"
#include "program/constant_block.h"
#include "program/program.h"
#include "program/program_handlers.h"

namespace kavrel {
namespace {

// GBK texts of the notices and of the connection name in the examples.
const std::string kName = "\xb1\xbe\xb5\xd8\xc1\xac\xbd\xd3";  // 本地连接
const std::string kNameMissing = "\xc7\xeb\xca\xe4\xc8\xeb\xcd\xf8\xbf\xa8\xc3\xfb\xb3\xc6\xa3\xa1";  // 请输入网卡名称！
const std::string kAddressOrMaskMissing = "IP\xbb\xf2MAC\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5!";  // IP或MAC不能为空!
const std::string kAlternateMissing = "\xb1\xb8\xd3\xc3" "DNS\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5";  // 备用DNS不能为空
const std::string kAlternateConflict =
    "\xb1\xb8\xd3\xc3" "DNS\xba\xcd\xca\xd7\xd1\xa1" "DNS\xb3\xe5\xcd\xbb";  // 备用DNS和首选DNS冲突
const std::string kPreferredMissing = "\xca\xd7\xd1\xa1" "DNS\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5";  // 首选DNS不能为空
const std::string kPreferredConflict =
    "\xca\xd7\xd1\xa1" "DNS\xba\xcd\xb1\xb8\xd3\xc3" "DNS\xb3\xe5\xcd\xbb";  // 首选DNS和备用DNS冲突
const std::string kIllegal =
    "\xca\xe4\xc8\xeb\xc4\xda\xc8\xdd\xba\xac\xd3\xd0\xb7\xc7\xb7\xa8\xd7\xd6\xb7\xfb!";  // 输入内容含有非法字符!
const std::string kTitle = "\xcc\xe1\xca\xbe";  // 提示

// The runtime as the program sees it: units read from a map of contents
// into fresh heap texts, commands 0 and 2 recorded, the heap, ToText and
// CallCommand the real ones.
struct FakeRuntime {
  std::map<UnitId, std::string> contents;  // missing or "" reads as null
  bool emptyAsBlock = false;               // "" reads as a heap text instead
  std::vector<UnitId> reads;
  std::vector<std::string> notices;
  std::vector<std::string> lines;
  std::vector<std::string> calls;   // the other runtime entries, in order
  std::vector<std::string> faults;  // anything that breaks the calling rules
};

FakeRuntime* g_fake = nullptr;

bool IsZero(const CommandArg& a) { return a.low == 0 && a.high == 0 && a.tag == 0; }
bool IsText(const CommandArg& a) { return a.tag == tags::kText && a.low != 0 && a.high == 0; }

PropertyBits GetUnitProperty(WindowId window, UnitId unit, int32_t index, int32_t selector) {
  if (window != kMainWindow || index != 9 || selector != -1) g_fake->faults.push_back("property read");
  g_fake->reads.push_back(unit);
  auto it = g_fake->contents.find(unit);
  std::string text = it == g_fake->contents.end() ? "" : it->second;
  if (text.empty() && !g_fake->emptyAsBlock) return 0;
  char* copy = static_cast<char*>(Allocate(int32_t(text.size() + 1)));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return PropertyOfPointer(copy);
}

void RecordMessageBox(CommandResult* result, int32_t count, const CommandArg* args) {
  if (count != 4 || !IsText(args[0]) || args[1].tag != tags::kInt || args[1].low != 0 ||
      !IsText(args[2]) || !IsZero(args[3])) {
    g_fake->faults.push_back("message box arguments");
    return;
  }
  if (args[2].Text() != kTitle) g_fake->faults.push_back("notice title");
  g_fake->notices.push_back(args[0].Text());
  result->low = 0;
}

void RecordRun(CommandResult* result, int32_t count, const CommandArg* args) {
  if (count != 3 || !IsText(args[0]) || args[1].tag != tags::kLogical || args[1].low != 0 ||
      !IsZero(args[2])) {
    g_fake->faults.push_back("run arguments");
    return;
  }
  g_fake->lines.push_back(args[0].Text());
  result->low = 1;
}

void CheckedToText(CommandResult* result, int32_t count, const CommandArg* args) {
  if (count != 1 || !IsText(args[0])) g_fake->faults.push_back("to-text arguments");
  ToText(result, count, args);
}

void Unexpected(const char* what) { g_fake->faults.push_back(what); }

RuntimeServices MakeServices() {
  RuntimeServices s{};
  s.RaiseError = [](int32_t) { Unexpected("RaiseError"); };
  s.CallCommandTwin = [](CommandFunction, int32_t, const CommandArg*) {
    Unexpected("slot 2");
    return CommandResult{};
  };
  s.CallCommand = CallCommand;
  s.GetUnitProperty = GetUnitProperty;
  s.SetUnitProperty = [](WindowId, UnitId, int32_t, int32_t, uintptr_t, uint32_t) { Unexpected("SetUnitProperty"); };
  s.Allocate = Allocate;
  s.Reallocate = Reallocate;
  s.Free = Free;
  s.EndProgram = [](int32_t) { Unexpected("EndProgram"); };
  s.RunMessageLoop = [] { g_fake->calls.push_back("loop"); };
  s.LoadWindow = [](WindowId id) { g_fake->calls.push_back("load " + std::to_string(id)); };
  s.Notify = [](int32_t code, intptr_t arg1, intptr_t) -> intptr_t {
    std::string call = "notify " + std::to_string(code);
    if (arg1 == reinterpret_cast<intptr_t>(&ProgramCleanup)) call += " cleanup";
    else if (arg1 != 0) call += " ?";
    g_fake->calls.push_back(call);
    return 0;
  };
  return s;
}

const RuntimeServices kServices = MakeServices();

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fake = &fake_;
    SetConstantBlock(ConstantBlockStart(), ConstantBlockSize());
    BindProgramRuntime(&kServices, {RecordMessageBox, CheckedToText, RecordRun});
    before_ = OutstandingBlocks();
  }
  void TearDown() override {
    EXPECT_EQ(OutstandingBlocks(), before_) << "a text was not freed";
    EXPECT_TRUE(fake_.faults.empty()) << fake_.faults.front();
    g_fake = nullptr;
  }

  void Fill(const std::string& name, const std::string& address, const std::string& mask,
            const std::string& gateway, const std::string& preferred, const std::string& alternate) {
    fake_.contents = {{kConnectionNameBox, name}, {kAddressBox, address},    {kMaskBox, mask},
                      {kGatewayBox, gateway},     {kPreferredDnsBox, preferred}, {kAlternateDnsBox, alternate}};
  }
  void FillExample() { Fill(kName, "192.168.2.10", "255.255.255.0", "192.168.2.1", "222.222.222.222", "8.8.4.4"); }

  // Runs an action from a fresh record; gives its one line, or "" if none.
  std::string LineOf(void (*action)()) {
    Reset();
    action();
    EXPECT_LE(fake_.lines.size(), 1u);
    return fake_.lines.empty() ? "" : fake_.lines[0];
  }
  // Runs an action that must refuse; gives its one notice.
  std::string NoticeOf(void (*action)()) {
    Reset();
    action();
    EXPECT_TRUE(fake_.lines.empty()) << fake_.lines[0];
    EXPECT_EQ(fake_.notices.size(), 1u);
    return fake_.notices.empty() ? "" : fake_.notices[0];
  }
  void Reset() {
    fake_.reads.clear();
    fake_.notices.clear();
    fake_.lines.clear();
  }

  FakeRuntime fake_;
  int64_t before_ = 0;
};

using Reads = std::vector<UnitId>;
void (*const kActions[])() = {SetStaticAddress, SetPreferredDns, AddAlternateDns, UseDhcp};

TEST_F(ActionsTest, WorkedExamples) {
  FillExample();
  EXPECT_EQ(LineOf(SetStaticAddress),
            "cmd /d /v:off /c netsh interface ip set address \"" + kName + "\" static 192.168.2.10 255.255.255.0 192.168.2.1");
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAddressBox, kMaskBox, kConnectionNameBox, kAddressBox,
                                kMaskBox, kGatewayBox}));
  EXPECT_EQ(LineOf(SetPreferredDns), "cmd /d /v:off /c netsh interface ip set dns name=\"" + kName + "\" static 222.222.222.222");
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kPreferredDnsBox, kPreferredDnsBox, kAlternateDnsBox,
                                kConnectionNameBox, kPreferredDnsBox}));
  EXPECT_EQ(LineOf(AddAlternateDns), "cmd /d /v:off /c netsh interface ip add dns name=\"" + kName + "\" add=8.8.4.4 index=2");
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAlternateDnsBox, kPreferredDnsBox, kAlternateDnsBox,
                                kConnectionNameBox, kAlternateDnsBox}));
  EXPECT_EQ(LineOf(UseDhcp), "cmd /d /v:off /c netsh interface ip set address \"" + kName +
                                 "\" dhcp & netsh interface ip set dns \"" + kName + "\" dhcp");
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kConnectionNameBox, kConnectionNameBox}));
  EXPECT_TRUE(fake_.notices.empty());
}

TEST_F(ActionsTest, EmptyConnectionNameReadsNothingElse) {
  for (bool asBlock : {false, true}) {
    fake_.emptyAsBlock = asBlock;
    FillExample();
    fake_.contents[kConnectionNameBox] = "";
    for (auto action : kActions) {
      EXPECT_EQ(NoticeOf(action), kNameMissing);
      EXPECT_EQ(fake_.reads, Reads{kConnectionNameBox});
    }
  }
}

TEST_F(ActionsTest, StaticAddressNeedsAddressAndMaskButNoGateway) {
  FillExample();
  fake_.contents[kAddressBox] = "";
  EXPECT_EQ(NoticeOf(SetStaticAddress), kAddressOrMaskMissing);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAddressBox}));

  FillExample();
  fake_.contents[kMaskBox] = "";
  EXPECT_EQ(NoticeOf(SetStaticAddress), kAddressOrMaskMissing);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAddressBox, kMaskBox}));

  FillExample();
  fake_.contents[kGatewayBox] = "";
  EXPECT_EQ(LineOf(SetStaticAddress),
            "cmd /d /v:off /c netsh interface ip set address \"" + kName + "\" static 192.168.2.10 255.255.255.0 ");
}

TEST_F(ActionsTest, DnsServersMissingOrInConflict) {
  FillExample();
  fake_.contents[kPreferredDnsBox] = "";
  EXPECT_EQ(NoticeOf(SetPreferredDns), kPreferredMissing);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kPreferredDnsBox}));
  EXPECT_EQ(LineOf(AddAlternateDns), "cmd /d /v:off /c netsh interface ip add dns name=\"" + kName + "\" add=8.8.4.4 index=2");

  FillExample();
  fake_.contents[kAlternateDnsBox] = "";
  EXPECT_EQ(NoticeOf(AddAlternateDns), kAlternateMissing);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAlternateDnsBox}));
  EXPECT_EQ(LineOf(SetPreferredDns), "cmd /d /v:off /c netsh interface ip set dns name=\"" + kName + "\" static 222.222.222.222");

  FillExample();
  fake_.contents[kAlternateDnsBox] = "222.222.222.222";
  EXPECT_EQ(NoticeOf(SetPreferredDns), kPreferredConflict);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kPreferredDnsBox, kPreferredDnsBox, kAlternateDnsBox}));
  EXPECT_EQ(NoticeOf(AddAlternateDns), kAlternateConflict);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAlternateDnsBox, kPreferredDnsBox, kAlternateDnsBox}));

  // Equal means byte for byte: a trailing blank or another case differs.
  fake_.contents[kAlternateDnsBox] = "222.222.222.222 ";
  EXPECT_EQ(LineOf(AddAlternateDns),
            "cmd /d /v:off /c netsh interface ip add dns name=\"" + kName + "\" add=222.222.222.222  index=2");
  fake_.contents[kPreferredDnsBox] = "dns.example";
  fake_.contents[kAlternateDnsBox] = "DNS.example";
  EXPECT_EQ(LineOf(SetPreferredDns), "cmd /d /v:off /c netsh interface ip set dns name=\"" + kName + "\" static dns.example");
}

TEST_F(ActionsTest, TextsGoInByteForByte) {
  Fill("R&D  ", "  ", " ", "   ", "1.1.1.1 ", "");
  EXPECT_EQ(LineOf(SetStaticAddress), "cmd /d /v:off /c netsh interface ip set address \"R&D  \" static " + std::string("  ") + " " + " " + " " + "   ");
  EXPECT_EQ(LineOf(SetPreferredDns), "cmd /d /v:off /c netsh interface ip set dns name=\"R&D  \" static 1.1.1.1 ");
  EXPECT_EQ(LineOf(UseDhcp),
            "cmd /d /v:off /c netsh interface ip set address \"R&D  \" dhcp & netsh interface ip set dns \"R&D  \" dhcp");
  // The trail byte of a GBK character may equal an operator: 0x81 0x7C is
  // one character, not a '|'; nor is 0x81 0x5C a backslash before the
  // closing quotation mark.
  Fill("\x81|\xb1\xbe" "a^b<c>", "10.0.0.1\x81^", "255.0.0.0", "", "\x81\\", "");
  EXPECT_EQ(LineOf(SetStaticAddress),
            "cmd /d /v:off /c netsh interface ip set address \"\x81|\xb1\xbe" "a^b<c>\" static 10.0.0.1\x81^ 255.0.0.0 ");
  EXPECT_EQ(LineOf(SetPreferredDns),
            "cmd /d /v:off /c netsh interface ip set dns name=\"\x81|\xb1\xbe" "a^b<c>\" static \x81\\");
  Fill("a\\b\x81\\", "", "", "", "", "");
  EXPECT_EQ(LineOf(UseDhcp), "cmd /d /v:off /c netsh interface ip set address \"a\\b\x81\\\" dhcp & netsh interface ip set dns \"a\\b\x81\\\" dhcp");
}

TEST_F(ActionsTest, ALeadByteNeedsATrailByteOfTheCodePage) {
  // GBK: '&', '"', DEL, a control byte and the end of the text are no
  // trail bytes, so the lead byte cannot hide them.
  for (const char* dns : {"\x81&", "\x81\"", "\x81\x7f", "\x81\x1f", "8.8.8.8\x81"}) {
    FillExample();
    fake_.contents[kPreferredDnsBox] = dns;
    EXPECT_EQ(NoticeOf(SetPreferredDns), kIllegal) << dns;
  }
  FillExample();
  fake_.contents[kConnectionNameBox] = kName + "\xfe";
  for (auto action : kActions) EXPECT_EQ(NoticeOf(action), kIllegal);
}

TEST_F(ActionsTest, UnsafeTextsAreRefusedAfterTheOwnChecks) {
  struct Case {
    UnitId unit;
    std::string text;
  };
  const Case cases[] = {
      {kConnectionNameBox, "a\"b"},  {kConnectionNameBox, "x\" & calc & \""},
      {kConnectionNameBox, "%PATH%"}, {kConnectionNameBox, "a\nb"},
      {kConnectionNameBox, "\x1f"},  {kConnectionNameBox, "\xb1\xbe\t"},
      {kConnectionNameBox, "LAN\\"}, {kConnectionNameBox, "\xb1\xbe\\"},
      {kConnectionNameBox, "\xb1\xbe\x1a"},  // a character that 936 has no code for
      {kAddressBox, "1.2.3.4&del"},  {kAddressBox, "1|x"},
      {kMaskBox, "255<in"},          {kMaskBox, ">out"},
      {kGatewayBox, "^"},            {kGatewayBox, "\x80&"},
      {kGatewayBox, "1.1.1.1\""},    {kPreferredDnsBox, "8.8.8.8&x"},
      {kAlternateDnsBox, "8.8.4.4|x"}, {kAlternateDnsBox, "%x%"},
  };
  for (const Case& c : cases) {
    FillExample();
    fake_.contents[c.unit] = c.text;
    Reset();
    for (auto action : kActions) action();
    EXPECT_TRUE(fake_.notices.size() >= 1) << c.text;
    for (const std::string& notice : fake_.notices) EXPECT_EQ(notice, kIllegal) << c.text;
    // Only the actions that insert the text refuse it.
    size_t refusing = c.unit == kConnectionNameBox ? 4 : 1;
    EXPECT_EQ(fake_.notices.size(), refusing) << c.text;
    EXPECT_EQ(fake_.lines.size(), 4 - refusing) << c.text;
  }

  // A missing field is reported first, even beside an unsafe name.
  FillExample();
  fake_.contents[kConnectionNameBox] = "a\"b";
  fake_.contents[kMaskBox] = "";
  EXPECT_EQ(NoticeOf(SetStaticAddress), kAddressOrMaskMissing);
  // An unsafe DNS server that the action does not insert is no reason to refuse.
  FillExample();
  fake_.contents[kAlternateDnsBox] = "8.8.4.4&x";
  EXPECT_EQ(LineOf(SetPreferredDns), "cmd /d /v:off /c netsh interface ip set dns name=\"" + kName + "\" static 222.222.222.222");
}

TEST_F(ActionsTest, RefusedLinesReadTheUnitsAsRunningOnesDo) {
  FillExample();
  fake_.contents[kGatewayBox] = "1.1.1.1&x";
  EXPECT_EQ(NoticeOf(SetStaticAddress), kIllegal);
  EXPECT_EQ(fake_.reads, (Reads{kConnectionNameBox, kAddressBox, kMaskBox, kConnectionNameBox, kAddressBox,
                                kMaskBox, kGatewayBox}));
}

TEST_F(ActionsTest, ProgramMainStartsTheRuntimeAndRunsTheWindow) {
  EXPECT_EQ(ProgramMain(), 0);
  EXPECT_EQ(fake_.calls, (std::vector<std::string>{"notify 6", "notify 3 cleanup", "load 1375797249", "loop"}));
}

TEST_F(ActionsTest, HandlerTableBindsEachStoredOffset) {
  std::map<uint32_t, EventHandler> byOffset;
  for (const HandlerEntry& e : kProgramHandlers) byOffset[e.storedOffset] = e.routine;
  EXPECT_EQ(kProgramHandlers.size(), 6u);
  EXPECT_EQ(byOffset.size(), 6u);

  FillExample();
  const std::pair<uint32_t, std::string> actions[] = {
      {0x164, "cmd /d /v:off /c netsh interface ip set address \"" + kName + "\" static"},
      {0x9CC, "cmd /d /v:off /c netsh interface ip set dns name="},
      {0x480, "cmd /d /v:off /c netsh interface ip add dns name="},
      {0x79E, "cmd /d /v:off /c netsh interface ip set address \"" + kName + "\" dhcp"},
  };
  for (const auto& [offset, prefix] : actions) {
    ASSERT_TRUE(byOffset.count(offset)) << std::hex << offset;
    Reset();
    HandlerResult r = byOffset[offset](0, nullptr);
    EXPECT_FALSE(r.hasValue);
    ASSERT_EQ(fake_.lines.size(), 1u);
    EXPECT_EQ(fake_.lines[0].rfind(prefix, 0), 0u) << fake_.lines[0];
  }

  // The window's and the label's handlers do nothing and give no value.
  Reset();
  const uint64_t labelArgs[2] = {0x111, 0xFFFFFFFF};
  ASSERT_TRUE(byOffset.count(0x797) && byOffset.count(0xCDE));
  EXPECT_FALSE(byOffset[0x797](0, nullptr).hasValue);
  EXPECT_FALSE(byOffset[0xCDE](2, labelArgs).hasValue);
  EXPECT_TRUE(fake_.reads.empty() && fake_.notices.empty() && fake_.lines.empty());
}

}  // namespace
}  // namespace kavrel
