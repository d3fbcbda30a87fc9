// The kernel console's files and state: the log (h), command input (<),
// output (>), state files (w), program loading (c), clearing (z), macros and
// breakpoint commands (v), the source display switch (p), the end of the
// console (q) and the breakpoint letters handed to the breakpoint list (b).
#include <cstdio>
#include <string>

#include "kconsole/kelm_breaks.h"
#include "run/program_image.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "kconsole/kelm.h"
#include "kconsole/kelm_text.h"
#include "run/run_control.h"
#include "sim/registers.h"
#include "support/messages.h"

namespace tav {

using namespace kelm_text;

namespace {

constexpr std::size_t kMaxInputs = 16;
constexpr std::uint32_t kAddressSpace = 0x1000000;  // the S12X global map: 24 bits
constexpr const char* kSourceDisplay = "C source display /on/off/not avalaible/";

// The message head and one of the parts between its slashes (0 the first).
std::string message_part(std::string_view message, int part) {
  std::size_t start = message.find('/');
  const std::string_view head = message.substr(0, start);
  for (int i = 0; i < part && start != std::string_view::npos; ++i) start = message.find('/', start + 1);
  if (start == std::string_view::npos) return std::string(head);
  const std::size_t end = message.find('/', start + 1);
  return std::string(head) + std::string(message.substr(start + 1, end == std::string_view::npos ? end : end - start - 1));
}

// The registers that "w r" saves: the whole CPU12 register file.
constexpr int kSavedRegisters[] = {REG_A,  REG_B,     REG_CCRW,  REG_X,     REG_Y,     REG_SP,
                                   REG_PC, REG_PPAGE, REG_RPAGE, REG_EPAGE, REG_GPAGE, REG_DIRECT};

// Before a program changes under the debugger: events and the call stack
// refer to the old debug tables.
void forget_program_state(Debugger& d) {
  d.events.rmevent(-1, false);
  d.frames.reset();
  d.execution.invalidate_index();
}

// What the loaders report goes to the console like everything else it shows.
class ConsoleLoadHost : public KernelLoadHost {
 public:
  ConsoleLoadHost(Debugger& d, Kelm& console) : KernelLoadHost(d), console_(console) {}
  void output(std::string_view text) override { console_.print(text); }
  void error(std::string_view text) override {
    console_.print(text);
    if (!text.ends_with('\n')) console_.print("\n");
  }

 private:
  Kelm& console_;
};

}  // namespace

// ------------------------------------------------------------ b

const char* Kelm::cmd_b(const char* p) {
  const int error = d_.low_breaks.command(p, true);
  if (error) return fail(error);
  return p;
}

// ------------------------------------------------------------ c

// c[a] file[, expr[, expr]]: loads a program; "a" as a plain binary image.
const char* Kelm::cmd_c(const char* p) {
  std::string options;
  p = option_letters(p, "a", options);
  if (!p) return fail(msg::unknown_command);
  std::string name;
  p = file_name(p, name);
  if (name.empty()) return fail(msg::syntax_error);
  for (int i = 0; i < 2; ++i) {  // two operands kept for old command files
    p = skip_blanks(p);
    if (*p != ',') break;
    ++p;
    std::uint32_t ignored = 0;
    if (!operand(p, ignored)) return nullptr;
  }
  if (d_.run.running) {
    d_.host.beep();
    return p;
  }
  forget_program_state(d_);
  ConsoleLoadHost host(d_, *this);
  Program& program = d_.program;
  LoadHost* previous = &program.host();
  program.set_host(&host);
  if (program.load_program(host_path(name), !options.empty(), false, d_.kernel.echo_off) == 1) program.build_debug_info();
  program.release_file();
  program.set_host(previous);
  d_.execution.invalidate_index();
  d_.refresh(kViewSource | kViewDisasm | kViewVariables | kViewRegisters | kViewStack | kViewMemory);
  return p;
}

// ------------------------------------------------------------ h

// h file starts the log, h - ends it, h alone names it.
const char* Kelm::cmd_h(const char* p) {
  p = skip_blanks(p);
  if (at_end(p)) {
    print((log_ ? log_name_ : std::string("-")) + "\n");
    return p;
  }
  if (*p == '-' && at_end(p + 1)) {
    log_.reset();
    log_name_.clear();
    return p + 1;
  }
  std::string name;
  p = file_name(p, name);
  if (log_) return fail(msg::log_file_already_opened);
  log_.reset(std::fopen(host_path(name).c_str(), "w+"));
  if (!log_) return fail(msg::cannot_create_file);
  log_name_ = name;
  return p;
}

// ------------------------------------------------------------ < and >

const char* Kelm::cmd_input(const char* p) {
  if (at_end(p)) {
    inputs_.clear();  // back to the console
    return skip_blanks(p);
  }
  std::string name;
  p = file_name(p, name);
  if (inputs_.size() >= kMaxInputs) return fail(msg::cannot_redirect);
  FilePtr f(std::fopen(host_path(name).c_str(), "r"));
  if (!f) return fail(msg::cannot_redirect);
  inputs_.push_back(std::move(f));
  return p;
}

const char* Kelm::cmd_output(const char* p) {
  if (at_end(p)) {
    redirect_.reset();
    return skip_blanks(p);
  }
  std::string name;
  p = file_name(p, name);
  FilePtr f(std::fopen(host_path(name).c_str(), "a+"));
  if (!f) return fail(msg::cannot_redirect);
  redirect_ = std::move(f);
  return p;
}

const char* Kelm::cmd_comment(const char* p) {
  while (*p && *p != '\n') ++p;
  return p;
}

const char* Kelm::cmd_nothing(const char* p) { return p; }

// ------------------------------------------------------------ p and q

const char* Kelm::cmd_p(const char* p) {
  std::string none;
  p = option_letters(p, "", none);
  if (!p) return fail(msg::unknown_command);
  int part;
  if (d_.program.tables().empty()) {
    source_display_ = false;
    part = 2;
  } else {
    source_display_ = !source_display_;
    part = source_display_ ? 0 : 1;
  }
  print(message_part(kSourceDisplay, part) + "\n");
  return p;
}

// q asks first; quit does not.
const char* Kelm::cmd_q(const char* p) {
  if (keyword(p - 1, "quit")) {
    flow_ = Flow::Quit;
    return p + 3;
  }
  std::string none;
  p = option_letters(p, "", none);
  if (!p) return fail(msg::unknown_command);
  std::string answer;
  if (!read_line("are you sure ?", answer, 80)) return p;
  const char c = *skip_blanks(answer.c_str());
  if (c == 'y' || c == 'Y' || c == 'o' || c == 'O') flow_ = Flow::Quit;
  return p;
}

// ------------------------------------------------------------ v

// vb n {cmds} attaches commands to a breakpoint; vf name {body} defines a
// macro, an empty body deletes it.
const char* Kelm::cmd_v(const char* p) {
  const char kind = *p;
  if ((kind != 'b' && kind != 'f') || letter(p[1])) return fail(msg::unknown_command);
  p = skip_blanks(p + 1);
  std::uint32_t number = 0;
  const char* name = p;
  const char* name_stop = p;
  if (kind == 'b') {
    if (!operand(p, number)) return nullptr;
  } else {
    name_stop = name_end(p);
    if (name_stop == p) return fail(msg::syntax_error);
    p = name_stop;
  }
  p = skip_blanks(p);
  if (*p != '{') return fail(msg::syntax_error);
  const char* close = matching_brace(p);
  if (!close) return fail(msg::syntax_error);
  if (kind == 'b') {
    if (!d_.low_breaks.attach(static_cast<int>(number), std::string(p, close + 1)))
      return fail(msg::breakpoint_not_found);
  } else {
    define_macro(std::string_view(name, static_cast<std::size_t>(name_stop - name)), std::string(p + 1, close));
  }
  return close + 1;
}

// ------------------------------------------------------------ w

// w[m|r|s|f|b] file ...: "m" writes memory to a binary file; the others write
// a command file that "<" reads back (all of them when no option is given).
const char* Kelm::cmd_w(const char* p) {
  std::string options;
  p = option_letters(p, "mrsfb", options);
  if (!p) return fail(msg::unknown_command);
  std::string name;
  p = file_name(p, name);
  if (name.empty()) return fail(msg::cannot_create_file);
  if (options.find('m') != std::string::npos) {
    p = skip_blanks(p);
    if (*p == ',') ++p;
    std::uint32_t address = 0, n = 0;
    if (!operand(p, address)) return nullptr;
    p = skip_blanks(p);
    if (*p != ',') return fail(msg::syntax_error);
    p = skip_blanks(p + 1);
    const bool counted = *p == '#';
    if (counted) ++p;
    if (!operand(p, n)) return nullptr;
    const std::uint32_t count = counted ? n : n > address ? n - address : 0;
    if (count > kAddressSpace) return fail(msg::incorrect_argument);
    SafeWriter out(host_path(name), true);
    if (!out.file()) return fail(msg::cannot_create_file);
    std::uint8_t chunk[4096];
    for (std::uint32_t done = 0; done < count;) {
      const std::uint32_t n_chunk = count - done < sizeof chunk ? count - done : sizeof chunk;
      for (std::uint32_t i = 0; i < n_chunk; ++i) chunk[i] = d_.memory.ReadByte(address + done + i);
      std::fwrite(chunk, 1, n_chunk, out.file());
      done += n_chunk;
    }
    if (std::string error; !out.commit(error)) print("write error: " + name + ": " + error + "\n");
    return p;
  }
  SafeWriter out(host_path(name));
  if (!out.file()) return fail(msg::cannot_create_file);
  write_state(out.file(), options.empty() ? "rsfb" : options);
  if (std::string error; !out.commit(error)) print("write error: " + name + ": " + error + "\n");
  return p;
}

void Kelm::write_state(std::FILE* f, const std::string& parts) {
  auto has = [&](char c) { return parts.find(c) != std::string::npos; };
  if (has('r')) {
    int n = 0;
    for (int code : kSavedRegisters) {
      std::fprintf(f, "$%s = 0x%xl; ", kRegisterTable[code / 32].name, d_.registers.ReadRegister(code));
      if (++n % 4 == 0) std::fputc('\n', f);
    }
    if (n % 4) std::fputc('\n', f);
  }
  if (has('s')) {
    int n = 0;
    for (const auto& s : d_.program.symbols().by_value()) {
      // "%- 16s = 0x%+0*xl; " as the C library spells it without the flags it ignores here.
      std::fprintf(f, "%-16s = 0x%0*xl; ", s->name.c_str(), 8, s->value());
      if (++n % 2 == 0) std::fputc('\n', f);
    }
    if (n % 2) std::fputc('\n', f);
  }
  if (has('f'))
    for (const Macro& m : macros_) std::fprintf(f, "vf %s {\n%s\n}\n", m.name.c_str(), m.body.c_str());
  if (has('b')) std::fputs(d_.low_breaks.state_text().c_str(), f);
}

// ------------------------------------------------------------ z

// z[m][s][r][b][f]: clears the program, symbols, registers, breakpoints and
// macros (all of them without an option).
const char* Kelm::cmd_z(const char* p) {
  std::string options;
  p = option_letters(p, "msrbf", options);
  if (!p) return fail(msg::unknown_command);
  if (!at_end(p)) return fail(msg::syntax_error);  // nothing is cleared on a typing error
  if (options.empty()) options = "msrbf";
  auto has = [&](char c) { return options.find(c) != std::string::npos; };
  if ((has('m') || has('r')) && d_.run.running) {
    d_.host.beep();
    return p;
  }
  if (has('m')) {
    forget_program_state(d_);
    d_.program.unload();
  }
  if (has('s')) d_.program.symbols().clear_program_symbols();
  if (has('r')) {
    d_.registers.reset();
    d_.cpu.reset_state();
    d_.frames.reset();
  }
  if (has('b')) d_.low_breaks.clear();
  if (has('f')) {
    macros_.clear();
    panel_flag_ = timing_flag_ = false;
  }
  d_.refresh(kViewSource | kViewDisasm | kViewVariables | kViewRegisters | kViewStack | kViewMemory);
  return p;
}

}  // namespace tav
