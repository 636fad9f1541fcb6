// Event dispatch through the library requests 2008 and 2031 on live
// windows, and the fatal reports of the lookups and of property access, seen
// from a child process: its exit code and the text of its box.
#include <gtest/gtest.h>

#include "app/runtime_app_win32.h"
#include "app_test_support.h"
#include "engine_test_support.h"
#include "window/property_access.h"
#include "window/window_unit_win32.h"

namespace kavrel::engine_test {
namespace {

intptr_t Request(int32_t code, const void* record) {
  return RuntimeApp::Instance().LibraryCallback(code, reinterpret_cast<intptr_t>(record), 0);
}

class EngineDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareEngine();
    design_ = NewWindow(WindowProps{}, {0, 0, 300, 200}, 0);  // never shown
    design_.units[0].bindings = {Bind(9, 0)};
    box_ = NewUnit(design_, kBoxType, {5, 5, 50, 20});
    box_.bindings = {Bind(0, 1), {2, kNoHandlerOffset}, Bind(0, 3)};
    design_.units.push_back(box_);
    ASSERT_TRUE(Load(Install(design_)));
    ResetHandlers();
  }
  void TearDown() override {
    Engine().DestroyAllWindows();
    Pump();
  }

  SimpleEventRecord Simple(int32_t event, std::initializer_list<uint32_t> args = {}) {
    SimpleEventRecord r;
    r.window = design_.id;
    r.unit = box_.id;
    r.event = event;
    for (uint32_t a : args) r.args[r.argCount++] = a;
    return r;
  }

  WindowDesign design_;
  UnitDesign box_;
};

TEST_F(EngineDispatchTest, UnboundEventsAreSilent) {
  SimpleEventRecord none = Simple(7);
  EXPECT_EQ(Request(2008, &none), 0);
  SimpleEventRecord minusOne = Simple(2);  // stored -1
  EXPECT_EQ(Request(2008, &minusOne), 0);
  EXPECT_EQ(minusOne.hasResult, 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(EngineDispatchTest, SimpleRecordsPassTheirArgumentsAndResult) {
  SimpleEventRecord click = Simple(0, {0xFFFFFFFE, 2, 3});
  EXPECT_EQ(Request(2008, &click), 1);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].handler, 1);  // the first binding of event 0
  EXPECT_EQ(Calls()[0].args, (std::vector<uint64_t>{0xFFFFFFFE, 2, 3}));
  EXPECT_EQ(Calls()[0].sourceUnit, box_.id);
  EXPECT_EQ(click.hasResult, 0);  // no value given
  EXPECT_EQ(Engine().eventSource().window, 0u);

  SetResult(1, {true, 0});
  SimpleEventRecord veto = Simple(0);
  EXPECT_EQ(Request(2008, &veto), 1);
  EXPECT_EQ(veto.hasResult, 1);
  EXPECT_EQ(veto.result, 0u);
  EXPECT_TRUE(EventVetoed(true, veto));

  SetResult(0, {true, 77});
  SimpleEventRecord own = Simple(9);
  own.unit = 0;  // the window itself
  EXPECT_EQ(Request(2008, &own), 1);
  EXPECT_EQ(own.result, 77u);
  EXPECT_EQ(Calls().back().sourceUnit, design_.units[0].id);
}

TEST_F(EngineDispatchTest, TypedRecordsPassEachArgumentByItsTag) {
  SetResult(1, {true, int64_t(0x8000000100000002)});
  TypedEventRecord r;
  r.window = design_.id;
  r.unit = box_.id;
  r.event = 0;
  int32_t byReference = 5;
  r.args[0] = {0xFFFFFFF0, 0xAAAA, tags::kByte, 0};
  r.args[1] = {0x0000FFFE, 0, tags::kShort, 0};
  r.args[2] = {0x44444444, 0x33333333, tags::kDouble, 0};
  r.args[3] = {reinterpret_cast<uintptr_t>(&byReference), 0, tags::kInt, kArgByReference};
  r.args[4] = {0x12345678, 0x9ABCDEF0, tags::kInt, 0};
  r.argCount = 5;
  EXPECT_EQ(Request(2031, &r), 1);
  ASSERT_EQ(Calls().size(), 1u);
  const std::vector<uint64_t> expected = {0xF0, 0xFFFFFFFE, 0x3333333344444444,
                                          uint64_t(reinterpret_cast<uintptr_t>(&byReference)), 0x12345678};
  EXPECT_EQ(Calls()[0].args, expected);
  EXPECT_EQ(r.hasResult, 1);
  EXPECT_EQ(r.resultLow, 2u);
  EXPECT_EQ(r.resultHigh, 0x80000001u);
}

TEST_F(EngineDispatchTest, NothingIsLookedUpWhileEventsAreBlocked) {
  RuntimeApp& app = RuntimeApp::Instance();
  app.LibraryCallback(2009, 0, 0);
  SimpleEventRecord missing = Simple(0);
  missing.window = 0x52FFFFFF;  // would be fatal if it were looked up
  EXPECT_EQ(Request(2008, &missing), 0);
  SimpleEventRecord click = Simple(0);
  EXPECT_EQ(Request(2008, &click), 0);
  app.LibraryCallback(2010, 0, 0);
  EXPECT_FALSE(app.EventsBlocked());
  EXPECT_EQ(Request(2008, &click), 1);
  // Lowering never goes below 0.
  app.LibraryCallback(2010, 0, 0);
  EXPECT_FALSE(app.EventsBlocked());
  EXPECT_EQ(Request(2008, &click), 1);
}

TEST_F(EngineDispatchTest, LiveObjects) {
  RuntimeApp& app = RuntimeApp::Instance();
  auto* object = reinterpret_cast<Window*>(app.LibraryCallback(2006, design_.id, box_.id));
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object, BoxOf(design_.id, box_.id));
  EXPECT_EQ(app.LibraryCallback(2006, design_.id, 0x16FFFFFF), 0);
  EXPECT_EQ(app.LibraryCallback(2006, 0x52FFFFFF, 0), 0);
  EXPECT_EQ(reinterpret_cast<Window*>(app.LibraryCallback(2007, design_.id, 0))->hwnd(), WindowHandle(design_.id));
  // A unit that goes while its window stays is no longer alive.
  DestroyWindow(object->hwnd());
  EXPECT_EQ(app.LibraryCallback(2006, design_.id, box_.id), 0);
  EXPECT_NE(app.LibraryCallback(2006, design_.id, 0), 0);
}

// Fatal scenarios, each in a child process. The watcher writes the box's
// text to the file named by the second argument before it closes the box.
void WriteBoxText(HWND box, void* path) {
  test::AppendFileText(*static_cast<const std::string*>(path), test::BoxText(box));
}

KAVREL_CHILD_SCENARIO(EngineFatal) {
  PrepareEngine();
  const std::string mode = args.at(0);
  const std::string path = args.at(1);
  WindowDesign design = NewWindow(WindowProps{}, {0, 0, 200, 100});
  UnitDesign box = NewUnit(design, kBoxType, {5, 5, 50, 20});
  box.bindings = {Bind(0, 0)};
  design.units.push_back(box);
  UnitDesign broken = NewUnit(design, 0x00010003, {5, 30, 50, 20});  // a type slot left empty
  design.units.push_back(broken);
  Install(design);
  // 错误
  test::BoxWatcher watcher("\xb4\xed\xce\xf3", IDOK, &WriteBoxText, const_cast<std::string*>(&path));
  RuntimeApp& app = RuntimeApp::Instance();
  SimpleEventRecord r;
  r.window = design.id;
  r.unit = box.id;
  if (mode == "no-window") {
    r.window = 0x52FFFFF0;
    app.LibraryCallback(2008, reinterpret_cast<intptr_t>(&r), 0);
  } else if (mode == "no-unit") {
    r.unit = 0x16FFFFF0;
    app.LibraryCallback(2008, reinterpret_cast<intptr_t>(&r), 0);
  } else if (mode == "invalid-unit") {
    r.unit = broken.id;
    TypedEventRecord typed;
    typed.window = design.id;
    typed.unit = broken.id;
    app.LibraryCallback(2031, reinterpret_cast<intptr_t>(&typed), 0);
  } else if (mode == "property-window") {
    app.windowEngine()->GetUnitProperty(0x52FFFFF0, box.id, 9, -1);
  } else if (mode == "property-unit") {
    app.windowEngine()->GetUnitProperty(design.id, 0x16FFFFF0, 0, -1);
  } else if (mode == "property-not-loaded") {
    app.windowEngine()->GetUnitProperty(design.id, box.id, 8, -1);
  } else if (mode == "live-object") {
    app.LibraryCallback(2007, intptr_t(design.id), intptr_t(box.id));
  } else if (mode == "start-window") {
    app.LoadWindow(design.id);  // its second unit's type is missing
  }
  return 3;  // not reached when the report ends the process
}

struct FatalCase {
  const char* mode;
  const char* message;
};

TEST(EngineFatal, ReportsEndTheProcessWithTheirText) {
  const FatalCase cases[] = {
      {"no-window", kEventWindowMissing},
      {"no-unit", kEventUnitMissing},
      {"invalid-unit", kEventUnitInvalid},
      {"property-window", kPropertyWindowMissing},
      {"property-unit", kLiveObjectMissing},
      {"property-not-loaded", kPropertyWindowNotLoaded},
      {"live-object", kLiveObjectMissing},
      // 载入启动窗口失败
      {"start-window", "\xd4\xd8\xc8\xeb\xc6\xf4\xb6\xaf\xb4\xb0\xbf\xda\xca\xa7\xb0\xdc"},
  };
  for (const FatalCase& c : cases) {
    const std::string path = test::TempPath("engine_fatal");
    std::optional<DWORD> code = test::RunChild("EngineFatal", {c.mode, path});
    ASSERT_TRUE(code.has_value()) << c.mode;
    EXPECT_EQ(*code, 0xFFFFFFFFu) << c.mode;
    // 运行时出错! and 错误信息： before the message.
    const std::string expected =
        std::string("\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba") +
        c.message;
    EXPECT_EQ(test::ReadFileText(path).substr(0, expected.size()), expected) << c.mode;
    DeleteFileA(path.c_str());
  }
}

}  // namespace
}  // namespace kavrel::engine_test
