#include "window/property_access.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "commands/runtime_heap.h"
#include "base/byte_reader.h"

namespace kavrel {

namespace {

constexpr int32_t kMaxBlock = 0x7FFFFFF0;

PropertyBits Pointer(const void* p) { return PropertyOfPointer(p); }

PropertyBits Bits(uint32_t low, uint32_t high = 0) { return PropertyBits(low) | PropertyBits(high) << 32; }

bool IsTextType(int16_t type) {
  switch (type) {
    case 1000:
    case 1001:
    case kValueInt64A:
    case 1003:
    case kValueInt64B:
    case 1006:
    case 1009:
    case 1010:
    case 1011:
    case 1012:
    case 1013:
    case 1014:
    case 1015:
    case 1017:
    case 1023:
    case 1024:
      return false;
    default:
      return type >= 1000 && type <= 1024;
  }
}

bool IsBytesType(int16_t type) {
  return type == ptype::kPicture || type == ptype::kIcon || type == ptype::kSound || type == 1023 ||
         type == ptype::kCustomBytes || type == ptype::kCursor;
}

// The bytes a raw byte-array value points at.
std::span<const uint8_t> RawBytes(const PropertyValue& raw) {
  const auto* p = reinterpret_cast<const uint8_t*>(raw.word0);
  if (!p || raw.word1 == 0) return {};
  return {p, raw.word1};
}

std::optional<FontDescription> RawFont(const PropertyValue& raw) {
  const auto* p = reinterpret_cast<const uint8_t*>(raw.word0);
  if (!p || raw.word1 != FontDescription::kSize) return std::nullopt;
  return FontDescription::FromBytes({p, FontDescription::kSize});
}

// The byte-array block a written value points at: (1, n) and n bytes.
std::span<const uint8_t> WrittenBytes(uintptr_t low) {
  const auto* block = reinterpret_cast<const uint8_t*>(low);
  if (!block) return {};
  // The caller's block: its header gives the length, which is all there is to go by.
  ByteReader header({block, 8});
  uint32_t one = 0, n = 0;
  header.ReadU32(one);
  header.ReadU32(n);
  if (!header.ok() || n == 0 || n > uint32_t(kMaxBlock)) return {};
  return {block + 8, n};
}

void SetFaceOrFallback(FontDescription& font, std::string_view face) {
  if (face.empty() || face.size() >= FontDescription::kFaceSize) face = kFallbackFontFace;
  font.SetFace(std::string(face));  // `face` may be the font's own name
}

}  // namespace

int32_t StandardPointerPosition(uint32_t cursorId) {
  for (int32_t i = 0; i < 15; ++i)
    if (kStandardPointers[i] == cursorId) return i;
  return -1;
}

void* NewTextResult(std::string_view text) {
  if (text.empty()) return nullptr;
  const size_t n = std::min(text.size(), size_t(kMaxBlock - 1));
  auto* block = static_cast<char*>(Allocate(int32_t(n + 1)));
  std::memcpy(block, text.data(), n);
  block[n] = 0;
  return block;
}

void* NewByteArrayResult(std::span<const uint8_t> bytes, bool pointerList) {
  if (bytes.empty() || bytes.size() > size_t(kMaxBlock - 8)) return nullptr;
  auto* block = static_cast<uint8_t*>(Allocate(int32_t(bytes.size() + 8)));
  StoreU32(block, 1);
  StoreU32(block + 4, uint32_t(bytes.size()));
  std::memcpy(block + 8, bytes.data(), bytes.size());
  ByteReader first(bytes);
  uint32_t cursorId = 0;
  if (pointerList && first.ReadU32(cursorId)) {
    const int32_t position = StandardPointerPosition(cursorId);
    if (position >= 0) StoreU32(block + 8, uint32_t(position));
  }
  return block;
}

PropertyBits TemplateCommonProperty(const UnitTemplate& unit, int32_t index) {
  const UnitRect r = unit.rect();
  switch (index) {
    case common::kLeft:
      return Bits(uint32_t(r.left));
    case common::kTop:
      return Bits(uint32_t(r.top));
    case common::kWidth:
      return Bits(uint32_t(r.width));
    case common::kHeight:
      return Bits(uint32_t(r.height));
    case common::kTag:
      return Pointer(NewTextResult(unit.tag()));
    case common::kVisible:
      return unit.visible() ? 1 : 0;
    case common::kDisabled:
      return unit.disabled() ? 1 : 0;
    case common::kPointer:
      return Pointer(NewByteArrayResult(unit.cursor(), true));
    default:
      return 0;
  }
}

PropertyBits MenuItemProperty(const MenuItemTemplate& item, int32_t index) {
  const uint32_t flags = item.flags();
  switch (index) {
    case 0:
      return Pointer(NewTextResult(item.text()));
    case 1:
      return (flags >> 2) & 1;
    case 2:
      return (flags >> 1) & 1;
    case 3:
      return 1 - (flags & 1);
    default:
      return 0;
  }
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t num = int64_t(a) * b;
  int64_t den = c;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  const int64_t q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return int32_t(q);
}

PropertyBits FontMember(const FontDescription& font, int32_t selector, int32_t logPixelsY) {
  switch (selector) {
    case 0:
      return Bits(uint32_t(font.height));
    case 1:
      return font.weight >= 700 ? 1 : 0;
    case 2:
      return font.italic ? 1 : 0;
    case 3:
      return font.strikeOut ? 1 : 0;
    case 4:
      return font.underline ? 1 : 0;
    case 5:
      return Bits(uint32_t(MulDivRound(std::abs(font.height), 72, logPixelsY)));
    case 6:
      return Pointer(NewTextResult(font.Face()));
    case -1: {
      auto* m = static_cast<FontMembers*>(Allocate(int32_t(sizeof(FontMembers))));
      *m = FontMembers{};
      m->height = font.height;
      m->bold = font.weight >= 700 ? 1 : 0;
      m->italic = font.italic ? 1 : 0;
      m->strikeOut = font.strikeOut ? 1 : 0;
      m->underline = font.underline ? 1 : 0;
      m->points = MulDivRound(std::abs(font.height), 72, logPixelsY);
      m->faceName = reinterpret_cast<uintptr_t>(NewTextResult(font.Face()));
      return Pointer(m);
    }
    default:
      return 0;
  }
}

PropertyBits ConvertPropertyValue(int16_t valueType, const PropertyValue& raw, int32_t selector,
                                  FontContextFn fontContext) {
  const uint32_t word0 = uint32_t(raw.word0);
  switch (valueType) {
    case 1000:
    case 1001:
    case 1006:
    case 1014:
    case 1015:
    case 1017:
      return Bits(word0);
    case kValueInt64A:
    case kValueInt64B:
      return Bits(word0, raw.word1);
    case 1003:
      return word0 == 1 ? 1 : 0;
    case 1009:
    case 1010:
    case 1012:
    case 1023:
    case 1024:
      return Pointer(NewByteArrayResult(RawBytes(raw)));
    case 1011:
      return Pointer(NewByteArrayResult(RawBytes(raw), true));
    case 1013: {
      const FontContext context = fontContext ? fontContext() : FontContext{};
      std::optional<FontDescription> font = RawFont(raw);
      return FontMember(font ? *font : context.defaultFont, selector, context.logPixelsY);
    }
    default:
      if (!IsTextType(valueType)) return 0;
      {
        const char* text = reinterpret_cast<const char*>(raw.word0);
        return Pointer(text ? NewTextResult(text) : nullptr);
      }
  }
}

namespace {

// A face name as written: at most 64 bytes, none when null.
std::string_view FaceText(const char* face) {
  return face ? std::string_view(face, strnlen(face, 64)) : std::string_view();
}

// A font written through `selector`: -1 the whole font (null: none of its
// own), 0-6 one member of the font the unit has now.
bool WrittenFont(int32_t selector, uintptr_t low, const PropertyValue& current, FontContextFn fontContext,
                 PropertyValue& out, std::vector<uint8_t>& storage) {
  const FontContext context = fontContext ? fontContext() : FontContext{};
  std::optional<FontDescription> base = RawFont(current);
  FontDescription font = base ? *base : context.defaultFont;
  const int32_t v = int32_t(uint32_t(low));
  switch (selector) {
    case -1: {
      const auto* m = reinterpret_cast<const FontMembers*>(low);
      if (!m) {
        storage.clear();  // no font of its own
        return true;
      }
      font.height = m->height;
      font.weight = m->bold ? 700 : 400;
      font.italic = m->italic ? 1 : 0;
      font.strikeOut = m->strikeOut ? 1 : 0;
      font.underline = m->underline ? 1 : 0;
      SetFaceOrFallback(font, FaceText(reinterpret_cast<const char*>(m->faceName)));
      break;
    }
    case 0:
      font.height = v;
      break;
    case 1:
      font.weight = v ? 700 : 400;
      break;
    case 2:
      font.italic = v ? 1 : 0;
      break;
    case 3:
      font.strikeOut = v ? 1 : 0;
      break;
    case 4:
      font.underline = v ? 1 : 0;
      break;
    case 5:
      font.height = -MulDivRound(v, context.logPixelsY, 72);
      break;
    case 6: {
      SetFaceOrFallback(font, FaceText(reinterpret_cast<const char*>(low)));
      break;
    }
    default:
      return false;
  }
  if (selector != -1 && selector != 6) SetFaceOrFallback(font, font.Face());
  storage = font.ToBytes();
  out.word0 = reinterpret_cast<uintptr_t>(storage.data());
  out.word1 = uint32_t(storage.size());
  return true;
}

// Bytes as written; a pointer's first word comes as a position in the
// standard list.
bool WrittenBytesValue(int16_t valueType, uintptr_t low, PropertyValue& out, std::vector<uint8_t>& storage) {
  std::span<const uint8_t> bytes = WrittenBytes(low);
  ByteReader first(bytes);
  uint32_t position = 0;
  if (valueType == ptype::kCursor && first.ReadU32(position)) {
    // The first word comes as a position in the standard list.
    storage.assign(bytes.begin(), bytes.end());
    if (position < 15) StoreU32(storage.data(), kStandardPointers[position]);
    bytes = storage;
  }
  out.word0 = reinterpret_cast<uintptr_t>(bytes.empty() ? nullptr : bytes.data());
  out.word1 = uint32_t(bytes.size());
  return true;
}

}  // namespace

bool WrittenPropertyValue(int16_t valueType, int32_t selector, uintptr_t low, uint32_t high,
                          const PropertyValue& current, FontContextFn fontContext, PropertyValue& out,
                          std::vector<uint8_t>& storage) {
  out = PropertyValue{};
  if (valueType == ptype::kFont) return WrittenFont(selector, low, current, fontContext, out, storage);
  if (IsBytesType(valueType)) return WrittenBytesValue(valueType, low, out, storage);
  switch (valueType) {
    case kValueInt64A:
    case kValueInt64B:
      out.word0 = uint32_t(low);
      out.word1 = high;
      return true;
    case ptype::kLogical:
      out.word0 = uint32_t(low) != 0 ? 1 : 0;
      return true;
    default:
      if (valueType < 1000 || valueType > 1024) return false;
      out.word0 = IsTextType(valueType) ? low : uint32_t(low);
      return true;
  }
}

}  // namespace kavrel
