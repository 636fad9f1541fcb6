#include "framework/program_text_win32.h"

#include <climits>

namespace kavrel {

namespace {

// The system's converters count in int.
int Count(size_t size) { return size > size_t(INT_MAX) ? INT_MAX : int(size); }

}  // namespace

std::wstring WideText(std::string_view text) {
  if (text.empty()) return {};
  const int in = Count(text.size());
  const int n = MultiByteToWideChar(kProgramCodePage, 0, text.data(), in, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(kProgramCodePage, 0, text.data(), in, wide.data(), n);
  return wide;
}

size_t WideTextInto(std::string_view text, wchar_t* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = 0;
  // A 936 character is one or two bytes and one UTF-16 unit, so as many
  // bytes as there is room for always fit; cut at a character's start.
  size_t length = 0;
  while (length < text.size()) {
    const size_t step = IsDBCSLeadByteEx(kProgramCodePage, BYTE(text[length])) ? 2 : 1;
    if (length + step > text.size() || length + step > capacity - 1) break;
    length += step;
  }
  if (length == 0) return 0;
  const int n = MultiByteToWideChar(kProgramCodePage, 0, text.data(), Count(length), out, Count(capacity - 1));
  if (n <= 0) return 0;
  out[n] = 0;
  return size_t(n);
}

ProgramText ProgramTextOf(std::wstring_view wide) {
  ProgramText out;
  if (wide.empty()) return out;
  const int in = Count(wide.size());
  const char unfitted[2] = {kUnfittedByte, 0};
  BOOL usedDefault = FALSE;
  // No best fit: an "Ä" must not become an "A", nor a full-width quotation
  // mark a plain one.
  const int n = WideCharToMultiByte(kProgramCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), in, nullptr, 0, unfitted,
                                    &usedDefault);
  if (n <= 0) {
    out.fitted = false;
    return out;
  }
  out.text.assign(size_t(n), '\0');
  WideCharToMultiByte(kProgramCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), in, out.text.data(), n, unfitted,
                      &usedDefault);
  out.fitted = !usedDefault;
  return out;
}

std::wstring WindowWideText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring wide(size_t(length) + 1, L'\0');
  const int got = GetWindowTextW(window, wide.data(), length + 1);
  wide.resize(size_t(got > 0 ? got : 0));
  return wide;
}

ProgramText WindowProgramText(HWND window) { return ProgramTextOf(WindowWideText(window)); }

bool SetWindowProgramText(HWND window, std::string_view text) {
  return SetWindowTextW(window, WideText(text).c_str()) != FALSE;
}

}  // namespace kavrel
