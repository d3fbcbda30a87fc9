// Reading object files: sections into memory, kernel variables, symbols,
// the init marker, and every way a file can be cut short or refused.
#include "image_fixture.h"

namespace tav::testing {
namespace {

TSection section(std::string name, std::uint32_t at, Bytes data) {
  TSection s;
  s.name = std::move(name);
  s.placement = s.base = at;
  s.data = std::move(data);
  return s;
}

TestObject sample() {
  TestObject o;
  o.sections.push_back(section(".text", 0xC000, {0x11, 0x22, 0x33}));
  o.sections.push_back(section(".data", 0x2000, {1, 2, 3, 4}));
  TSection bss = section(".bss", 0x3000, {});
  bss.size = 16;
  bss.contents = false;
  o.sections.push_back(bss);
  o.sections.push_back(section(".bsct", 0x40, {7, 8}));
  o.sections.push_back(section(".text", 0xE000, {0x44, 0x55}));
  o.sections.push_back(section(".debug", 0x5000, {0xAA, 0xBB, 0xCC}));
  o.symbols.push_back({0xC000, 1, 1, "_main"});
  o.symbols.push_back({0x2002, 0x10, 2, "_counter"});
  o.symbols.push_back({0x1234, 0, 0, "hidden"});  // flags 0: kept aside, not a program symbol
  return o;
}

TEST_F(ImageTest, SectionsGoToMemoryAndSetTheKernelVariables) {
  ASSERT_EQ(read(sample().bytes()), 1) << host.all_errors();
  EXPECT_EQ(program.format(), ImageFormat::Object);
  EXPECT_EQ(memory.ReadByte(0xC000), 0x11);
  EXPECT_EQ(memory.ReadByte(0xC002), 0x33);
  EXPECT_EQ(memory.ReadByte(0xE001), 0x55);
  EXPECT_EQ(memory.ReadWord(0x2002), 0x0304);
  EXPECT_EQ(memory.ReadByte(0x41), 8);
  EXPECT_EQ(memory.block_state(0xC000), Memory::New);
  EXPECT_FALSE(memory.has_block(0x5000)) << ".debug is never loaded";
  EXPECT_FALSE(memory.has_block(0x3000)) << ".bss has no contents";

  EXPECT_EQ(sym(".text"), 0xC000u);  // the first .text section
  EXPECT_EQ(sym(".tsize"), 5u);      // the sum of both
  EXPECT_EQ(sym(".data"), 0x2000u);
  EXPECT_EQ(sym(".dsize"), 4u);
  EXPECT_EQ(sym(".bss"), 0x3000u);
  EXPECT_EQ(sym(".bsize"), 16u);
  EXPECT_EQ(sym(".zpage"), 0x40u);
  EXPECT_EQ(sym(".zsize"), 2u);
  EXPECT_EQ(host.out, "    T: 0xc000 (5)  D: 0x2000 (4)  Z: 0x40 (2)\n");

  std::vector<std::string> names;
  for (const SegmentRecord& s : program.segments()) names.push_back(s.name + "@" + std::to_string(s.placement));
  EXPECT_EQ(names, (std::vector<std::string>{".bsct@64", ".data@8192", ".bss@12288", ".text@49152", ".text@57344"}));
  EXPECT_EQ(program.segments()[3].last, 0xC002u);
  EXPECT_EQ(program.section_names().size(), 6u);

  EXPECT_EQ(sym("_main"), 0xC000u);
  EXPECT_EQ(program.symbols().rensym("_main")->kind, 5);
  EXPECT_EQ(sym("_counter"), 0x2002u);
  EXPECT_FALSE(has_sym("hidden"));
}

TEST_F(ImageTest, SymbolsOnlyLeavesMemoryAloneAndCDReadsLikeCC) {
  TestObject o = sample();
  o.magic = 0xCD;
  ASSERT_EQ(read(o.bytes(), true), 1);
  EXPECT_EQ(memory.block_count(), 0);
  EXPECT_EQ(sym("_main"), 0xC000u);
  EXPECT_EQ(sym(".tsize"), 5u);
}

TEST_F(ImageTest, EmptySectionsMakeNoSegmentButTheFirstTextStillCounts) {
  TestObject o;
  o.sections.push_back(section(".text", 0x8000, {}));
  o.sections.push_back(section(".text", 0x9000, {0x01}));
  ASSERT_EQ(read(o.bytes()), 1);
  EXPECT_EQ(sym(".text"), 0x8000u);
  EXPECT_EQ(sym(".tsize"), 1u);
  ASSERT_EQ(program.segments().size(), 1u);
  EXPECT_EQ(program.segments()[0].placement, 0x9000u);
  EXPECT_FALSE(has_sym(".dsize"));  // no data section, no data size
  EXPECT_EQ(host.out, "    T: 0x8000 (1)  D: 0x0 (0)\n");
}

TEST_F(ImageTest, SymbolsAreRelocatedByTheirSectionsDelta) {
  TestObject o;
  TSection text = section(".text", 0x7F8000, {0xA7});
  text.base = 0x8000;
  o.sections.push_back(text);
  TSection data = section(".data", 0x1000, {0});
  data.base = 0x777;
  data.base_is_placement = true;  // bit 7: the base is the placement
  o.sections.push_back(data);
  o.symbols.push_back({0x8010, 1, 1, "_f"});
  o.symbols.push_back({0x1004, 1, 2, "_v"});
  o.symbols.push_back({0x55, 1, 0, "_abs"});
  o.symbols.push_back({0x66, 1, 9, "_nosuch"});  // no such section: no delta
  ASSERT_EQ(read(o.bytes()), 1);
  EXPECT_EQ(sym("_f"), 0x7F8010u);
  EXPECT_EQ(sym("_v"), 0x1004u);
  EXPECT_EQ(sym("_abs"), 0x55u);
  EXPECT_EQ(sym("_nosuch"), 0x66u);
  EXPECT_EQ(program.section_list()[1].flags, 2) << "base differs from placement";
}

TEST_F(ImageTest, InitMarkerMovesSegmentsAndSetsTheirDelta) {
  TestObject o;
  TSection text = section(".text", 0x4000, {1, 2});
  text.base_is_placement = true;  // ignored while the marker is present
  text.base = 0x100;
  o.sections.push_back(text);
  o.markers.push_back({1, 0x6000, 0x5000});
  o.symbols.push_back({0x5004, 1, 1, "_x"});
  ASSERT_EQ(read(o.bytes()), 1) << host.all_errors();
  ASSERT_EQ(program.segments().size(), 1u);
  EXPECT_EQ(program.segments()[0].placement, 0x6000u);
  EXPECT_EQ(program.segments()[0].last, 0x6001u);
  EXPECT_EQ(sym("_x"), 0x6004u);
  EXPECT_EQ(memory.ReadByte(0x4000), 1) << "contents were read before the marker moved the segment";
}

TEST_F(ImageTest, OldFormatsAreRefused) {
  for (std::uint8_t magic : {0x9D, 0xC2, 0xC3}) {
    host.errors.clear();
    TestObject o = sample();
    o.magic = magic;
    EXPECT_EQ(read(o.bytes()), 0);
    EXPECT_EQ(host.all_errors(), "Unsupported Old V3 format |");
    EXPECT_EQ(memory.block_count(), 0);
  }
}

TEST_F(ImageTest, ShortReadsInTheHeaderPhasesAbandonTheLoad) {
  const Bytes good = sample().bytes();
  struct Case {
    const char* what;
    Bytes bytes;
    std::string message;
  };
  std::vector<Case> cases;
  cases.push_back({"header", Bytes(good.begin(), good.begin() + 20), "read error header"});
  TestObject empty_sections;
  for (const char* name : {".bss", ".bss", ".bss"}) {
    TSection s = section(name, 0x3000, {});
    s.size = 4;
    s.contents = false;
    empty_sections.sections.push_back(s);
  }
  const Bytes whole = empty_sections.bytes();
  Bytes table(whole.begin(), whole.begin() + 28 + 40 * 2 + 5);
  cases.push_back({"section table", table, "read error section"});
  Bytes marker = good;
  put_be32(marker, 8, static_cast<std::uint32_t>(good.size() - 3));  // the first symbol head runs off the end
  cases.push_back({"marker", marker, "read error .init marker symbol"});
  Bytes symbols = good;
  put_be32(symbols, 12, 1000);  // the table claims more bytes than the file has
  cases.push_back({"symbols", symbols, "read error symbole"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.errors.clear();
    EXPECT_EQ(read(c.bytes), 0);
    EXPECT_EQ(host.all_errors(), c.message + "|");
    EXPECT_TRUE(program.abandoned());
    EXPECT_TRUE(program.symbols().by_value().empty());
    EXPECT_TRUE(program.tables().empty());
  }
}

TEST_F(ImageTest, ShortSectionContentsStopTheSectionsButNotTheSymbols) {
  TestObject o;
  o.sections.push_back(section(".data", 0x2000, {1, 2}));
  TSection text = section(".text", 0xC000, {0x11, 0x22});
  text.size = 600;  // more than the file holds
  o.sections.push_back(text);
  o.sections.push_back(section(".data", 0x2100, {9}));  // skipped after the failure
  o.symbols.push_back({0xC000, 1, 2, "_main"});
  o.records.push_back({0xC000, kRecLine, "m.c:1"});
  ASSERT_EQ(read(o.bytes()), 0);
  EXPECT_EQ(host.all_errors(), "read error section\n|Error loading segment: .text|");
  EXPECT_EQ(memory.ReadByte(0x2001), 2);
  EXPECT_EQ(memory.ReadByte(0xC001), 0x22) << "the bytes that were there are kept";
  EXPECT_EQ(memory.ReadByte(0x2100), 0);
  EXPECT_EQ(sym("_main"), 0xC000u);
  EXPECT_TRUE(program.tables().empty()) << "no debug symbols after a failed section";
  EXPECT_FALSE(program.abandoned());
}

TEST_F(ImageTest, ShortDebugSymbolTableKeepsWhatWasRead) {
  TestObject o;
  o.sections.push_back(section(".text", 0xC000, {0x3D}));
  o.records.push_back({0, kRecFile, "m.c"});
  o.records.push_back({0xC000, kRecFunctionStart, "m.c~main:1"});
  o.record_count = 5;  // three more than the file holds
  ASSERT_EQ(read(o.bytes()), 1);
  EXPECT_EQ(host.all_errors(), "read error debug symbol|");
  EXPECT_EQ(program.tables().records().size(), 2u);
  EXPECT_EQ(program.tables().file_record_count(), 1u);
  EXPECT_EQ(program.tables().function_record_count(), 1u);
}

TEST_F(ImageTest, StopRequestEndsTheLoadQuietly) {
  TestObject o;
  o.sections.push_back(section(".text", 0xC000, Bytes(2000, 0x5A)));
  o.symbols.push_back({0xC000, 1, 1, "_main"});
  host.stop_after = 2;  // two blocks, then stop
  EXPECT_EQ(read(o.bytes()), 0);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(memory.ReadByte(0xC3FF), 0x5A);
  EXPECT_EQ(memory.ReadByte(0xC400), 0);
}

}  // namespace
}  // namespace tav::testing
