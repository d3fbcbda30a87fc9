// S-record and Intel Hex text of any shape.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_target.h"

using Target = tav::fuzz::TargetProgram;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Target* t = new Target;
  t->memory.clear();
  std::vector<std::uint8_t> bytes(data, data + size);
  if (!bytes.empty() && bytes[0] != 'S' && bytes[0] != ':') bytes[0] = (bytes[0] & 1) ? 'S' : ':';
  t->program.load_bytes("fuzz.s19", std::move(bytes), false, false);
  return 0;
}
