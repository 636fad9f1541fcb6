// The program's texts at the platform's edge. Inside the program every text
// is bytes in its own code page, 936 (GBK), whatever the system's code page
// for non-Unicode programs is; every text that crosses to the system is
// converted here, with that code page named, and handed to the wide
// function. Nothing else converts.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kavrel {

inline constexpr UINT kProgramCodePage = 936;

// What a character 936 has no code for becomes in a program text: a control
// character, which the check of what may go into a command line refuses.
inline constexpr char kUnfittedByte = '\x1a';

// The UTF-16 form of a program text. Bytes that form no character convert
// as the system's own conversion of 936 makes them.
std::wstring WideText(std::string_view text);

// The same into a caller's buffer, without allocating (the fatal report may
// follow an exhausted heap): cut short where it does not fit, and always
// terminated. Gives the characters written, the terminator not counted.
size_t WideTextInto(std::string_view text, wchar_t* out, size_t capacity);

// A program text of UTF-16 text. Never a look-alike: a character without a
// code of its own in 936 (Hangul, an emoji, a lone surrogate, ...) becomes
// kUnfittedByte and `fitted` says so.
struct ProgramText {
  std::string text;
  bool fitted = true;
};
ProgramText ProgramTextOf(std::wstring_view wide);

// A window's text as the system holds it, as a program text, and setting it
// from a program text.
std::wstring WindowWideText(HWND window);
ProgramText WindowProgramText(HWND window);
bool SetWindowProgramText(HWND window, std::string_view text);

}  // namespace kavrel
