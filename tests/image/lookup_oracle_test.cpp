// The indexed lookups of the debug tables against plain walks of the lists
// in the order the lookups promise, on a generated program of tens of thousands of
// records.
#include <random>

#include "image_fixture.h"
#include "large_program.h"

namespace tav::testing {
namespace {

const DebugRecord* walk_record_at(const DebugTables& t, std::uint32_t a) {
  const auto& r = t.records();
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i].value != a) continue;
    if (r[i].kind == kRecFile || r[i].kind == kRecOrdered) continue;
    if (r[i].kind == kRecFunctionEnd) {
      if (i + 1 < r.size() && r[i + 1].value == a) return &r[i + 1];
      continue;
    }
    return &r[i];
  }
  return nullptr;
}

const DebugRecord* walk_covering(const DebugTables& t, std::uint32_t a) {
  const DebugRecord* last = nullptr;
  for (const DebugRecord& r : t.records())
    if ((r.is_start() || r.is_line()) && r.value <= a) last = &r;
  return last;
}

const DebugRecord* walk_next_line(const DebugTables& t, std::uint32_t a) {
  for (const DebugRecord& r : t.records())
    if ((r.is_start() || r.is_line()) && r.value > a) return &r;
  return nullptr;
}

const FunctionBlock* walk_function(const DebugTables& t, std::string_view name) {
  for (const FileEntry* f : t.files())
    for (std::size_t i = 0; i + 1 < f->functions.size(); ++i)
      if (f->functions[i]->name == name) return f->functions[i];
  return nullptr;
}

const SymbolEntry* walk_global(const DebugTables& t, std::string_view name) {
  for (const FileEntry* f : t.files())
    for (const SymbolEntry& e : f->file_block()->locals)
      if (e.name == name) return &e;
  return nullptr;
}

class LargeTest : public ImageTest {
 protected:
  void SetUp() override {
    LargeProgramShape shape;
    shape.files = 60;  // about 17,000 records: enough to make every index matter
    ASSERT_TRUE(program.load_bytes("large", large_program(shape).bytes(), false, false) == 1);
    ASSERT_TRUE(program.build_debug_info()) << host.all_errors();
  }
};

TEST_F(LargeTest, AddressLookupsAgreeWithListWalks) {
  const DebugTables& t = program.tables();
  ASSERT_GT(t.records().size(), 15000u);
  const std::uint32_t last = t.records().back().value;
  std::mt19937 random(7);
  for (int k = 0; k < 400; ++k) {
    const std::uint32_t a = 0xBFF0 + random() % (last - 0xBFF0 + 16);
    ASSERT_EQ(t.record_at(a), walk_record_at(t, a)) << std::hex << a;
    ASSERT_EQ(t.record_covering(a), walk_covering(t, a)) << std::hex << a;
    ASSERT_EQ(t.next_line_after(a), walk_next_line(t, a)) << std::hex << a;
  }
}

TEST_F(LargeTest, NameLookupsAgreeWithListWalks) {
  const DebugTables& t = program.tables();
  for (const char* name : {"f0_0", "f59_39", "f17_3", "nothing", "shared", "g3_4"}) {
    EXPECT_EQ(t.find_function(name), walk_function(t, name)) << name;
    EXPECT_EQ(t.find_global(name), walk_global(t, name)) << name;
  }
  EXPECT_EQ(t.find_global("shared")->value, walk_global(t, "shared")->value);
  std::vector<std::string> names;
  for (const FileEntry* f : t.files()) names.emplace_back(f->name);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

TEST_F(LargeTest, EveryLineIsFoundByFileAndLine) {
  const DebugTables& t = program.tables();
  int checked = 0;
  for (const DebugRecord& r : t.records()) {
    if (!r.is_line()) continue;
    const DebugRecord* found = t.line_address(t.find_file(r.name), r.line);
    ASSERT_NE(found, nullptr) << r.name << ":" << r.line;
    EXPECT_EQ(found->value, r.value);
    ++checked;
  }
  EXPECT_EQ(checked, 60 * 40 * 5);
}

}  // namespace
}  // namespace tav::testing
