// Property blobs of the window and of every unit type. Each stream is also
// written out by hand here, field by field, so that a field out of order
// shows even though loading and saving share one routine.
#include <gtest/gtest.h>

#include "base/byte_writer.h"
#include "templates/font_description.h"
#include "units/button_props.h"
#include "units/combo_box_props.h"
#include "units/group_box_props.h"
#include "units/label_props.h"
#include "units/shape_box_props.h"
#include "window/window_props.h"

namespace kavrel {
namespace {

// A blob written by hand.
class Hand {
 public:
  Hand& I(uint32_t v) {
    w_.WriteU32(v);
    return *this;
  }
  Hand& T(std::string_view t) {
    w_.WriteCountedText(t);
    return *this;
  }
  Hand& B(const std::vector<uint8_t>& b) {
    w_.WriteByteString(b);
    return *this;
  }
  Hand& L(const std::vector<std::string>& list) {
    w_.WriteShortCount(uint32_t(list.size()));
    for (const auto& t : list) w_.WriteCountedText(t);
    return *this;
  }
  std::vector<uint8_t> bytes() const { return w_.bytes(); }

 private:
  ByteWriter w_;
};

std::vector<uint8_t> WithVersion(std::vector<uint8_t> blob, uint32_t version) {
  StoreU32(blob.data(), version);
  return blob;
}

// Saving gives the hand-written stream, loading it gives the record back,
// every shorter stream and a version one too high fail and leave defaults.
template <class Props>
void CheckCodec(const Props& value, const std::vector<uint8_t>& hand, uint32_t highest) {
  EXPECT_EQ(value.Save(), hand);
  Props loaded;
  ASSERT_TRUE(loaded.Load(hand));
  EXPECT_TRUE(loaded == value);
  for (size_t cut = 1; cut < hand.size(); ++cut) {
    Props p;
    ASSERT_FALSE(p.Load({hand.data(), cut})) << "cut at " << cut;
    ASSERT_TRUE(p == Props{});
  }
  Props p;
  EXPECT_FALSE(p.Load(WithVersion(hand, highest + 1)));
  EXPECT_FALSE(p.Load(WithVersion(hand, 0xFFFFFFFF)));
  EXPECT_TRUE(p == Props{});
  EXPECT_TRUE(p.Load({}));
  EXPECT_TRUE(p == Props{});
}

std::vector<uint8_t> Font() {
  FontDescription f;
  f.height = -12;
  f.weight = 400;
  f.SetFace("Tahoma");
  return f.ToBytes();
}

TEST(PropertyBlob, Window) {
  WindowProps p;
  p.caption = "cap";
  p.border = 6;
  p.backColour = 0x010203;
  p.picture = {1, 2, 3};
  p.pictureMode = 3;
  p.sound = {4};
  p.soundMode = 2;
  p.controlBox = 0;
  p.maxButton = 1;
  p.minButton = 0;
  p.startPosition = 3;
  p.movable = 0;
  p.icon = {5, 6};
  p.enterMovesOn = 1;
  p.escCloses = 0;
  p.f1Help = 1;
  p.helpFile = "help";
  p.helpContext = 17;
  p.taskbar = 0;
  p.dragAnywhere = 1;
  p.shape = 20;
  p.alwaysOnTop = 1;
  p.property22 = 22;
  p.className = "cls";
  auto head = [&](uint32_t v) {
    Hand h;
    h.I(v).I(6).I(3).I(0x010203).I(1).I(0).I(0).I(3).I(0).I(2).I(1).I(0).I(1).I(17);
    return h;
  };
  auto tail = [&](Hand h) { return h.B({1, 2, 3}).B({5, 6}).B({4}).T("cap").T("help").bytes(); };
  CheckCodec(p, tail(head(6).I(0).I(1).I(20).I(1).I(22).T("cls")), kWindowPropsVersion);

  // Each older version lacks what the later ones added; those keep defaults.
  WindowProps v;
  ASSERT_TRUE(v.Load(tail(head(1))));
  EXPECT_EQ(v.helpContext, 17u);
  EXPECT_EQ(v.taskbar, 1u);
  EXPECT_EQ(v.caption, "cap");
  ASSERT_TRUE(v.Load(tail(head(3).I(0).I(1).I(20))));
  EXPECT_EQ(v.taskbar, 0u);
  EXPECT_EQ(v.shape, 20u);
  EXPECT_EQ(v.alwaysOnTop, 0u);
  ASSERT_TRUE(v.Load(tail(head(5).I(0).I(1).I(20).I(1).I(22))));
  EXPECT_EQ(v.property22, 22u);
  EXPECT_EQ(v.className, "");
  EXPECT_EQ(v.icon, (std::vector<uint8_t>{5, 6}));
}

TEST(PropertyBlob, Label) {
  LabelProps p;
  p.caption = "cap";
  p.effect = 1;
  p.border = 2;
  p.frameWidth = 9;
  p.frameColour1 = 0x11;
  p.frameColour2 = 0x12;
  p.frameColour3 = 0x13;
  p.font = Font();
  p.captionColour = 0x21;
  p.backColour = 0x22;
  p.picture = {7, 7};
  p.pictureLayout = 2;
  p.gradient = 3;
  p.gradientColour1 = 0x31;
  p.gradientColour2 = 0x32;
  p.gradientColour3 = 0x33;
  p.horizontalAlign = 2;
  p.wrap = 1;
  p.verticalAlign = 0;
  p.dataSource = "src";
  p.dataColumn = "col";
  auto body = [&](uint32_t v) {
    Hand h;
    h.I(v).I(1).I(9).I(2).I(0x11).I(0x12).I(0x13).I(0x21).I(0x22).I(2).I(3).I(0x31).I(0x32).I(0x33).I(2).I(0).I(1);
    return h.B(Font()).B({7, 7}).T("cap");
  };
  CheckCodec(p, body(2).T("src").T("col").bytes(), kLabelPropsVersion);

  LabelProps v1;
  ASSERT_TRUE(v1.Load(body(1).bytes()));
  EXPECT_EQ(v1.dataSource, "");
  EXPECT_EQ(v1.dataColumn, "");
  EXPECT_EQ(v1.caption, "cap");
  EXPECT_EQ(v1.font, Font());
}

TEST(PropertyBlob, ShapeBox) {
  ShapeBoxProps p;
  p.backColour = 0x10;
  p.figure = 3;
  p.relief = 2;
  p.lineStyle = 5;
  p.lineWidth = 4;
  p.lineColour = 0x808000;
  p.fillColour = 0x20;
  CheckCodec(p, Hand().I(1).I(0x10).I(3).I(2).I(5).I(4).I(0x808000).I(0x20).bytes(), kShapeBoxPropsVersion);
  ShapeBoxProps v0;
  ASSERT_TRUE(v0.Load(Hand().I(0).I(0x10).I(3).I(2).I(5).I(4).I(0x808000).I(0x20).bytes()));
  EXPECT_TRUE(v0 == p);
}

TEST(PropertyBlob, GroupBox) {
  GroupBoxProps p;
  p.caption = "grp";
  p.captionPosition = 2;
  p.captionColour = 0x0A;
  p.backColour = 0x0B;
  p.font = Font();
  CheckCodec(p, Hand().I(1).I(2).I(0x0A).I(0x0B).B(Font()).T("grp").bytes(), kGroupBoxPropsVersion);
}

TEST(PropertyBlob, Button) {
  ButtonProps p;
  p.picture = {0x42, 0x4D};
  p.defaultButton = 1;
  p.caption = "ok";
  p.horizontalAlign = 0;
  p.verticalAlign = 2;
  p.font = Font();
  CheckCodec(p, Hand().I(1).I(1).I(0).I(2).B({0x42, 0x4D}).B(Font()).T("ok").bytes(), kButtonPropsVersion);

  // Lengths of 0 or below are empty and the next field follows at once.
  ButtonProps q;
  ASSERT_TRUE(q.Load(Hand().I(1).I(0).I(1).I(1).I(0xFFFFFFFB).I(0).I(0x80000000).bytes()));
  EXPECT_TRUE(q.picture.empty());
  EXPECT_EQ(q.caption, "");
}

TEST(PropertyBlob, ComboBox) {
  ComboBoxProps p;
  p.kind = 2;
  p.content = "txt";
  p.maxLength = 30;
  p.selectionStart = 1;
  p.selectionLength = 2;
  p.sorted = 1;
  p.extraHeight = 5;
  p.textColour = 0x0C;
  p.backColour = 0x0D;
  p.font = Font();
  p.currentEntry = 1;
  p.entries = {"a", "", "bc"};
  p.entryValues = {1, 0, 0, 0, 2, 0, 0, 0};
  p.dataSource = "src";
  p.dataColumn = "col";
  p.bindingOption = 1;
  auto body = [&](uint32_t v) {
    Hand h;
    h.I(v).I(2).I(30).I(1).I(2).I(1).I(5).I(0x0C).I(0x0D).I(1).B(Font()).B(p.entryValues).T("txt");
    return h.L({"a", "", "bc"});
  };
  CheckCodec(p, body(3).T("src").T("col").I(1).bytes(), kComboBoxPropsVersion);

  ComboBoxProps v;
  ASSERT_TRUE(v.Load(body(1).bytes()));
  EXPECT_EQ(v.entries, p.entries);
  EXPECT_EQ(v.dataSource, "");
  ASSERT_TRUE(v.Load(body(2).T("src").T("col").bytes()));
  EXPECT_EQ(v.dataColumn, "col");
  EXPECT_EQ(v.bindingOption, 0);
}

TEST(PropertyBlob, TextListCounts) {
  auto withList = [](auto writeCount) {
    Hand h;
    h.I(3).I(1).I(0).I(0).I(0).I(0).I(1).I(0).I(0xFFFFFF).I(0xFFFFFFFF).B({}).B({}).T("");
    ByteWriter w;
    writeCount(w);
    std::vector<uint8_t> b = h.bytes();
    b.insert(b.end(), w.bytes().begin(), w.bytes().end());
    return b;
  };
  // 0xFFFF then the real count as a u32.
  std::vector<uint8_t> escaped = withList([](ByteWriter& w) {
    w.WriteU16(0xFFFF);
    w.WriteU32(2);
    w.WriteCountedText("x");
    w.WriteCountedText("y");
    for (int i = 0; i < 3; ++i) w.WriteU32(0);
  });
  ComboBoxProps p;
  ASSERT_TRUE(p.Load(escaped));
  EXPECT_EQ(p.entries, (std::vector<std::string>{"x", "y"}));

  // A count far beyond the data fails at once.
  std::vector<uint8_t> huge = withList([](ByteWriter& w) {
    w.WriteU16(0xFFFF);
    w.WriteU32(0xFFFFFFFF);
    w.WriteCountedText("x");
  });
  EXPECT_FALSE(p.Load(huge));

  // 0xFFFF entries cannot be a short count: the writer escapes it, 0xFFFE not.
  for (uint32_t count : {0xFFFEu, 0xFFFFu}) {
    ComboBoxProps big;
    big.entries.assign(count, "e");
    std::vector<uint8_t> blob = big.Save();
    const size_t at = 10 * 4 + 3 * 4;
    EXPECT_EQ(LoadU16(&blob[at]), std::min(count, 0xFFFFu));
    if (count == 0xFFFF) {
      EXPECT_EQ(LoadU32(&blob[at + 2]), count);
    }
    ComboBoxProps back;
    ASSERT_TRUE(back.Load(blob));
    EXPECT_EQ(back.entries.size(), count);
  }
}

TEST(FontDescription, SixtyBytesInLogFontOrder) {
  FontDescription f;
  f.height = -35;
  f.weight = 700;
  f.charSet = 134;
  f.pitchAndFamily = 2;
  f.SetFace(std::string(40, 'F'));
  std::vector<uint8_t> b = f.ToBytes();
  ASSERT_EQ(b.size(), 60u);
  EXPECT_EQ(int32_t(LoadU32(&b[0])), -35);
  EXPECT_EQ(LoadU32(&b[16]), 700u);
  EXPECT_EQ(b[23], 134);
  EXPECT_EQ(b[27], 2);
  EXPECT_EQ(b[28 + 30], 'F');
  EXPECT_EQ(b[28 + 31], 0);  // the face name stays terminated
  auto back = FontDescription::FromBytes(b);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Face(), std::string(31, 'F'));
  EXPECT_EQ(back->ToBytes(), b);
  b.pop_back();
  EXPECT_FALSE(FontDescription::FromBytes(b));
}

}  // namespace
}  // namespace kavrel
