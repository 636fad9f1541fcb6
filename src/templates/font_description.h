// The 60-byte font description held by font properties: the fields of a
// LOGFONTA in its Windows byte layout, kept neutral so that the design and
// the tests can build and read one without Win32.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kavrel {

struct FontDescription {
  static constexpr size_t kSize = 60;
  static constexpr size_t kFaceSize = 32;

  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  char faceName[kFaceSize] = {};  // a program text (936), NUL-padded

  // `face` is cut to 31 bytes so that the name stays NUL-terminated.
  void SetFace(std::string_view face);
  std::string_view Face() const;

  std::vector<uint8_t> ToBytes() const;
  // Only a font property of exactly 60 bytes holds a font.
  static std::optional<FontDescription> FromBytes(std::span<const uint8_t> bytes);
};

}  // namespace kavrel
