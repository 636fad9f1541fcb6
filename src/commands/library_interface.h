// How the runtime and its libraries talk: the library notify routine, the
// LibraryCallback requests by their numbers, the records two of those
// requests carry, and the library hook through which units and the window
// engine reach the runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "commands/values.h"

namespace kavrel {

// Notify routine of a library: (code, argument 1, argument 2) -> 32-bit value.
using LibraryNotifyFn = intptr_t (*)(int32_t code, intptr_t arg1, intptr_t arg2);
// The runtime's requests, handed to each library at start-up (notify code 1).
using LibraryCallbackFn = intptr_t (*)(int32_t code, intptr_t arg1, intptr_t arg2);

// Codes a library's notify routine receives.
namespace library_notify {
inline constexpr int32_t kStart = 1;  // argument 1: the LibraryCallback address
inline constexpr int32_t kEnd = 6;    // argument 1: the library's word
// Codes the runtime's own library answers with 0; it answers every other
// code but kStart with -1.
inline constexpr int32_t kAnsweredCodes[] = {2, 10, 11, 12, 13};
}  // namespace library_notify

// Codes of the services table's Notify entry that program code uses.
inline constexpr int32_t kNotifyRegisterCleanup = 3;
inline constexpr int32_t kNotifyInitRuntime = 6;

// LibraryCallback requests.
namespace request {
inline constexpr int32_t kDefaultIcons = 1000;      // HICON[2] to fill
inline constexpr int32_t kWindowTable = 1001;       // -> WindowTable*
inline constexpr int32_t kTypeDescriptor = 1002;    // UnitTypeId -> UnitTypeDescriptor*
inline constexpr int32_t kVersion = 1005;           // -> runtime version
inline constexpr int32_t kIsRuntimeWindow = 1014;   // HWND -> non-zero when the runtime made it
inline constexpr int32_t kUnitGone = 2000;          // (window, unit) -> slots cleared
inline constexpr int32_t kToInt = 2001;             // typed value -> 32-bit integer
inline constexpr int32_t kExeDir = 2003;
inline constexpr int32_t kExeName = 2004;
inline constexpr int32_t kLiveObject = 2006;        // (window, unit) -> live object or null
inline constexpr int32_t kLiveObjectOrFail = 2007;  // the same, fatal when none
inline constexpr int32_t kRaiseEvent = 2008;        // SimpleEventRecord*
inline constexpr int32_t kBlockEvents = 2009;
inline constexpr int32_t kUnblockEvents = 2010;
inline constexpr int32_t kDrain = 2018;
inline constexpr int32_t kAllocate = 2024;
inline constexpr int32_t kFree = 2025;
inline constexpr int32_t kReallocate = 2026;
inline constexpr int32_t kEndProgram = 2028;
inline constexpr int32_t kRaiseTypedEvent = 2031;   // TypedEventRecord*
}  // namespace request

// Events every unit type shares.
inline constexpr int32_t kEventFocusGained = -7;
inline constexpr int32_t kEventFocusLost = -8;

// The record of request 2008.
struct SimpleEventRecord {
  WindowId window = 0;
  UnitId unit = 0;  // 0: the window itself
  int32_t event = 0;
  int32_t argCount = 0;  // 0 to 5
  uint32_t args[5] = {};
  int32_t hasResult = 0;
  uint32_t result = 0;
};
static_assert(sizeof(SimpleEventRecord) == 44, "eleven 32-bit words");

// Argument flags of a typed record.
inline constexpr uint32_t kArgByReference = 1;
inline constexpr uint32_t kArgTwoWords = 2;

// The value's low word holds the address of an argument passed by
// reference, so it is pointer-wide; 16 bytes on the target.
struct TypedEventArg {
  uintptr_t low = 0;
  uint32_t high = 0;
  TypeTag tag = 0;
  uint32_t flags = 0;
};

// The record of request 2031.
struct TypedEventRecord {
  WindowId window = 0;
  UnitId unit = 0;
  int32_t event = 0;
  int32_t argCount = 0;  // 0 to 12
  TypedEventArg args[12] = {};
  int32_t hasResult = 0;
  uint32_t resultLow = 0;
  uint32_t resultHigh = 0;
};

#if defined(_WIN32) && !defined(_WIN64)  // the 32-bit target
static_assert(sizeof(TypedEventArg) == 16);
static_assert(offsetof(TypedEventRecord, args) == 16);
static_assert(offsetof(TypedEventRecord, hasResult) == 208);
static_assert(offsetof(TypedEventRecord, resultLow) == 212);
static_assert(sizeof(TypedEventRecord) == 220);
#endif

// The library hook: stored by the runtime's library when its notify routine
// gets kStart. Requests made while it is unset answer 0.
void SetLibraryHook(LibraryCallbackFn hook);
intptr_t CallLibrary(int32_t code, intptr_t arg1, intptr_t arg2);

}  // namespace kavrel
