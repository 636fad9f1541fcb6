// The template block reader: the real block, the lookups, the live-slot
// lifecycle, and the refusal of every kind of damaged block.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/byte_writer.h"
#include "framework/memory_archive.h"
#include "program/main_window_design.h"
#include "program/program_descriptor.h"
#include "program/program_handlers.h"
#include "program/template_store.h"
#include "template_test_support.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"
#include "units/button_props.h"

namespace kavrel {
namespace {

using namespace main_window;
using test::FatalRecorder;
using test::FatalReport;
using test::RealBlock;
using test::TestHandlers;

// A small window of our own: the own record and two units, one of them bound.
WindowDesign SmallWindow(uint32_t boundOffset = kSetStaticAddressOffset) {
  WindowDesign w;
  w.id = 0x52000007;
  UnitDesign own;
  own.id = 0x06000001;
  own.type = unit_types::kWindow;
  own.flags = 1;
  UnitDesign button;
  button.id = 0x16000002;
  button.type = unit_types::kButton;
  button.name = "b";
  button.rect = {1, 2, 3, 4};
  button.bindings = {{0, boundOffset}};
  button.properties = ButtonProps{}.Save();
  UnitDesign box;
  box.id = 0x16000003;
  box.type = unit_types::kShapeBox;
  box.children = {0x16000002};
  w.units = {own, button, box};
  return w;
}

std::vector<uint8_t> Store(const WindowDesign& w) { return WriteTemplateStore({&w, 1}); }

// Byte positions in a one-window store with empty design texts.
constexpr size_t kUnitCountAt = 28;
constexpr size_t kTableAt = 36;
size_t OffsetWordAt(uint32_t n, uint32_t i) { return kTableAt + 4 * n + 4 * i; }
size_t RecordAt(const std::vector<uint8_t>& s, uint32_t n, uint32_t i) {
  return kTableAt + 8 * n + LoadU32(&s[OffsetWordAt(n, i)]);
}

// Loads through the start-up call; true when it reported the store error.
bool Refused(std::span<const uint8_t> store, WindowTable& windows) {
  FatalRecorder recorder;
  try {
    LoadTemplateStoreOrReport(store, TestHandlers(), windows);
  } catch (const FatalReport& r) {
    EXPECT_STREQ(r.message.c_str(), kTemplateStoreLoadError);
    EXPECT_EQ(r.code, 0);
    return true;
  }
  return false;
}

bool Refused(std::span<const uint8_t> store) {
  WindowTable windows;
  bool refused = Refused(store, windows);
  if (refused) {
    EXPECT_TRUE(windows.empty());  // nothing read survives
  }
  return refused;
}

TEST(TemplateStore, RealBlockIsOneWindowOf22EntriesReadToItsLastByte) {
  const auto& block = RealBlock();
  ASSERT_EQ(block.size(), 365182u);
  MemoryArchive archive(block);
  WindowTable windows;
  ASSERT_TRUE(ReadTemplateWindows(archive.reader(), windows));
  EXPECT_TRUE(archive.reader().AtEnd());
  EXPECT_EQ(archive.reader().position(), block.size());
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows.At(0)->id, kWindowId);
  EXPECT_EQ(windows.At(0)->units().count(), 22u);
  EXPECT_EQ(windows.At(0)->units().bytes().size(), 365146u);
}

TEST(TemplateStore, RealBlockStartsAsTheWorkedExample) {
  const uint8_t expected[48] = {0x08, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x52, 0x00, 0x00, 0x00, 0x00,
                                0xe0, 0x42, 0x3b, 0x02, 0x03, 0x00, 0x01, 0x19, 0x00, 0x00, 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00, 0x5a, 0x92, 0x05, 0x00,
                                0x00, 0x00, 0x01, 0x06, 0x51, 0x00, 0x01, 0x16, 0x4c, 0x00, 0x01, 0x16};
  std::vector<uint8_t> head(RealBlock().begin(), RealBlock().begin() + 48);
  std::fill(head.begin() + 8, head.begin() + 12, 0);  // the slot word means nothing
  EXPECT_EQ(head, std::vector<uint8_t>(expected, expected + 48));
}

TEST(TemplateStore, ButtonRecordIsTheWorkedExample) {
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(RealBlock(), TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  auto b = t.Find(kStaticButtonId);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->position(), 10u);
  EXPECT_EQ(b->size(), 151u);
  EXPECT_EQ(b->type(), unit_types::kButton);
  EXPECT_EQ(b->name(), "\xb0\xb4\xc5\xa5" "1");  // 按钮1
  EXPECT_EQ(b->comment(), "");
  EXPECT_EQ(b->rect(), (UnitRect{96, 120, 56, 24}));
  EXPECT_EQ(b->parent(), kGroupId);
  EXPECT_EQ(b->childCount(), 0u);
  EXPECT_EQ(b->cursor().size(), 4u);
  EXPECT_EQ(b->tag(), "");
  EXPECT_EQ(b->flags(), 5u);
  EXPECT_TRUE(b->visible() && b->tabStop() && !b->disabled());
  EXPECT_EQ(b->tabOrder(), 0u);
  ASSERT_EQ(b->bindingCount(), 1u);
  EXPECT_EQ(b->binding(0).event, 0);
  EXPECT_EQ(windows.HandlerOf(b->binding(0).handler), &test::Routine<3>);
  ASSERT_EQ(b->properties().size(), 35u);
  EXPECT_EQ(LoadU32(b->properties().data()), 1u);
  // The object and cursor slots are stored as 0 and stay so in the bytes.
  EXPECT_EQ(LoadU32(b->body().data() + b->layout().objectSlot), 0u);
  EXPECT_EQ(LoadU32(b->body().data() + b->layout().objectSlot + 20), 0u);
}

TEST(TemplateStore, EveryBindingRelocatesToItsRoutine) {
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(RealBlock(), TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  const std::pair<UnitId, EventHandler> bound[] = {
      {kOwnRecordId, &test::Routine<1>},      {kDhcpButtonId, &test::Routine<2>},
      {kStaticButtonId, &test::Routine<3>},   {kDecorLabelId, &test::Routine<4>},
      {kAlternateButtonId, &test::Routine<5>}, {kPreferredButtonId, &test::Routine<6>}};
  int boundCount = 0;
  for (uint32_t i = 0; i < t.count(); ++i) boundCount += t.RecordAt(i)->bindingCount();
  EXPECT_EQ(boundCount, 6);
  for (auto [id, routine] : bound) {
    auto b = t.Find(id)->FindBinding(0);
    ASSERT_TRUE(b) << std::hex << id;
    EXPECT_EQ(windows.HandlerOf(b->handler), routine) << std::hex << id;
    EXPECT_EQ(windows.HandlerOf(b->handler)(0, nullptr).value, routine(0, nullptr).value);
  }
}

TEST(TemplateStore, WholeBlockRoundTripsByteForByte) {
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(RealBlock(), TestHandlers(), windows));
  WindowDesign back = WindowDesignOf(*windows.At(0), TestHandlers());
  std::vector<uint8_t> rewritten = Store(back);
  std::vector<uint8_t> original = RealBlock();
  std::fill(original.begin() + 8, original.begin() + 12, 0);
  EXPECT_TRUE(rewritten == original);
}

// Through an archive, a read longer than the buffer goes straight to its
// destination; the bytes, the position and the bounds must come out as an
// in-place reader gives them.
TEST(TemplateStore, ArchiveReadsMatchInPlaceReadsAcrossTheBuffer) {
  std::vector<uint8_t> data(10000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7 + i / 251);
  MemoryStream stream(data);
  std::array<uint8_t, 16> buffer;
  ByteReader archive(stream, buffer);
  ByteReader inPlace(data);
  for (size_t n : {3u, 5000u, 16u, 17u, 4u, 4000u}) {
    std::vector<uint8_t> a(n), b(n);
    ASSERT_TRUE(archive.Read(a.data(), n)) << n;
    ASSERT_TRUE(inPlace.Read(b.data(), n)) << n;
    EXPECT_EQ(a, b) << n;
    EXPECT_EQ(archive.position(), inPlace.position()) << n;
    EXPECT_EQ(archive.remaining(), inPlace.remaining()) << n;
  }
  std::vector<uint8_t> tooMuch(size_t(archive.remaining()) + 1);
  EXPECT_FALSE(archive.Read(tooMuch.data(), tooMuch.size()));
  EXPECT_FALSE(archive.ok());

  // Byte strings are appended from the buffer and borrowed from the source:
  // short, long from an empty buffer, long from a part-filled one, empty.
  ByteWriter w;
  for (size_t n : {5u, 5000u, 7u, 300u, 0u, 40u}) w.WriteByteString(std::span(data).subspan(n, n));
  w.WriteU32(2);
  MemoryStream strings(w.bytes());
  ByteReader stringArchive(strings, buffer);
  ByteReader stringsInPlace(w.bytes());
  for (size_t n : {5u, 5000u, 7u, 300u, 0u, 40u}) {
    std::vector<uint8_t> a{1, 2}, b;
    ASSERT_TRUE(stringArchive.ReadByteString(a)) << n;
    ASSERT_TRUE(stringsInPlace.ReadByteString(b)) << n;
    EXPECT_TRUE(std::ranges::equal(a, std::span(data).subspan(n, n))) << n;
    EXPECT_EQ(a, b) << n;
    EXPECT_EQ(stringArchive.position(), stringsInPlace.position()) << n;
  }
  // A length past the end is refused before anything is read.
  std::vector<uint8_t> none;
  EXPECT_FALSE(stringArchive.ReadByteString(none));
  EXPECT_TRUE(none.empty());
}

TEST(TemplateStore, EmptyStoreAndEmptyIndexAddNoWindow) {
  WindowTable windows;
  EXPECT_FALSE(Refused({}, windows));
  const uint8_t noWindows[4] = {0, 0, 0, 0};
  EXPECT_FALSE(Refused(noWindows, windows));
  EXPECT_TRUE(windows.empty());
  EXPECT_FALSE(windows.Find(kWindowId));
}

TEST(TemplateStore, WindowsAreAppendedInOrderBehindThoseAlreadyListed) {
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(RealBlock(), TestHandlers(), windows));
  WindowDesign a = SmallWindow(), b = SmallWindow();
  b.id = 0x52000009;
  const WindowDesign two[] = {a, b};
  ASSERT_TRUE(LoadTemplateStore(WriteTemplateStore(two), TestHandlers(), windows));
  ASSERT_EQ(windows.size(), 3u);
  EXPECT_EQ(windows.Find(0x52000009)->position, 2u);
  EXPECT_EQ(windows.Find(kWindowId)->window, windows.At(0));
  EXPECT_EQ(windows.At(3), nullptr);
  EXPECT_EQ(windows.IdOf(windows.At(1)), 0x52000007u);
  WindowTemplate stranger;
  stranger.id = kWindowId;
  EXPECT_FALSE(windows.IdOf(&stranger));
  EXPECT_FALSE(windows.Find(0x50000001));  // kind 0: invalid
  EXPECT_FALSE(windows.Find(0x52000000));  // serial 0: invalid
}

TEST(TemplateStore, InvalidIdsFindNothingAndTheFirstMatchCounts) {
  WindowDesign w = SmallWindow();
  w.units[1].id = 0x00000005;              // no kind
  w.units[2].id = 0x16000000;              // no serial number
  w.units.push_back(w.units[0]);           // a second entry with the own record's id
  w.units.back().name = "second";
  w.units.push_back(UnitDesign{0});        // id 0
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(Store(w), TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  EXPECT_FALSE(t.Find(0x00000005));
  EXPECT_FALSE(t.Find(0x16000000));
  EXPECT_FALSE(t.Find(0));
  ASSERT_TRUE(t.RecordAt(1));  // still reachable by position
  EXPECT_EQ(t.RecordAt(1)->name(), "b");
  EXPECT_EQ(t.Find(0x06000001)->position(), 0u);
  EXPECT_EQ(t.IdAt(3), 0x06000001u);
  EXPECT_FALSE(t.RecordAt(5));
  EXPECT_EQ(t.IdAt(5), 0u);
}

TEST(TemplateStore, BindingsAndPropertyDataEdgeCases) {
  WindowDesign w = SmallWindow(kNoHandlerOffset);
  w.units[2].bindings = {{3, kUseDhcpOffset}, {3, kAddAlternateDnsOffset}, {-7, kNoHandlerOffset}};
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(Store(w), TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  // A stored -1 binds nothing.
  EXPECT_EQ(t.RecordAt(1)->binding(0).handler, 0u);
  EXPECT_EQ(windows.HandlerOf(0), nullptr);
  // Twice the same event: the first binding serves it.
  EXPECT_EQ(windows.HandlerOf(t.RecordAt(2)->FindBinding(3)->handler), &test::Routine<2>);
  EXPECT_EQ(t.RecordAt(2)->FindBinding(-7)->handler, 0u);
  EXPECT_FALSE(t.RecordAt(2)->FindBinding(0));
  EXPECT_FALSE(t.RecordAt(0)->FindBinding(0));
  // Records that end with their fields have no property data.
  EXPECT_TRUE(t.RecordAt(0)->properties().empty());
  EXPECT_EQ(t.RecordAt(2)->child(0), 0x16000002u);
  EXPECT_EQ(t.RecordAt(2)->child(1), 0u);
}

TEST(TemplateStore, HandlerOffsetsOutsideTheTableAreRefused) {
  for (uint32_t offset : {0u, 0x165u, 0x7FFFFFFFu, 0xFFFFFFFEu}) {
    EXPECT_TRUE(Refused(Store(SmallWindow(offset)))) << offset;
  }
  EXPECT_FALSE(Refused(Store(SmallWindow(kNoHandlerOffset))));
}

TEST(TemplateStore, MenuItemsAreWalkedAndRelocated) {
  WindowDesign w = SmallWindow();
  UnitDesign item;
  item.id = 0x26000010;
  item.type = unit_types::kMenuItem;
  item.name = "menu";
  item.menu = MenuItemDesign{7, 1, "&File", kUseDhcpOffset, {9, 9, 9}};
  w.units.push_back(item);
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(Store(w), TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  EXPECT_TRUE(t.HasMenuItems());
  EXPECT_TRUE(t.IsMenuItem(3));
  EXPECT_FALSE(t.IsMenuItem(1));
  EXPECT_FALSE(t.RecordAt(3));
  auto m = t.MenuItemAt(3);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->name(), "menu");
  EXPECT_EQ(m->value(), 7u);
  EXPECT_EQ(m->flags(), 1u);
  EXPECT_EQ(m->text(), "&File");
  EXPECT_EQ(windows.HandlerOf(m->handler()), &test::Routine<2>);
  EXPECT_EQ(m->rest().size(), 3u);
  EXPECT_EQ(WindowDesignOf(*windows.At(0), TestHandlers()).units, w.units);

  w.units.back().menu->handlerOffset = 0x123;
  EXPECT_TRUE(Refused(Store(w)));
}

TEST(TemplateStore, LiveSlotsGoBackToTheTableAsItStoodBeforeTheLoad) {
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(Store(SmallWindow()), TestHandlers(), windows));
  WindowTemplate& w = *windows.At(0);
  int object = 0;
  const std::vector<uint8_t> bytes(w.units().bytes().begin(), w.units().bytes().end());

  // Without a saved copy a destruction leaves the table alone.
  w.units().SetObject(1, &object);
  w.RestoreTableAfterDestroy();
  EXPECT_EQ(w.units().SlotsAt(1).object, &object);
  w.units().ClearSlots(1);

  w.SaveTableForLoad();
  w.units().SetObject(0, &object);
  w.units().SetObject(1, &object);
  w.units().SetCursor(2, 0xC0);
  EXPECT_EQ(w.units().SlotsAt(2).cursor, 0xC0u);
  w.units().ClearSlots(1);  // one unit destroyed while the window stays
  EXPECT_EQ(w.units().SlotsAt(1).object, nullptr);
  w.RestoreTableAfterDestroy();
  EXPECT_FALSE(w.HasSavedTable());
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(w.units().SlotsAt(i).object, nullptr);
    EXPECT_EQ(w.units().SlotsAt(i).cursor, 0u);
  }
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), w.units().bytes().begin(), w.units().bytes().end()));

  // A load given up keeps what the window had written so far.
  w.SaveTableForLoad();
  w.units().SetObject(2, &object);
  w.DropSavedTable();
  w.RestoreTableAfterDestroy();
  EXPECT_EQ(w.units().SlotsAt(2).object, &object);
  w.units().SetObject(9, &object);  // past the end: ignored
  EXPECT_EQ(w.units().SlotsAt(9).object, nullptr);
}

// Every record and field boundary of the real block, and a spread of offsets
// inside its byte strings.
std::vector<size_t> CutPoints() {
  const auto& block = RealBlock();
  std::vector<size_t> cuts = {1, 3, 4, 8, 11, 12, 16, 20, 24, 28, 32, 35, 36};
  WindowTable windows;
  EXPECT_TRUE(LoadTemplateStore(block, TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  const uint32_t n = t.count();
  for (uint32_t i = 0; i < 2 * n; ++i) cuts.push_back(kTableAt + 4 * i);
  for (uint32_t i = 0; i < n; ++i) {
    const size_t at = RecordAt(block, n, i);
    const UnitRecordLayout l = t.RecordAt(i)->layout();
    cuts.push_back(at);
    const uint32_t fields[] = {0,          4,       24,         l.name,     l.comment,      l.objectSlot,
                               l.childCount, l.children, l.cursor - 4, l.cursor, l.tag, l.flags - 4,
                               l.flags,    l.flags + 4, l.bindingCount, l.bindings, l.properties - 20,
                               l.properties, l.properties + 4};
    for (uint32_t f : fields) cuts.push_back(at + 4 + f);
  }
  for (size_t k = 1; k < 64; ++k) cuts.push_back(block.size() * k / 64 + k);
  cuts.push_back(block.size() - 1);
  std::erase_if(cuts, [&](size_t c) { return c == 0 || c >= block.size(); });
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  return cuts;
}

TEST(TemplateStore, BlockCutShortAnywhereIsRefused) {
  const auto& block = RealBlock();
  const std::vector<size_t> cuts = CutPoints();
  EXPECT_GT(cuts.size(), 400u);
  for (size_t cut : cuts) EXPECT_TRUE(Refused({block.data(), cut})) << "cut at " << cut;
}

TEST(TemplateStore, BrokenTableLimitsAreRefused) {
  const WindowDesign w = SmallWindow();
  const std::vector<uint8_t> good = Store(w);
  const uint32_t n = 3;
  ASSERT_FALSE(Refused(good));
  auto patched = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> s = good;
    StoreU32(&s[at], v);
    return s;
  };
  const uint32_t tableSize = LoadU32(&good[kTableAt - 4]);

  // More entries than the table holds ids and offsets for.
  EXPECT_TRUE(Refused(patched(kUnitCountAt, tableSize / 8 + 1)));
  EXPECT_TRUE(Refused(patched(kUnitCountAt, 0x40000000)));
  // A record offset out of the table, its size word cut, its body too long.
  EXPECT_TRUE(Refused(patched(OffsetWordAt(n, 2), tableSize)));
  EXPECT_TRUE(Refused(patched(OffsetWordAt(n, 2), tableSize - 8 * n - 2)));
  EXPECT_TRUE(Refused(patched(OffsetWordAt(n, 1), 0xFFFFFFFF)));
  EXPECT_TRUE(Refused(patched(RecordAt(good, n, 2), 0xFFFFFFFF)));
  EXPECT_TRUE(Refused(patched(RecordAt(good, n, 2), tableSize)));
  // Field walks that run past their record: a child list, a cursor string
  // and a binding list longer than the record, and a record too short for
  // its fixed words.
  std::vector<uint8_t> s = good;
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(good, TestHandlers(), windows));
  const UnitTable& t = windows.At(0)->units();
  const size_t body2 = RecordAt(good, n, 2) + 4;
  const size_t body1 = RecordAt(good, n, 1) + 4;
  EXPECT_TRUE(Refused(patched(body2 + t.RecordAt(2)->layout().childCount, 1000)));
  EXPECT_TRUE(Refused(patched(body1 + t.RecordAt(1)->layout().cursor - 4, 0x7FFFFFFF)));
  EXPECT_TRUE(Refused(patched(body1 + t.RecordAt(1)->layout().bindingCount, 0x20000000)));
  EXPECT_TRUE(Refused(patched(RecordAt(good, n, 0), 30)));
  // The window index must be whole (id, slot) pairs.
  EXPECT_TRUE(Refused(patched(0, 12)));
}

TEST(TemplateStore, RecordEndingExactlyAtItsFieldsIsAccepted) {
  WindowDesign w = SmallWindow();
  w.units[1].properties.clear();
  WindowTable windows;
  ASSERT_TRUE(LoadTemplateStore(Store(w), TestHandlers(), windows));
  auto b = windows.At(0)->units().RecordAt(1);
  EXPECT_EQ(b->layout().properties, b->size());
  ButtonProps props;
  props.caption = "x";
  EXPECT_TRUE(props.Load(b->properties()));
  EXPECT_EQ(props, ButtonProps{});
}

// The descriptor's block is the generated one, and the program's own handler
// table covers every offset the block stores.
TEST(ProgramDescriptor, CarriesTheGeneratedBlockAndTheProgramsHandlers) {
  const ProgramDescriptor& d = TheProgramDescriptor();
  EXPECT_EQ(d.version[0], 3u);
  EXPECT_EQ(d.version[1], 0u);
  EXPECT_EQ(d.version[2], 0x10054u);
  EXPECT_EQ(d.codeBase, &kProgramHandlers);
  ASSERT_EQ(d.templateStoreSize, RealBlock().size());
  EXPECT_EQ(std::memcmp(d.templateStore, RealBlock().data(), RealBlock().size()), 0);
  EXPECT_GT(d.constantBlockSize, 0u);

  WindowTable windows;
  {
    FatalRecorder recorder;
    LoadTemplateStoreOrReport(EmbeddedTemplateStore(), *d.codeBase, windows);
  }
  const UnitTable& t = windows.Find(kWindowId)->window->units();
  for (uint32_t i = 0; i < t.count(); ++i)
    for (uint32_t k = 0; k < t.RecordAt(i)->bindingCount(); ++k)
      EXPECT_NE(windows.HandlerOf(t.RecordAt(i)->binding(k).handler), nullptr);
}

}  // namespace
}  // namespace kavrel
