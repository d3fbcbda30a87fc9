#include "ui/model/disassembly_model.h"

#include "kernel/debugger.h"
#include "ui/model/disasm_view.h"
#include "ui/model/memory_model.h"
#include "ui/model/program_lookup.h"

namespace tav {

namespace {

constexpr std::uint32_t kLongestInstruction = 6;

// The address `back` instructions before `address`: decoding from further
// back until a start lands exactly on `address`; bytes one by one when none does.
std::uint32_t back_from(const DisasmView& view, std::uint32_t address, std::uint32_t back) {
  if (back == 0) return address;
  const std::uint32_t span = back * kLongestInstruction;
  for (std::uint32_t shift = 0; shift < kLongestInstruction; ++shift) {
    if (span - shift > address) continue;
    std::vector<std::uint32_t> starts;
    std::uint32_t a = address - (span - shift);
    while (a < address) {
      starts.push_back(a);
      a = view.next_address(a);
    }
    if (a == address && starts.size() >= back) return starts[starts.size() - back];
  }
  return address >= back ? address - back : 0;
}

}  // namespace

std::vector<DisassemblyRow> disassembly_rows(Debugger& d, std::uint32_t address, int offset, unsigned count) {
  if (!d.run.running) d.xgate_code.update(d.program.tables());
  const ProgramLookup lookup(d.program, &d.events, &d.xgate_code);
  const DisasmView view(d.memory, d.cpu_regs, &lookup);
  std::uint32_t first = address;
  if (offset < 0)
    first = back_from(view, address, static_cast<std::uint32_t>(-static_cast<long long>(offset)));
  else
    for (int i = 0; i < offset && first <= kLastGlobalAddress; ++i) first = view.next_address(first);

  std::vector<DisassemblyRow> rows;
  const DebugTables& tables = d.program.tables();
  const std::uint32_t pc = d.registers.ReadPC();
  for (const CodeLine& line : view.lines_from(first, count, pc)) {
    DisassemblyRow row;
    row.address = line.address;
    row.bytes = memory_bytes(d.memory, line.address, line.length);
    row.instruction = line.instruction;
    row.defined = line.defined;
    std::uint32_t value = 0;
    if (const char* name = lookup.symbol_by_value(line.address, value); name && value == line.address) row.symbol = name;
    if (tables.function_at(line.address))
      if (const DebugRecord* r = tables.record_covering(line.address); r && r->function && r->function->file) {
        row.file = std::string(r->function->file->name);
        row.line = r->line;
      }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace tav
