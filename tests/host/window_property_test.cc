// Property values as GetUnitProperty returns them: every value type, the
// standard pointer list, fonts with member selectors, template-held common
// properties and menu items; and written values for SetUnitProperty.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "commands/runtime_heap.h"
#include "base/byte_reader.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"
#include "window/property_access.h"

namespace kavrel {
namespace {

PropertyValue Raw(uintptr_t word0, uint32_t word1 = 0) {
  PropertyValue v;
  v.word0 = word0;
  v.word1 = word1;
  return v;
}
template <class T>
PropertyValue RawPointer(const T* p, uint32_t n = 0) {
  return Raw(reinterpret_cast<uintptr_t>(p), n);
}

std::string TextAndFree(PropertyBits bits) {
  char* text = const_cast<char*>(PropertyText(bits));
  std::string s = text ? text : "<null>";
  Free(text);
  return s;
}

// A byte array result: (1, n) and the bytes.
std::vector<uint8_t> BytesAndFree(PropertyBits bits) {
  auto* block = reinterpret_cast<uint8_t*>(uintptr_t(bits));
  if (!block) return {};
  EXPECT_EQ(LoadU32(block), 1u);
  std::vector<uint8_t> out(block + 8, block + 8 + LoadU32(block + 4));
  Free(block);
  return out;
}

FontContext TestFonts() {
  FontContext c;
  c.defaultFont.height = -12;
  c.defaultFont.weight = 400;
  c.defaultFont.SetFace("Default Face");
  c.logPixelsY = 96;
  return c;
}

class PropertyTest : public ::testing::Test {
 protected:
  void SetUp() override { blocks_ = OutstandingBlocks(); }
  void TearDown() override { EXPECT_EQ(OutstandingBlocks(), blocks_) << "leaked or double-freed blocks"; }
  int64_t blocks_ = 0;
};

TEST_F(PropertyTest, NumbersAndLogicals) {
  for (int16_t t : {1000, 1001, 1006, 1014, 1015, 1017})
    EXPECT_EQ(ConvertPropertyValue(t, Raw(0xFFFFFFFE, 5), -1, nullptr), 0xFFFFFFFEu) << t;
  EXPECT_EQ(ConvertPropertyValue(1002, Raw(0x89ABCDEF, 0x01234567), -1, nullptr), 0x0123456789ABCDEFu);
  EXPECT_EQ(ConvertPropertyValue(1004, Raw(1, 2), -1, nullptr), 0x200000001u);
  EXPECT_EQ(ConvertPropertyValue(1003, Raw(1), -1, nullptr), 1u);
  EXPECT_EQ(ConvertPropertyValue(1003, Raw(2), -1, nullptr), 0u);  // only exactly 1 is true
  EXPECT_EQ(ConvertPropertyValue(999, Raw(7), -1, nullptr), 0u);
  EXPECT_EQ(ConvertPropertyValue(1025, Raw(7), -1, nullptr), 0u);
}

TEST_F(PropertyTest, TextsAreFreshBlocksAndEmptyIsNull) {
  const char stored[] = "192.168.0.1";
  PropertyBits a = ConvertPropertyValue(ptype::kText, RawPointer(stored), -1, nullptr);
  PropertyBits b = ConvertPropertyValue(ptype::kDataColumn, RawPointer(stored), -1, nullptr);
  EXPECT_NE(PropertyText(a), stored);
  EXPECT_NE(PropertyText(a), PropertyText(b));
  EXPECT_EQ(TextAndFree(a), stored);
  EXPECT_EQ(TextAndFree(b), stored);
  EXPECT_EQ(ConvertPropertyValue(ptype::kText, RawPointer(""), -1, nullptr), 0u);
  EXPECT_EQ(ConvertPropertyValue(ptype::kFileName, Raw(0), -1, nullptr), 0u);
}

TEST_F(PropertyTest, ByteArraysAndPointers) {
  const uint8_t picture[] = {1, 2, 3, 4, 5};
  for (int16_t t : {1009, 1010, 1012, 1023, 1024})
    EXPECT_EQ(BytesAndFree(ConvertPropertyValue(t, RawPointer(picture, 5), -1, nullptr)),
              std::vector<uint8_t>(picture, picture + 5));
  EXPECT_EQ(ConvertPropertyValue(ptype::kPicture, RawPointer(picture, 0), -1, nullptr), 0u);
  EXPECT_EQ(ConvertPropertyValue(ptype::kPicture, Raw(0, 5), -1, nullptr), 0u);
  // A standard cursor id becomes its position; anything else is kept.
  uint8_t cursor[6] = {};
  StoreU32(cursor, 32651);
  cursor[4] = 9;
  std::vector<uint8_t> got = BytesAndFree(ConvertPropertyValue(ptype::kCursor, RawPointer(cursor, 6), -1, nullptr));
  ASSERT_EQ(got.size(), 6u);
  EXPECT_EQ(LoadU32(got.data()), 5u);
  EXPECT_EQ(got[4], 9);
  StoreU32(cursor, 12345);
  got = BytesAndFree(ConvertPropertyValue(ptype::kCursor, RawPointer(cursor, 4), -1, nullptr));
  EXPECT_EQ(LoadU32(got.data()), 12345u);
  // Fewer than four bytes are copied as they are.
  got = BytesAndFree(ConvertPropertyValue(ptype::kCursor, RawPointer(cursor, 2), -1, nullptr));
  EXPECT_EQ(got.size(), 2u);
  EXPECT_EQ(StandardPointerPosition(0), 0);
  EXPECT_EQ(StandardPointerPosition(32649), 14);
  EXPECT_EQ(StandardPointerPosition(32517), -1);
}

TEST_F(PropertyTest, FontMembers) {
  FontDescription f;
  f.height = -16;
  f.weight = 700;
  f.italic = 1;
  f.underline = 1;
  f.SetFace("\xcb\xce\xcc\xe5");  // 宋体
  std::vector<uint8_t> bytes = f.ToBytes();
  auto get = [&](int32_t selector) {
    return ConvertPropertyValue(ptype::kFont, RawPointer(bytes.data(), 60), selector, &TestFonts);
  };
  EXPECT_EQ(int32_t(get(0)), -16);
  EXPECT_EQ(get(1), 1u);
  EXPECT_EQ(get(2), 1u);
  EXPECT_EQ(get(3), 0u);
  EXPECT_EQ(get(4), 1u);
  EXPECT_EQ(get(5), 12u);  // 16 * 72 / 96
  EXPECT_EQ(TextAndFree(get(6)), "\xcb\xce\xcc\xe5");
  EXPECT_EQ(get(7), 0u);
  EXPECT_EQ(get(-2), 0u);

  auto* m = reinterpret_cast<FontMembers*>(uintptr_t(get(-1)));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->height, -16);
  EXPECT_EQ(m->bold, 1);
  EXPECT_EQ(m->italic, 1);
  EXPECT_EQ(m->strikeOut, 0);
  EXPECT_EQ(m->underline, 1);
  EXPECT_EQ(m->points, 12);
  EXPECT_STREQ(reinterpret_cast<const char*>(m->faceName), "\xcb\xce\xcc\xe5");
  Free(reinterpret_cast<void*>(m->faceName));
  Free(m);
}

TEST_F(PropertyTest, NoFontOfItsOwnReadsTheDefaultFont) {
  const uint8_t shortFont[59] = {};
  EXPECT_EQ(int32_t(ConvertPropertyValue(ptype::kFont, Raw(0, 60), 0, &TestFonts)), -12);
  EXPECT_EQ(int32_t(ConvertPropertyValue(ptype::kFont, RawPointer(shortFont, 59), 0, &TestFonts)), -12);
  EXPECT_EQ(TextAndFree(ConvertPropertyValue(ptype::kFont, Raw(0, 0), 6, &TestFonts)), "Default Face");
  EXPECT_EQ(ConvertPropertyValue(ptype::kFont, Raw(0, 0), 1, &TestFonts), 0u);
}

TEST(MulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDivRound(16, 72, 96), 12);
  EXPECT_EQ(MulDivRound(13, 72, 96), 10);  // 9.75
  EXPECT_EQ(MulDivRound(5, 1, 2), 3);
  EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
  EXPECT_EQ(MulDivRound(5, 1, -2), -3);
  EXPECT_EQ(MulDivRound(1, 1, 0), -1);
  EXPECT_EQ(MulDivRound(0x40000000, 8, 1), -1);  // does not fit
  EXPECT_EQ(MulDivRound(0x40000000, 8, 16), 0x20000000);
}

class TemplatePropertyTest : public PropertyTest {
 protected:
  void SetUp() override {
    PropertyTest::SetUp();
    WindowDesign w;
    w.id = 0x52000201;
    UnitDesign own;
    own.id = 0x06000200;
    own.type = unit_types::kWindow;
    UnitDesign unit;
    unit.id = 0x16000201;
    unit.type = unit_types::kButton;
    unit.rect = {-3, 4, 50, 60};
    unit.tag = "tagged";
    unit.flags = kUnitDisabled;
    unit.cursor = {0x89, 0x7F, 0, 0};  // 32649
    UnitDesign item;
    item.id = 0x26000202;
    item.type = unit_types::kMenuItem;
    item.menu = MenuItemDesign{0, 0x5, "\xce\xc4\xbc\xfe", kNoHandlerOffset, {}};  // 文件: hidden, bit 2
    w.units = {own, unit, item};
    std::vector<uint8_t> store = WriteTemplateStore({&w, 1});
    ASSERT_TRUE(LoadTemplateStore(store, {}, windows_));
  }
  const UnitTable& Table() { return windows_.At(0)->units(); }
  WindowTable windows_;
};

TEST_F(TemplatePropertyTest, CommonPropertiesFromTheTemplate) {
  auto unit = Table().Find(0x16000201);
  ASSERT_TRUE(unit);
  EXPECT_EQ(int32_t(TemplateCommonProperty(*unit, 0)), -3);
  EXPECT_EQ(TemplateCommonProperty(*unit, 1), 4u);
  EXPECT_EQ(TemplateCommonProperty(*unit, 2), 50u);
  EXPECT_EQ(TemplateCommonProperty(*unit, 3), 60u);
  EXPECT_EQ(TextAndFree(TemplateCommonProperty(*unit, 4)), "tagged");
  EXPECT_EQ(TemplateCommonProperty(*unit, 5), 0u);
  EXPECT_EQ(TemplateCommonProperty(*unit, 6), 1u);
  std::vector<uint8_t> pointer = BytesAndFree(TemplateCommonProperty(*unit, 7));
  ASSERT_EQ(pointer.size(), 4u);
  EXPECT_EQ(LoadU32(pointer.data()), 14u);
  auto own = Table().RecordAt(0);
  EXPECT_EQ(TemplateCommonProperty(*own, 4), 0u);  // empty tag: null
  EXPECT_EQ(TemplateCommonProperty(*own, 7), 0u);  // no pointer data
}

TEST_F(TemplatePropertyTest, MenuItems) {
  auto item = Table().MenuItemAt(2);
  ASSERT_TRUE(item);
  EXPECT_EQ(TextAndFree(MenuItemProperty(*item, 0)), "\xce\xc4\xbc\xfe");
  EXPECT_EQ(MenuItemProperty(*item, 1), 1u);
  EXPECT_EQ(MenuItemProperty(*item, 2), 0u);
  EXPECT_EQ(MenuItemProperty(*item, 3), 0u);  // hidden
  EXPECT_EQ(MenuItemProperty(*item, 4), 0u);
}

TEST(WrittenValues, FontsGetAUsableFace) {
  FontDescription base;
  base.height = -12;
  base.SetFace("Tahoma");
  std::vector<uint8_t> baseBytes = base.ToBytes();
  PropertyValue current = RawPointer(baseBytes.data(), 60);
  PropertyValue out;
  std::vector<uint8_t> storage;
  auto written = [&] { return *FontDescription::FromBytes({reinterpret_cast<const uint8_t*>(out.word0), out.word1}); };

  FontMembers m;
  m.height = -20;
  m.bold = 1;
  m.faceName = reinterpret_cast<uintptr_t>("");
  ASSERT_TRUE(WrittenPropertyValue(ptype::kFont, -1, reinterpret_cast<uintptr_t>(&m), 0, current, &TestFonts, out,
                                   storage));
  EXPECT_EQ(out.word1, 60u);
  EXPECT_EQ(written().height, -20);
  EXPECT_EQ(written().weight, 700);
  EXPECT_EQ(written().Face(), "\xcb\xce\xcc\xe5");  // 宋体 for an empty face

  const std::string longFace(32, 'x');
  ASSERT_TRUE(WrittenPropertyValue(ptype::kFont, 6, reinterpret_cast<uintptr_t>(longFace.c_str()), 0, current,
                                   &TestFonts, out, storage));
  EXPECT_EQ(written().Face(), "\xcb\xce\xcc\xe5");
  EXPECT_EQ(written().height, -12);  // the rest of the present font stays

  ASSERT_TRUE(WrittenPropertyValue(ptype::kFont, 5, 9, 0, current, &TestFonts, out, storage));
  EXPECT_EQ(written().height, -12);  // 9 points at 96 dpi
  EXPECT_EQ(written().Face(), "Tahoma");
  EXPECT_FALSE(WrittenPropertyValue(ptype::kFont, 8, 0, 0, current, &TestFonts, out, storage));
}

TEST(WrittenValues, BytesTextsAndNumbers) {
  PropertyValue out;
  std::vector<uint8_t> storage;
  uint8_t block[8 + 4] = {};
  StoreU32(block, 1);
  StoreU32(block + 4, 4);
  StoreU32(block + 8, 5);  // position 5 in the standard list
  ASSERT_TRUE(WrittenPropertyValue(ptype::kCursor, -1, reinterpret_cast<uintptr_t>(block), 0, {}, nullptr, out,
                                   storage));
  ASSERT_EQ(out.word1, 4u);
  EXPECT_EQ(LoadU32(reinterpret_cast<const uint8_t*>(out.word0)), 32651u);
  ASSERT_TRUE(WrittenPropertyValue(ptype::kPicture, -1, reinterpret_cast<uintptr_t>(block), 0, {}, nullptr, out,
                                   storage));
  EXPECT_EQ(out.word0, reinterpret_cast<uintptr_t>(block + 8));
  ASSERT_TRUE(WrittenPropertyValue(ptype::kPicture, -1, 0, 0, {}, nullptr, out, storage));
  EXPECT_EQ(out.word0, 0u);
  EXPECT_EQ(out.word1, 0u);
  const char* text = "abc";
  ASSERT_TRUE(WrittenPropertyValue(ptype::kText, -1, reinterpret_cast<uintptr_t>(text), 0, {}, nullptr, out, storage));
  EXPECT_EQ(out.word0, reinterpret_cast<uintptr_t>(text));
  ASSERT_TRUE(WrittenPropertyValue(ptype::kLogical, -1, 5, 0, {}, nullptr, out, storage));
  EXPECT_EQ(out.word0, 1u);
  ASSERT_TRUE(WrittenPropertyValue(1002, -1, 0x89ABCDEF, 0x01234567, {}, nullptr, out, storage));
  EXPECT_EQ(out.word0, 0x89ABCDEFu);
  EXPECT_EQ(out.word1, 0x01234567u);
  EXPECT_FALSE(WrittenPropertyValue(2000, -1, 0, 0, {}, nullptr, out, storage));
}

}  // namespace
}  // namespace kavrel
