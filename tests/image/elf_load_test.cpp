// ELF files loaded as programs: damaged headers and DWARF are refused with a
// clear error and leave the debugger able to load the next program; every
// damaged byte of the DWARF description is survived.
#include <filesystem>
#include <fstream>

#include "image/elf/elf_file.h"
#include "image/elf/elf_program.h"
#include "image_fixture.h"

namespace tav::testing {
namespace {

Bytes example_bytes(const char* name) {
  std::ifstream in(std::filesystem::path(TAV_EXAMPLES_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put_be32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

class ElfLoadTest : public ImageTest {
 protected:
  void SetUp() override {
    steps = example_bytes("steps.elf");
    demo = example_bytes("demo.elf");
    if (steps.empty() || demo.empty()) GTEST_SKIP() << "the examples were not built";
  }
  // File offset of a section's contents in an ELF image.
  static std::size_t section_offset(const Bytes& elf, const char* name) {
    elf::ElfFile f(elf);
    return f.find_section(name)->offset;
  }
  bool load(const Bytes& b) {
    host = RecordingLoadHost{};
    LoadOptions quiet;
    quiet.quiet = true;
    return program.load(put("p.elf", b), quiet);
  }
  Bytes steps, demo;
};

TEST_F(ElfLoadTest, DamagedFilesAreRefusedWithTheirReason) {
  const std::size_t info = section_offset(demo, ".debug_info");
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"truncated header", [](Bytes& b) { b.resize(40); }, "not an ELF file"},
      {"truncated tables", [](Bytes& b) { b.resize(b.size() / 2); }, "outside the file"},
      {"64-bit class", [](Bytes& b) { b[4] = 2; }, "not a 32-bit big-endian"},
      {"little-endian", [](Bytes& b) { b[5] = 1; }, "not a 32-bit big-endian"},
      {"another machine", [](Bytes& b) { b[18] = 0; b[19] = 62; }, "machine 62"},
      {"section table far away", [](Bytes& b) { put_be32(b, 32, 0x7FFFFFF0); }, "outside the file"},
      {"unit longer than its section", [&](Bytes& b) { put_be32(b, info, 0x00FFFFFF); }, "truncated .debug_info"},
      {"unknown DWARF version", [&](Bytes& b) { b[info + 4] = 0; b[info + 5] = 9; }, "DWARF version 9"},
      {"abbreviations out of range", [&](Bytes& b) { put_be32(b, info + 6, 0x00FFFFFF); }, "outside .debug_abbrev"},
      {"64-bit DWARF", [&](Bytes& b) { put_be32(b, info, 0xFFFFFFFF); }, "64-bit DWARF"},
  };
  for (const Case& c : cases) {
    Bytes b = demo;
    c.damage(b);
    EXPECT_FALSE(load(b)) << c.what;
    EXPECT_NE(host.all_errors().find(c.reason), std::string::npos) << c.what << ": " << host.all_errors();
    EXPECT_TRUE(program.tables().files().empty()) << c.what;
  }
  // The debugger is whole afterwards: the next program loads with its lines.
  ASSERT_TRUE(load(steps)) << host.all_errors();
  EXPECT_EQ(program.entry_address(), 0x7FC000u);
  EXPECT_EQ(program.tables().files().size(), 1u);
}

TEST_F(ElfLoadTest, EveryDamagedDwarfByteIsSurvived) {
  // Each byte of the description and its abbreviations set to values that
  // make loops, huge counts, bad forms and references outside the unit.
  for (const char* section : {".debug_info", ".debug_abbrev"}) {
    elf::ElfFile f(demo);
    const elf::ElfSection* s = f.find_section(section);
    ASSERT_NE(s, nullptr);
    for (std::size_t at = s->offset; at < s->offset + s->size; ++at)
      for (std::uint8_t v : {0x00, 0x01, 0x13, 0x7F, 0x80, 0xFF}) {
        Bytes b = demo;
        b[at] = v;
        try {
          elf::convert_elf(std::move(b));
        } catch (const std::exception&) {
        }
      }
  }
}

}  // namespace
}  // namespace tav::testing
