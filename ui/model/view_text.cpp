#include "ui/model/view_text.h"

#include "kernel/debugger.h"
#include "run/run_control.h"
#include "ui/model/disasm_view.h"
#include "ui/model/program_lookup.h"
#include "ui/model/monitor_view.h"
#include "ui/model/register_view.h"
#include "ui/model/stack_view.h"
#include "ui/model/variables_view.h"

namespace tav {

std::string location_text(Debugger& d) {
  const std::uint32_t pc = d.registers.ReadPC();
  const DebugTables& tables = d.program.tables();
  if (tables.function_at(pc))
    if (const DebugRecord* r = tables.record_covering(pc); r && r->line) return source_line_text(d, *r) + "\n";
  const ProgramLookup lookup(d.program, &d.events, &d.xgate_code);
  const std::vector<CodeLine> lines = DisasmView(d.memory, d.cpu_regs, &lookup).show(pc, 1, pc);
  return lines.empty() ? std::string() : "=> " + lines.front().text() + "\n";
}

std::string view_text(Debugger& d, View view, bool mark_pc) {
  std::string text;
  switch (view) {
    case kViewDisasm: {
      // From the entry of the PC's function (or the PC) on.
      const std::uint32_t pc = d.registers.ReadPC();
      const ProgramLookup lookup(d.program, &d.events, &d.disasm_xgate_code());
      for (const CodeLine& line : DisasmView(d.memory, d.cpu_regs, &lookup).show(pc, kConsoleDisasmLines, pc))
        text += (mark_pc ? (line.at_pc ? "=> " : "   ") : "") + line.text() + "\n";
      break;
    }
    case kViewRegisters: {
      RegisterPanelState state;
      // A core is active while the processor mode runs it, enabled when it
      // could run (the S12X is switched on; the program has XGATE code).
      if (!d.run.running) d.sync_xgate();
      const int mode = d.xgate_stepper.mode();
      state.s12x = !d.cpu.s12x_enabled ? CoreMode::Disabled
                   : mode & XgateStepper::S12xOnly ? CoreMode::Active
                                                    : CoreMode::Enabled;
      state.xgate = mode & XgateStepper::XgateOnly ? CoreMode::Active
                    : d.xgate.enabled()            ? CoreMode::Enabled
                                                   : CoreMode::Disabled;
      state.cycles[0] = d.cpu.counters.time;
      state.cycles[1] = d.cpu.counters.xtime;
      state.cycles[2] = d.target_commands.command_cycles;
      text = register_panel_text(d.registers, d.memory, state);
      break;
    }
    case kViewStack:
      text = stack_view_text(d);
      break;
    case kViewMonitors:
      text = monitor_view_text(d);
      break;
    case kViewVariables:
      text = variables_view_text(d, d.vars_scope);
      break;
    default:
      break;
  }
  return text;
}

}  // namespace tav
