// Any value word pair and tag through the value-to-text rules and ToText, and
// any bytes through the command-line text checks: nothing may read outside
// its data, overflow or leak.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "commands/runtime_heap.h"
#include "commands/to_text.h"
#include "program/input_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavrel;
  if (size >= 12) {
    uint32_t words[3];
    std::memcpy(words, data, 12);
    // Byte blocks and arrays carry addresses, which no input can supply.
    TypeTag tag = words[2];
    if (tag == tags::kText || tag == tags::kByteBlock || IsArrayTag(tag)) tag = tags::kDouble;
    CommandArg value{words[0], words[1], tag};
    char buffer[kValueTextSize];
    const char* text = ValueToText(value, buffer);
    if (std::strlen(text) >= kValueTextSize) __builtin_trap();
    CommandResult result = CallCommand(ToText, 1, &value);
    Free(reinterpret_cast<void*>(result.low));
  }
  // The first byte picks the code page the text is in.
  static const uint32_t kCodePages[] = {936, 932, 949, 950, 1252};
  const CodePageBytes codePage = CodePageBytes::ForCodePage(size ? kCodePages[data[0] % 5] : 936);
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::strlen(text.c_str()));
  bool bare = IsSafeBareText(text.c_str(), codePage);
  // Whatever is safe outside quotation marks is safe inside them, once a
  // character other than a backslash stands before the closing mark.
  if (bare && !IsSafeQuotedText((text + "x").c_str(), codePage)) __builtin_trap();
  return 0;
}
