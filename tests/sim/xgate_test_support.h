// Shared pieces of the XGATE tests: a target with an XGATE, scratch
// directories and the GNU binutils for this chip (the test oracle).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

#include "memory_test_support.h"
#include "sim/registers.h"
#include "sim/xgate.h"

namespace tav::test {

struct XgateTarget : Target {
  Registers registers{regs, memory};
  Xgate xgate{memory, registers};
};

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tav-xgate-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  bool ok() const { return !path_.empty(); }
  std::string path() const { return path_.string(); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline bool have_tool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; true when it exits with status 0.
inline bool shell_succeeds(const std::string& command) { return std::system(command.c_str()) == 0; }

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// Assembles XGATE source with the GNU assembler and returns the raw bytes of
// its code (an empty string on failure, with the assembler's messages in `log`).
inline std::string assemble_xgate(const ScratchDir& dir, const std::string& source, std::string* log = nullptr) {
  write_file(dir.file("prog.s"), source);
  const std::string assemble = "m68hc11-as -mm9s12xg " + dir.file("prog.s") + " -o " + dir.file("prog.o") + " >" +
                               dir.file("as.log") + " 2>&1";
  const std::string extract = "m68hc11-objcopy -O binary -j .text " + dir.file("prog.o") + " " + dir.file("prog.bin");
  if (!shell_succeeds(assemble) || !shell_succeeds(extract)) {
    if (log) *log = read_file(dir.file("as.log"));
    return {};
  }
  return read_file(dir.file("prog.bin"));
}

#define TAV_REQUIRE_BINUTILS(tool)                                        \
  do {                                                                    \
    if (!::tav::test::have_tool(tool)) GTEST_SKIP() << tool " not found"; \
  } while (0)

}  // namespace tav::test
