// Line texts with inline colours, and data memory views: units, bases, the
// character column, change highlighting across steps and the unit a click hits.
#include "ui/model/colour_runs.h"
#include "ui/model/data_memory_view.h"

#include "debug_session.h"

namespace tav {
namespace {

TEST(ColourRuns, SwitchesRestoreAndOddValues) {
  using R = std::vector<ColourRun>;
  const std::string sw = "\x01";
  EXPECT_EQ(colour_runs("plain"), (R{{"plain", kViewTextColour}}));
  EXPECT_EQ(colour_runs("a" + sw + "\x0b" + "ldaa" + sw + "\x0a" + " #1"), (R{{"a", -1}, {"ldaa", 11}, {" #1", 10}}));
  EXPECT_EQ(colour_runs(sw + "\x05" + "x" + sw + "\x09" + "y"), (R{{"x", 5}, {"y", -1}}));
  EXPECT_EQ(colour_runs(sw + "\x63" + "z" + sw + "\x12" + "w"), (R{{"z", 1}, {"w", 18}}));  // 99 is entry 1
  EXPECT_EQ(colour_runs("a" + sw + "\x05" + sw + "\x05" + "b"), (R{{"a", -1}, {"b", 5}}));
  EXPECT_EQ(colour_runs("cut" + sw), (R{{"cut", -1}}));
  EXPECT_EQ(plain_text("a" + sw + std::string(1, '\0') + "b"), "ab");
}

class DataView : public DebugSession {
 protected:
  void SetUp() override {
    load();
    view.start = symbol("_results");
  }
  void poke(std::uint32_t offset, std::uint8_t value) { d.memory.WriteByte(view.start + offset, value); }
  DataMemoryView view;
};

TEST_F(DataView, UnitsBasesAndCharacters) {
  for (unsigned i = 0; i < 8; ++i) poke(i, static_cast<std::uint8_t>(0xF0 + i));
  poke(0, 0x41);
  poke(1, 0x7F);
  poke(2, 0x0A);
  poke(3, 0xC1);  // the low seven bits show
  const std::string a = fmtstr("%+0nhl ", 6, view.start);
  struct Case {
    unsigned unit;
    NumberBase base;
    std::string units;
  } cases[] = {
      {1, NumberBase::Hexadecimal, "41 7f 0a c1 f4 f5 f6 f7"},
      {2, NumberBase::Hexadecimal, "417f 0ac1 f4f5 f6f7"},
      {4, NumberBase::Hexadecimal, "417f0ac1 f4f5f6f7"},
      {1, NumberBase::Binary, "01000001 01111111 00001010 11000001 11110100 11110101 11110110 11110111"},
      {2, NumberBase::Octal, "040577 005301 172365 173367"},
      {1, NumberBase::Decimal, "0065 0127 0010 -063 -012 -011 -010 -009"},
      {4, NumberBase::Decimal, "01098844865 -0185207049"},
  };
  for (const Case& c : cases) {
    view.format = {8, c.unit, c.base, true};
    const auto lines = view.paint(d.memory, 1, true);
    EXPECT_EQ(lines.at(0), a + c.units + " A..A" + std::string(1, char(0x74)) + "uvw") << c.unit;
    EXPECT_EQ(view.plain(d.memory, 1).at(0), lines.at(0));
  }
}

TEST_F(DataView, ChangesShowUntilTheNextPaint) {
  view.format = {4, 1, NumberBase::Hexadecimal, false};
  for (unsigned i = 0; i < 8; ++i) poke(i, 0);
  const std::string a0 = fmtstr("%+0nhl ", 6, view.start), a1 = fmtstr("%+0nhl ", 6, view.start + 4);
  view.paint(d.memory, 2, true);
  poke(1, 0x12);
  poke(6, 0x34);
  const std::string on = "\x01\x0a", off = "\x01\x09";
  EXPECT_EQ(view.paint(d.memory, 2, false),
            (std::vector<std::string>{a0 + "00 " + on + "12" + off + " 00 00", a1 + "00 00 " + on + "34" + off + " 00"}));
  EXPECT_EQ(view.paint(d.memory, 2, false), (std::vector<std::string>{a0 + "00 12 00 00", a1 + "00 00 34 00"}));
  poke(0, 1);
  EXPECT_EQ(view.paint(d.memory, 2, true).at(0), a0 + "01 12 00 00");  // a full paint marks nothing
  view.start += 1;  // nor does a new start
  EXPECT_EQ(view.paint(d.memory, 1, false).at(0).find('\x01'), std::string::npos);
}

TEST_F(DataView, ClickedUnitAndItsWriteCommand) {
  view.format = {8, 2, NumberBase::Hexadecimal, true};
  EXPECT_EQ(view.unit_at(0, 3), std::nullopt);  // the address
  EXPECT_EQ(view.unit_at(1, 7), (UnitPlace{view.start + 8, 2, 7, 4}));
  EXPECT_EQ(view.unit_at(0, 13), (UnitPlace{view.start + 2, 2, 12, 4}));
  EXPECT_EQ(view.unit_at(0, 11), std::nullopt);  // the blank between units
  EXPECT_EQ(view.unit_at(0, 27), std::nullopt);  // the character column
  const UnitPlace p = *view.unit_at(0, 13);
  run(DataMemoryView::write_command(p, 0xBEEF));
  EXPECT_EQ(errors(), "");
  EXPECT_EQ(read_unit(d.memory, view.start + 2, 2), 0xBEEFu);
  EXPECT_EQ(DataMemoryView::write_command({0x1000, 1, 0, 0}, 0x41), "mm /b 0x1000 0x41");
}

}  // namespace
}  // namespace tav
