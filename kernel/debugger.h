// The one object that owns a debugger's whole state and wires its subsystems
// together. Command handlers receive it; tests make as many as they like.
#pragma once
#include <functional>
#include <string>

#include "events/event_table.h"
#include "expr/expr_env.h"
#include "expr/frames.h"
#include "expr/putresult.h"
#include "expr/xexpr.h"
#include "image/program.h"
#include "kernel/channels.h"
#include "kernel/cmdtab.h"
#include "kernel/ext_notices.h"
#include "kernel/extcmd.h"
#include "kernel/host.h"
#include "kernel/interp.h"
#include "kernel/kernel_event_host.h"
#include "kernel/output.h"
#include "kernel/target_state.h"
#include "kernel/view_state.h"
#include "kernel/xgate_code_map.h"
#include "sim/cpu.h"
#include "sim/cpu_regs.h"
#include "sim/memory.h"
#include "sim/registers.h"
#include "sim/run_state.h"
#include "sim/xgate.h"
#include "sim/xgate_lib_loader.h"
#include "sim/xgate_stepper.h"

namespace tav {

class Kelm;
class LowBreaks;
class RunControl;

// The parts of a debugger that live above the kernel: execution control, the
// kernel console and the command table. The object that assembles a complete
// debugger owns them (StandardDebugger in commands/); the kernel only reaches
// them through these references, so it needs none of their code.
struct DebuggerParts {
  RunControl& execution;
  LowBreaks& low_breaks;
  Kelm& kelm;
  const CmdEntry* commands;  // ended by an entry with no name
};

// The debugger is where target memory reports its errors ("memory file
// overflow"): they go to the kernel's error output.
class Debugger : public ErrorReporter {
 protected:
  // The parts may still be under construction: they are only bound here.
  Debugger(Host& host, const DebuggerParts& parts);

 public:
  virtual ~Debugger();
  Debugger(const Debugger&) = delete;
  Debugger& operator=(const Debugger&) = delete;

  // True while no program with C source lines is loaded: commands that need
  // debug information are refused then.
  virtual bool line_table_empty() const { return program.tables().empty(); }

  Host& host;
  RunState run;                    // stop request and running flag
  bool store_error_shown = false;  // target memory reported an error during this command
  KernelState kernel;              // interpreter flags and counters
  OutputState output;              // record, redirect and capture
  ExtCommandRegistry ext_commands;  // command words of extensions
  ExtensionNotices notices;         // what extensions are told of (load, reset, status, ...)
  ExtensionControl* extensions = nullptr;  // the extension loader, when the host has one
  std::string source_path;         // directories separated by "|"; empty: current directory
  std::string config_file;         // the configuration file ZUZU12Z.INI

  // The simulated target: the CPU12 register file, memory and the register-code view of both.
  CpuRegs cpu_regs;
  Memory memory{cpu_regs, *this};
  Registers registers{cpu_regs, memory};
  TargetCommandState target_commands;  // what the memory and register commands keep between uses

  // The loaded program, the CPU12 core, the call stack the debugger follows
  // and the expressions over all of them.
  Program program{memory};
  Cpu cpu{cpu_regs, memory};
  // The XGATE beside the CPU12 (its state lives in target memory), the
  // processor mode and cycle budget that interleave the two, the XGATE code
  // of the loaded program, and the support library whose XGateToGlobal maps
  // XGATE addresses (bound by the host at start-up; the built-in map until
  // then, which is what a debugger made without a host library uses).
  Xgate xgate{memory, registers};
  XgateStepper xgate_stepper{xgate};
  XgateCodeMap xgate_code;
  XgateLibrary xgate_library;
  FrameStacks frames{memory, registers};
  ExprEnv expr_env{memory, registers, program.symbols(), program.tables(), &frames, true, {}};
  ExprEvaluator evaluator{expr_env};

  // Breakpoints and watchpoints, and execution control.
  KernelEventHost event_host{*this};
  EventTable events{event_host, memory, registers, program.tables(), frames, evaluator};
  RunControl& execution;
  LowBreaks& low_breaks;  // the kernel console's low-level breakpoints
  Kelm& kelm;             // the kernel console
  const CmdEntry* const commands;

  // How values print (the console shows aggregates as text) and the printer
  // that the evaluation, monitor and variable commands share.
  FormatSettings format_settings;
  ValueFormatter formatter{expr_env, format_settings};

  // The monitors, the variable browser's scope and the I/O channels.
  Monitors monitor_list;
  VariablesScope vars_scope;
  Channels channels;

  // The monitors as the event and session commands see them.
  MonitorList* monitors = &monitor_list;
  // Told at the end of "zero" (the extensions' reset notification).
  std::function<void()> on_reset;

  void report_error(std::string_view text) override;
  // Redraws views (host.h View bits) and tells extensions the update kinds they stand for.
  void refresh(unsigned views);

  // Brings the XGATE up to date: enabled while the loaded program has an
  // XGATE unit, its code ranges, the processor mode from the kernel variable
  // `.proc` once that is defined; the CPU12 decoder consults the XGATE only
  // while it can take part (mode 2 or 3, or XGATE code loaded). Run commands
  // and the register display call it.
  void sync_xgate();
  // Processor mode 2: the register display shows the XGATE's registers. A
  // defined `.proc` counts at once, before a run command applies it.
  // The XGATE code map as disassembly sees it (processor mode included).
  const XgateCodeMap& disasm_xgate_code();
  bool xgate_only() const {
    const ProgramSymbol* proc = program.symbols().rensym(".proc");
    const int mode = proc ? static_cast<int>(proc->value() & 3) : xgate_stepper.mode();
    return mode == XgateStepper::XgateOnly;
  }
};

}  // namespace tav
