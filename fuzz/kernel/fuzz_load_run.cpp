// Any file loaded, then run: the loaders, the run to the first C line and
// the run commands after it must never crash or hang on damaged input.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tav::FuzzSession* s = new tav::FuzzSession;
  s->begin();
  std::FILE* f = std::fopen("input.bin", "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (const char* line : {"load input.bin", "step 3", "istep 5", "go", "stack", "regs", "files", "funcs",
                           "finish", "zero /e /m /r"}) {
    s->begin();
    tav::docmd(s->d, line, 1);
  }
  return 0;
}
