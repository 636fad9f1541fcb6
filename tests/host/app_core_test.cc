#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/exe_path.h"
#include "app/fatal_text.h"
#include "app/runtime_lists.h"
#include "base/startup_profile.h"
#include "commands/runtime_heap.h"

namespace kavrel {
namespace {

std::string Compose(const char* message, int32_t code) {
  char text[kFatalTextSize];
  size_t length = ComposeFatalText(message, code, text);
  EXPECT_EQ(length, std::strlen(text));
  return text;
}

// 运行时出错!
const std::string kHeader = "\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n";

TEST(FatalText, PartsAppearOnlyWhenGiven) {
  // 错误信息：载入启动窗口失败
  EXPECT_EQ(Compose(kLoadStartWindowError, 0),
            kHeader + "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba" + kLoadStartWindowError + "\r\n");
  // 错误代码：-7, and no message line for a null or an empty message.
  const std::string codeOnly = kHeader + "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba-7\r\n\r\n";
  EXPECT_EQ(Compose(nullptr, -7), codeOnly);
  EXPECT_EQ(Compose("", -7), codeOnly);
  EXPECT_EQ(Compose(nullptr, 0), kHeader);
  EXPECT_EQ(Compose("m", 3), kHeader + "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba" "3\r\n\r\n" +
                                 "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba" "m\r\n");
}

TEST(FatalText, AllocationFailureMessage) {
  char message[100];
  FormatAllocationFailure(message, 100);
  // 错误信息：分配 100 字节内存失败!
  EXPECT_EQ(Compose(message, 0), kHeader +
                                     "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba"
                                     "\xb7\xd6\xc5\xe4 100 \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!\r\n");
}

TEST(FatalText, OverlongMessageIsCutInsideTheBuffer) {
  std::string longMessage(5000, 'x');
  char text[kFatalTextSize];
  size_t length = ComposeFatalText(longMessage.c_str(), 0, text);
  EXPECT_EQ(length, kFatalTextSize - 1);
  EXPECT_EQ(text[kFatalTextSize - 1], '\0');
}

TEST(ErrorTable, NumbersOneToElevenOnly) {
  // 数组成员引用下标超出定义范围 and 所提供参数的数据类型不符合要求
  EXPECT_STREQ(ErrorTableMessage(1),
               "\xca\xfd\xd7\xe9\xb3\xc9\xd4\xb1\xd2\xfd\xd3\xc3\xcf\xc2\xb1\xea\xb3\xac\xb3\xf6\xb6\xa8\xd2\xe5\xb7\xb6"
               "\xce\xa7");
  EXPECT_STREQ(ErrorTableMessage(11),
               "\xcb\xf9\xcc\xe1\xb9\xa9\xb2\xce\xca\xfd\xb5\xc4\xca\xfd\xbe\xdd\xc0\xe0\xd0\xcd\xb2\xbb\xb7\xfb\xba\xcf"
               "\xd2\xaa\xc7\xf3");
  // The two entries whose digit follows a hex escape in the source.
  EXPECT_NE(std::strstr(ErrorTableMessage(3), "\xce\xaa" "1\xc7\xd2"), nullptr);
  EXPECT_EQ(ErrorTableMessage(4)[std::strlen(ErrorTableMessage(4)) - 1], '1');
  for (int32_t n = 1; n <= 11; ++n) EXPECT_NE(ErrorTableMessage(n), nullptr) << n;
  EXPECT_EQ(ErrorTableMessage(0), nullptr);
  EXPECT_EQ(ErrorTableMessage(12), nullptr);
  EXPECT_EQ(ErrorTableMessage(-1), nullptr);
}

TEST(NumericValueToInt, EachNumericTag) {
  int32_t v = 0;
  EXPECT_TRUE(NumericValueToInt({0xFFFFFF80u, 0, tags::kByte}, v));
  EXPECT_EQ(v, 0x80);
  EXPECT_TRUE(NumericValueToInt({0x12348000u, 0, tags::kShort}, v));
  EXPECT_EQ(v, -32768);
  EXPECT_TRUE(NumericValueToInt(CommandArg::OfInt(-5), v));
  EXPECT_EQ(v, -5);
  EXPECT_TRUE(NumericValueToInt(CommandArg::Of64(0x1'FFFFFFFEull, tags::kLong), v));
  EXPECT_EQ(v, -2);
  EXPECT_TRUE(NumericValueToInt(CommandArg::OfFloat(-2.9f), v));
  EXPECT_EQ(v, -2);
  EXPECT_TRUE(NumericValueToInt(CommandArg::OfDouble(7.99), v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(NumericValueToInt(CommandArg::OfDouble(-2147483648.0), v));
  EXPECT_EQ(v, INT32_MIN);
  for (double out : {3e9, -3e9, std::numeric_limits<double>::quiet_NaN(), double(INFINITY)}) {
    EXPECT_TRUE(NumericValueToInt(CommandArg::OfDouble(out), v));
    EXPECT_EQ(v, INT32_MIN) << out;
  }
  for (TypeTag other : {tags::kNone, tags::kLogical, tags::kText, tags::kDateTime, tags::kByteBlock,
                        tags::kInt | tags::kArrayBit, tags::kWindowUnit}) {
    v = 99;
    EXPECT_FALSE(NumericValueToInt({1, 0, other}, v)) << std::hex << other;
  }
}

TEST(ExePath, SplitAtLastBackslash) {
  ExePath p = SplitExePath(L"C:\\Program Files\\Kavrel\\Kavrel.exe");
  EXPECT_EQ(p.dir, L"C:\\Program Files\\Kavrel");
  EXPECT_EQ(p.name, L"Kavrel.exe");
  EXPECT_EQ(p.dirSlash, L"C:\\Program Files\\Kavrel\\");

  ExePath bare = SplitExePath(L"Kavrel.exe");
  EXPECT_EQ(bare.dir, L"");
  EXPECT_EQ(bare.name, L"Kavrel.exe");
  EXPECT_EQ(bare.dirSlash, L"");

  ExePath root = SplitExePath(L"C:\\k.exe");
  EXPECT_EQ(root.dir, L"C:");
  EXPECT_EQ(root.dirSlash, L"C:\\");

  // 表 (whose Shift-JIS and GBK trail byte is '\\') and Hangul, which no
  // ANSI code page of Chinese holds, are characters like any other.
  ExePath wide = SplitExePath(L"C:\\\u8868\uD55C\\a\u8868.exe");
  EXPECT_EQ(wide.dir, L"C:\\\u8868\uD55C");
  EXPECT_EQ(wide.name, L"a\u8868.exe");
}

std::vector<int> g_calls;

TEST(ExitRoutineList, OnceEachInFirstRegistrationOrder) {
  g_calls.clear();
  ExitRoutineList list;
  ExitRoutine a = [] { g_calls.push_back(1); };
  ExitRoutine b = [] { g_calls.push_back(2); };
  list.Add(a);
  list.Add(b);
  list.Add(a);
  list.Add(nullptr);
  EXPECT_EQ(list.size(), 2u);
  list.RunAll();
  EXPECT_EQ(g_calls, (std::vector<int>{1, 2}));
  EXPECT_EQ(list.size(), 0u);
  list.RunAll();
  EXPECT_EQ(g_calls.size(), 2u);
}

const int kLive[2] = {};
IdleCallbackList* g_idle = nullptr;

TEST(IdleCallbackList, WalksBackwardsAndDropsDeadWindows) {
  g_calls.clear();
  IdleCallbackList list;
  g_idle = &list;
  auto isWindow = [](const void* w) { return w == &kLive[0] || w == &kLive[1]; };
  IdleRoutine record = [](uint32_t arg) { g_calls.push_back(int(arg)); };
  // The third routine registers another while the walk runs.
  IdleRoutine adder = [](uint32_t arg) {
    g_calls.push_back(int(arg));
    g_idle->Add(&kLive[0], [](uint32_t a) { g_calls.push_back(int(a)); }, 40);
  };
  list.Add(&kLive[0], record, 10);
  list.Add(nullptr, record, 20);  // its window is gone
  list.Add(&kLive[1], adder, 30);
  list.Walk(isWindow);
  EXPECT_EQ(g_calls, (std::vector<int>{30, 10}));
  EXPECT_EQ(list.size(), 3u);
  g_calls.clear();
  list.Walk(isWindow);
  EXPECT_EQ(g_calls, (std::vector<int>{40, 30, 10}));
}

// The start-up bench reads the profile as "<microseconds> <phase>
// [<detail>]" lines in the order of the marks, handed over in one block;
// once written, the profile records nothing more, and each event mark after
// it is a line of its own.
std::vector<std::string> g_blocks;
bool Collect(const char* bytes, size_t size) {
  g_blocks.emplace_back(bytes, size);
  return true;
}

TEST(StartupProfile, HandsItsMarksOverOnceInOrder) {
  g_blocks.clear();
  EXPECT_FALSE(ProfileOn());
  MarkProfile("ignored");
  MarkEvent("ignored");
  StartProfile(ProfileClockNs(), &Collect);
  MarkProfile("winmain");
  MarkEvent("early");  // only once the profile is out
  MarkProfile("unit-created", 21);
  ASSERT_TRUE(FinishProfile("idle"));
  EXPECT_FALSE(ProfileOn());
  MarkProfile("late");
  EXPECT_FALSE(FinishProfile("idle"));
  MarkEvent("clicked", 1);
  ASSERT_EQ(g_blocks.size(), 2u);
  long long first = -1, second = -1, third = -1, fourth = -1;
  char a[32] = {}, b[32] = {}, c[32] = {}, d[32] = {};
  int detail = 0, clicked = 0;
  ASSERT_EQ(std::sscanf(g_blocks[0].c_str(), "%lld %31s %lld %31s %d %lld %31s", &first, a, &second, b, &detail, &third,
                        c),
            7)
      << g_blocks[0];
  EXPECT_EQ(std::string(a) + " " + b + " " + c, "winmain unit-created idle");
  EXPECT_EQ(detail, 21);
  EXPECT_LE(0, first);
  EXPECT_LE(first, second);
  EXPECT_LE(second, third);
  ASSERT_EQ(std::sscanf(g_blocks[1].c_str(), "%lld %31s %d", &fourth, d, &clicked), 3);
  EXPECT_EQ(std::string(d) + " " + std::to_string(clicked), "clicked 1");
  EXPECT_EQ(g_blocks[1].back(), '\n');

  // More marks than the profile holds: the extra ones are dropped, and the
  // closing mark is still written last.
  g_blocks.clear();
  StartProfile(ProfileClockNs(), &Collect);
  for (int i = 0; i < 500; ++i) MarkProfile("unit-created", i);
  ASSERT_TRUE(FinishProfile("idle"));
  ASSERT_EQ(g_blocks.size(), 1u);
  EXPECT_EQ(std::sscanf(g_blocks[0].c_str(), "%lld %31s %d", &first, a, &detail), 3);
  EXPECT_EQ(std::string(a) + " " + std::to_string(detail), "unit-created 0");
  EXPECT_NE(g_blocks[0].find(" idle\n"), std::string::npos);
  EXPECT_STREQ(ProfileMarks().back().phase, "idle");
  StartProfile(0, nullptr);  // off again for the other tests
}

}  // namespace
}  // namespace kavrel
