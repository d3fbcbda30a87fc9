// The debug tables of a hand-made program: files, functions, lines, locals,
// types and their sizes, and the lookups by name and by address.
#include "image/debug_tables.h"

#include "image_fixture.h"
#include "support/fmt.h"
#include "sample_program.h"

namespace tav::testing {
namespace {

class TablesTest : public ImageTest {
 protected:
  void SetUp() override {
    sample = sample_program();
    ASSERT_TRUE(build(sample.object.bytes())) << host.all_errors();
    ASSERT_TRUE(host.errors.empty()) << host.all_errors();
    main_c = t().find_file("main.c");
    util_c = t().find_file("util.c");
    ASSERT_TRUE(main_c && util_c);
  }
  const DebugTables& t() const { return program.tables(); }
  const SymbolEntry& global(std::string_view name) const {
    const SymbolEntry* e = t().find_global(name);
    EXPECT_NE(e, nullptr) << name;
    static SymbolEntry none;
    return e ? *e : none;
  }
  static std::vector<std::string> names(std::span<const SymbolEntry> entries) {
    std::vector<std::string> out;
    for (const SymbolEntry& e : entries) out.emplace_back(e.name);
    return out;
  }

  SampleProgram sample;
  const FileEntry* main_c = nullptr;
  const FileEntry* util_c = nullptr;
};

TEST_F(TablesTest, FilesAreInNameOrderWithTheirFlags) {
  std::vector<std::string> files;
  for (const FileEntry* f : t().files()) files.emplace_back(f->name);
  EXPECT_EQ(files, (std::vector<std::string>{"defs.h", "main.c", "util.c"}));
  const FileEntry* defs = t().find_file("defs.h");
  EXPECT_EQ(defs->flags, kFileLinesOnly);
  EXPECT_EQ(defs->functions.size(), 1u) << "an empty file-level block";
  EXPECT_EQ(main_c->flags, kFileHasStarts | kFileInfo | kFileHasFunctions);
  EXPECT_EQ(main_c->first_line, 1);
  EXPECT_EQ(main_c->last_line, 40);
  EXPECT_EQ(util_c->unit_code, 141);
  EXPECT_EQ(util_c->coprocessor, 1);
  EXPECT_TRUE(t().has_coprocessor_code());
  EXPECT_EQ(t().find_file("MAIN.C"), nullptr) << "names compare exactly";
  EXPECT_EQ(t().file_record_count(), 2u);
  EXPECT_EQ(t().function_record_count(), 3u);
}

TEST_F(TablesTest, FunctionsAreFoundByNameButNotFunctionsWithoutCode) {
  const FunctionBlock* main_fn = t().find_function("main");
  ASSERT_NE(main_fn, nullptr);
  EXPECT_EQ(main_fn->file, main_c);
  EXPECT_EQ(t().find_function("main", main_c), main_fn);
  EXPECT_EQ(t().find_function("main", util_c), nullptr);
  EXPECT_EQ(t().find_function("no_code"), nullptr);
  EXPECT_EQ(t().find_function(""), nullptr);
  ASSERT_EQ(main_c->functions.size(), 3u);  // main, helper, the file level
  EXPECT_EQ(main_c->functions[1]->name, "helper");
  EXPECT_TRUE(main_c->is_file_level(main_c->functions[2]));
  EXPECT_EQ(t().find_function("twice")->coprocessor, 1);

  std::uint32_t start = 0, end = 0;
  ASSERT_TRUE(t().function_range(main_fn, &start, &end));
  EXPECT_EQ(start, 0xC000u);
  EXPECT_EQ(end, 0xC010u);
  ASSERT_TRUE(t().function_range(t().find_function("helper"), &start, &end));
  EXPECT_EQ(start, 0xC010u);
  EXPECT_EQ(end, 0xC020u);
  EXPECT_EQ(t().function_at(0xC012)->name, "helper");
  EXPECT_EQ(t().function_at(0xBFFF), nullptr);
}

TEST_F(TablesTest, TheMainListIsOrderedAndCleanedUp) {
  std::vector<std::string> list;
  for (const DebugRecord& r : t().records()) list.push_back(fmtstr("%hl:%hc:%p:%i", r.value, r.kind, record_label(r), r.line));
  EXPECT_EQ(list[2], "c000:20:main.c~main:10");
  EXPECT_EQ(list[4], "c004:8:main.c~main:12") << "line records take the function's name; the second line at c004 is gone";
  EXPECT_EQ(list[5], "c008:8:defs.h~main:3");
  EXPECT_EQ(list[7], "c010:10:main.c~main:0") << "line 19 at the end address is removed, the end goes first";
  EXPECT_EQ(list[8], "c010:20:main.c~helper:22");
  EXPECT_EQ(list.size(), 17u);
  for (std::size_t i = 0; i < t().records().size(); ++i) EXPECT_EQ(t().records()[i].index, i);
  EXPECT_TRUE(t().records()[8].flags & kRecPlus);
  EXPECT_EQ(t().records()[3].function->name, "main");
  EXPECT_EQ(t().records()[7].function->name, "main");
  EXPECT_EQ(t().records()[9].function->name, "helper");
  EXPECT_EQ(t().records()[0].function, nullptr);
}

TEST_F(TablesTest, AddressLookupsFollowTheRecordKinds) {
  EXPECT_EQ(t().record_at(0xC010)->second, "helper") << "an end followed by a record at the same address gives that record";
  EXPECT_EQ(t().record_at(0xC010)->kind, kRecFunctionStart);
  EXPECT_EQ(t().record_at(0xC004)->line, 12);
  EXPECT_EQ(t().record_at(0xC002), nullptr);
  EXPECT_EQ(t().record_at(0xC030), nullptr) << "an end record alone is no source position";
  EXPECT_EQ(t().record_at(0xC010, 1), nullptr);
  EXPECT_EQ(t().record_at(0xC020, 1)->second, "twice");
  EXPECT_EQ(t().record_at(0xC020, 0), nullptr);

  EXPECT_EQ(t().record_covering(0xC006)->value, 0xC004u);
  EXPECT_EQ(t().record_covering(0xC01D)->value, 0xC018u);
  EXPECT_EQ(t().record_covering(0xC01D, true)->kind, kRecFileInfo);
  EXPECT_EQ(t().record_covering(0xBFFF), nullptr);

  EXPECT_EQ(t().next_line_after(0xC004)->value, 0xC008u);
  EXPECT_EQ(t().next_line_after(0xC018)->kind, kRecFunctionStart);
  EXPECT_EQ(t().next_line_after(0xC018, true)->kind, kRecFunctionEnd);
  EXPECT_EQ(t().next_line_after(0xC030), nullptr);

  std::uint32_t first = 0, last = 0;
  ASSERT_TRUE(t().covering_range(0xC00B, &first, &last));
  EXPECT_EQ(first, 0xC00Au);
  EXPECT_EQ(last, 0xC00Fu);
}

TEST_F(TablesTest, LineAddressesSearchFunctionsOrTheLineList) {
  ASSERT_NE(t().line_address(main_c, 14), nullptr);
  EXPECT_EQ(t().line_address(main_c, 14)->value, 0xC00Au);
  EXPECT_EQ(t().line_address(main_c, 23)->value, 0xC010u);
  EXPECT_EQ(t().line_address(main_c, 10)->value, 0xC000u) << "the start record carries the first line";
  EXPECT_EQ(t().line_address(main_c, 13), nullptr);
  EXPECT_EQ(t().line_address(main_c, 35), nullptr);
  ASSERT_NE(t().line_address(t().find_file("defs.h"), 3), nullptr);
  EXPECT_EQ(t().line_address(t().find_file("defs.h"), 3)->value, 0xC008u);
  EXPECT_EQ(t().line_address(t().find_file("defs.h"), 4), nullptr);
}

TEST_F(TablesTest, LocalsPutArgumentsFirstAndKeepLabelsApart) {
  const FunctionBlock* main_fn = t().find_function("main");
  EXPECT_EQ(names(main_fn->arguments()), (std::vector<std::string>{"argc", "argv", "r"}));
  EXPECT_EQ(names(main_fn->non_arguments()), (std::vector<std::string>{"i"}));
  EXPECT_EQ(names(main_fn->labels), (std::vector<std::string>{"again", "out"}));
  EXPECT_TRUE(main_fn->uses_registers);
  const SymbolEntry* r = t().find_local(main_fn, "r");
  EXPECT_EQ(r->value, 3u) << "class 5: the word after the class byte is the primary value";
  EXPECT_EQ(r->secondary, 7u);
  EXPECT_EQ(t().find_label(main_fn, "again")->value, 0xC008u);
  EXPECT_EQ(t().find_local(main_fn, "again"), nullptr);
  EXPECT_EQ(main_fn->description, "global int ");
  EXPECT_EQ(main_fn->args_text, "int argc, char **argv, int r");

  const FunctionBlock* helper = t().find_function("helper");
  EXPECT_EQ(t().find_local(helper, "x")->value, 5u) << "double result +4, plus flag +1";
  EXPECT_EQ(t().find_local(helper, "y")->value, 7u);
  EXPECT_EQ(t().find_local(helper, "t")->value, 4u) << "autos keep their value";
  EXPECT_FALSE(helper->uses_registers);
  EXPECT_EQ(helper->description, "static double ");

  const FunctionBlock* twice = t().find_function("twice");
  EXPECT_EQ(twice->description, "global struct point*");
  EXPECT_EQ(twice->args_text, "struct point v, char *w");
  EXPECT_EQ(twice->result.size, 2u);
  EXPECT_EQ(twice->result.aggregate->tag, "point");
}

TEST_F(TablesTest, TypesAndSizes) {
  EXPECT_EQ(global("matrix").size, 24u) << "int[3][4]";
  EXPECT_EQ(global("origin").size, 4u);
  EXPECT_EQ(global("points").size, 20u);
  EXPECT_EQ(global("shade").size, 2u);
  EXPECT_EQ(global("head").size, 3u) << "a far pointer";
  EXPECT_EQ(global("handler").size, 2u);
  EXPECT_EQ(t().find_local(t().find_function("main"), "argv")->size, 2u);
  EXPECT_EQ(global("s").size, 1u);

  const SymbolEntry& flag = global("flag");  // bit number from the address
  EXPECT_EQ(flag.value, 0x2036u);
  EXPECT_EQ(flag.special, 5u);
  EXPECT_EQ(global("ready").special, 3u);  // bit number from the descriptor word
  EXPECT_EQ(global("ready").value, 0x2037u);
  EXPECT_EQ(global("bits").special, 0x0403u);
  EXPECT_EQ(global("matrix").derivation_words().size(), 2u);
  EXPECT_EQ(global("matrix").derivation_words()[1], 4u);

  const AggregateRecord* point = global("origin").aggregate;
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->offset, sample.point_list);
  EXPECT_EQ(global("points").aggregate, point) << "a member list is read once";
  EXPECT_EQ(t().find_function("twice")->arguments()[0].aggregate, point);
  EXPECT_EQ(names(point->members), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(point->members[1].value, 2u);

  const AggregateRecord* node = global("head").aggregate;
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->tag, "node");
  EXPECT_EQ(node->size, 4u);
  EXPECT_EQ(node->members[0].aggregate, node) << "a list that points back to itself";

  const AggregateRecord* color = global("shade").aggregate;
  EXPECT_EQ(DebugTables::enumerator_name(color, 5), "BLUE");
  EXPECT_EQ(DebugTables::enumerator_name(color, 0), "RED");
  EXPECT_EQ(DebugTables::enumerator_name(color, 3), kEnumOutOfBounds);
  EXPECT_EQ(DebugTables::enumerator_name(nullptr, 0), "ENUM VALUE OUT OF BOUNDS!!!!");
}

TEST_F(TablesTest, VariableVisibility) {
  const FunctionBlock* main_fn = t().find_function("main");
  EXPECT_EQ(t().find_visible(main_fn, "i")->owner, main_fn);
  EXPECT_EQ(t().find_visible(main_fn, "g")->value, 0x2000u) << "main.c comes before util.c";
  EXPECT_EQ(t().find_visible(main_fn, "counter")->value, 0x2104u);
  EXPECT_EQ(t().find_visible(main_fn, "nothing"), nullptr);
  EXPECT_EQ(t().find_file_variable(util_c, "g")->value, 0x2100u);
  EXPECT_EQ(t().find_global_variable("g", util_c)->value, 0x2100u) << "statics count in a named file";
  EXPECT_EQ(t().find_global_variable("g", nullptr)->value, 0x2000u);
  EXPECT_EQ(t().find_global_variable("s", nullptr), nullptr) << "without a file only extern and absolute";
  EXPECT_EQ(t().find_global_variable("s", main_c)->value, 0x2002u);
}

TEST_F(TablesTest, DefinesBelongToTheFileBeforeThem) {
  ASSERT_EQ(main_c->defines.size(), 1u);
  EXPECT_EQ(main_c->defines[0].name, "MAX");
  EXPECT_EQ(main_c->defines[0].value, "100");
  EXPECT_TRUE(util_c->defines.empty());
}

}  // namespace
}  // namespace tav::testing
