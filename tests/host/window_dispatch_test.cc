// Handler lookup over a loaded window table, argument passing of simple and
// typed event records, and the dispatcher's blocking and fatal lookups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "commands/runtime_error.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"
#include "window/event_dispatch.h"

namespace kavrel {
namespace {

constexpr WindowId kWindow = 0x52000101;
constexpr UnitId kOwn = 0x06000100;
constexpr UnitId kButton = 0x16000101;
constexpr UnitId kOther = 0x16000102;
constexpr UnitId kLinked = 0x16000103;
constexpr UnitId kPlain = 0x16000104;
constexpr UnitId kMenu = 0x26000105;

constexpr UnitTypeId kEventType = 0x00010002;
constexpr UnitTypeId kOtherEventType = 0x00010004;
constexpr UnitTypeId kSilentType = 0x00010005;

struct Call {
  int id;
  std::vector<uint64_t> args;
};
std::vector<Call> g_calls;
HandlerResult g_result;

template <int Id>
HandlerResult Record(int32_t n, const uint64_t* args) {
  g_calls.push_back({Id, std::vector<uint64_t>(args, args + n)});
  return g_result;
}

constexpr HandlerEntry kHandlers[] = {
    {0x10, Record<1>}, {0x20, Record<2>}, {0x30, Record<3>}, {0x40, Record<4>}, {0x50, Record<5>},
};

// Types of a test library: slot 0 the window, 1 a unit type raising events
// (flag 0x40), 2 menu items (flag 0x04), 3 another event type, 4 a type
// whose units cannot raise events.
UnitTypeDescriptor Type(uint32_t flags) {
  UnitTypeDescriptor d{};
  d.stateFlags = flags;
  return d;
}
const UnitTypeDescriptor kTypes[] = {Type(0x800000D0), Type(0x40), Type(0x04), Type(0x40), Type(0x80000000)};
const std::span<const UnitTypeDescriptor> kLibraries[] = {kTypes};

UnitDesign Unit(UnitId id, UnitTypeId type, std::vector<StoredBinding> bindings, std::string tag = "") {
  UnitDesign u;
  u.id = id;
  u.type = type;
  u.bindings = std::move(bindings);
  u.tag = std::move(tag);
  return u;
}

// Puts `link` into the word after the NUL of the tag `tag`.
void PatchLink(std::vector<uint8_t>& store, const std::string& tag, UnitId link) {
  const std::string needle = tag + std::string(1, '\0');
  auto at = std::search(store.begin(), store.end(), needle.begin(), needle.end());
  ASSERT_NE(at, store.end());
  StoreU32(&*at + needle.size(), link);
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_result = {};
    WindowDesign w;
    w.id = kWindow;
    w.units = {
        Unit(kOwn, unit_types::kWindow, {{0, 0x10}, {12, 0x20}}),
        Unit(kButton, kEventType, {{1, 0xFFFFFFFF}, {0, 0x30}, {0, 0x40}}),
        Unit(kOther, kEventType, {{5, 0x50}}, "OTHER"),
        Unit(kLinked, kOtherEventType, {{5, 0x20}}, "LINKED"),
        Unit(kPlain, kSilentType, {{0, 0x10}}),
    };
    UnitDesign menu;
    menu.id = kMenu;
    menu.type = unit_types::kMenuItem;
    menu.menu = MenuItemDesign{0, 0, "item", 0x50, {}};
    w.units.push_back(menu);
    store_ = WriteTemplateStore({&w, 1});
  }

  void Load() { ASSERT_TRUE(LoadTemplateStore(store_, kHandlers, windows_)); }

  HandlerLookup Lookup(WindowId w, UnitId u, int32_t event) {
    return LookupHandler(windows_, kLibraries, w, u, event);
  }

  std::vector<uint8_t> store_;
  WindowTable windows_;
};

TEST_F(DispatchTest, FirstMatchingBindingOfTheUnitOrTheWindow) {
  Load();
  HandlerLookup own = Lookup(kWindow, 0, 12);
  EXPECT_EQ(own.handler, &Record<2>);
  EXPECT_EQ(own.sourceUnit, kOwn);  // the window's own record id stands for 0
  EXPECT_EQ(Lookup(kWindow, kOwn, 0).handler, &Record<1>);
  HandlerLookup button = Lookup(kWindow, kButton, 0);
  EXPECT_EQ(button.handler, &Record<3>);
  EXPECT_EQ(button.sourceUnit, kButton);
  // Stored -1 is no handler; an index without a pair is silent.
  EXPECT_EQ(Lookup(kWindow, kButton, 1).handler, nullptr);
  EXPECT_EQ(Lookup(kWindow, kButton, 7).failure, LookupFailure::kNone);
  EXPECT_EQ(Lookup(kWindow, kButton, 7).handler, nullptr);
}

TEST_F(DispatchTest, TheThreeFailures) {
  Load();
  EXPECT_EQ(Lookup(0x52000999, kButton, 0).failure, LookupFailure::kNoWindow);
  EXPECT_EQ(Lookup(0, 0, 0).failure, LookupFailure::kNoWindow);
  EXPECT_EQ(Lookup(kWindow, 0x16000999, 0).failure, LookupFailure::kNoUnit);
  EXPECT_EQ(Lookup(kWindow, 0x00000101, 0).failure, LookupFailure::kNoUnit);  // no kind bits: invalid id
  EXPECT_EQ(Lookup(kWindow, kPlain, 0).failure, LookupFailure::kInvalidUnit);
  EXPECT_STREQ(LookupFailureText(LookupFailure::kNoWindow), kEventWindowMissing);
  EXPECT_STREQ(LookupFailureText(LookupFailure::kNoUnit), kEventUnitMissing);
  EXPECT_STREQ(LookupFailureText(LookupFailure::kInvalidUnit), kEventUnitInvalid);
}

TEST_F(DispatchTest, UnknownTypeIsInvalid) {
  const UnitTypeDescriptor onlyWindow[] = {Type(0x800000D0)};
  const std::span<const UnitTypeDescriptor> libraries[] = {onlyWindow};
  Load();
  EXPECT_EQ(LookupHandler(windows_, libraries, kWindow, kButton, 0).failure, LookupFailure::kInvalidUnit);
  EXPECT_EQ(LookupHandler(windows_, {}, kWindow, 0, 0).failure, LookupFailure::kInvalidUnit);
}

TEST_F(DispatchTest, MenuItemHasOneHandlerForEveryEvent) {
  Load();
  EXPECT_EQ(Lookup(kWindow, kMenu, 0).handler, &Record<5>);
  EXPECT_EQ(Lookup(kWindow, kMenu, 42).handler, &Record<5>);
}

TEST_F(DispatchTest, LinksAreFollowedWithinTheSameType) {
  PatchLink(store_, "OTHER", kButton);
  PatchLink(store_, "LINKED", kButton);
  Load();
  // kOther uses kButton's bindings: its own event 5 is gone, event 0 is kButton's.
  EXPECT_EQ(Lookup(kWindow, kOther, 0).handler, &Record<3>);
  EXPECT_EQ(Lookup(kWindow, kOther, 5).handler, nullptr);
  EXPECT_EQ(Lookup(kWindow, kOther, 0).sourceUnit, kOther);
  // A link to a unit of another type is not followed.
  EXPECT_EQ(Lookup(kWindow, kLinked, 5).handler, &Record<2>);
}

TEST_F(DispatchTest, LinkCyclesEnd) {
  PatchLink(store_, "OTHER", kOther);
  Load();
  EXPECT_EQ(Lookup(kWindow, kOther, 5).handler, &Record<5>);
}

TEST(TypedArguments, PassedByTagAndFlags) {
  auto value = [](uint64_t bits, TypeTag tag, uint32_t flags = 0) {
    return TypedArgumentValue({uintptr_t(uint32_t(bits)), uint32_t(bits >> 32), tag, flags});
  };
  EXPECT_EQ(value(0xFFFFFF80, tags::kByte), 0x80u);
  EXPECT_EQ(value(0x12348000, tags::kShort), 0xFFFF8000u);
  EXPECT_EQ(value(0x00007FFF, tags::kShort), 0x7FFFu);
  EXPECT_EQ(value(0x1122334455667788, tags::kLong), 0x1122334455667788u);
  EXPECT_EQ(value(0x400921FB54442D18, tags::kDouble), 0x400921FB54442D18u);
  EXPECT_EQ(value(0x1122334455667788, tags::kDateTime), 0x1122334455667788u);
  EXPECT_EQ(value(0x1122334455667788, 0x80000008), 0x1122334455667788u);
  EXPECT_EQ(value(0x1122334455667788, tags::kMenuItem), 0x1122334455667788u);
  EXPECT_EQ(value(0x1122334455667788, tags::kInt), 0x55667788u);
  EXPECT_EQ(value(0x1122334455667788, tags::kText), 0x55667788u);
  EXPECT_EQ(value(0x1122334455667788, tags::kByte, kArgTwoWords), 0x1122334455667788u);
  // By reference wins over everything: the address in the low word, whole.
  int target = 0;
  TypedEventArg byRef{reinterpret_cast<uintptr_t>(&target), 0x99, tags::kLong, kArgByReference | kArgTwoWords};
  EXPECT_EQ(TypedArgumentValue(byRef), uint64_t(reinterpret_cast<uintptr_t>(&target)));
}

TEST(HandlerCalls, SimpleRecordArgumentsAndResult) {
  g_calls.clear();
  g_result = {};
  SimpleEventRecord r;
  r.argCount = 2;
  r.args[0] = 0xFFFFFFFF;
  r.args[1] = 7;
  CallSimpleHandler(&Record<1>, r);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].args, (std::vector<uint64_t>{0xFFFFFFFFu, 7}));
  EXPECT_EQ(r.hasResult, 0);  // no value given
  g_result = {true, 0x1234567890};
  r.argCount = 9;  // clamped to the five slots
  CallSimpleHandler(&Record<1>, r);
  EXPECT_EQ(g_calls[1].args.size(), 5u);
  EXPECT_EQ(r.hasResult, 1);
  EXPECT_EQ(r.result, 0x34567890u);
  r.argCount = -1;
  CallSimpleHandler(&Record<1>, r);
  EXPECT_TRUE(g_calls[2].args.empty());
}

TEST(HandlerCalls, TypedRecordArgumentsAndResult) {
  g_calls.clear();
  g_result = {true, int64_t(0x1122334455667788)};
  TypedEventRecord r;
  r.argCount = 13;
  for (int i = 0; i < 12; ++i) r.args[i] = {uintptr_t(0x100 + i), 1, tags::kShort, 0};
  r.args[1] = {0x89ABCDEF, 0x01234567, tags::kLong, 0};
  CallTypedHandler(&Record<2>, r);
  ASSERT_EQ(g_calls.size(), 1u);
  ASSERT_EQ(g_calls[0].args.size(), 12u);
  EXPECT_EQ(g_calls[0].args[0], 0x100u);
  EXPECT_EQ(g_calls[0].args[1], 0x0123456789ABCDEFu);
  EXPECT_EQ(r.hasResult, 1);
  EXPECT_EQ(r.resultLow, 0x55667788u);
  EXPECT_EQ(r.resultHigh, 0x11223344u);
}

TEST(Veto, OnlyAHandlerGivingZeroRefuses) {
  SimpleEventRecord r;
  EXPECT_FALSE(EventVetoed(false, r));
  EXPECT_FALSE(EventVetoed(true, r));  // ran, no value
  r.hasResult = 1;
  EXPECT_TRUE(EventVetoed(true, r));
  r.result = 1;
  EXPECT_FALSE(EventVetoed(true, r));
}

struct Fatal {
  std::string message;
};
void ThrowFatal(const char* message, int32_t) { throw Fatal{message ? message : ""}; }

bool g_blocked = false;
bool Blocked() { return g_blocked; }

TEST_F(DispatchTest, DispatcherBlocksAndReports) {
  Load();
  FatalHandler previous = SetFatalHandler(&ThrowFatal);
  EventDispatcher dispatcher(&windows_, kLibraries, &Blocked);

  SimpleEventRecord unknown;
  unknown.window = 0x52000999;
  g_blocked = true;
  EXPECT_FALSE(dispatcher.Dispatch(unknown));  // blocked: not even looked up
  g_blocked = false;
  try {
    dispatcher.Dispatch(unknown);
    ADD_FAILURE() << "no report";
  } catch (const Fatal& f) {
    EXPECT_EQ(f.message, kEventWindowMissing);
  }

  g_calls.clear();
  g_result = {true, 0};
  SimpleEventRecord click;
  click.window = kWindow;
  click.unit = kButton;
  EXPECT_TRUE(dispatcher.Dispatch(click));
  EXPECT_EQ(click.hasResult, 1);
  EXPECT_EQ(dispatcher.source().window, 0u);  // reset once the handler returned
  EXPECT_EQ(dispatcher.source().unit, kButton);

  SimpleEventRecord unbound = click;
  unbound.event = 9;
  unbound.hasResult = 0;
  EXPECT_FALSE(dispatcher.Dispatch(unbound));
  EXPECT_EQ(unbound.hasResult, 0);
  EXPECT_EQ(g_calls.size(), 1u);

  TypedEventRecord typed;
  typed.window = kWindow;
  typed.unit = kPlain;
  try {
    dispatcher.Dispatch(typed);
    ADD_FAILURE() << "no report";
  } catch (const Fatal& f) {
    EXPECT_EQ(f.message, kEventUnitInvalid);
  }
  SetFatalHandler(previous);
}

}  // namespace
}  // namespace kavrel
