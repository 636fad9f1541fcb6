#include "commands/to_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "commands/runtime_heap.h"

namespace kavrel {
namespace {

std::string Text(const CommandArg& value) {
  char buffer[kValueTextSize];
  return ValueToText(value, buffer);
}

std::string FloatText(float v) { return Text(CommandArg::OfFloat(v)); }
std::string DoubleText(double v) { return Text(CommandArg::OfDouble(v)); }
std::string DateText(double days) {
  uint64_t bits;
  std::memcpy(&bits, &days, 8);
  return Text(CommandArg::Of64(bits, tags::kDateTime));
}

// GBK: 年 月 日 时 分 秒
const std::string Y = "\xc4\xea", M = "\xd4\xc2", D = "\xc8\xd5";
const std::string H = "\xca\xb1", Mi = "\xb7\xd6", S = "\xc3\xeb";

TEST(ValueToTextTest, IntegersUseOnlyTheirOwnBits) {
  EXPECT_EQ(Text({0x1FF, 0xFFFFFFFF, tags::kByte}), "255");
  EXPECT_EQ(Text({0x2FFFF, 0, tags::kShort}), "-1");
  EXPECT_EQ(Text({0x7FFF, 0, tags::kShort}), "32767");
  EXPECT_EQ(Text(CommandArg::OfInt(-5)), "-5");
  EXPECT_EQ(Text({0x80000000u, 0x12345678, tags::kInt}), "-2147483648");
  EXPECT_EQ(Text(CommandArg::Of64(0x8000000000000000ull, tags::kLong)), "-9223372036854775808");
  EXPECT_EQ(Text(CommandArg::Of64(0x7FFFFFFFFFFFFFFFull, tags::kLong)), "9223372036854775807");
  EXPECT_EQ(Text(CommandArg::Of64(uint64_t(-1234567890123LL), tags::kLong)), "-1234567890123");
  EXPECT_EQ(Text(CommandArg::Of64(0, tags::kLong)), "0");
}

TEST(ValueToTextTest, FloatsAreRoundedToSixDigitsFirst) {
  EXPECT_EQ(FloatText(0.1f), "0.1");
  EXPECT_EQ(FloatText(9.9999995f), "10");
  EXPECT_EQ(FloatText(1e-5f), "1e-05");
  EXPECT_EQ(FloatText(123456.7f), "123457");
  EXPECT_EQ(FloatText(1e10f), "1e+10");
  EXPECT_EQ(FloatText(12.5f), "12.5");
  EXPECT_EQ(FloatText(-2.5f), "-2.5");
  EXPECT_EQ(FloatText(1.0f / 3), "0.333333");
  EXPECT_EQ(FloatText(FLT_MAX), "3.40282e+38");
  // Negative zero counts as positive.
  EXPECT_EQ(FloatText(-0.0f), "0");
  EXPECT_EQ(FloatText(0.0f), "0");
}

TEST(ValueToTextTest, FloatTiesFollowTheRoundingStep) {
  // Exact halves at the seventh digit: the rounding step goes up, where
  // "%.6g" alone would round to even.
  EXPECT_EQ(FloatText(2970.125f), "2970.13");
  EXPECT_EQ(FloatText(280634.5f), "280635");
  EXPECT_EQ(FloatText(5118185.0f), "5.11819e+06");
  EXPECT_EQ(FloatText(-807222.5f), "-807223");
  // Ties whose scaled value lands just below one half in double arithmetic
  // stay down; the 32-bit target's extended precision would round them up.
  EXPECT_EQ(FloatText(40759.75f), "40759.7");
  EXPECT_EQ(FloatText(846412.5f), "846412");
  // Subnormal floats are scaled as if their exponent were -127.
  EXPECT_EQ(FloatText(1e-40f), "1e-40");
  EXPECT_EQ(FloatText(std::numeric_limits<float>::denorm_min()), "0");
}

TEST(ValueToTextTest, NonFiniteNumbersHaveOneSpelling) {
  EXPECT_EQ(FloatText(std::numeric_limits<float>::infinity()), "inf");
  EXPECT_EQ(FloatText(-std::numeric_limits<float>::infinity()), "-inf");
  EXPECT_EQ(DoubleText(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(DoubleText(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(ValueToTextTest, DoublesUseThirteenDigits) {
  EXPECT_EQ(DoubleText(0.1), "0.1");
  EXPECT_EQ(DoubleText(1.0 / 3), "0.3333333333333");
  EXPECT_EQ(DoubleText(123456789012345.0), "1.234567890123e+14");
  EXPECT_EQ(DoubleText(1e10), "10000000000");
  EXPECT_EQ(DoubleText(1e13), "1e+13");
  EXPECT_EQ(DoubleText(1e100), "1e+100");
  EXPECT_EQ(DoubleText(-1.5e-7), "-1.5e-07");
  EXPECT_EQ(DoubleText(2.0), "2");
}

TEST(ValueToTextTest, LogicalAnyNonZeroLowWordIsTrue) {
  const std::string yes = "\xd5\xe6", no = "\xbc\xd9";  // 真, 假
  EXPECT_EQ(Text(CommandArg::OfLogical(true)), yes);
  EXPECT_EQ(Text({0x80000000u, 0, tags::kLogical}), yes);
  EXPECT_EQ(Text(CommandArg::OfLogical(false)), no);
  EXPECT_EQ(Text({0, 1, tags::kLogical}), no);
}

TEST(ValueToTextTest, DateTimes) {
  EXPECT_EQ(DateText(36526), "2000" + Y + "1" + M + "1" + D);
  EXPECT_EQ(DateText(36526 + 8.5 / 24), "2000" + Y + "1" + M + "1" + D + "8" + H + "30" + Mi);
  // Seconds bring the minutes along even when they are 0.
  EXPECT_EQ(DateText(36526 + 5.0 / 86400 + 8.0 / 24),
            "2000" + Y + "1" + M + "1" + D + "8" + H + "0" + Mi + "5" + S);
  // 01:00 is a hair below 1/24 in a double: rounded, not cut down to 0:59:59.
  EXPECT_EQ(DateText(36526 + 1.0 / 24), "2000" + Y + "1" + M + "1" + D + "1" + H);
  EXPECT_EQ(DateText(36585), "2000" + Y + "2" + M + "29" + D);
  EXPECT_EQ(DateText(61), "1900" + Y + "3" + M + "1" + D);
  EXPECT_EQ(DateText(0), "1899" + Y + "12" + M + "30" + D);
  // A time just before midnight that rounds up belongs to the next day.
  EXPECT_EQ(DateText(36526 - 0.1 / 86400), "2000" + Y + "1" + M + "1" + D);
}

TEST(ValueToTextTest, NegativeDatesCountTheTimeForwardFromTheDay) {
  EXPECT_EQ(DateText(-1.25), "1899" + Y + "12" + M + "29" + D + "6" + H);
  EXPECT_EQ(DateText(-0.5), "1899" + Y + "12" + M + "30" + D + "12" + H);
  EXPECT_EQ(DateText(-36522), "1800" + Y + "1" + M + "1" + D);
}

TEST(ValueToTextTest, DatesAreClampedToYears100To9999) {
  const std::string first = "100" + Y + "1" + M + "1" + D;
  const std::string last = "9999" + Y + "12" + M + "31" + D;
  EXPECT_EQ(DateText(-657434), first);
  EXPECT_EQ(DateText(-657434.75), first);
  EXPECT_EQ(DateText(-1e9), first);
  EXPECT_EQ(DateText(-std::numeric_limits<double>::infinity()), first);
  EXPECT_EQ(DateText(-657433.5), "100" + Y + "1" + M + "2" + D + "12" + H);
  EXPECT_EQ(DateText(2958465), last);
  EXPECT_EQ(DateText(2958466), last);
  EXPECT_EQ(DateText(1e300), last);
  EXPECT_EQ(DateText(2958465.5), last);
  EXPECT_EQ(DateText(2958464.5), "9999" + Y + "12" + M + "30" + D + "12" + H);
  EXPECT_EQ(DateText(2958464.9999999), last);
  EXPECT_EQ(DateText(std::numeric_limits<double>::quiet_NaN()), "1899" + Y + "12" + M + "30" + D);
}

TEST(ValueToTextTest, TextsAndOtherTags) {
  const char* own = "abc";
  char buffer[kValueTextSize];
  EXPECT_EQ(ValueToText(CommandArg::OfText(own), buffer), own);
  EXPECT_STREQ(ValueToText(CommandArg::OfText(nullptr), buffer), "");
  for (TypeTag tag : {tags::kNone, tags::kWindowUnit, TypeTag(0x0001000E), TypeTag(0x40000001),
                      tags::kByteBlock, TypeTag(tags::kInt | tags::kArrayBit)}) {
    EXPECT_STREQ(ValueToText({0x41, 0, tag}, buffer), "") << std::hex << tag;
  }
}

class ToTextTest : public ::testing::Test {
 protected:
  void SetUp() override { before_ = OutstandingBlocks(); }
  void TearDown() override { EXPECT_EQ(OutstandingBlocks(), before_); }

  // The result's text (or "<null>"), freed at once.
  std::string Call(const CommandArg& arg, int32_t count = 1) {
    CommandResult result = CallCommand(ToText, count, &arg);
    EXPECT_EQ(result.high, 0u);
    EXPECT_EQ(result.tag, 0u);
    char* text = reinterpret_cast<char*>(result.low);
    if (!text) return "<null>";
    EXPECT_NE(text, arg.Text());
    std::string s = text;
    Free(text);
    return s;
  }
  static std::vector<int32_t> Block(std::vector<int32_t> header, const std::string& bytes) {
    std::vector<int32_t> words = header;
    words.resize(header.size() + (bytes.size() + 3) / 4);
    std::memcpy(words.data() + header.size(), bytes.data(), bytes.size());
    return words;
  }
  std::string CallBlock(const std::vector<int32_t>& words, TypeTag tag) {
    return Call(CommandArg::OfPointer(words.data(), tag));
  }

  int64_t before_ = 0;
};

TEST_F(ToTextTest, CopiesTextsAndConvertsValues) {
  const char quote[] = "\"";
  CommandArg arg = CommandArg::OfText(quote);
  int64_t base = OutstandingBlocks();
  CommandResult result = CallCommand(ToText, 1, &arg);
  char* copy = reinterpret_cast<char*>(result.low);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, quote);
  EXPECT_EQ(std::memcmp(copy, "\"", 2), 0);
  EXPECT_EQ(OutstandingBlocks(), base + 1);
  Free(copy);

  EXPECT_EQ(Call(CommandArg::OfInt(-5)), "-5");
  EXPECT_EQ(Call(CommandArg::OfLogical(false)), "\xbc\xd9");
  EXPECT_EQ(Call(CommandArg::OfDouble(0.1)), "0.1");
  EXPECT_EQ(Call(CommandArg::OfFloat(0.1f)), "0.1");
}

TEST_F(ToTextTest, EmptyResultsAreNull) {
  EXPECT_EQ(Call(CommandArg::OfText("")), "<null>");
  EXPECT_EQ(Call(CommandArg::OfText(nullptr)), "<null>");
  EXPECT_EQ(Call(CommandArg::Omitted()), "<null>");
  EXPECT_EQ(Call({0x12345, 0, tags::kWindowUnit}), "<null>");
  EXPECT_EQ(Call(CommandArg::OfInt(7), 0), "<null>");
}

TEST_F(ToTextTest, ByteBlocksStopAtTheFirstNul) {
  EXPECT_EQ(CallBlock(Block({1, 5}, std::string("ab\0cd", 5)), tags::kByteBlock), "ab");
  EXPECT_EQ(CallBlock(Block({1, 3}, "xyz?"), tags::kByteBlock), "xyz");
  EXPECT_EQ(CallBlock(Block({1, 2}, std::string("\0z", 2)), tags::kByteBlock), "<null>");
  EXPECT_EQ(CallBlock(Block({1, 0}, ""), tags::kByteBlock), "<null>");
}

TEST_F(ToTextTest, UntrustworthyBlocksGiveNull) {
  EXPECT_EQ(Call(CommandArg::OfPointer(nullptr, tags::kByteBlock)), "<null>");
  EXPECT_EQ(Call(CommandArg::OfPointer(nullptr, tags::kByte | tags::kArrayBit)), "<null>");
  EXPECT_EQ(CallBlock(Block({1, -1}, "abcd"), tags::kByteBlock), "<null>");
  EXPECT_EQ(CallBlock(Block({1, INT32_MIN}, "abcd"), tags::kByteBlock), "<null>");
  const TypeTag ints = tags::kInt | tags::kArrayBit;
  EXPECT_EQ(CallBlock(Block({1, -3}, "abcd"), ints), "<null>");
  EXPECT_EQ(CallBlock(Block({0, 4}, "abcd"), ints), "<null>");
  EXPECT_EQ(CallBlock(Block({-1, 4}, "abcd"), ints), "<null>");
  // A size that overflows is refused before any element is read.
  EXPECT_EQ(CallBlock(Block({1, 0x40000000}, "abcd"), ints), "<null>");
  EXPECT_EQ(CallBlock(Block({2, 0x10000, 0x10000}, "abcd"), tags::kByte | tags::kArrayBit), "<null>");
  EXPECT_EQ(CallBlock(Block({1, 0x7FFFFFFF}, "abcd"), tags::kDouble | tags::kArrayBit), "<null>");
}

TEST_F(ToTextTest, NumericArraysGiveTheirElementBytes) {
  // Two integers 0x00004241 and 0x43: bytes 41 42 00 00 43 00 00 00.
  std::vector<int32_t> ints = {1, 2, 0x00004241, 0x43};
  EXPECT_EQ(CallBlock(ints, tags::kInt | tags::kArrayBit), "AB");
  EXPECT_EQ(CallBlock(Block({1, 3}, "pqrs"), tags::kByte | tags::kArrayBit), "pqr");
  EXPECT_EQ(CallBlock(Block({1, 2}, "pqrs"), tags::kShort | tags::kArrayBit), "pqrs");
  // Several dimensions: the product of the lengths, after the whole header.
  EXPECT_EQ(CallBlock(Block({2, 2, 3}, "abcdef"), tags::kByte | tags::kArrayBit), "abcdef");
  EXPECT_EQ(CallBlock(Block({2, 2, 0}, "abcdef"), tags::kByte | tags::kArrayBit), "<null>");
  // Arrays whose elements are not numbers have no bytes to give.
  EXPECT_EQ(CallBlock(Block({1, 4}, "abcd"), tags::kText | tags::kArrayBit), "<null>");
  EXPECT_EQ(CallBlock(Block({1, 4}, "abcd"), tags::kLogical | tags::kArrayBit), "<null>");
}

}  // namespace
}  // namespace kavrel
