// Load time of an ELF file of about 1 MiB with full DWARF (lines, units,
// functions with locals, many structs with bit-fields, arrays and pointers).
// The program is generated here: assembly and a side file written to a
// scratch folder, assembled and linked with GNU binutils, its description
// turned into DWARF by mkx12 and linked in.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/program.h"
#include "sim/memory.h"

namespace {

using namespace tav;
namespace fs = std::filesystem;

constexpr int kFiles = 30, kFunctions = 50, kLinesPerFunction = 10, kStructs = 80, kMembers = 24;

class NoErrors : public ErrorReporter {
 public:
  void report_error(std::string_view) override {}
};

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Writes the sources; returns the ELF file's path, or "" when a tool failed.
std::string generate(const fs::path& dir) {
  fs::create_directories(dir);
  std::ofstream ld(dir / "big.ld");
  ld << "MEMORY { ram (rw) : ORIGIN = 0x2000, LENGTH = 0x2000\n"
        "  flash (rx) : ORIGIN = 0x4000, LENGTH = 0xBF00\n  flash_g (r) : ORIGIN = 0x7F4000, LENGTH = 0xBF00 }\n"
        "SECTIONS { .text : { *(.text) } > flash AT> flash_g\n  .bss : { *(.bss) } > ram }\nENTRY(_f0_0)\n";
  ld.close();
  std::ostringstream side;
  side << "{ \"program\": \"big\", \"entry\": \"_f0_0\", \"aggregates\": [\n";
  for (int f = 0; f < kFiles; ++f)
    for (int s = 0; s < kStructs; ++s) {
      side << (f || s ? ",\n" : "") << "{ \"key\": \"struct s" << f << "_" << s << "\", \"members\": [";
      for (int m = 0; m < kMembers; ++m) {
        static const char* kTypes[] = {"int", "unsigned long", "[4] char", "* int", "short", "[2][3] int", "float",
                                       "unsigned char"};
        side << (m ? ", " : "") << "{ \"name\": \"m" << m << "\", ";
        if (m % 5 == 4) side << "\"type\": \"unsigned int\", \"bits\": 3 }";
        else if (m == kMembers - 1 && s > 0) side << "\"type\": \"* struct s" << f << "_" << s - 1 << "\" }";
        else side << "\"type\": \"" << kTypes[m % 8] << "\" }";
      }
      side << "] }";
    }
  side << "],\n\"files\": [\n";
  std::string objects;
  for (int f = 0; f < kFiles; ++f) {
    std::ofstream s(dir / ("f" + std::to_string(f) + ".s"));
    s << "\t.file 1 \"f" << f << ".c\"\n\t.text\n";
    side << (f ? ",\n" : "") << "{ \"name\": \"f" << f << ".c\", \"object\": \"f" << f << ".o\", \"variables\": [";
    for (int v = 0; v < kStructs; ++v)
      side << (v ? ", " : "") << "{ \"name\": \"v" << v << "\", \"type\": \"struct s" << f << "_" << v
           << "\", \"symbol\": \"_v" << f << "_" << v << "\" }";
    side << "], \"functions\": [";
    for (int n = 0; n < kFunctions; ++n) {
      const int line = 1 + n * (kLinesPerFunction + 2);
      s << "\t.globl _f" << f << "_" << n << "\n\t.type _f" << f << "_" << n << ", @function\n_f" << f << "_" << n
        << ":\n";
      for (int l = 0; l < kLinesPerFunction; ++l) s << "\t.loc 1 " << line + l << " 0\n\tldd #" << l << "\n";
      s << "\trts\n\t.size _f" << f << "_" << n << ", .-_f" << f << "_" << n << "\n";
      side << (n ? ", " : "") << "{ \"name\": \"f" << f << "_" << n << "\", \"lines\": [" << line << ", "
           << line + kLinesPerFunction << "], \"locals\": [{ \"name\": \"a\", \"class\": \"argument\", \"value\": 2 }, "
           << "{ \"name\": \"p\", \"type\": \"* struct s" << f << "_" << n % kStructs << "\", \"value\": -2 }, "
           << "{ \"name\": \"t\", \"type\": \"[8] long\", \"value\": -34 }, "
           << "{ \"name\": \"i\", \"class\": \"register\", \"register\": \"x\" }] }";
    }
    side << "] }";
    s << "\t.section .bss\n";
    for (int v = 0; v < kStructs; ++v) s << "\t.globl _v" << f << "_" << v << "\n_v" << f << "_" << v << ":\t.space 1\n";
    s.close();
    const std::string stem = (dir / ("f" + std::to_string(f))).string();
    if (!run(std::string(TAV_AS) + " -mm9s12x -o " + stem + ".o " + stem + ".s")) return "";
    if (!run(std::string(TAV_OBJCOPY) + " -R .debug_info -R .debug_abbrev -R .debug_aranges -R .debug_str " + stem +
             ".o " + stem + ".n.o"))
      return "";
    objects += " " + stem + ".n.o";
  }
  side << "] }\n";
  std::ofstream(dir / "big.json") << side.str();
  const std::string d = dir.string();
  if (!run(std::string(TAV_LD) + " -m m68hc12elfb -T " + d + "/big.ld -o " + d + "/lines.elf" + objects)) return "";
  if (!run(std::string(TAV_MKX12) + " --dwarf " + d + "/dwarf.s " + d + "/lines.elf " + d + "/big.json -o " + d +
           "/big.x12"))
    return "";
  if (!run(std::string(TAV_AS) + " -mm9s12x -o " + d + "/dwarf.o " + d + "/dwarf.s")) return "";
  if (!run(std::string(TAV_LD) + " -m m68hc12elfb -T " + d + "/big.ld -o " + d + "/big.elf" + objects + " " + d +
           "/dwarf.o"))
    return "";
  return d + "/big.elf";
}

struct Fixture {
  Fixture() {
    const fs::path dir = fs::temp_directory_path() / "tav-elf-bench";
    const std::string path = generate(dir);
    if (path.empty()) return;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  CpuRegs regs;
  NoErrors errors;
  Memory memory{regs, errors};
  Program program{memory};
  std::vector<std::uint8_t> bytes;
};

void BM_LoadElfWithDwarf(benchmark::State& state) {
  static Fixture f;
  if (f.bytes.empty()) {
    state.SkipWithError("the ELF file could not be generated");
    return;
  }
  for (auto _ : state) {
    if (f.program.load_bytes("big.elf", f.bytes, false, false, true) != 1 || !f.program.build_debug_info())
      state.SkipWithError("load failed");
  }
  state.counters["elf_bytes"] = static_cast<double>(f.bytes.size());
  state.counters["debug_records"] = static_cast<double>(f.program.tables().records().size());
}
BENCHMARK(BM_LoadElfWithDwarf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
