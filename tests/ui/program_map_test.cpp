// The symbol lists, the symbol filter and the application map of the demo
// program: every function leads to its source, code symbols to the
// disassembly and data symbols to memory, and every section is accounted for.
#include "ui/model/program_map.h"

#include <algorithm>

#include "debug_session.h"

namespace tav {
namespace {

class ProgramMap : public DebugSession {
 protected:
  void SetUp() override { load(); }
  const MapLine* named(const std::vector<MapLine>& lines, const std::string& name) {
    auto it = std::find_if(lines.begin(), lines.end(), [&](const MapLine& l) { return l.name == name; });
    return it == lines.end() ? nullptr : &*it;
  }
};

TEST_F(ProgramMap, SymbolsByAddressAndByName) {
  const auto by_address = symbol_lines(d, SymbolOrder::Address);
  const auto by_name = symbol_lines(d, SymbolOrder::Name);
  ASSERT_GT(by_address.size(), 10u);
  ASSERT_EQ(by_address.size(), by_name.size());
  EXPECT_TRUE(std::is_sorted(by_address.begin(), by_address.end(),
                             [](const MapLine& a, const MapLine& b) { return a.address < b.address; }));
  EXPECT_TRUE(std::none_of(by_address.begin(), by_address.end(), [](const MapLine& l) { return l.name[0] == '.'; }))
      << "kernel variables are no program symbols";
  for (std::size_t i = 1; i < by_name.size(); ++i)
    EXPECT_LE(strcasecmp(by_name[i - 1].name.c_str(), by_name[i].name.c_str()), 0) << by_name[i].name;
  struct Case {
    const char* name;
    MapTarget target;
    const char* file;  // Function: its source
  } cases[] = {
      {"_main", MapTarget::Function, "main.c"},
      {"_gcd", MapTarget::Function, "mathx.c"},
      {"__stext", MapTarget::Code, ""},  // start-up code without source
      {"_g_int", MapTarget::Data, ""},
      {"_g_table", MapTarget::Data, ""},
      {"__bss_size", MapTarget::None, ""},  // a number, not a place
  };
  for (const Case& c : cases) {
    const MapLine* l = named(by_address, c.name);
    ASSERT_TRUE(l) << c.name;
    EXPECT_EQ(l->target, c.target) << c.name;
    EXPECT_EQ(l->file, c.file) << c.name;
    EXPECT_EQ(l->address, symbol(c.name)) << c.name;
    char head[16];
    std::snprintf(head, sizeof head, "%06x  ", l->address);
    EXPECT_EQ(l->text.rfind(head, 0), 0u) << l->text;
  }
  // A function shows two lines above its first line.
  const FunctionBlock* gcd = d.program.tables().find_function("gcd");
  EXPECT_EQ(named(by_address, "_gcd")->line, gcd->first_line - 2u);
}

TEST_F(ProgramMap, FilterMatchesAnyPartInEitherCase) {
  const auto all = symbol_lines(d, SymbolOrder::Name);
  EXPECT_EQ(matching_symbols(all, "").size(), all.size());
  const auto g = matching_symbols(all, "G_TAB");
  ASSERT_EQ(g.size(), 1u);
  EXPECT_EQ(g[0].name, "_g_table");
  EXPECT_TRUE(matching_symbols(all, "no such symbol").empty());
}

TEST_F(ProgramMap, ApplicationMapListsEverySection) {
  const auto map = application_map(d);
  ASSERT_GE(map.size(), 4u);
  std::uint32_t code = 0, data = 0;
  for (const SegmentRecord& s : d.program.segments()) {
    const MapLine* l = named(map, s.name);
    ASSERT_TRUE(l) << s.name;
    // Initialised data is used where the start-up code copies it to.
    const std::uint32_t run = s.name == ".data" ? symbol("__data_start") : s.placement;
    EXPECT_EQ(l->address, run);
    char range[64];
    std::snprintf(range, sizeof range, "%06x - %06x %6u", run, run + s.size - 1, s.size);
    EXPECT_NE(l->text.find(range), std::string::npos) << l->text;
    std::snprintf(range, sizeof range, "loaded at %06x", s.placement);
    EXPECT_EQ(l->text.find(range) != std::string::npos, run != s.placement) << l->text;
    (l->target == MapTarget::Code ? code : data) += s.size;
  }
  const MapLine* text = named(map, ".text");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->target, MapTarget::Code);
  EXPECT_NE(text->text.find("main.c, mathx.c, types.c"), std::string::npos) << text->text;
  EXPECT_EQ(named(map, ".bss")->target, MapTarget::Data);
  EXPECT_NE(named(map, ".bss")->text.find(" Bss "), std::string::npos);
  EXPECT_EQ(map.back().text, "Code " + std::to_string(code) + " bytes, data " + std::to_string(data) + " bytes");
}

TEST_F(ProgramMap, ImagesWithoutSectionsShowTheMemoryTheyFilled) {
  run("load " + std::string(TAV_EXAMPLES_DIR) + "/demo.s19");  // over the same blocks as the program before
  const auto map = application_map(d);
  ASSERT_GE(map.size(), 4u);
  EXPECT_NE(map[2].text.find("(loaded)"), std::string::npos) << map[2].text;
  EXPECT_EQ(map[2].target, MapTarget::Code);
  EXPECT_TRUE(symbol_lines(d, SymbolOrder::Address).empty());
}

}  // namespace
}  // namespace tav
