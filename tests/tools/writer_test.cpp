// The writer's layout, checked byte by byte with the tests' own decoder.
#include <gtest/gtest.h>

#include "x12_decoder.h"
#include "x12_writer.h"

using namespace tav::x12;

namespace {

ObjectFile small_object() {
  ObjectFile f;
  Section text;
  text.name = ".text";
  text.attribute = 1;
  text.placement = 0x7FC000;
  text.base = 0xC000;
  text.contents = {0x3B, 0x3D, 0xA7};
  Section bss;
  bss.name = ".bss";
  bss.has_contents = false;
  bss.size = 16;
  bss.base_is_placement = true;
  bss.placement = bss.base = 0xFE100;
  f.sections = {text, bss};
  f.symbols = {{0xC001, symflag::kDefined | symflag::kGlobal, 1, "_main"}, {0x10, symflag::kDefined, 0, "abs"}};
  f.debug_records = {{0xC000, kind::kFunctionStart, 1, "t.c~main:+3"}, {0xC001, kind::kLine, 1, "t.c:4.2"}};
  return f;
}

TEST(X12Writer, HeaderSectionsSymbolsAndRecordsAreLaidOutAsTheReaderSeeksThem) {
  ObjectFile f = small_object();
  x12test::Bytes bytes = f.serialize();
  x12test::Decoded d = x12test::decode(bytes);

  EXPECT_EQ(d.magic, 0xCC);
  ASSERT_EQ(d.section_count, 2);
  EXPECT_EQ(d.sections[0].name, ".text");
  EXPECT_EQ(d.sections[0].length_byte, 5);  // no bit 7
  EXPECT_EQ(d.sections[0].attribute, 1);
  EXPECT_EQ(d.sections[0].size, 3u);
  EXPECT_EQ(d.sections[0].placement, 0x7FC000u);
  EXPECT_EQ(d.sections[0].base, 0xC000u);
  ASSERT_NE(d.sections[0].file_offset, 0u);
  EXPECT_EQ(bytes[d.sections[0].file_offset], 0x3B);
  EXPECT_EQ(bytes[d.sections[0].file_offset + 2], 0xA7);
  // The name field is 14 bytes, unterminated, padded with zeros.
  EXPECT_EQ(bytes[28 + 2 + 5], 0);

  EXPECT_EQ(d.sections[1].length_byte, 0x80 | 4);
  EXPECT_EQ(d.sections[1].file_offset, 0u);  // no contents in the file
  EXPECT_EQ(d.sections[1].size, 16u);

  // Records: 7-byte head (value, flags/kind, section, length) and the text.
  ASSERT_EQ(d.symbols.size(), 2u);
  EXPECT_EQ(d.symbol_size, (7u + 5) + (7u + 3));
  EXPECT_EQ(d.symbols[0].value, 0xC001u);
  EXPECT_EQ(d.symbols[0].flags_or_kind, 0x11);
  EXPECT_EQ(d.symbols[0].section, 1);
  EXPECT_EQ(d.symbols[0].text, "_main");
  EXPECT_EQ(d.relocated(d.symbols[0]), 0x7FC001u);
  EXPECT_EQ(d.relocated(d.symbols[1]), 0x10u);

  ASSERT_EQ(d.record_count, 2u);
  EXPECT_EQ(d.records[0].flags_or_kind, 0x20);
  EXPECT_EQ(d.records[0].text, "t.c~main:+3");
  EXPECT_EQ(d.records[1].flags_or_kind, 0x08);
  EXPECT_EQ(d.record_offset + 7 + 11 + 7 + 7, bytes.size());  // the table ends the file
}

TEST(X12Writer, InitMarkerSymbolComesFirstAndPointsAtItsTable) {
  ObjectFile f = small_object();
  f.init_markers = {{1, 0x7FC800, 0xC800}, {2, 0xFE200, 0x2200}};
  x12test::Bytes bytes = f.serialize();
  x12test::Decoded d = x12test::decode(bytes);

  ASSERT_EQ(d.symbols.size(), 3u);
  const x12test::Record& marker = d.symbols[0];
  EXPECT_EQ(marker.flags_or_kind, 0);
  EXPECT_EQ(marker.text, "");
  EXPECT_EQ(marker.section, 2);  // the count of entries
  std::size_t table = marker.value;
  EXPECT_EQ(table, 28u + 2 * 40);  // right after the section table
  EXPECT_EQ(bytes[table], 1);
  for (int i = 1; i < 16; ++i) EXPECT_EQ(bytes[table + i], 0) << i;
  EXPECT_EQ(x12test::be32(bytes, table + 16), 0x7FC800u);
  EXPECT_EQ(x12test::be32(bytes, table + 20), 0xC800u);
  EXPECT_EQ(bytes[table + 24], 2);
  EXPECT_EQ(x12test::be32(bytes, table + 24 + 20), 0x2200u);
}

TEST(X12Writer, OverridesReachTheFileUnchangedForDamagedFiles) {
  ObjectFile f = small_object();
  f.magic = 0xC2;
  f.overrides.section_count = 9;
  f.overrides.debug_record_count = 1000;
  f.overrides.symbol_table_size = 3;
  f.sections[0].file_offset = 0xFFFFFF00u;
  f.sections[0].name_length = 15;
  f.sections[0].size = 0x10000;
  x12test::Bytes bytes = f.serialize();
  EXPECT_EQ(bytes[0], 0xC2);
  EXPECT_EQ(bytes[3], 9);
  EXPECT_EQ(x12test::be32(bytes, 16), 1000u);
  EXPECT_EQ(x12test::be32(bytes, 12), 3u);
  EXPECT_EQ(x12test::be32(bytes, 28 + 16), 0xFFFFFF00u);
  EXPECT_EQ(bytes[28 + 1], 15);
  EXPECT_EQ(x12test::be32(bytes, 28 + 20), 0x10000u);
}

TEST(X12Writer, TypeWordsStackDerivationsFromTheTop) {
  // array of 3 arrays of 4 int
  EXPECT_EQ(make_type_word(base::kInt, {{Derivation::kArray, 3}, {Derivation::kArray, 4}}), 0xF0000018u);
  // pointer to function returning int
  EXPECT_EQ(make_type_word(base::kInt, {{Derivation::kPointer}, {Derivation::kFunction}}), 0x60000018u);
  // array of pointers to char
  EXPECT_EQ(make_type_word(base::kChar, {{Derivation::kArray, 3}, {Derivation::kPointer}}), 0xD0000009u);
  auto d = derivations_of(0xD0000009u);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0], Derivation::kArray);
  EXPECT_EQ(d[1], Derivation::kPointer);
  // Twelve derivations fill the 24 bits; a thirteenth is dropped.
  std::vector<Derive> many(13, {Derivation::kPointer, 0});
  EXPECT_EQ(make_type_word(base::kChar, many), 0x55555509u);
  EXPECT_EQ(derivations_of(0x55555509u).size(), 12u);

  TypeRef t = make_type(base::kIntBitField, {{Derivation::kPointer, 0x40}, {Derivation::kArray, 5}},
                        bit_field_word(3, 4), -1, 0x1234);
  EXPECT_EQ(t.descriptor, (std::vector<std::uint32_t>{0x1234, 0x0304, 0x40, 5}));
  EXPECT_NE(bool_word(0), 0u);
  EXPECT_EQ(bool_word(5) >> 8, 5u);
}

// A model with every kind of block: nested and self-referencing aggregates,
// an extra-word class, a _Bool, bit-fields, defines and a companion table.
DebugModel rich_model() {
  DebugModel m;
  Aggregate node;  // struct node { int n; struct node *next; unsigned flag:3; }
  node.tag = "node";
  node.members = {{"n", 9, 0, {}, make_type(base::kInt)},
                  {"next", 9, 2, {}, make_type(base::kStruct, {{Derivation::kPointer, 0}}, std::nullopt, 0)},
                  {"flag", 9, 4, {}, make_type(base::kIntBitField, {}, bit_field_word(0, 3))}};
  node.size = 6;
  Aggregate colour;  // enum without a tag
  colour.members = {{"RED", 12, 0, {}, make_type(base::kInt)}, {"BLUE", 12, 0xFFFFFFFF, {}, make_type(base::kInt)}};
  colour.size = 1;
  m.aggregates = {node, colour};

  FunctionBlock f;
  f.name = "f";
  f.storage_class = sclass::kStatic;
  f.first_line = 3;
  f.last_line = 9;
  f.return_type = make_type(base::kStruct, {{Derivation::kPointer, 0}}, std::nullopt, 0);
  f.locals = {{"a", sclass::kRegisterArgument, 0, {}, make_type(base::kInt)},
              {"r", sclass::kRegisterPair, 0x20, 0xC0, make_type(base::kLong)},
              {"ok", sclass::kAuto, 2, {}, make_type(base::kBool, {}, bool_word(3))},
              {"c", sclass::kAuto, 3, {}, make_type(base::kCharEnum, {}, std::nullopt, 1)}};
  f.defines = DefineBlock{2, 1};
  FunctionBlock file_level;
  file_level.locals = {{"grid", sclass::kExtern, 0xFE000, {},
                        make_type(base::kInt, {{Derivation::kArray, 3}, {Derivation::kArray, 4}})}};
  FileBlock one;
  one.name = "one.c";
  one.unit_code = 141;
  one.functions = {f, file_level};
  one.defines = {{"N", "10"}, {"M", "N+1"}};
  one.pointer_table = std::array<std::uint16_t, 16>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x8000};
  FileBlock two;
  two.name = "two.c";
  two.functions = {FunctionBlock{}};
  two.defines = {{"K", "7"}};
  m.files = {one, two};
  return m;
}

TEST(X12Debug, FileAndFunctionBlocksFollowTheirOffsets) {
  EmittedDebug e = emit_debug(rich_model());
  const x12test::Bytes& dbg = e.bytes;
  EXPECT_EQ(x12test::be32(dbg, 0), 0u);  // offset 0 is never a block

  x12test::File one = x12test::read_file(dbg, e.layout.file_offsets[0]);
  EXPECT_EQ(one.name, "one.c");
  EXPECT_EQ(one.unit, 141);
  ASSERT_EQ(one.functions.size(), 2u);
  const x12test::Function& f = one.functions[0];
  EXPECT_EQ(f.name, "f");
  EXPECT_EQ(f.storage_class, 1);
  EXPECT_EQ(f.first_line, 3u);
  EXPECT_EQ(f.last_line, 9u);
  EXPECT_EQ(f.type_word, 0x40000048u);
  // The return type's descriptor: pointer attribute, then the member list.
  x12test::Descriptor ret = x12test::read_descriptor(dbg, f.type_word, f.return_descriptor);
  EXPECT_EQ(ret.words, std::vector<std::uint32_t>{0});
  EXPECT_EQ(ret.member_list, e.layout.aggregate_offsets[0]);
  ASSERT_NE(f.define_block, 0u);
  EXPECT_EQ(x12test::be32(dbg, f.define_block), 2u);
  EXPECT_EQ(x12test::be32(dbg, f.define_block + 4), 1u);

  // The chain ends with the nameless file-level block.
  EXPECT_EQ(one.functions[1].name, "");
  ASSERT_EQ(one.functions[1].locals.size(), 1u);
  const x12test::Entry& grid = one.functions[1].locals[0];
  EXPECT_EQ(grid.type_word, 0xF0000018u);
  EXPECT_EQ(x12test::read_descriptor(dbg, grid.type_word, grid.descriptor).words, (std::vector<std::uint32_t>{3, 4}));

  x12test::File two = x12test::read_file(dbg, e.layout.file_offsets[1]);
  EXPECT_EQ(two.name, "two.c");
  EXPECT_EQ(two.unit, 140);
  ASSERT_EQ(two.functions.size(), 1u);
  EXPECT_TRUE(two.functions[0].locals.empty());
}

TEST(X12Debug, LocalEntriesCarryClassBytesExtraWordsAndLittleEndianTypes) {
  EmittedDebug e = emit_debug(rich_model());
  const x12test::Bytes& dbg = e.bytes;
  x12test::File one = x12test::read_file(dbg, e.layout.file_offsets[0]);
  const auto& locals = one.functions[0].locals;
  ASSERT_EQ(locals.size(), 4u);
  EXPECT_EQ(locals[0].name, "a");
  EXPECT_EQ(locals[0].storage_class, 7);
  EXPECT_EQ(locals[0].descriptor, 0u);  // a plain int needs no descriptor
  EXPECT_EQ(locals[1].storage_class, 5);
  EXPECT_EQ(locals[1].extra, 0xC0u);
  EXPECT_EQ(locals[1].value, 0x20u);

  const x12test::Entry& ok = locals[2];
  EXPECT_EQ(ok.type_word, 0x01u);
  EXPECT_EQ(x12test::read_descriptor(dbg, ok.type_word, ok.descriptor).words, std::vector<std::uint32_t>{0x0301});

  const x12test::Entry& c = locals[3];
  x12test::Descriptor cd = x12test::read_descriptor(dbg, c.type_word, c.descriptor);
  ASSERT_EQ(cd.member_list, e.layout.aggregate_offsets[1]);
  x12test::MemberList colours = x12test::read_members(dbg, cd.member_list);
  EXPECT_EQ(colours.tag, "");
  ASSERT_EQ(colours.members.size(), 2u);
  EXPECT_EQ(colours.members[1].name, "BLUE");
  EXPECT_EQ(colours.members[1].storage_class, 12);
  EXPECT_EQ(colours.members[1].value, 0xFFFFFFFFu);
  EXPECT_EQ(colours.size, 1u);
}

TEST(X12Debug, RawTypeWordBytesAreLittleEndian) {
  DebugModel m;
  FunctionBlock file_level;
  file_level.locals = {{"p", sclass::kExtern, 0, {}, make_type(base::kLong, {{Derivation::kPointer, 0}})}};
  m.files = {FileBlock{"x.c", 140, {file_level}, {}, std::nullopt}};
  EmittedDebug e = emit_debug(m);
  std::uint32_t block = x12test::be32(e.bytes, e.layout.file_offsets[0] + 4);
  std::uint32_t entries = x12test::be32(e.bytes, block + 28);
  EXPECT_EQ(e.bytes[entries + 8], 0x20);
  EXPECT_EQ(e.bytes[entries + 9], 0x00);
  EXPECT_EQ(e.bytes[entries + 10], 0x00);
  EXPECT_EQ(e.bytes[entries + 11], 0x40);
  // The function block's type word is little-endian too (void here).
  EXPECT_EQ(e.bytes[block + 20], 0x00);
  // The terminating entry is all zeros.
  for (int i = 0; i < 16; ++i) EXPECT_EQ(e.bytes[entries + 16 + i], 0) << i;
}

TEST(X12Debug, MemberListsShareOneRecordAndEndWithTheSize) {
  EmittedDebug e = emit_debug(rich_model());
  const x12test::Bytes& dbg = e.bytes;
  x12test::MemberList node = x12test::read_members(dbg, e.layout.aggregate_offsets[0]);
  EXPECT_EQ(node.tag, "node");
  ASSERT_EQ(node.members.size(), 3u);
  EXPECT_EQ(node.size, 6u);
  // The self reference points back at the same list.
  const x12test::Entry& next = node.members[1];
  EXPECT_EQ(x12test::read_descriptor(dbg, next.type_word, next.descriptor).member_list, e.layout.aggregate_offsets[0]);
  const x12test::Entry& flag = node.members[2];
  EXPECT_EQ(flag.type_word, 0x19u);
  EXPECT_EQ(x12test::read_descriptor(dbg, flag.type_word, flag.descriptor).words, std::vector<std::uint32_t>{3});
  EXPECT_EQ(flag.value, 4u);
}

TEST(X12Debug, DefineStringsLieBetweenTheirFileBlockAndTheNext) {
  EmittedDebug e = emit_debug(rich_model());
  const auto& defs = e.layout.define_offsets;
  ASSERT_EQ(defs[0].size(), 2u);
  for (std::uint32_t at : defs[0]) {
    EXPECT_GT(at, e.layout.file_offsets[0]);
    EXPECT_LE(at, e.layout.file_offsets[1]);
  }
  EXPECT_EQ(x12test::cstr(e.bytes, defs[0][1]), "N+1");
  EXPECT_GT(defs[1][0], e.layout.file_offsets[1]);
  EXPECT_EQ(x12test::cstr(e.bytes, defs[1][0]), "7");
  // Companion table: 16 words, low halves as given.
  std::uint32_t table = e.layout.pointer_table_offsets[0];
  ASSERT_NE(table, 0u);
  EXPECT_EQ(x12test::be32(e.bytes, table), 1u);
  EXPECT_EQ(x12test::be32(e.bytes, table + 60), 0x8000u);
  EXPECT_EQ(e.layout.pointer_table_offsets[1], 0u);
}

TEST(X12Debug, AddDebugWritesTheSectionAndTheRecordsPointingIntoIt) {
  ObjectFile f;
  add_debug(f, rich_model(), "D#");
  x12test::Decoded d = x12test::decode(f.serialize());
  const x12test::Section* s = d.section(".debug");
  ASSERT_NE(s, nullptr);
  EXPECT_NE(s->file_offset, 0u);
  auto files = d.records_of_kind(0x40);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[1].text, "two.c");
  EXPECT_EQ(x12test::read_file(d.debug, files[1].value).name, "two.c");
  auto defines = d.records_of_kind(0x41);
  ASSERT_EQ(defines.size(), 3u);
  EXPECT_EQ(defines[1].text, "D#M");
  EXPECT_EQ(x12test::cstr(d.debug, defines[1].value), "N+1");
  auto companions = d.records_of_kind(0x80);
  ASSERT_EQ(companions.size(), 1u);
  EXPECT_EQ(companions[0].text, "one.c");
  EXPECT_EQ(x12test::be32(d.debug, companions[0].value + 4), 2u);
}

TEST(X12Debug, MissingAggregateIsRefused) {
  DebugModel m;
  FunctionBlock fl;
  fl.locals = {{"s", sclass::kExtern, 0, {}, make_type(base::kStruct, {}, std::nullopt, 3)}};
  m.files = {FileBlock{"x.c", 140, {fl}, {}, std::nullopt}};
  EXPECT_THROW(emit_debug(m), std::invalid_argument);
}

}  // namespace
