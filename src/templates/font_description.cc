#include "templates/font_description.h"

#include <cstring>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace kavrel {

void FontDescription::SetFace(std::string_view face) {
  std::memset(faceName, 0, sizeof faceName);
  std::memcpy(faceName, face.data(), std::min(face.size(), kFaceSize - 1));
}

std::string_view FontDescription::Face() const {
  return {faceName, strnlen(faceName, kFaceSize)};
}

std::vector<uint8_t> FontDescription::ToBytes() const {
  ByteWriter w;
  w.WriteI32(height);
  w.WriteI32(width);
  w.WriteI32(escapement);
  w.WriteI32(orientation);
  w.WriteI32(weight);
  for (uint8_t b : {italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily})
    w.WriteU8(b);
  w.WriteBytes({reinterpret_cast<const uint8_t*>(faceName), kFaceSize});
  return w.Take();
}

std::optional<FontDescription> FontDescription::FromBytes(std::span<const uint8_t> bytes) {
  if (bytes.size() != kSize) return std::nullopt;
  ByteReader r(bytes);
  FontDescription f;
  r.ReadI32(f.height);
  r.ReadI32(f.width);
  r.ReadI32(f.escapement);
  r.ReadI32(f.orientation);
  r.ReadI32(f.weight);
  for (uint8_t* b : {&f.italic, &f.underline, &f.strikeOut, &f.charSet, &f.outPrecision, &f.clipPrecision,
                     &f.quality, &f.pitchAndFamily})
    r.ReadU8(*b);
  r.Read(f.faceName, kFaceSize);
  return f;
}

}  // namespace kavrel
