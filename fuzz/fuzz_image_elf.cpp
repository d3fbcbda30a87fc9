// ELF files of any shape, with any DWARF: the ELF and DWARF readers and the
// conversion must never crash, hang or read outside the file; what converts
// must load.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_target.h"

using Target = tav::fuzz::TargetProgram;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Target* t = new Target;
  t->memory.clear();
  std::vector<std::uint8_t> bytes{0x7F, 'E', 'L', 'F'};  // always the ELF reader
  if (size > 4) bytes.insert(bytes.end(), data + 4, data + size);
  tav::Program& p = t->program;
  if (p.load_bytes("fuzz.elf", std::move(bytes), false, false) == 1) p.build_debug_info();
  p.release_file();
  return 0;
}
