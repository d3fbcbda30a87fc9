#include "run/program_image.h"

#include "image/program.h"
#include "kernel/config.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "kernel/options.h"
#include "run/run_control.h"
#include "support/fmt.h"
#include "support/messages.h"

namespace tav {

namespace {

bool name_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$' || c == '.'; }
bool name_char(char c) { return name_start(c) || (c >= '0' && c <= '9'); }

std::string address_text(std::uint32_t address) { return fmtstr("0x%hl", address); }

bool listed(const FileEntry& file, const FunctionBlock* f) {
  return !file.is_file_level(f) && f->start && !f->name.empty() && f->name[0] != '.';
}

// activ and deact: a list of function names separated by ",", or "*".
const char* mark_functions(Debugger& d, Program& program, const char* args, bool on) {
  const DebugTables& tables = program.tables();
  const char* p = skipblanks(args);
  if (*p == '\0' || *p == ';') {
    errout(d, {"Missing function for activate \n"});
    return p;
  }
  auto in_stack = [&](const FunctionBlock& f) {
    return !on && program.hooks().in_call_stack && program.hooks().in_call_stack(f);
  };
  bool changed = false;
  for (;;) {
    p = skipblanks(p);
    if (*p == '*') {
      ++p;
      for (const FileEntry* file : tables.files())
        for (FunctionBlock* f : file->functions) {
          if (!listed(*file, f) || f->active == on) continue;
          if (in_stack(*f)) {
            errout(d, {msgtext(msg::function_in_stack_frame), ": ", f->name, "\n"});
            continue;
          }
          f->active = on;
          changed = true;
        }
    } else if (name_start(*p)) {
      const char* start = p;
      while (name_char(*p)) ++p;
      const std::string_view name(start, static_cast<std::size_t>(p - start));
      FunctionBlock* f = tables.find_function(name);
      if (!f) {
        errout(d, {msgtext(msg::function_not_found), ": ", name, "\n"});
      } else if (in_stack(*f)) {
        errout(d, {msgtext(msg::function_in_stack_frame), ": ", name, "\n"});
      } else {
        f->active = on;
        changed = true;
      }
    } else {
      errout(d, {msgtext(msg::incorrect_argument), ": ", p, "\n"});
      return endof(p);
    }
    p = skipblanks(p);
    if (*p != ',') break;
    ++p;
  }
  if (changed) d.refresh(kViewSource | kViewVariables);
  return p;
}

// A new program replaces the old one's events and call stack; once it is
// loaded, execution control runs it from the entry point to its first C line.
void prepare_program_load(Debugger& d) {
  d.events.rmevent(-1, false);
  d.frames.reset();
  d.execution.invalidate_index();
  ProgramHooks& hooks = d.program.hooks();
  hooks.reset_call_stack = [&d] { d.frames.reset(); };
  hooks.load_notify = [&d](std::string_view path, int phase) {
    ExtensionNotices::call(d.notices.load, std::string(path).c_str(), static_cast<std::uint32_t>(phase));
  };
  hooks.run_to_first_line = [&d](std::uint32_t, std::uint32_t* line) {
    return d.execution.run_to_first_line(line);
  };
  hooks.in_call_stack = [&d](const FunctionBlock& f) { return d.frames.in_stack(&f); };
}

}  // namespace

std::string_view function_mark(const FunctionBlock& f) {
  if (!f.active) return " (off)  ";
  return f.exec_mark ? " (act)  " : " (on)   ";
}

KernelLoadHost::~KernelLoadHost() {
  if (gauge_open_) d_.host.gauge_end();
}

void KernelLoadHost::output(std::string_view text) { putout(d_, text); }

void KernelLoadHost::error(std::string_view text) {
  // Error lines inside command files need their own line end.
  if (text.ends_with('\n'))
    errout(d_, {text});
  else
    errout(d_, {text, "\n"});
}

void KernelLoadHost::status(std::string_view text) { d_.host.status(StatusField::Left, text); }

void KernelLoadHost::progress(std::string_view title, std::uint32_t count) {
  if (gauge_open_) d_.host.gauge_end();
  d_.host.gauge_begin(title, count);
  gauge_open_ = true;
}

void KernelLoadHost::step() {
  if (gauge_open_) d_.host.gauge_step(1);
}

bool KernelLoadHost::stop_requested() {
  // The host notices a stop key while it processes its pending events; do
  // that now and then, not for every record.
  if ((polls_++ & 0xFF) == 0 && d_.host.pump_events()) d_.kernel.close_requested = true;
  return d_.run.stop_requested();
}

bool KernelLoadHost::no_duplicate_files() {
  const std::string v = config_read(d_, "Options", "NODUPFILES", "");
  return !v.empty() && (v[0] == 'y' || v[0] == 'Y');
}

void KernelLoadHost::refresh_views() {
  d_.refresh(kViewSource | kViewDisasm | kViewVariables | kViewRegisters | kViewStack | kViewMemory | kViewMonitors);
}

const char* image_load(Debugger& d, Program& program, const char* args, int) {
  if (d.run.running) {
    d.host.beep();
    return endof(args);
  }
  OptionSpec spec;
  // s stay, o: entry; the address form of S-record/Hex images: b banked,
  // g global, l local (default: detected); e erased flash.
  spec.letters = "so:bgle";
  spec.path_args = true;
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  std::string name;
  const char* end = file_word(rest, name);
  LoadOptions load;
  load.stay = options.has('s');
  load.has_entry = options.has('o');
  load.entry = std::string(options.value('o'));
  if (const char form = options.last_of("bgl")) load.address_form = static_cast<AddressForm>(form);
  load.erased_flash = options.has('e');
  load.quiet = d.kernel.echo_off;
  load.symbols_only = program.load_symbols_only();
  KernelLoadHost host(d);
  LoadHost* previous = &program.host();
  program.set_host(&host);
  if (&program == &d.program) prepare_program_load(d);
  program.load(host_path(name), load);
  program.set_host(previous);
#ifndef TAV_CMD_IMAGE_CORE_ONLY
  // Execution that begins inside a function (an entry point there, or a stay
  // at one) has that function's frame from the start.
  if (&program == &d.program) d.execution.adopt_running_function();
#endif
  return end;
}

const char* image_files(Debugger& d, Program& program, const char* args, int) {
  for (const FileEntry* f : program.tables().files())
    if (!(f->flags & kFileDuplicate)) putstrs(d, {"          ", f->name, "\n"});
  return args;
}

const char* image_funcs(Debugger& d, Program& program, const char* args, int) {
  OptionSpec spec;
  spec.letters = "nv";
  OptionSet options;
  const char* rest = parse_options(d, args, spec, options);
  if (!rest) return endof(args);
  const bool verbose = options.last_of("nv") == 'v';
  std::string name;
  const char* end = file_word(rest, name);
  const DebugTables& tables = program.tables();
  std::vector<const FileEntry*> files;
  for (const FileEntry* f : tables.files()) {
    if (name.empty() ? !(f->flags & kFileDuplicate) : f->name == name) files.push_back(f);
  }
  if (!name.empty() && files.empty()) {
    errout(d, {msgtext(msg::incorrect_argument), ": ", name, "\n"});
    return end;
  }
  for (const FileEntry* file : files) {
    putstrs(d, {msgtext(msg::functions_in_file), ": ", file->name, "\n"});
    for (const FunctionBlock* f : file->functions) {
      if (!listed(*file, f)) continue;
      putout(d, function_mark(*f));
      if (verbose)
        putstrs(d, {f->description, f->name, "(", f->args_text, ")"});
      else
        putstrs(d, {f->name, "()"});
      putstrs(d, {" at ", address_text(f->start->value), "\n"});
    }
    putout(d, "\n");
  }
  return end;
}

const char* image_activ(Debugger& d, Program& program, const char* args, int) {
  return mark_functions(d, program, args, true);
}

const char* image_deact(Debugger& d, Program& program, const char* args, int) {
  return mark_functions(d, program, args, false);
}


}  // namespace tav
