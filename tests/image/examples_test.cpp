// The example programs built with GNU binutils and converted to ".x12": every
// file, function, line, variable, type, enumerator and symbol the converter
// says it wrote is found by name and by address, and the S-records GNU objcopy
// made of the same ELF file load to the same memory bytes.
#include <filesystem>
#include <fstream>
#include <map>

#include <nlohmann/json.hpp>

#include "image_fixture.h"

namespace tav::testing {
namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;

std::vector<std::string> example_names() {
  std::vector<std::string> names;
  if (!fs::is_directory(TAV_EXAMPLES_DIR)) return names;
  for (const auto& e : fs::directory_iterator(TAV_EXAMPLES_DIR)) {
    const std::string file = e.path().filename().string();
    if (file.ends_with(".expect.json")) names.push_back(file.substr(0, file.size() - 12));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string example(const std::string& name, const char* extension) {
  return (fs::path(TAV_EXAMPLES_DIR) / (name + extension)).string();
}

class ExampleTest : public ImageTest, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    std::ifstream in(example(GetParam(), ".expect.json"));
    expect = json::parse(in);
    program.hooks().set_pc = [](std::uint32_t) {};
    ASSERT_TRUE(program.load(example(GetParam(), ".x12"), LoadOptions{})) << host.all_errors();
    ASSERT_TRUE(host.errors.empty()) << host.all_errors();
  }
  const DebugTables& t() const { return program.tables(); }

  // The file entries of a name, in list order (two files may share one).
  std::vector<const FileEntry*> files_named(const std::string& name) const {
    std::vector<const FileEntry*> out;
    for (const FileEntry* f : t().files())
      if (f->name == name) out.push_back(f);
    return out;
  }
  // The n-th file of that name in the document is the n-th entry of that name.
  const FileEntry* file_of(const json& file) const {
    int nth = 0;
    for (const json& other : expect["files"]) {
      if (&other == &file) break;
      if (other["name"] == file["name"]) ++nth;
    }
    const auto all = files_named(file["name"]);
    return nth < static_cast<int>(all.size()) ? all[nth] : nullptr;
  }

  static void check_entry(const SymbolEntry* e, const json& x, const std::string& where) {
    SCOPED_TRACE(where + " " + x["name"].get<std::string>());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, x["name"].get<std::string>());
    EXPECT_EQ(e->storage_class, x["class"].get<int>());
    EXPECT_EQ(e->value, x["value"].get<std::uint32_t>());
    EXPECT_EQ(e->type, x["type_word"].get<std::uint32_t>());
    if (x.contains("size")) {
      EXPECT_EQ(e->size, x["size"].get<std::uint32_t>());
    }
    std::vector<std::uint32_t> words(e->descriptor().begin(), e->descriptor().end());
    if (e->aggregate && !words.empty()) words.pop_back();  // the member list's offset
    EXPECT_EQ(words, x.value("descriptor", std::vector<std::uint32_t>{}));
    if (x.contains("aggregate")) {
      ASSERT_NE(e->aggregate, nullptr);
      const std::string key = x["aggregate"];
      EXPECT_EQ(e->aggregate->tag, key.substr(key.find(' ') + 1));
    }
  }

  json expect;
};

TEST_P(ExampleTest, SectionsSymbolsAndEntry) {
  EXPECT_EQ(program.entry_address(), expect["entry"]["address"].get<std::uint32_t>());
  for (const json& s : expect["sections"]) {
    if (s["name"] == ".debug" || s["size"] == 0) continue;
    SCOPED_TRACE(s["name"].get<std::string>());
    auto it = std::find_if(program.segments().begin(), program.segments().end(),
                           [&](const SegmentRecord& r) { return r.name == s["name"]; });
    ASSERT_NE(it, program.segments().end());
    EXPECT_EQ(it->placement, s["placement"].get<std::uint32_t>());
    EXPECT_EQ(it->base, s["base"].get<std::uint32_t>());
    EXPECT_EQ(it->size, s["size"].get<std::uint32_t>());
  }
  std::map<std::string, std::uint32_t> symbols;  // a name defined again replaces the earlier one
  for (const json& s : expect["symbols"]) symbols[s["name"]] = s["value"];
  for (const auto& [name, value] : symbols) {
    const ProgramSymbol* p = program.symbols().rensym(name);
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(p->value(), value) << name;
    EXPECT_EQ(program.symbols().find_symbol_by_value(value)->value(), value);
  }
  const json& counts = expect["records"];
  EXPECT_EQ(t().file_record_count(), counts["files"].get<std::uint32_t>());
  EXPECT_EQ(t().function_record_count(), counts["functions"].get<std::uint32_t>());
  EXPECT_EQ(t().define_records().size(), counts["defines"].get<std::size_t>());
  EXPECT_EQ(std::count_if(t().records().begin(), t().records().end(), [](const DebugRecord& r) { return r.is_line(); }),
            counts["lines"].get<long>());
}

TEST_P(ExampleTest, FilesVariablesAndDefines) {
  EXPECT_EQ(t().files().size(), expect["files"].size());
  for (const json& file : expect["files"]) {
    SCOPED_TRACE(file["source"].get<std::string>());
    const FileEntry* f = file_of(file);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->unit_code, file["unit"].get<int>());
    EXPECT_EQ(f->coprocessor != 0, file["xgate"].get<bool>());
    EXPECT_EQ(f->first_line, file["first_line"].get<int>());
    EXPECT_EQ(f->last_line, file["last_line"].get<int>());
    for (const json& v : file["variables"]) check_entry(t().find_file_variable(f, v["name"].get<std::string>()), v, "variable");
    for (const json& v : file["typedefs"]) check_entry(t().find_file_variable(f, v["name"].get<std::string>()), v, "typedef");
    std::vector<std::pair<std::string, std::string>> defines, expected;
    for (const DefineEntry& d : f->defines) defines.emplace_back(d.name, d.value);
    for (const json& d : file["defines"]) expected.emplace_back(d["name"], d["value"]);
    EXPECT_EQ(defines, expected);
  }
}

TEST_P(ExampleTest, FunctionsTheirLocalsAndLines) {
  for (const json& file : expect["files"]) {
    const FileEntry* f = file_of(file);
    ASSERT_NE(f, nullptr);
    for (const json& fn : file["functions"]) {
      const std::string name = fn["name"];
      SCOPED_TRACE(name);
      const FunctionBlock* b = t().find_function(name, f);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->storage_class, fn["class"].get<int>());
      EXPECT_EQ(b->type, fn["return_type_word"].get<std::uint32_t>());
      EXPECT_EQ(b->result.size, fn["return_size"].get<std::uint32_t>());
      EXPECT_EQ(b->first_line, fn["first_line"].get<int>());
      EXPECT_EQ(b->last_line, fn["last_line"].get<int>());
      EXPECT_EQ(b->start->line, fn["start_line"].get<int>());
      EXPECT_EQ((b->start->flags & kRecPlus) != 0, fn["plus"].get<bool>());
      std::uint32_t start = 0, end = 0;
      ASSERT_TRUE(t().function_range(b, &start, &end));
      EXPECT_EQ(start, fn["start"].get<std::uint32_t>());
      EXPECT_EQ(end, fn["end"].get<std::uint32_t>());
      EXPECT_EQ(t().function_at(start), b);
      ASSERT_EQ(b->arguments().size(), fn["args"].size());
      for (std::size_t i = 0; i < fn["args"].size(); ++i) check_entry(&b->arguments()[i], fn["args"][i], "argument");
      ASSERT_EQ(b->non_arguments().size(), fn["locals"].size());
      for (std::size_t i = 0; i < fn["locals"].size(); ++i) check_entry(&b->non_arguments()[i], fn["locals"][i], "local");
      ASSERT_EQ(b->labels.size(), fn["labels"].size());
      for (std::size_t i = 0; i < fn["labels"].size(); ++i) check_entry(&b->labels[i], fn["labels"][i], "label");

      std::map<int, std::uint32_t> first_address;  // a line may have code in two places (loops)
      for (const json& l : fn["lines"]) {
        const std::uint32_t address = l["address"];
        const int line = l["line"];
        first_address.try_emplace(line, address);
        const DebugRecord* r = t().record_at(address);
        ASSERT_NE(r, nullptr) << std::hex << address;
        EXPECT_EQ(r->line, line) << std::hex << address;
        EXPECT_EQ(r->function, b) << std::hex << address;
        EXPECT_EQ(t().record_covering(address + 1), r == t().record_covering(address) ? r : t().record_covering(address + 1));
      }
      for (const auto& [line, address] : first_address) {
        const DebugRecord* r = t().line_address(f, static_cast<unsigned>(line));
        ASSERT_NE(r, nullptr) << line;
        EXPECT_EQ(r->value, address) << line;
      }
    }
  }
}

TEST_P(ExampleTest, AggregatesAndEnumerators) {
  std::map<std::string, const AggregateRecord*> by_tag;
  for (const auto& a : t().aggregates()) by_tag[std::string(a->tag)] = a.get();
  for (const json& a : expect["aggregates"]) {
    SCOPED_TRACE(a["key"].get<std::string>());
    const AggregateRecord* r = by_tag[a["tag"].get<std::string>()];
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->size, a["size"].get<std::uint32_t>());
    ASSERT_EQ(r->members.size(), a["members"].size());
    for (std::size_t i = 0; i < r->members.size(); ++i) {
      const json& m = a["members"][i];
      EXPECT_EQ(r->members[i].name, m["name"].get<std::string>());
      EXPECT_EQ(r->members[i].storage_class, m["class"].get<int>());
      EXPECT_EQ(r->members[i].type, m["type_word"].get<std::uint32_t>());
      if (a["kind"] == "enum") {
        EXPECT_EQ(DebugTables::enumerator_name(r, m["value"].get<std::int32_t>()), m["name"].get<std::string>());
      } else {
        EXPECT_EQ(r->members[i].value, m["value"].get<std::uint32_t>());
      }
      if (m.contains("bit_width")) {
        EXPECT_EQ(r->members[i].special, (m["bit_offset"].get<std::uint32_t>() << 8) | m["bit_width"].get<std::uint32_t>());
      }
    }
  }
}

TEST_P(ExampleTest, SRecordsOfTheSameProgramLoadTheSameBytes) {
  CpuRegs other_regs;
  StoreErrors other_errors;
  Memory other{other_regs, other_errors};
  Program srec{other};
  RecordingLoadHost srec_host;
  srec.set_host(&srec_host);
  ASSERT_EQ(srec.load_program(example(GetParam(), ".s19"), false, false), 1) << srec_host.all_errors();
  EXPECT_EQ(srec.format(), ImageFormat::SRecord);
  std::size_t compared = 0;
  for (const SegmentRecord& s : program.segments()) {
    if (s.file_offset == 0) continue;  // no contents (.bss)
    for (std::uint32_t a = s.placement; a <= s.last; ++a, ++compared)
      ASSERT_EQ(memory.ReadByte(a), other.ReadByte(a)) << s.name << " " << std::hex << a;
  }
  EXPECT_GT(compared, 100u);
  EXPECT_EQ(memory.block_count(), other.block_count()) << "no bytes elsewhere";
}

TEST(Examples, TheExamplesWereBuilt) {
  EXPECT_GE(example_names().size(), 2u) << "expected the example programs in " << TAV_EXAMPLES_DIR;
}

INSTANTIATE_TEST_SUITE_P(Built, ExampleTest, ::testing::ValuesIn(example_names()),
                         [](const auto& info) { return info.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ExampleTest);

}  // namespace
}  // namespace tav::testing
