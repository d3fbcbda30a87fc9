// Object files of any shape: the reader, the table builder and the lookups
// must never crash, hang or read outside the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_target.h"

using Target = tav::fuzz::TargetProgram;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Target* t = new Target;
  t->memory.clear();
  std::vector<std::uint8_t> bytes(data, data + size);
  if (!bytes.empty()) bytes[0] = (bytes[0] & 1) ? 0xCD : 0xCC;  // always the object reader
  tav::Program& p = t->program;
  if (p.load_bytes("fuzz.x12", std::move(bytes), false, false) == 1 && p.build_debug_info()) {
    const tav::DebugTables& tables = p.tables();
    for (const tav::DebugRecord& r : tables.records()) {
      tables.record_at(r.value);
      tables.record_covering(r.value + 1, true);
      tables.next_line_after(r.value, true);
      std::uint32_t a = 0, b = 0;
      tables.covering_range(r.value, &a, &b);
    }
    for (const tav::FileEntry* f : tables.files()) {
      tables.line_address(f, f->last_line);
      for (const tav::FunctionBlock* fn : f->functions) {
        tables.find_function(fn->name, f);
        tables.function_range(fn, nullptr, nullptr);
        for (const tav::SymbolEntry& e : fn->locals) {
          tables.find_visible(fn, e.name);
          tav::type_size(e);
          tav::DebugTables::enumerator_name(e.aggregate, 1);
        }
      }
    }
    p.symbols().find_symbol_by_value(0xC000);
  }
  p.release_file();
  return 0;
}
