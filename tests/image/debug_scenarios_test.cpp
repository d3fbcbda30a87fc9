// How the tables are built in the awkward cases: nameless code from include
// files, functions the .debug section does not describe, files of the same
// name, files known only from their lines, pointer-attribute tables, and the
// inconsistencies that abandon a load.
#include "image_fixture.h"
#include "sample_program.h"

namespace tav::testing {
namespace {

TFunction function(std::string name, std::uint32_t first, std::uint32_t last, std::vector<TEntry> locals = {}) {
  TFunction f;
  f.name = std::move(name);
  f.first_line = first;
  f.last_line = last;
  f.locals = std::move(locals);
  return f;
}

TFunction file_level(std::uint32_t last, std::vector<TEntry> locals = {}) {
  TFunction f = function("", 1, last, std::move(locals));
  f.type = 0;
  return f;
}

TestObject with_text(const DebugBlob& d, std::vector<TRecord> records) {
  TestObject o;
  TSection text;
  text.name = ".text";
  text.data = Bytes(0x400, 0);
  o.sections.push_back(text);
  o.set_debug(d);
  o.records = std::move(records);
  return o;
}

class ScenarioTest : public ImageTest {
 protected:
  const DebugTables& t() const { return program.tables(); }
  std::vector<std::string> chain(std::string_view file) const {
    std::vector<std::string> out;
    for (const FunctionBlock* f : t().find_file(file)->functions) out.emplace_back(f->name);
    return out;
  }
};

TEST_F(ScenarioTest, NamelessCodeOfAnIncludeFileGetsADotBlockThere) {
  DebugBlob d;
  const std::uint32_t m = file_block(d, "m.c", 140, {function("f", 1, 9), file_level(9)});
  ASSERT_TRUE(build(with_text(d, {{m, kRecFile, "m.c"},
                                  {0x080, kRecFunctionStart, "m.c~f:1"},
                                  {0x080, kRecLine, "m.c:2"},
                                  {0x090, kRecFunctionEnd, "m.c~f"},
                                  {0x100, kRecFunctionStart, "m.c~:0"},
                                  {0x100, kRecLine, "inc.h:5.1-5.9"},
                                  {0x104, kRecLine, "inc.h:6"},
                                  {0x106, kRecLine, "inc.h:6"},  // same line under a nameless function
                                  {0x108, kRecLine, "inc.h:8"},
                                  {0x110, kRecFunctionEnd, "m.c~"}})
                        .bytes()))
      << host.all_errors();
  const auto& recs = t().records();
  ASSERT_EQ(recs.size(), 9u);
  const DebugRecord& start = recs[4];
  EXPECT_EQ(start.name, "inc.h") << "filed under the include file";
  EXPECT_EQ(start.line, 5) << "and placed at its first line";
  EXPECT_EQ(start.end_column, 9);
  EXPECT_EQ(recs[8].name, "inc.h") << "so is its end record";
  EXPECT_EQ(recs[7].value, 0x108u) << "the second line 6 is gone";

  EXPECT_EQ(chain("inc.h"), (std::vector<std::string>{".", ""}));
  const FunctionBlock* dot = t().find_file("inc.h")->functions[0];
  EXPECT_EQ(dot->first_line, 1);
  EXPECT_EQ(dot->last_line, 8);
  EXPECT_EQ(dot->start, &start);
  EXPECT_EQ(dot->end, &recs[8]);
  EXPECT_EQ(recs[5].function, dot);
  EXPECT_EQ(t().find_function("."), nullptr);
  EXPECT_EQ(t().find_file("inc.h")->flags, kFileLinesOnly);
  EXPECT_EQ(t().find_file("inc.h")->last_line, 8) << "raised by its lines";
}

TEST_F(ScenarioTest, AFunctionMissingFromItsFilesChainBecomesADotBlockAtTheHead) {
  DebugBlob d;
  const std::uint32_t m = file_block(d, "m.c", 140, {function("f", 1, 9), file_level(20)});
  ASSERT_TRUE(build(with_text(d, {{m, kRecFile, "m.c"},
                                  {0x080, kRecFunctionStart, "m.c~f:1"},
                                  {0x090, kRecFunctionEnd, "m.c~f"},
                                  {0x090, kRecFunctionStart, "m.c~ghost:12"},
                                  {0x094, kRecLine, "m.c:13-15"},
                                  {0x0A0, kRecFunctionEnd, "m.c~ghost"}})
                        .bytes()))
      << host.all_errors();
  EXPECT_EQ(chain("m.c"), (std::vector<std::string>{".", "f", ""}));
  const FunctionBlock* dot = t().find_file("m.c")->functions[0];
  EXPECT_EQ(dot->last_line, 15);
  EXPECT_EQ(t().find_function("ghost"), nullptr);
  EXPECT_EQ(t().function_at(0x098), dot);
  EXPECT_EQ(t().record_at(0x090)->second, "ghost");
}

TEST_F(ScenarioTest, FilesOfTheSameNameAreBothKeptUnlessNoDupFiles) {
  DebugBlob d;
  const std::uint32_t a = file_block(d, "dup.c", 140, {function("f", 1, 5), file_level(5, {{"va", 6, 0x10, kInt}})});
  const std::uint32_t b = file_block(d, "dup.c", 140, {function("f", 1, 7), file_level(7, {{"vb", 6, 0x20, kInt}})});
  const std::vector<TRecord> records = {{a, kRecFile, "dup.c~/one/dup.c"},
                                        {b, kRecFile, "dup.c~/two/dup.c"},
                                        {0x100, kRecFunctionStart, "dup.c~f:1"},
                                        {0x110, kRecFunctionEnd, "dup.c~f"},
                                        {0x200, kRecFunctionStart, "dup.c~f:1"},
                                        {0x210, kRecFunctionEnd, "dup.c~f"}};
  ASSERT_TRUE(build(with_text(d, records).bytes())) << host.all_errors();
  ASSERT_EQ(t().files().size(), 2u);
  const FileEntry* first = t().files()[0];
  const FileEntry* second = t().files()[1];
  EXPECT_EQ(first->second, "/one/dup.c");
  EXPECT_EQ(first->flags & kFileDuplicate, 0);
  EXPECT_EQ(second->flags & kFileDuplicate, kFileDuplicate);
  EXPECT_EQ(first->functions[0]->start->value, 0x100u);
  EXPECT_EQ(second->functions[0]->start->value, 0x200u) << "each block takes its own start record";
  EXPECT_EQ(t().find_file("dup.c"), first);
  EXPECT_EQ(t().find_function("f"), first->functions[0]);
  EXPECT_EQ(t().find_function("f", second), second->functions[0]);
  EXPECT_EQ(t().find_visible(nullptr, "vb")->value, 0x20u);

  host.nodup = true;
  ASSERT_TRUE(build(with_text(d, records).bytes())) << host.all_errors();
  ASSERT_EQ(t().files().size(), 1u);
  EXPECT_EQ(t().files()[0]->second, "/one/dup.c");
  EXPECT_EQ(t().find_visible(nullptr, "vb"), nullptr);
  EXPECT_EQ(t().function_at(0x204), t().find_function("f")) << "the dropped file's code belongs to the kept one";
}

TEST_F(ScenarioTest, AFileKnownFromItsLinesIsReplacedByItsRealBlock) {
  DebugBlob d;
  const std::uint32_t m = file_block(d, "m.c", 140, {function("f", 1, 9), file_level(9)});
  d.str(std::string(0x200, 'x'));  // the later file's block lies above the code addresses
  const std::uint32_t late = file_block(d, "late.c", 140, {file_level(30, {{"lv", 6, 0x40, kInt}})});
  ASSERT_GT(late, 0x120u);
  ASSERT_TRUE(build(with_text(d, {{m, kRecFile, "m.c"},
                                  {late, kRecFile, "late.c"},
                                  {0x080, kRecFunctionStart, "m.c~f:1"},
                                  {0x084, kRecLine, "late.c:3-4"},
                                  {0x090, kRecFunctionEnd, "m.c~f"}})
                        .bytes()))
      << host.all_errors();
  ASSERT_EQ(t().files().size(), 2u);
  const FileEntry* f = t().find_file("late.c");
  EXPECT_EQ(f->flags, 0) << "the line-only entry was discarded";
  EXPECT_EQ(f->last_line, 30);
  EXPECT_EQ(t().find_file_variable(f, "lv")->value, 0x40u);
  EXPECT_EQ(t().line_address(f, 3)->value, 0x84u);
}

TEST_F(ScenarioTest, PointerAttributesAreTranslatedThroughTheFilesTable) {
  DebugBlob d;
  std::vector<std::uint32_t> table(16, 0);
  table[0] = 0x0040;  // stored bit 15: a far pointer
  table[2] = 0x0100;  // stored bit 13
  const std::uint32_t table_at = d.words(table);
  const std::uint32_t m = file_block(d, "m.c", 140,
                                     {file_level(9, {{"fp", 6, 0x10, ptr(kInt), {0, 0x8000}},
                                                     {"np", 6, 0x14, ptr(kInt), {0x2000, 0}},
                                                     {"n", 6, 0x18, kInt, {0x3000}}})});
  ASSERT_TRUE(build(with_text(d, {{table_at, 0x80, "m.c"}, {m, kRecFile, "m.c"}}).bytes())) << host.all_errors();
  const SymbolEntry* fp = t().find_global("fp");
  EXPECT_EQ(fp->pointer_attr, 0x8000);
  EXPECT_EQ(fp->derivation_words()[0], 0x8040u);
  EXPECT_EQ(fp->size, 3u);
  const SymbolEntry* np = t().find_global("np");
  EXPECT_EQ(np->pointer_attr, 0x8000) << "bits 12..13 of 10 lose bit 13 before translation";
  EXPECT_EQ(np->size, 2u);
  EXPECT_EQ(t().find_global("n")->pointer_attr, 0x8100) << "11 loses bit 12";
  EXPECT_EQ(t().companion_records().size(), 1u);
}

TEST_F(ScenarioTest, StructResultsShiftArgumentsByFour) {
  DebugBlob d;
  TFunction f = function("make", 1, 9, {{"a", 7, 0, kInt}, {"b", 14, 2, kInt}, {"c", 3, 1, kInt}});
  f.type = kStruct;
  f.result_desc = {member_list(d, "pair", {{"x", 0, 0, kInt}}, 2)};
  TFunction g = function("ptr_result", 1, 9, {{"a", 2, 0, kInt}});
  g.type = ptr(kStruct);  // not exactly a struct: no shift
  g.result_desc = {0, f.result_desc[0]};
  const std::uint32_t m = file_block(d, "m.c", 140, {f, g, file_level(9)});
  ASSERT_TRUE(build(with_text(d, {{m, kRecFile, "m.c"},
                                  {0x10, kRecFunctionStart, "m.c~make:1"},
                                  {0x20, kRecFunctionEnd, "m.c~make"},
                                  {0x20, kRecFunctionStart, "m.c~ptr_result:+1"},
                                  {0x30, kRecFunctionEnd, "m.c~ptr_result"}})
                        .bytes()))
      << host.all_errors();
  const FunctionBlock* make = t().find_function("make");
  EXPECT_EQ(t().find_local(make, "a")->value, 4u);
  EXPECT_EQ(t().find_local(make, "b")->value, 6u) << "static arguments too";
  EXPECT_EQ(t().find_local(make, "c")->value, 1u);
  EXPECT_EQ(make->description, "global struct pair");
  EXPECT_EQ(t().find_local(t().find_function("ptr_result"), "a")->value, 1u) << "only the plus flag";
}

TEST_F(ScenarioTest, LongArgumentListsEndWithDots) {
  DebugBlob d;
  std::vector<TEntry> args;
  for (int i = 0; i < 60; ++i) args.emplace_back("argument_" + std::to_string(i), 2, 2 * i, kInt);
  const std::uint32_t m = file_block(d, "m.c", 140, {function("many", 1, 2, args), file_level(2)});
  ASSERT_TRUE(build(with_text(d, {{m, kRecFile, "m.c"},
                                  {0x10, kRecFunctionStart, "m.c~many:1"},
                                  {0x20, kRecFunctionEnd, "m.c~many"}})
                        .bytes()));
  const std::string& text = t().find_function("many")->args_text;
  EXPECT_LE(text.size(), 511u);
  EXPECT_TRUE(text.starts_with("int argument_0, int argument_1, "));
  EXPECT_TRUE(text.ends_with("...")) << text;
}

TEST_F(ScenarioTest, AFunctionChainThatLoopsEnds) {
  DebugBlob d;
  const std::uint32_t m = file_block(d, "m.c", 140, {function("f", 1, 2), file_level(2)});
  const std::uint32_t first_function = d.bytes[m + 7] | d.bytes[m + 6] << 8 | d.bytes[m + 5] << 16 | d.bytes[m + 4] << 24;
  d.patch(first_function, first_function);  // next: itself
  ASSERT_TRUE(build(with_text(d, {{m, kRecFile, "m.c"}}).bytes())) << host.all_errors();
  EXPECT_EQ(t().find_file("m.c")->functions.size(), 1u);
}

struct Fatal {
  const char* what;
  std::vector<TRecord> records;
  std::string message;
};

TEST_F(ScenarioTest, InconsistentDebugInformationAbandonsTheLoad) {
  DebugBlob d;
  TFunction odd = function("odd", 1, 2);
  odd.type = 0x77;
  TFunction odd_arg = function("odd_arg", 1, 2, {{"a", 2, 0, 0x66}});
  const std::uint32_t m = file_block(d, "m.c", 140, {function("f", 1, 9), odd, odd_arg, file_level(9)});
  const std::vector<Fatal> cases = {
      {"end without start", {{m, kRecFile, "m.c"}, {0x90, kRecFunctionEnd, "m.c~f"}},
       "MISSING START INFO FOR: m.c~f at: 0x90"},
      {"line without function", {{m, kRecFile, "m.c"}, {0x44, kRecLine, "m.c:5"}}, "Missing function for Line: m.c 5"},
      {"unknown file",
       {{m, kRecFile, "m.c"}, {0x10, kRecFunctionStart, "gone.c~f:1"}, {0x20, kRecFunctionEnd, "gone.c~f"}},
       "INCONSISTENT DEBUG INFO.\nFILE: gone.c IS REREFENCED BUT CANNOT BE FOUND"},
      {"unknown result type",
       {{m, kRecFile, "m.c"}, {0x10, kRecFunctionStart, "m.c~odd:1"}, {0x20, kRecFunctionEnd, "m.c~odd"}},
       "INCONSISTENT DEBUG INFO\n\nPROBABLE TARGET MISMATCH\n"},
      {"unknown argument type",
       {{m, kRecFile, "m.c"}, {0x10, kRecFunctionStart, "m.c~odd_arg:1"}, {0x20, kRecFunctionEnd, "m.c~odd_arg"}},
       "INCONSISTENT DEBUG INFO\n\nPROBABLE TARGET MISMATCH\n"},
  };
  for (const Fatal& c : cases) {
    SCOPED_TRACE(c.what);
    host.errors.clear();
    EXPECT_FALSE(program.load(put("bad.x12", with_text(d, c.records).bytes()), LoadOptions{}));
    EXPECT_EQ(host.all_errors(), c.message + "|");
    EXPECT_TRUE(program.abandoned());
    EXPECT_TRUE(t().empty());
    EXPECT_TRUE(t().files().empty());
    EXPECT_EQ(t().find_function("f"), nullptr);
    EXPECT_EQ(t().record_at(0x10), nullptr);
  }
}

}  // namespace
}  // namespace tav::testing
