// The example programs' object files, checked against GNU objdump, nm and
// objcopy run on the same linked ELF files, and against facts of the C
// sources worked out by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <set>

#include "image/elf/converter.h"
#include "side_file.h"
#include "image/elf/dwarf_lines.h"
#include "command_output.h"
#include "x12_decoder.h"

#ifdef TAV_EXAMPLES_OUT

using nlohmann::json;

namespace {

std::string out_path(const std::string& name, const std::string& ext) {
  return std::string(TAV_EXAMPLES_OUT) + "/" + name + ext;
}

x12test::Bytes slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::string run(const std::string& command) { return x12test::command_output(command); }

// The S12X's fixed pages as the examples use them, worked out independently
// of the converter: RAM 0x2000.. and flash 0xC000.. of the local map.
std::uint32_t global_of(std::uint32_t local) {
  if (local >= 0x2000 && local < 0x4000) return local + 0xFC000;
  if (local >= 0xC000 && local <= 0xFFFF) return local + 0x7F0000;
  ADD_FAILURE() << "address outside the examples' memory: " << std::hex << local;
  return 0;
}

struct NmSymbol {
  std::uint32_t value;
  std::uint32_t size;
  char type;
  std::string name;
};

std::uint32_t hex32(const std::string& s) { return static_cast<std::uint32_t>(std::stoul(s, nullptr, 16)); }

std::vector<NmSymbol> nm(const std::string& elf) {
  // Lines are "value size type name" or "value type name".
  std::vector<NmSymbol> out;
  std::istringstream in(run(std::string(TAV_NM) + " -S " + elf));
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    if (w.size() == 4 && w[2].size() == 1) out.push_back({hex32(w[0]), hex32(w[1]), w[2][0], w[3]});
    else if (w.size() == 3 && w[1].size() == 1) out.push_back({hex32(w[0]), 0, w[1][0], w[2]});
  }
  return out;
}

struct ObjdumpRow {
  std::string file;  // as objdump prints it: the base name
  std::uint32_t line;
};

// Address -> the last row objdump decodes for it (the row whose code it is).
std::map<std::uint32_t, ObjdumpRow> objdump_lines(const std::string& elf) {
  // Rows are "file line 0xaddress [view] [x]"; end-of-sequence rows have "-".
  std::map<std::uint32_t, ObjdumpRow> rows;
  std::istringstream in(run(std::string(TAV_OBJDUMP) + " --dwarf=decodedline " + elf));
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string file, number, address;
    if (!(words >> file >> number >> address)) continue;
    if (number.find_first_not_of("0123456789") != std::string::npos || address.rfind("0x", 0) != 0) continue;
    rows[hex32(address)] = {file, static_cast<std::uint32_t>(std::stoul(number))};
  }
  return rows;
}

std::string base_name(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::uint32_t line_of(const std::string& text) {
  std::string range = text.substr(text.rfind(':') + 1);
  if (!range.empty() && range[0] == '+') range.erase(0, 1);
  return static_cast<std::uint32_t>(std::stoul(range));
}

class ExampleTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    bytes_ = slurp(out_path(GetParam(), ".x12"));
    if (bytes_.empty()) GTEST_SKIP() << "example " << GetParam() << " was not built";
    x12_ = x12test::decode(bytes_);
    std::ifstream e(out_path(GetParam(), ".expect.json"));
    expect_ = json::parse(e);
    elf_ = out_path(GetParam(), ".elf");
  }
  x12test::Bytes bytes_;
  x12test::Decoded x12_;
  json expect_;
  std::string elf_;
};

TEST_P(ExampleTest, MemoryImageEqualsTheSRecordsOfObjcopy) {
  std::map<std::uint32_t, std::uint8_t> srec, image;
  std::ifstream in(out_path(GetParam(), ".s19"));
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 4 || line[0] != 'S' || line[1] < '1' || line[1] > '3') continue;
    int width = (line[1] - '0' + 1) * 2;
    std::size_t count = std::stoul(line.substr(2, 2), nullptr, 16);
    std::uint32_t address = static_cast<std::uint32_t>(std::stoul(line.substr(4, static_cast<std::size_t>(width)), nullptr, 16));
    std::size_t data = count - static_cast<std::size_t>(width / 2) - 1;
    for (std::size_t i = 0; i < data; ++i)
      srec[address + static_cast<std::uint32_t>(i)] =
          static_cast<std::uint8_t>(std::stoul(line.substr(4 + static_cast<std::size_t>(width) + 2 * i, 2), nullptr, 16));
  }
  for (const x12test::Section& s : x12_.sections) {
    if (s.name == ".debug" || s.file_offset == 0) continue;
    for (std::uint32_t i = 0; i < s.size; ++i) image[s.placement + i] = bytes_.at(s.file_offset + i);
  }
  ASSERT_FALSE(srec.empty());
  EXPECT_EQ(image, srec);
  // The reset vector points at the start-up code, which the entry symbol names.
  std::uint32_t reset = (std::uint32_t{srec.at(0x7FFFFE)} << 8) | srec.at(0x7FFFFF);
  EXPECT_EQ(global_of(reset), expect_["entry"]["address"].get<std::uint32_t>());
}

TEST_P(ExampleTest, EveryLineRecordIsWhereObjdumpPutsTheLine) {
  auto rows = objdump_lines(elf_);
  ASSERT_FALSE(rows.empty());
  auto lines = x12_.records_of_kind(0x08);
  ASSERT_EQ(lines.size(), expect_["records"]["lines"].get<std::size_t>());
  for (const auto& r : lines) {
    std::uint32_t local = x12_.relocated(r) - 0x7F0000;
    auto row = rows.find(local);
    ASSERT_NE(row, rows.end()) << r.text;
    EXPECT_EQ(row->second.line, line_of(r.text)) << r.text;
    EXPECT_EQ(row->second.file, base_name(r.text.substr(0, r.text.rfind(':')))) << r.text;
  }
  // Every row of objdump inside a function is a line record, or continues the
  // line of the record before it (repeated rows of one line are merged).
  auto starts = x12_.records_of_kind(0x20), ends = x12_.records_of_kind(0x10);
  ASSERT_EQ(starts.size(), ends.size());
  std::map<std::uint32_t, std::uint32_t> by_address;
  for (const auto& r : lines) by_address[x12_.relocated(r) - 0x7F0000] = line_of(r.text);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    std::uint32_t start = x12_.relocated(starts[i]) - 0x7F0000, end = x12_.relocated(ends[i]) - 0x7F0000;
    EXPECT_EQ(rows.at(start).line, line_of(starts[i].text)) << starts[i].text;
    for (auto it = rows.lower_bound(start); it != rows.end() && it->first < end; ++it) {
      auto rec = by_address.upper_bound(it->first);
      ASSERT_NE(rec, by_address.begin());
      --rec;
      EXPECT_EQ(rec->second, it->second.line) << starts[i].text << " at 0x" << std::hex << it->first;
    }
  }
}

TEST_P(ExampleTest, FunctionRecordsMatchTheSymbolTable) {
  std::multiset<std::pair<std::string, std::uint32_t>> from_nm, from_records;
  std::multiset<std::uint32_t> ends_nm, ends_records;
  for (const NmSymbol& s : nm(elf_))
    if ((s.type == 'T' || s.type == 't') && s.size > 0) {
      from_nm.insert({s.name, global_of(s.value)});
      ends_nm.insert(global_of(s.value + s.size - 1));
      // The function ends with a return instruction: rts.
      const x12test::Section* text = x12_.section(".text");
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(bytes_.at(text->file_offset + (s.value + s.size - 1 - text->base)), 0x3D) << s.name;
    }
  for (const auto& r : x12_.records_of_kind(0x20)) {
    std::string name = r.text.substr(r.text.find('~') + 1);
    from_records.insert({"_" + name.substr(0, name.find(':')), x12_.relocated(r)});
  }
  for (const auto& r : x12_.records_of_kind(0x10)) ends_records.insert(x12_.relocated(r));
  EXPECT_EQ(from_records, from_nm);
  EXPECT_EQ(ends_records, ends_nm);
}

TEST_P(ExampleTest, SymbolsRelocateToTheirGlobalAddresses) {
  std::multiset<std::pair<std::string, std::uint32_t>> from_nm, from_x12;
  for (const NmSymbol& s : nm(elf_)) {
    // Assembler-local labels (".L...", and GNU as's "L0" followed by a control character).
    if (s.name[0] == '.' || s.name.find_first_of("\x01\x02") != std::string::npos) continue;
    from_nm.insert({s.name, s.type == 'A' ? s.value : global_of(s.value)});
  }
  for (const auto& s : x12_.symbols) {
    EXPECT_NE(s.flags_or_kind & 1, 0) << s.text;  // never the reader's ignored side list
    from_x12.insert({s.text, x12_.relocated(s)});
  }
  EXPECT_EQ(from_x12, from_nm);
}

// Walks the .debug section from the file records and compares everything
// with the expectation document that the reader's tests rely on.
TEST_P(ExampleTest, ExpectationDocumentDescribesTheDebugSection) {
  auto files = x12_.records_of_kind(0x40);
  ASSERT_EQ(files.size(), expect_["files"].size());
  std::map<std::uint32_t, std::string> aggregates_by_offset;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const json& ef = expect_["files"][i];
    x12test::File f = x12test::read_file(x12_.debug, files[i].value);
    EXPECT_EQ(f.name, ef["name"]);
    EXPECT_EQ(files[i].text, ef["name"]);
    EXPECT_EQ(f.unit, ef["unit"]);
    ASSERT_EQ(f.functions.size(), ef["functions"].size() + 1);
    const x12test::Function& file_level = f.functions.back();
    EXPECT_EQ(file_level.name, "");
    EXPECT_EQ(file_level.first_line, ef["first_line"]);
    EXPECT_EQ(file_level.last_line, ef["last_line"]);
    ASSERT_EQ(file_level.locals.size(), ef["variables"].size() + ef["typedefs"].size());
    for (std::size_t v = 0; v < ef["variables"].size(); ++v) {
      const json& ev = ef["variables"][v];
      const x12test::Entry& e = file_level.locals[v];
      EXPECT_EQ(e.name, ev["name"]);
      EXPECT_EQ(e.storage_class, ev["class"]);
      EXPECT_EQ(e.value, ev["value"]) << e.name;
      EXPECT_EQ(e.type_word, ev["type_word"]) << e.name;
      x12test::Descriptor d = x12test::read_descriptor(x12_.debug, e.type_word, e.descriptor);
      if (ev.contains("aggregate")) aggregates_by_offset[d.member_list] = ev["aggregate"];
    }
    for (std::size_t k = 0; k + 1 < f.functions.size(); ++k) {
      const json& efn = ef["functions"][k];
      const x12test::Function& fn = f.functions[k];
      EXPECT_EQ(fn.name, efn["name"]);
      EXPECT_EQ(fn.storage_class, efn["class"]);
      EXPECT_EQ(fn.first_line, efn["first_line"]);
      EXPECT_EQ(fn.last_line, efn["last_line"]);
      EXPECT_EQ(fn.type_word, efn["return_type_word"]);
      EXPECT_EQ(fn.locals.size(), efn["args"].size() + efn["locals"].size() + efn["labels"].size()) << fn.name;
      for (const x12test::Entry& e : fn.locals) {
        bool found = false;
        for (const char* group : {"args", "locals", "labels"})
          for (const json& el : efn[group])
            if (el["name"] == e.name) {
              found = true;
              EXPECT_EQ(e.storage_class, el["class"]) << fn.name << "." << e.name;
              EXPECT_EQ(e.type_word, el["type_word"]) << fn.name << "." << e.name;
              EXPECT_EQ(e.value, el["value"]) << fn.name << "." << e.name;  // no return-value or '+' adjustment here
            }
        EXPECT_TRUE(found) << fn.name << "." << e.name;
      }
    }
  }
  // Every aggregate reached from a variable matches its expectation.
  for (const auto& [offset, key] : aggregates_by_offset) {
    x12test::MemberList m = x12test::read_members(x12_.debug, offset);
    for (const json& ea : expect_["aggregates"])
      if (ea["key"] == key) {
        EXPECT_EQ(m.size, ea["size"]) << key;
        EXPECT_EQ(m.tag, ea["tag"]) << key;
        ASSERT_EQ(m.members.size(), ea["members"].size()) << key;
        for (std::size_t i = 0; i < m.members.size(); ++i) {
          EXPECT_EQ(m.members[i].name, ea["members"][i]["name"]);
          EXPECT_EQ(m.members[i].value, ea["members"][i]["value"]);
        }
      }
  }
  // Variables with a symbol sit at the address nm gives for it.
  std::map<std::string, std::uint32_t> nm_address;
  for (const NmSymbol& s : nm(elf_))
    if (s.type != 'A') nm_address[s.name] = global_of(s.value);
  for (const json& ef : expect_["files"])
    for (const json& ev : ef["variables"]) {
      std::string symbol = "_" + ev["name"].get<std::string>();
      if (nm_address.count(symbol) && GetParam() == "demo") {
        EXPECT_EQ(ev["value"], nm_address[symbol]) << symbol;
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest, ::testing::Values("demo", "dupnames"));

const json* find_named(const json& list, const std::string& name) {
  for (const json& j : list)
    if (j["name"] == name) return &j;
  return nullptr;
}

// Facts of demo's C sources, worked out by hand.
TEST(DemoExample, TypesSizesAndFramesFollowTheCSources) {
  std::ifstream e(out_path("demo", ".expect.json"));
  if (!e) GTEST_SKIP() << "demo was not built";
  json x = json::parse(e);
  EXPECT_EQ(x["records"]["files"], 3);
  EXPECT_EQ(x["records"]["functions"], 11);
  EXPECT_EQ(x["records"]["defines"], 12);
  const json& types_c = x["files"][1];
  ASSERT_EQ(types_c["name"], "types.c");
  const json* table = find_named(types_c["variables"], "g_table");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ((*table)["size"], 24);
  EXPECT_EQ((*table)["type_word"], 0xF0000018u);
  EXPECT_EQ((*find_named(types_c["variables"], "g_rec"))["size"], 28);
  EXPECT_EQ((*find_named(types_c["variables"], "g_flags"))["size"], 9);
  EXPECT_EQ((*find_named(types_c["variables"], "g_names"))["type_word"], 0xD0000009u);
  EXPECT_EQ((*find_named(types_c["variables"], "g_op"))["type_word"], 0x60000018u);
  EXPECT_EQ((*find_named(types_c["variables"], "g_total"))["type_word"], 0x20u);  // s32 = long
  EXPECT_EQ((*find_named(types_c["variables"], "s_calls"))["class"], 1);
  // One variable of every base type of the table.
  std::set<std::uint32_t> bases;
  for (const json& v : types_c["variables"]) bases.insert(v["type_word"].get<std::uint32_t>() & 0xFF);
  for (const json& a : x["aggregates"])
    for (const json& m : a["members"]) bases.insert(m["type_word"].get<std::uint32_t>() & 0xFF);
  for (std::uint32_t code : {0x01, 0x08, 0x09, 0x0A, 0x0B, 0x10, 0x11, 0x12, 0x18, 0x19, 0x1A, 0x20, 0x21, 0x22,
                             0x28, 0x29, 0x2A, 0x2C, 0x2D, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E})
    EXPECT_TRUE(bases.count(code)) << "base type 0x" << std::hex << code;

  const json& mathx = x["files"][2];
  const json* sum_to = find_named(mathx["functions"], "sum_to");
  ASSERT_NE(sum_to, nullptr);
  EXPECT_EQ((*find_named((*sum_to)["locals"], "i"))["value"], 224);  // register y
  const json* scale = find_named(mathx["functions"], "scale");
  ASSERT_EQ((*scale)["args"].size(), 3u);
  EXPECT_EQ((*scale)["args"][0]["name"], "value");
  EXPECT_EQ((*scale)["args"][0]["class"], 7);
  EXPECT_EQ((*scale)["args"][2]["name"], "div");
  EXPECT_EQ((*scale)["args"][2]["value"], 4);
  const json* gcd = find_named(mathx["functions"], "gcd");
  ASSERT_EQ((*gcd)["labels"].size(), 1u);
  EXPECT_GT((*gcd)["labels"][0]["value"].get<std::uint32_t>(), (*gcd)["start"].get<std::uint32_t>());
  EXPECT_LT((*gcd)["labels"][0]["value"].get<std::uint32_t>(), (*gcd)["end"].get<std::uint32_t>());
  EXPECT_EQ((*find_named(mathx["functions"], "factorial"))["return_size"], 4);

  for (const json& a : x["aggregates"]) {
    if (a["key"] == "enum level") {
      EXPECT_EQ(a["size"], 1);
      EXPECT_EQ(a["members"][0]["value"], 0xFFFFFFFFu);
      EXPECT_EQ(a["members"][2]["value"], 1);
    }
    if (a["key"] == "struct flags") {
      EXPECT_EQ(a["members"][7]["name"], "mask");
      EXPECT_EQ(a["members"][7]["value"], 5);
      EXPECT_EQ(a["members"][7]["bit_offset"], 20);
      EXPECT_EQ(a["members"][7]["bit_width"], 3);
    }
  }
}

TEST(DupnamesExample, TwoFilesOfOneNameKeepTheirOwnStatics) {
  x12test::Bytes bytes = slurp(out_path("dupnames", ".x12"));
  if (bytes.empty()) GTEST_SKIP() << "dupnames was not built";
  x12test::Decoded d = x12test::decode(bytes);
  auto files = d.records_of_kind(0x40);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[1].text, "util.c");
  EXPECT_EQ(files[2].text, "util.c");
  std::vector<std::uint32_t> bumps, counts;
  for (const auto& r : d.records_of_kind(0x20))
    if (r.text == "util.c~bump:6") bumps.push_back(d.relocated(r));
  for (const auto& f : files) {
    x12test::File file = x12test::read_file(d.debug, f.value);
    for (const auto& v : file.functions.back().locals)
      if (v.name == "count") counts.push_back(v.value);
  }
  ASSERT_EQ(bumps.size(), 2u);
  EXPECT_NE(bumps[0], bumps[1]);
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_NE(counts[0], counts[1]);
}

// ---------------------------------------------------------------- converter errors

tav::mkx12::ElfFile demo_elf() { return tav::mkx12::ElfFile::load(out_path("demo", ".elf")); }

std::string conversion_error(const std::string& side) {
  try {
    tav::mkx12::ElfFile elf = demo_elf();
    tav::mkx12::convert(elf, tav::mkx12::parse_side_file(side));
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(MkX12Convert, MistakesInTheSideFileAreReported) {
  if (slurp(out_path("demo", ".elf")).empty()) GTEST_SKIP() << "demo was not built";
  // Line rows of undeclared functions.
  EXPECT_NE(conversion_error(R"({ "files": [ { "name": "main.c", "functions": [ { "name": "main" } ] } ] })")
                .find("outside every declared function"), std::string::npos);
  EXPECT_NE(conversion_error(R"({ "files": [ { "name": "main.c", "functions": [ { "name": "nothere" } ] } ] })")
                .find("_nothere not found"), std::string::npos);
  EXPECT_NE(conversion_error(R"({ "files": [ { "name": "main.c", "functions": [ { "name": "start", "symbol": "__stext" } ] } ] })")
                .find("has no size"), std::string::npos);
  // A variable whose symbol is missing, in an otherwise complete side file.
  std::ifstream in(std::string(TAV_EXAMPLES_SRC) + "/demo/demo.json");
  json side = json::parse(in, nullptr, true, true);
  side["files"][0]["variables"].push_back({{"name", "v"}, {"symbol", "_none"}});
  EXPECT_NE(conversion_error(side.dump()).find("main.c.v: symbol _none not found"), std::string::npos);
  side["files"][0]["variables"].back()["symbol"] = "_g_int";
  EXPECT_EQ(conversion_error(side.dump()), "no error");
}

TEST(MkX12Convert, DamagedElfFilesAreRefusedWithoutCrashing) {
  x12test::Bytes elf = slurp(out_path("demo", ".elf"));
  if (elf.empty()) GTEST_SKIP() << "demo was not built";
  std::string side_text;
  {
    std::ifstream s(std::string(TAV_EXAMPLES_SRC) + "/demo/demo.json");
    side_text.assign(std::istreambuf_iterator<char>(s), std::istreambuf_iterator<char>());
  }
  tav::mkx12::SideProgram side = tav::mkx12::parse_side_file(side_text);
  auto attempt = [&](x12test::Bytes image) {
    try {
      tav::mkx12::ElfFile f(std::move(image));
      tav::mkx12::convert(f, side);
    } catch (const std::exception&) {
    }
  };
  for (std::size_t cut = 0; cut < elf.size(); cut += elf.size() / 41 + 1) attempt({elf.begin(), elf.begin() + static_cast<std::ptrdiff_t>(cut)});
  std::uint32_t lcg = 12345;  // fixed, so that a failure repeats
  for (int i = 0; i < 120; ++i) {
    x12test::Bytes damaged = elf;
    for (int k = 0; k < 4; ++k) {
      lcg = lcg * 1103515245u + 12345u;
      damaged[(lcg >> 8) % damaged.size()] ^= static_cast<std::uint8_t>(lcg >> 24 | 1);
    }
    attempt(std::move(damaged));
  }
  EXPECT_THROW(tav::mkx12::ElfFile(x12test::Bytes{0x7F, 'E', 'L', 'F'}), tav::mkx12::ElfError);
}

TEST(MkX12Convert, DamagedLineTablesAreRefusedWithoutCrashing) {
  if (slurp(out_path("demo", ".elf")).empty()) GTEST_SKIP() << "demo was not built";
  tav::mkx12::ElfFile elf = demo_elf();
  const tav::mkx12::ElfSection* s = elf.find_section(".debug_line");
  ASSERT_NE(s, nullptr);
  x12test::Bytes table = elf.contents(*s);
  EXPECT_FALSE(tav::mkx12::decode_line_table(table).empty());
  for (std::size_t cut = 0; cut < table.size(); ++cut) {
    try {
      tav::mkx12::decode_line_table({table.begin(), table.begin() + static_cast<std::ptrdiff_t>(cut)});
    } catch (const tav::mkx12::DwarfError&) {
    }
  }
  for (std::size_t at = 0; at < table.size(); ++at)
    for (std::uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      x12test::Bytes damaged = table;
      damaged[at] = v;
      try {
        tav::mkx12::decode_line_table(damaged);
      } catch (const tav::mkx12::DwarfError&) {
      }
    }
}

}  // namespace

#endif  // TAV_EXAMPLES_OUT
