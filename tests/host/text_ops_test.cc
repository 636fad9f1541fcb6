#include "commands/text_ops.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "commands/runtime_heap.h"

namespace kavrel {
namespace {

// Calls of operator new on this thread while counting. A command that
// program code calls takes its memory from the runtime heap alone: there,
// running out is the fatal report; in operator new it would be
// std::terminate. (The address sanitizer brings an operator new of its own,
// so its build does not count.)
#ifdef __SANITIZE_ADDRESS__
constexpr bool kCountingNew = false;
#else
constexpr bool kCountingNew = true;
#endif
thread_local bool t_countNew = false;
thread_local int t_newCalls = 0;

class CountNew {
 public:
  CountNew() { t_newCalls = 0, t_countNew = true; }
  ~CountNew() { t_countNew = false; }
  int calls() const { return t_newCalls; }
};

}  // namespace
}  // namespace kavrel

#ifndef __SANITIZE_ADDRESS__
// The replacements pair malloc with free; GCC cannot see that through the
// inlined standard routines.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (kavrel::t_countNew) ++kavrel::t_newCalls;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace kavrel {
namespace {

TEST(CompareTextTest, NullIsTheEmptyText) {
  EXPECT_EQ(CompareText(nullptr, nullptr), 0);
  EXPECT_EQ(CompareText(nullptr, ""), 0);
  EXPECT_EQ(CompareText("", nullptr), 0);
  EXPECT_EQ(CompareText(nullptr, "a"), -1);
  EXPECT_EQ(CompareText("a", nullptr), 1);
}

TEST(CompareTextTest, BytesCompareUnsignedAndPrefixesFirst) {
  EXPECT_EQ(CompareText("ab", "abc"), -1);
  EXPECT_EQ(CompareText("abc", "ab"), 1);
  EXPECT_EQ(CompareText("abc", "abc"), 0);
  // Bytes of a double-byte character rank above every ASCII byte.
  EXPECT_EQ(CompareText("\x80", "\x7f"), 1);
  EXPECT_EQ(CompareText("a\xb1\xbe", "az"), 1);
  EXPECT_EQ(CompareText("\xff", "\xfe"), 1);
  // No case folding and no trimming.
  EXPECT_EQ(CompareText("8.8.8.8", "8.8.8.8 "), -1);
  EXPECT_EQ(CompareText("A", "a"), -1);
  // The result is exactly -1 or 1, not a byte difference.
  EXPECT_EQ(CompareText("a", "z"), -1);
  EXPECT_EQ(CompareText("z", "a"), 1);
}

TEST(TextLengthTest, CountsBytesBeforeTheNul) {
  EXPECT_EQ(TextLength(nullptr), 0u);
  EXPECT_EQ(TextLength(""), 0u);
  EXPECT_EQ(TextLength("\xb1\xbe\xb5\xd8"), 4u);
}

class JoinTextsTest : public ::testing::Test {
 protected:
  void SetUp() override { before_ = OutstandingBlocks(); }
  void TearDown() override { EXPECT_EQ(OutstandingBlocks(), before_); }
  int64_t before_ = 0;
};

TEST_F(JoinTextsTest, JoinsInOrderWithNullAsEmpty) {
  const char* pieces[] = {"cmd ", nullptr, "\"", "", "\xb1\xbe", "\"", " end"};
  char* joined = JoinTexts(7, pieces);
  EXPECT_EQ(std::string(joined), "cmd \"\xb1\xbe\" end");
  Free(joined);
}

TEST_F(JoinTextsTest, AllNullGivesABlockHoldingTheNul) {
  const char* pieces[] = {nullptr, nullptr, nullptr};
  int64_t base = OutstandingBlocks();
  char* joined = JoinTexts(3, pieces);
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined[0], '\0');
  EXPECT_EQ(OutstandingBlocks(), base + 1);
  Free(joined);
}

TEST_F(JoinTextsTest, AllocatesOnceFromTheRuntimeHeapEvenForManyPieces) {
  std::string expected;
  const char* pieces[40];
  for (int i = 0; i < 40; ++i) {
    pieces[i] = i % 3 ? "xy" : "z";
    expected += pieces[i];
  }
  int64_t base = OutstandingBlocks();
  char* joined = nullptr;
  {
    CountNew count;
    joined = JoinTexts(40, pieces);
    if (kCountingNew) {
      EXPECT_EQ(count.calls(), 0);
    }
  }
  EXPECT_EQ(OutstandingBlocks(), base + 1);
  EXPECT_EQ(std::string(joined), expected);
  Free(joined);
}

TEST_F(JoinTextsTest, NoPiecesGivesTheEmptyText) {
  char* joined = JoinTexts(0, nullptr);
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined[0], '\0');
  Free(joined);
}

}  // namespace
}  // namespace kavrel
