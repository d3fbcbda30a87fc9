#include "kernel/debugger.h"

#include "disasm/xgate_disasm.h"
#include "kernel/config.h"

namespace tav {

Debugger::Debugger(Host& h, const DebuggerParts& parts)
    : host(h),
      config_file(config_file_path()),
      execution(parts.execution),
      low_breaks(parts.low_breaks),
      kelm(parts.kelm),
      commands(parts.commands) {
  // The XGATE: its disassembly, the CPU12 interrupt its sif raises, its
  // cycle counter `.xtime`, and its code as the debug tables mark it.
  xgate.set_text_formatter(xgate_disasm_word);
  xgate.set_interrupt_raiser([this](std::uint32_t vector) { cpu.RaiseInterrupt(vector); });
  xgate.bind_xtime(&cpu.counters.xtime);
  xgate_stepper.set_code_query(XgateCodeMap::query, &xgate_code);
  // The simulator's counters are kernel variables: reading `.time` reads the
  // cycle counter, and defining `.btime` sets the break time.
  SymbolTable& symbols = program.symbols();
  symbols.bind_kernel_variable(".time", &cpu.counters.time);
  symbols.bind_kernel_variable(".nbins", &cpu.counters.nbins);
  symbols.bind_kernel_variable(".xtime", &cpu.counters.xtime);
  symbols.bind_kernel_variable(".btime", &cpu.counters.btime);
  symbols.bind_kernel_variable(".merr", &cpu.counters.merr);
}

Debugger::~Debugger() = default;

// A command that writes a whole range into a full store would repeat the
// same complaint for every block: it is told once per command.
void Debugger::refresh(unsigned views) {
  host.refresh_views(views);
  notices.views_refreshed(views);
}

void Debugger::report_error(std::string_view text) {
  if (store_error_shown) return;
  store_error_shown = true;
  errout(*this, {text});
}

const XgateCodeMap& Debugger::disasm_xgate_code() {
  if (!run.running) xgate_code.update(program.tables());
  xgate_code.set_xgate_everywhere(xgate_only());
  return xgate_code;
}

void Debugger::sync_xgate() {
  const DebugTables& tables = program.tables();
  xgate.set_enabled(tables.has_coprocessor_code());
  xgate_code.update(tables);
  if (const ProgramSymbol* proc = program.symbols().rensym(".proc")) xgate_stepper.define_proc(proc->value());
  const bool takes_part = xgate_stepper.mode() != XgateStepper::S12xOnly || xgate.enabled();
  cpu.set_xgate(takes_part ? &xgate_stepper : nullptr);
}

}  // namespace tav
