#include "commands/runtime_heap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "commands/runtime_error.h"
#include "commands/text_ops.h"
#include "commands/to_text.h"
#include "program/constant_block.h"

namespace kavrel {
namespace {

struct FatalReport {
  std::string message;
  int32_t code;
};

void ThrowFatal(const char* message, int32_t code) { throw FatalReport{message, code}; }

void* FailingAlloc(size_t) { return nullptr; }
void* FailingResize(void*, size_t) { return nullptr; }

const HeapBackend kPlainHeap{std::malloc, std::realloc, std::free};
const HeapBackend kExhaustedHeap{FailingAlloc, FailingResize, std::free};

class RuntimeHeapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetConstantBlock(ConstantBlockStart(), ConstantBlockSize());
    previous_ = SetFatalHandler(ThrowFatal);
    before_ = OutstandingBlocks();
  }
  void TearDown() override {
    SetHeapBackend(kPlainHeap);
    SetFatalHandler(previous_);
    EXPECT_EQ(OutstandingBlocks(), before_);
  }

  // The report a call ends in, or an empty message when it comes back.
  template <typename F>
  static FatalReport FatalOf(F call) {
    try {
      call();
    } catch (const FatalReport& report) {
      return report;
    }
    return {"", -1};
  }

  FatalHandler previous_ = nullptr;
  int64_t before_ = 0;
};

TEST_F(RuntimeHeapTest, FreeIgnoresNullAndConstantsAgainAndAgain) {
  for (int i = 0; i < 3; ++i) {
    Free(nullptr);
    Free(const_cast<char*>(kConstants.noticeTitle));
    Free(const_cast<char*>(kConstants.empty));
    Free(const_cast<char*>(kConstants.illegalCharacters + 3));
  }
  EXPECT_EQ(OutstandingBlocks(), before_);
  EXPECT_STREQ(kConstants.noticeTitle, "\xcc\xe1\xca\xbe");
}

TEST_F(RuntimeHeapTest, ReallocateOfAConstantCopiesIt) {
  char* constant = const_cast<char*>(kConstants.nameMissing);
  char* copy = static_cast<char*>(Reallocate(constant, 17));
  EXPECT_NE(copy, constant);
  EXPECT_EQ(std::memcmp(copy, kConstants.nameMissing, 17), 0);
  EXPECT_EQ(OutstandingBlocks(), before_ + 1);
  copy[0] = 'x';
  EXPECT_EQ(kConstants.nameMissing[0], '\xc7');
  Free(copy);

  // Near the end of the block only what is left of it is copied.
  char* last = const_cast<char*>(kConstants.illegalCharacters);
  char* longer = static_cast<char*>(Reallocate(last, 200));
  EXPECT_EQ(std::memcmp(longer, kConstants.illegalCharacters, sizeof kConstants.illegalCharacters), 0);
  Free(longer);
}

TEST_F(RuntimeHeapTest, ReallocateKeepsHeapContents) {
  char* block = static_cast<char*>(Reallocate(nullptr, 4));
  EXPECT_EQ(OutstandingBlocks(), before_ + 1);
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(Reallocate(block, 4000));
  EXPECT_STREQ(block, "abc");
  EXPECT_EQ(OutstandingBlocks(), before_ + 1);
  Free(block);
  Free(Allocate(0));
}

TEST_F(RuntimeHeapTest, ExhaustionIsFatalWithTheSize) {
  SetHeapBackend(kExhaustedHeap);
  const std::string expected = "\xb7\xd6\xc5\xe4 100 \xd7\xd6\xbd\xda\xc4\xda\xb4\xe6\xca\xa7\xb0\xdc!";  // 分配 100 字节内存失败!
  FatalReport report = FatalOf([] { Allocate(100); });
  EXPECT_EQ(report.message, expected);
  EXPECT_EQ(report.code, 0);
  EXPECT_EQ(FatalOf([] { Reallocate(nullptr, 100); }).message, expected);
  EXPECT_EQ(FatalOf([] { Reallocate(const_cast<char*>(kConstants.blank), 100); }).message, expected);
  EXPECT_EQ(TryAllocate(100), nullptr);

  // Joins and conversions end the same way; a join of 99 bytes asks for 100.
  const std::string longText(99, 'a');
  const char* pieces[] = {longText.c_str()};
  EXPECT_EQ(FatalOf([&] { JoinTexts(1, pieces); }).message, expected);
  CommandArg arg = CommandArg::OfText(longText.c_str());
  EXPECT_EQ(FatalOf([&] { CallCommand(ToText, 1, &arg); }).message, expected);
}

TEST_F(RuntimeHeapTest, FailedResizeIsFatal) {
  char* block = static_cast<char*>(Allocate(8));
  SetHeapBackend({std::malloc, FailingResize, std::free});
  FatalReport report = FatalOf([&] { Reallocate(block, 100); });
  EXPECT_EQ(report.code, 0);
  EXPECT_NE(report.message.find(" 100 "), std::string::npos);
  Free(block);
}

}  // namespace
}  // namespace kavrel
