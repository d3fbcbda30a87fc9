// mkx12: converts a linked 68HC12 ELF file plus its side file into a ".x12"
// object file with debug information.
#include <cstdio>
#include <fstream>
#include <string>

#include "image/elf/converter.h"
#include "side_file.h"
#include "dwarf_emitter.h"
#include "image/elf/dwarf_lines.h"

namespace {

int usage() {
  std::fputs("usage: mkx12 [--expect FILE.json] [--source-dir DIR] [--dwarf FILE.s] INPUT.elf SIDE.json -o OUTPUT.x12\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string elf_path, side_path, out_path, expect_path, source_dir, dwarf_path;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    if (a == "-o") { if (!value(out_path)) return usage(); }
    else if (a == "--expect") { if (!value(expect_path)) return usage(); }
    else if (a == "--source-dir") { if (!value(source_dir)) return usage(); }
    else if (a == "--dwarf") { if (!value(dwarf_path)) return usage(); }
    else if (!a.empty() && a[0] == '-') return usage();
    else if (elf_path.empty()) elf_path = a;
    else if (side_path.empty()) side_path = a;
    else return usage();
  }
  if (elf_path.empty() || side_path.empty() || out_path.empty()) return usage();

  try {
    tav::mkx12::ElfFile elf = tav::mkx12::ElfFile::load(elf_path);
    tav::mkx12::SideProgram side = tav::mkx12::load_side_file(side_path);
    if (source_dir.empty()) {
      auto slash = side_path.find_last_of('/');
      source_dir = slash == std::string::npos ? "." : side_path.substr(0, slash);
    }
    tav::mkx12::Conversion c = tav::mkx12::convert(elf, side, {source_dir});
    std::string error;
    if (!c.object.write(out_path, &error)) {
      std::fprintf(stderr, "mkx12: %s\n", error.c_str());
      return 1;
    }
    if (!dwarf_path.empty()) {
      std::ofstream d(dwarf_path);
      d << tav::mkx12::emit_dwarf(elf, side);
      if (!d) {
        std::fprintf(stderr, "mkx12: cannot write %s\n", dwarf_path.c_str());
        return 1;
      }
    }
    if (!expect_path.empty()) {
      std::ofstream e(expect_path);
      e << c.expectation.dump(1) << '\n';
      if (!e) {
        std::fprintf(stderr, "mkx12: cannot write %s\n", expect_path.c_str());
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkx12: %s\n", e.what());
    return 1;
  }
  return 0;
}
