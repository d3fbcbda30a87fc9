// The XGATE example (xgdemo): a link of CPU12 and XGATE objects converted by
// mkx12, checked against GNU objdump and nm run on the same ELF file, with
// the XGATE's addresses made global by the XGATE's own map.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "image/elf/converter.h"
#include "side_file.h"
#include "command_output.h"
#include "x12_decoder.h"

#ifdef TAV_EXAMPLES_OUT

namespace {

std::string out_path(const std::string& ext) { return std::string(TAV_EXAMPLES_OUT) + "/xgdemo" + ext; }

std::string run(const std::string& command) { return x12test::command_output(command); }

// The S12X's XGATE map, worked out from the chip's memory map: XGATE flash
// from 0x0800 lies in the block at 0x78_0000, XGATE RAM from 0x8000 in the
// 64 KB at 0x0F_0000.
std::uint32_t xgate_global(std::uint32_t a) { return a < 0x8000 ? 0x780000 + a : 0x0F0000 + a; }

class XgdemoExample : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream f(out_path(".x12"), std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (bytes_.empty()) GTEST_SKIP() << "xgdemo was not built";
    x12_ = x12test::decode(bytes_);
  }
  // nm's symbols of the XGATE sections: name -> (value, size).
  std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> nm_xgate() const {
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> out;
    std::istringstream in(run(std::string(TAV_NM) + " -S " + out_path(".elf")));
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::vector<std::string> w;
      for (std::string x; words >> x;) w.push_back(x);
      if (w.empty() || (!w.back().starts_with("_x") && w.back() != "_checksum")) continue;
      const auto value = static_cast<std::uint32_t>(std::stoul(w[0], nullptr, 16));
      const auto size = w.size() == 4 ? static_cast<std::uint32_t>(std::stoul(w[1], nullptr, 16)) : 0u;
      out[w.back()] = {value, size};
    }
    return out;
  }
  std::uint16_t xgate_word(std::uint32_t xgate_address) const {
    const x12test::Section* s = x12_.section(".xgtext");
    const std::size_t at = s->file_offset + (xgate_address - s->base);
    return static_cast<std::uint16_t>(bytes_.at(at) << 8 | bytes_.at(at + 1));
  }

  x12test::Bytes bytes_;
  x12test::Decoded x12_;
};

TEST_F(XgdemoExample, XgateSectionsSitWhereTheXgateMapPutsThem) {
  for (const char* name : {".xgtext", ".xgdata"}) {
    const x12test::Section* s = x12_.section(name);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_EQ(s->placement, xgate_global(s->base)) << name;
  }
  // The XGATE's functions start and end (on their final rts or jal) where nm
  // puts them, and its globals are stored at their global RAM addresses.
  const auto nm = nm_xgate();
  ASSERT_EQ(nm.count("_checksum"), 1u);
  std::set<std::pair<std::string, std::uint32_t>> starts, expected_starts;
  std::set<std::uint32_t> ends, expected_ends;
  for (const char* f : {"_checksum", "_xg_thread"}) {
    const auto [value, size] = nm.at(f);
    expected_starts.insert({std::string(f).substr(1), xgate_global(value)});
    expected_ends.insert(xgate_global(value + size - 2));
    const std::uint16_t last = xgate_word(value + size - 2);
    EXPECT_TRUE(last == 0x0200 || (last & 0xF8FF) == 0x00F6) << f << " ends with " << std::hex << last;
  }
  for (const auto& r : x12_.records_of_kind(0x20))
    if (r.text.starts_with("xgate.c~")) {
      std::string name = r.text.substr(8);
      starts.insert({name.substr(0, name.find(':')), x12_.relocated(r)});
    }
  for (const auto& r : x12_.records_of_kind(0x10))
    if (r.text.starts_with("xgate.c~")) ends.insert(x12_.relocated(r));
  EXPECT_EQ(starts, expected_starts);
  EXPECT_EQ(ends, expected_ends);
  for (const auto& s : x12_.symbols) {
    if (nm.count(s.text)) {
      EXPECT_EQ(x12_.relocated(s), xgate_global(nm.at(s.text).first)) << s.text;
    }
  }

  // The XGATE unit is marked by its unit code; its variables are global addresses.
  for (const auto& r : x12_.records_of_kind(0x40)) {
    const x12test::File f = x12test::read_file(x12_.debug, r.value);
    if (f.name != "xgate.c") continue;
    EXPECT_EQ(f.unit, 139);
    for (const x12test::Entry& e : f.functions.back().locals)
      EXPECT_EQ(e.value, xgate_global(nm.at("_" + e.name).first)) << e.name;
  }
}

TEST_F(XgdemoExample, XgateLineRecordsAreWhereObjdumpPutsTheLines) {
  // Rows "xgate.c  13  0x81c  [x]" of the decoded line table.
  std::map<std::uint32_t, unsigned> rows;
  std::istringstream in(run(std::string(TAV_OBJDUMP) + " --dwarf=decodedline " + out_path(".elf")));
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string file, number, address;
    if (!(words >> file >> number >> address) || file != "xgate.c" || address.rfind("0x", 0) != 0) continue;
    if (number.find_first_not_of("0123456789") != std::string::npos) continue;
    rows[static_cast<std::uint32_t>(std::stoul(address, nullptr, 16))] = static_cast<unsigned>(std::stoul(number));
  }
  ASSERT_FALSE(rows.empty());
  std::size_t checked = 0;
  for (const auto& r : x12_.records_of_kind(0x08)) {
    if (!r.text.starts_with("xgate.c:")) continue;
    const std::uint32_t global = x12_.relocated(r);
    ASSERT_EQ(global & 0xFF0000, 0x780000u) << r.text;
    auto row = rows.find(global & 0xFFFF);
    ASSERT_NE(row, rows.end()) << r.text;
    EXPECT_EQ(std::to_string(row->second), r.text.substr(8)) << r.text;
    ++checked;
  }
  EXPECT_EQ(checked, 10u);  // six lines of checksum (13 twice), four of xg_thread
}

TEST_F(XgdemoExample, LoadingTheProgramSetsTheProcessorMode) {
  bool found = false;
  for (const auto& s : x12_.symbols)
    if (s.text == ".proc") {
      found = true;
      EXPECT_EQ(s.section, 0);  // absolute
      EXPECT_EQ(s.value, 3u);
    }
  EXPECT_TRUE(found);
}

std::string conversion_error(const std::string& side) {
  try {
    tav::mkx12::ElfFile elf = tav::mkx12::ElfFile::load(out_path(".elf"));
    tav::mkx12::convert(elf, tav::mkx12::parse_side_file(side));
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST_F(XgdemoExample, XgateMistakesInTheSideFileAreReported) {
  EXPECT_NE(conversion_error(R"({ "xgate_sections": [".nope"], "files": [] })").find("XGATE section .nope not found"),
            std::string::npos);
  // main is CPU12 code: as XGATE code there are no bytes at its address.
  EXPECT_NE(conversion_error(R"({ "xgate_sections": [".xgtext"], "files": [ { "name": "main.c", "unit": 141,
              "functions": [ { "name": "main" } ] } ] })").find("holds no code"), std::string::npos);
  EXPECT_NE(conversion_error(R"({ "kernel_variables": [ { "name": "proc", "value": 3 } ] })").find("must begin with"),
            std::string::npos);
  EXPECT_NE(conversion_error(R"({ "kernel_variables": [ { "name": ".proc" } ] })").find("missing \"value\""),
            std::string::npos);
}

}  // namespace

#endif
