// A generated program of many files, functions and lines, for load-time
// measurements and for checking the indexed lookups against plain list walks.
#pragma once
#include <string>

#include "obj_builder.h"
#include "sample_program.h"

namespace tav::testing {

struct LargeProgramShape {
  int files = 250;
  int functions = 40;  // per file
  int lines = 5;       // per function
};

inline TestObject large_program(const LargeProgramShape& shape = {}) {
  DebugBlob d;
  TestObject o;
  const std::uint32_t point = member_list(d, "point", {{"x", 0, 0, kInt}, {"y", 0, 2, kInt}}, 4);
  std::uint32_t address = 0xC000;
  std::vector<TRecord> code;
  for (int f = 0; f < shape.files; ++f) {
    // Names sort differently from their creation order.
    const std::string file = "src" + std::to_string((f * 7919) % shape.files) + ".c";
    std::vector<TFunction> chain;
    for (int g = 0; g < shape.functions; ++g) {
      TFunction fn;
      fn.name = "f" + std::to_string(f) + "_" + std::to_string(g);
      fn.first_line = 10 * g + 1;
      fn.last_line = 10 * g + 9;
      fn.type = kInt;
      fn.locals = {{"n", 2, 0, kInt}, {"i", 3, 2, kInt}, {"p", 3, 4, kStruct, {point}}};
      chain.push_back(fn);
      code.push_back({address, kRecFunctionStart, file + "~" + fn.name + ":" + std::to_string(fn.first_line)});
      o.symbols.push_back({address, 1, 1, "_" + fn.name});
      for (int l = 0; l < shape.lines; ++l) {
        code.push_back({address, kRecLine, file + ":" + std::to_string(fn.first_line + 1 + l)});
        address += 3 + static_cast<std::uint32_t>(l % 3);
      }
      code.push_back({address, kRecFunctionEnd, file + "~" + fn.name});
      address += (g % 4 == 0) ? 0 : 2;  // some functions end where the next begins
    }
    TFunction top;
    top.first_line = 1;
    top.last_line = 10 * shape.functions;
    top.type = 0;
    for (int v = 0; v < 20; ++v) top.locals.emplace_back("g" + std::to_string(f) + "_" + std::to_string(v), 6, 0x2000 + 2 * v, kInt);
    top.locals.emplace_back("shared", f % 2 ? 1 : 6, 0x1000 + f, kInt);
    chain.push_back(top);
    o.records.push_back({file_block(d, file, 140, chain), kRecFile, file});
  }
  o.records.insert(o.records.end(), code.begin(), code.end());
  TSection text;
  text.name = ".text";
  text.placement = text.base = 0xC000;
  text.data = Bytes(address - 0xC000, 0xA7);
  o.sections.push_back(text);
  o.set_debug(d);
  return o;
}

}  // namespace tav::testing
