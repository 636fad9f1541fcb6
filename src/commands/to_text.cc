#include "commands/to_text.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>

#include "commands/text_ops.h"
#include "base/byte_reader.h"

// On the 32-bit target the default x87 arithmetic keeps excess precision,
// which would make the float rounding and the time of day differ from the
// host in rare cases; plain double arithmetic makes both builds agree.
#if defined(__i386__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC target("sse2,fpmath=sse")
#endif

namespace kavrel {

namespace {

// Exact powers of ten as the compiler rounds them, so that no build depends
// on its pow().
constexpr double kPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12,
    1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22, 1e23, 1e24, 1e25,
    1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37, 1e38};
constexpr double kLog10Of2 = 0.30102999566398119521;

// OLE automation dates: 1 Jan 100 and 31 Dec 9999.
constexpr double kFirstDay = -657434;
constexpr double kLastDay = 2958465;
// Day 0 (30 Dec 1899) counted from 1 Jan 1970.
constexpr int64_t kOleDayOfUnixEpoch = 25569;

// GBK: 真, 假, 年, 月, 日, 时, 分, 秒.
constexpr char kTrue[] = "\xd5\xe6";
constexpr char kFalse[] = "\xbc\xd9";
constexpr char kYear[] = "\xc4\xea";
constexpr char kMonth[] = "\xd4\xc2";
constexpr char kDay[] = "\xc8\xd5";
constexpr char kHour[] = "\xca\xb1";
constexpr char kMinute[] = "\xb7\xd6";
constexpr char kSecond[] = "\xc3\xeb";

// Appends to a fixed buffer, always NUL-terminated, never past its end.
class TextBuilder {
 public:
  explicit TextBuilder(char (&buffer)[kValueTextSize]) : buf_(buffer) { buf_[0] = '\0'; }

  void Append(const char* text) {
    while (*text && len_ + 1 < kValueTextSize) buf_[len_++] = *text++;
    buf_[len_] = '\0';
  }
  void AppendUnsigned(uint64_t v) {
    char digits[21];
    int n = 0;
    do {
      digits[n++] = char('0' + v % 10);
      v /= 10;
    } while (v);
    char text[22];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = '\0';
    Append(text);
  }
  void AppendSigned(int64_t v) {
    if (v < 0) {
      Append("-");
      // Negated as unsigned, so that the 64-bit minimum has a magnitude too.
      AppendUnsigned(0 - uint64_t(v));
    } else {
      AppendUnsigned(uint64_t(v));
    }
  }
  // "%.<precision>g" with a '.' whatever the C locale says.
  void AppendGeneral(double v, int precision) {
    if (std::isnan(v)) return Append(std::signbit(v) ? "-nan" : "nan");
    if (std::isinf(v)) return Append(v < 0 ? "-inf" : "inf");
    char text[64];
#ifdef __MINGW32__
    // The C runtime's own printf writes three exponent digits.
    __mingw_snprintf(text, sizeof text, "%.*g", precision, v);
#else
    std::snprintf(text, sizeof text, "%.*g", precision, v);
#endif
    NormaliseDecimalPoint(text);
    Append(text);
  }

 private:
  static void NormaliseDecimalPoint(char* text) {
    const char* point = std::localeconv()->decimal_point;
    if (!point || !*point || std::strcmp(point, ".") == 0) return;
    char* at = std::strstr(text, point);
    if (!at) return;
    size_t n = std::strlen(point);
    *at = '.';
    std::memmove(at + 1, at + n, std::strlen(at + n) + 1);
  }

  char* buf_;
  size_t len_ = 0;
};

void AppendDateTime(TextBuilder& out, double value) {
  if (std::isnan(value)) value = 0;
  if (value < kFirstDay) value = kFirstDay;
  if (value > kLastDay) value = kLastDay;
  double whole = std::trunc(value);
  // Before day 0 the fraction still counts forward from the day's start.
  double fraction = std::fabs(value - whole);
  int64_t day = int64_t(whole);
  int64_t seconds = int64_t(std::floor(fraction * 86400.0 + 0.5));
  if (seconds >= 86400) {
    // Rounded up into the next day; the clamp leaves the last day no time.
    ++day;
    seconds = 0;
  }

  // Civil date of a day count (proleptic Gregorian), from 1 Mar of year 0.
  int64_t z = day - kOleDayOfUnixEpoch + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t dayOfEra = z - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t mp = (5 * dayOfYear + 2) / 153;
  int64_t dayOfMonth = dayOfYear - (153 * mp + 2) / 5 + 1;
  int64_t month = mp < 10 ? mp + 3 : mp - 9;
  int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

  out.AppendSigned(year);
  out.Append(kYear);
  out.AppendSigned(month);
  out.Append(kMonth);
  out.AppendSigned(dayOfMonth);
  out.Append(kDay);

  int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (s != 0 || m != 0 || h != 0) {
    out.AppendSigned(h);
    out.Append(kHour);
  }
  if (s != 0 || m != 0) {
    out.AppendSigned(m);
    out.Append(kMinute);
  }
  if (s != 0) {
    out.AppendSigned(s);
    out.Append(kSecond);
  }
}

// The bytes of a numeric array or byte block, up to the first NUL, as a new
// text; null when there are none. The block's words are only believed as far
// as they make sense: a null block, a negative length or a size that
// overflows gives null.
char* BlockBytesToText(const void* block, bool byteBlock, uint32_t elementSize) {
  if (!block) return nullptr;
  auto* base = static_cast<const uint8_t*>(block);
  ByteReader head({base, 4});
  int32_t dimensions = head.I32();
  uint64_t headerSize = 8;
  uint64_t elements = 0;
  if (byteBlock) {
    // A byte block's length is its second word, whatever its first says.
    ByteReader lengthWord({base + 4, 4});
    int32_t length = lengthWord.I32();
    if (length < 0) return nullptr;
    elements = uint64_t(length);
  } else {
    // One dimension is the common case; an array of several holds the
    // product of its lengths after its whole header.
    constexpr int32_t kMaxDimensions = 32;
    if (dimensions < 1 || dimensions > kMaxDimensions) return nullptr;
    headerSize = 4 + 4 * uint64_t(dimensions);
    ByteReader lengths({base + 4, size_t(headerSize - 4)});
    elements = 1;
    for (int32_t i = 0; i < dimensions; ++i) {
      int32_t length = lengths.I32();
      if (!lengths.ok() || length < 0) return nullptr;
      elements *= uint64_t(length);
      if (elements > uint64_t(INT32_MAX)) return nullptr;
    }
  }
  uint64_t size = elements * elementSize;
  if (size >= uint64_t(INT32_MAX)) return nullptr;
  ByteReader data({base + headerSize, size_t(size)});
  std::span<const uint8_t> bytes = data.View(size_t(size));
  size_t length = 0;
  while (length < bytes.size() && bytes[length] != 0) ++length;
  if (length == 0) return nullptr;
  char* text = AllocateText(length);
  std::memcpy(text, bytes.data(), length);
  text[length] = '\0';
  return text;
}

}  // namespace

double RoundFloatForText(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  int e = int8_t(uint8_t(((bits >> 23) & 0xFF) - 127));
  int k = int(e * kLog10Of2);
  double p = kPowersOfTen[k < 0 ? -k : k];
  double magnitude = std::fabs(double(value));
  double f = k > 0 ? magnitude / p : magnitude * p;
  if (f >= 10) {
    p *= 10;
    k += 1;
    f *= 10000;
  } else if (f < 1) {
    p *= 10;
    k -= 1;
    f *= 1000000;
  } else {
    f *= 100000;
  }
  double i;
  double fraction = std::modf(f, &i);
  if (fraction >= 0.5) i += 1;
  double rounded = k > 0 ? i * p * 0.00001 : i / (p * 100000);
  return value < 0 ? -rounded : rounded;
}

const char* ValueToText(const CommandArg& value, char (&buffer)[kValueTextSize]) {
  TextBuilder out(buffer);
  switch (value.tag) {
    case tags::kByte: out.AppendUnsigned(uint8_t(value.low)); break;
    case tags::kShort: out.AppendSigned(int16_t(uint16_t(value.low))); break;
    case tags::kInt: out.AppendSigned(value.Int()); break;
    case tags::kLong: out.AppendSigned(value.Int64()); break;
    case tags::kFloat: out.AppendGeneral(RoundFloatForText(value.Float()), 6); break;
    case tags::kDouble: out.AppendGeneral(value.Double(), 13); break;
    case tags::kLogical: out.Append(value.Low32() != 0 ? kTrue : kFalse); break;
    case tags::kDateTime: AppendDateTime(out, value.Double()); break;
    case tags::kText: return value.Text() ? value.Text() : "";
    default: break;
  }
  return buffer;
}

void ToText(CommandResult* result, int32_t count, const CommandArg* args) {
  if (!result) return;
  result->low = 0;
  if (count < 1 || !args) return;
  const CommandArg& value = args[0];
  if (value.tag == tags::kByteBlock) {
    result->low = reinterpret_cast<uintptr_t>(BlockBytesToText(value.Pointer(), true, 1));
    return;
  }
  if (IsArrayTag(value.tag)) {
    uint32_t size = ElementSize(ElementTag(value.tag));
    if (size != 0) result->low = reinterpret_cast<uintptr_t>(BlockBytesToText(value.Pointer(), false, size));
    return;
  }
  char buffer[kValueTextSize];
  const char* text = ValueToText(value, buffer);
  size_t length = std::strlen(text);
  if (length == 0) return;
  char* copy = AllocateText(length);
  std::memcpy(copy, text, length + 1);
  result->low = reinterpret_cast<uintptr_t>(copy);
}

}  // namespace kavrel
