// The type-tagged value model of command calls: every argument of a library
// command travels as a CommandArg, a 64-bit value and its TypeTag.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavrel {

// Ids of a window and of a unit, as the window templates give them.
using WindowId = uint32_t;
using UnitId = uint32_t;

using TypeTag = uint32_t;

namespace tags {
inline constexpr TypeTag kNone = 0;
inline constexpr TypeTag kByte = 0x80000101;
inline constexpr TypeTag kShort = 0x80000201;
inline constexpr TypeTag kInt = 0x80000301;
inline constexpr TypeTag kLong = 0x80000401;
inline constexpr TypeTag kFloat = 0x80000501;
inline constexpr TypeTag kDouble = 0x80000601;
inline constexpr TypeTag kLogical = 0x80000002;
inline constexpr TypeTag kDateTime = 0x80000003;
inline constexpr TypeTag kText = 0x80000004;
inline constexpr TypeTag kByteBlock = 0x80000005;
inline constexpr TypeTag kArrayBit = 0x20000000;
// Unit types are library-defined types (library 1, the runtime's own).
inline constexpr TypeTag kWindowUnit = 0x00010001;
inline constexpr TypeTag kMenuItem = 0x00010003;
}  // namespace tags

// 0 no value, 1 base type, 2 further class (unused), 3 library-defined type.
inline int TypeClass(TypeTag t) {
  if (t == 0) return 0;
  switch (t >> 30) {
    case 2: return 1;
    case 1: return 2;
    default: return 3;
  }
}
inline bool IsArrayTag(TypeTag t) { return TypeClass(t) == 1 && (t & tags::kArrayBit) != 0; }
inline TypeTag ElementTag(TypeTag t) { return t & ~tags::kArrayBit; }
// Element size of a numeric type, 0 for any other tag.
inline uint32_t ElementSize(TypeTag t) {
  switch (t) {
    case tags::kByte: return 1;
    case tags::kShort: return 2;
    case tags::kInt: return 4;
    case tags::kLong: return 8;
    case tags::kFloat: return 4;
    case tags::kDouble: return 8;
    default: return 0;
  }
}
// The six numeric base types (their tags end in 0x01).
inline bool IsNumericTag(TypeTag t) { return ElementSize(t) != 0; }

// Three words: value low, value high, tag. The low word holds an address for
// texts and blocks, so it is pointer-wide; on the 32-bit target the record is
// exactly three 32-bit words.
struct CommandArg {
  uintptr_t low = 0;
  uint32_t high = 0;
  TypeTag tag = 0;

  uint32_t Low32() const { return uint32_t(low); }
  int32_t Int() const { return int32_t(uint32_t(low)); }
  int64_t Int64() const { return int64_t(uint64_t(uint32_t(low)) | uint64_t(high) << 32); }
  double Double() const;
  float Float() const;
  const char* Text() const { return reinterpret_cast<const char*>(low); }
  const void* Pointer() const { return reinterpret_cast<const void*>(low); }

  static CommandArg OfInt(int32_t v) { return {uintptr_t(uint32_t(v)), 0, tags::kInt}; }
  static CommandArg OfLogical(bool v) { return {uintptr_t(v ? 1 : 0), 0, tags::kLogical}; }
  static CommandArg OfText(const char* t) { return {reinterpret_cast<uintptr_t>(t), 0, tags::kText}; }
  static CommandArg Of64(uint64_t bits, TypeTag tag) {
    return {uintptr_t(uint32_t(bits)), uint32_t(bits >> 32), tag};
  }
  static CommandArg OfDouble(double v);
  static CommandArg OfFloat(float v);
  static CommandArg OfPointer(const void* p, TypeTag tag) { return {reinterpret_cast<uintptr_t>(p), 0, tag}; }
  static CommandArg Omitted() { return {}; }
};

using CommandResult = CommandArg;

#if defined(_WIN32) && !defined(_WIN64)  // the 32-bit target
static_assert(sizeof(CommandArg) == 12, "three 32-bit words on the target");
static_assert(offsetof(CommandArg, low) == 0 && offsetof(CommandArg, high) == 4 && offsetof(CommandArg, tag) == 8);
static_assert(sizeof(CommandResult) == 12 && alignof(CommandArg) == 4);
#endif

// Every library command: (result to fill, argument count, first argument).
using CommandFunction = void (*)(CommandResult* result, int32_t count, const CommandArg* args);

// Calls a library command: zeroes the result, hands the records over where
// the caller laid them out, and gives the three words back.
CommandResult CallCommand(CommandFunction command, int32_t count, const CommandArg* args);

}  // namespace kavrel
