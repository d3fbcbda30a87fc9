// The run commands ("g"/"go", "s"/"step", "si"/"istep", "so"/"ostep",
// "finish", "tgo", "tigo", "start"), "zero", "reset" and "perf".
#include <cstring>

#include "events/event_table.h"
#include "expr/access.h"
#include "expr/xexpr.h"
#include "image/program.h"
#include "kernel/debugger.h"
#include "commands/handlers.h"
#include "kernel/view_state.h"
#include "kernel/options.h"
#include "run/run_control.h"
#include "support/fmt.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

enum class RunKind { Go, Step, IStep, OStep, Finish, TGo, TIGo };

bool ends_argument(char c) { return c == '\0' || c == ';' || c == '}' || blankchar(c); }

// A number standing alone: the count of units.
bool count_argument(const char* p, std::uint32_t& count, const char*& end) {
  const int used = numscan32(p, -1, &count, 1);
  if (used <= 0 || !ends_argument(p[used]) || !(p[0] >= '0' && p[0] <= '9')) return false;
  end = p + used;
  return true;
}

// A count written with a minus sign, or one too large for a 32-bit number
// (which would wrap round to a small one): refused, not run.
bool count_out_of_range(const char* p) {
  if (*p == '-') ++p;
  else {
    std::uint64_t n = 0;
    const char* q = p;
    while (*q >= '0' && *q <= '9' && n <= 0xFFFFFFFFu) n = n * 10 + static_cast<unsigned>(*q++ - '0');
    return q > p && n > 0x7FFFFFFF && (ends_argument(*q) || (*q >= '0' && *q <= '9'));
  }
  const char* q = p;
  while (*q >= '0' && *q <= '9') ++q;
  return q > p && ends_argument(*q);
}

// A position, function or code address to run to: an internal event there.
// False after an error (reported), with the target unchanged.
bool run_to_argument(Debugger& d, const char* p, const char*& end) {
  EventTable& events = d.events;
  const std::uint32_t errors = events.error_count();
  const EventSpec spec = parse_event_spec(p);
  CodeEventOptions options;
  if (spec.form != EventSpec::Expression) {
    end = events.code_events(p, options, false, 0);
    return events.error_count() == errors;
  }
  const char* cursor = p;
  int status = 0;
  const Value v = d.evaluator.xexpr(cursor, status, 1);
  if (status) {
    errout(d, {expr_error_text(status, d.evaluator.error_detail()), "\n"});
    return false;
  }
  end = cursor;
  if (names_function(v)) {
    events.code_events(p, options, false, 0);
    return events.error_count() == errors;
  }
  if (!is_integral(v) && !is_pointer(v)) {
    errout(d, {msgtext(msg::illegal_type), "\n"});
    return false;
  }
  // Pointers hold local addresses; events compare global ones.
  const std::uint32_t address = is_pointer(v) ? pointer_target(d.expr_env, v) : static_cast<std::uint32_t>(as_int(v));
  if (address > 0xFFFFFF) {  // beyond the global address space: the run could never get there
    errout(d, {msgtext(msg::no_code_at_location), ": ", fmtstr("0x%hl", address), "\n"});
    return false;
  }
  const std::string at = "@" + fmtstr("0x%hl", address);
  events.code_events(at.c_str(), options, false, 0);
  return events.error_count() == errors;
}

const char* run_command(Debugger& d, const char* args, int, RunKind kind) {
  RunControl& control = d.execution;
  if (d.run.running && !(kind == RunKind::Go && control.take_thread_start())) {
    d.host.beep();
    return endof(args);
  }
  const DebugTables& tables = d.program.tables();
  const bool lines = !tables.empty();
  const bool in_function = tables.function_at(d.registers.ReadPC()) != nullptr;
  RunRequest r;
  switch (kind) {
    case RunKind::Go: r.go = r.go_type = true; break;
    case RunKind::TGo: r.go = r.go_type = r.trace = true; break;
    case RunKind::TIGo: r.go = r.go_type = r.trace = r.itrace = true; break;
    case RunKind::Step: r.instruction = !lines; break;
    case RunKind::IStep: r.instruction = true; break;
    case RunKind::OStep:
      r.instruction = !lines;
      r.step_over = in_function;
      break;
    case RunKind::Finish:
      r.instruction = !lines;
      r.step_over = in_function;
      r.depth = in_function ? 1 : 0;
      break;
  }
  r.count = r.go ? RunControl::kNoLimit : 1;

  const char* p = skipblanks(args);
  const char* rest = p;
  if (!ends_argument(*p)) {
    std::uint32_t count = 0;
    if (count_out_of_range(p)) {
      std::size_t length = 0;
      while (!ends_argument(p[length])) ++length;
      errout(d, {"Illegal count: ", std::string_view(p, length), "\n"});
      return endof(args);
    }
    if (count_argument(p, count, rest)) {
      r.count = static_cast<std::int32_t>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count);
      r.go = false;
      // Without line information a unit is one instruction: a source line
      // would never be reached.
      if (!lines) r.instruction = true;
    } else {
      if (!run_to_argument(d, p, rest)) return endof(args);
      r.go = true;
      r.count = RunControl::kNoLimit;
    }
  }
  control.drive(r);
  return rest;
}

// The functions a perf report covers: one file, one function, or all.
struct PerfSelection {
  const FileEntry* file = nullptr;
  const FunctionBlock* function = nullptr;
  bool error = false;
};

PerfSelection perf_selection(Debugger& d, const char*& p) {
  PerfSelection s;
  const DebugTables& tables = d.program.tables();
  if (ends_argument(*p)) return s;
  const EventSpec spec = parse_event_spec(p);
  std::string name;
  bool is_function = false;
  const char* end = p;
  if (spec.form == EventSpec::Position && spec.has_function) {
    name = spec.function;
    is_function = true;
    end = spec.end;
  } else if (spec.form == EventSpec::Position && spec.has_file) {
    name = spec.file;
    end = spec.end;
  } else {
    while (!ends_argument(*end) && *end != ',') ++end;
    name.assign(p, end);
  }
  p = end;
  if (!is_function) s.file = tables.find_file(name);
  if (!s.file) s.function = tables.find_function(name);
  if (!s.file && !s.function) {
    errout(d, {msgtext(is_function ? msg::function_not_found : msg::file_not_found), ": ", name, "\n"});
    s.error = true;
  }
  return s;
}

std::uint32_t calls_of(const FunctionBlock& f) { return f.start ? f.start->hits : 0; }

std::string right(const std::string& text, int width) {
  return text.size() < static_cast<std::size_t>(width) ? std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text
                                                       : text;
}

}  // namespace

const char* cmd_go(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::Go); }
const char* cmd_step(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::Step); }
const char* cmd_istep(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::IStep); }
const char* cmd_ostep(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::OStep); }
const char* cmd_finish(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::Finish); }
const char* cmd_tgo(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::TGo); }
const char* cmd_tigo(Debugger& d, const char* args, int mode) { return run_command(d, args, mode, RunKind::TIGo); }

const char* cmd_start(Debugger& d, const char* args, int) {
  d.execution.StartTargetCode();
  return args;
}

const char* cmd_zero(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "emr";
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  if (d.run.running) {
    d.host.beep();
    return endof(args);
  }
  d.program.tables().clear_profile();
  if (options.has('m') && d.monitors) d.monitors->clear();
  if (options.has('e')) d.events.rmevent(-1, false);
  if (options.has('r')) d.execution.reset_cpu();
  d.execution.reset_state();
  d.refresh(kViewSource | kViewDisasm | kViewRegisters | kViewStack | kViewVariables | kViewMemory);
  if (d.on_reset) d.on_reset();
  ExtensionNotices::call(d.notices.reset, 0);
  return rest;
}

const char* cmd_reset(Debugger& d, const char* args, int mode) {
  static const char kReset[] = "/r";
  cmd_zero(d, kReset, mode);
  return args;
}

const char* cmd_perf(Debugger& d, const char* args, int) {
  OptionSpec spec;
  spec.letters = "z";
  OptionSet options;
  const char* p = parse_options(d, args, spec, options);
  if (!p) return endof(args);
  const bool zero = options.has('z');
  const DebugTables& tables = d.program.tables();
  if (zero && ends_argument(*p)) {
    for (const FileEntry* file : tables.files())
      for (const FunctionBlock* f : file->functions)
        if (f->start) f->start->hits = 0;
    return p;
  }
  const PerfSelection selection = perf_selection(d, p);
  if (selection.error) return endof(args);
  auto selected = [&](const FileEntry* file, const FunctionBlock* f) {
    if (selection.function) return f == selection.function;
    return !selection.file || file == selection.file;
  };

  std::uint64_t total = 0;
  for (const FileEntry* file : tables.files())
    for (const FunctionBlock* f : file->functions) {
      if (file->is_file_level(f)) continue;
      total += calls_of(*f);
      if (zero && f->start && selected(file, f)) f->start->hits = 0;
    }
  const std::string total_text = std::to_string(total);
  const int width = static_cast<int>(total_text.size());
  for (const FileEntry* file : tables.files()) {
    bool header = false;
    for (const FunctionBlock* f : file->functions) {
      if (file->is_file_level(f) || !selected(file, f)) continue;
      if (!header) {
        putstrs(d, {msgtext(msg::functions_in_file), ": ", file->name, "\n"});
        header = true;
      }
      const std::uint32_t calls = calls_of(*f);
      std::string line = "    " + std::string(f->name) + "() " + right(std::to_string(calls), width);
      if (total) {
        const std::uint64_t hundredths = std::uint64_t{calls} * 10000u / total;
        const std::string decimals = std::to_string(100 + hundredths % 100).substr(1);
        line += " / " + right(total_text, width) + " " + msgtext(msg::calls) + " = " +
                right(std::to_string(hundredths / 100), 3) + "." + decimals + "%\n";
      } else {
        line += " " + msgtext(msg::calls) + "\n";
      }
      putout(d, line);
    }
    if (selection.file && !header && file == selection.file)
      putstrs(d, {msgtext(msg::functions_in_file), ": ", file->name, "\n"});
  }
  return p;
}

}  // namespace tav
