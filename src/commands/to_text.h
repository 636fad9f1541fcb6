// ToText, the library command that turns any one value into a new text, and
// the value-to-text rules it shares with the message box command.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/values.h"

namespace kavrel {

inline constexpr size_t kValueTextSize = 100;

// The text of a number, logical or date-time value, written into `buffer`;
// a text value gives its own text (the empty text for null). Every other tag
// (byte blocks, arrays, unit types, an omitted value) gives the empty text.
// Never null.
const char* ValueToText(const CommandArg& value, char (&buffer)[kValueTextSize]);

// A float rounded to six significant decimal digits, the step before "%.6g".
double RoundFloatForText(float value);

// Library command: one argument of any type; the result's low word is a new
// heap text, or null where the text would be empty.
void ToText(CommandResult* result, int32_t count, const CommandArg* args);

}  // namespace kavrel
