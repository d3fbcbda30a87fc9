// The kernel console: a terse language of one-letter commands and macros
// below the user command language. It works on raw addresses, bytes and
// symbols. Three things run it: the interactive console (prompt "-> "),
// command strings the kernel runs itself (the commands attached to low-level
// breakpoints), and the command files that its "w" command writes and its "<"
// command reads back.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "expr/cmd_expr.h"
#include "kernel/output.h"
#include "support/fmt.h"

namespace tav {

class Debugger;

class Kelm : public OperandInput, public MacroArguments {
 public:
  explicit Kelm(Debugger& d);
  ~Kelm() override;
  Kelm(const Kelm&) = delete;
  Kelm& operator=(const Kelm&) = delete;

  // Runs the commands of `text`; with `execute` 0 they are only scanned.
  // Without a text: the interactive console, until "q"/"quit" or the end of
  // its input.
  void kelm_exec(const char* text, int execute);

  // Console output: the console itself, or the ">" file instead; a copy goes
  // to the "h" log.
  void print(std::string_view text);
  template <class... A>
  void printf(std::string_view format, const A&... args) {
    print(fmtstr(format, args...));
  }

  bool in_session() const { return session_; }
  std::uint32_t current_address() const { return address_; }
  bool source_display() const { return source_display_; }
  // Switched on while the macros ".panel" and ".ftime" exist.
  bool panel_flag() const { return panel_flag_; }
  bool timing_flag() const { return timing_flag_; }

  // The "?" operand reads a line from the console's current input.
  bool read_line(std::string& line) override;
  // "\0".."\9": the running macro's argument count and arguments.
  bool argument(int number, std::uint32_t& value) override;

 private:
  enum class Flow { Normal, Return, Abort, Quit };
  struct Macro {
    std::string name;
    std::string body;  // lines separated by "\n"
  };
  struct Frame {
    int count = 0;
    std::uint32_t args[9] = {};
  };
  using Handler = const char* (Kelm::*)(const char* p);
  struct Letter {
    char letter;
    Handler handler;
  };
  static const Letter kLetters[];

  // kelm.cpp: input, the statement layer and the dispatcher.
  void console();
  bool read_line(std::string_view prompt, std::string& line, std::size_t max);
  bool read_command(std::string& line);
  void run_string(const char* text, bool execute);
  void drain_files(std::size_t depth);
  const char* sequence(const char* p, bool execute);
  const char* command(const char* p, bool execute);
  const char* if_statement(const char* p, bool execute);
  const char* while_statement(const char* p, bool execute);
  const char* shift_statement(const char* p, bool execute);
  const char* macro_call(const Macro& macro, const char* p, bool execute);
  const char* letter_command(const char* p);
  bool push_control();
  void pop_control() { --control_depth_; }
  const char* fail(int message);
  // One operand expression; false (and the error reported) when it fails.
  bool operand(const char*& p, std::uint32_t& value, bool execute = true);
  CmdExprEnv expr_env();
  Macro* find_macro(std::string_view name);
  void define_macro(std::string_view name, std::string body);
  bool stopped();

  // kelm_memory.cpp: d, e, a, m, ms, r and $.
  const char* cmd_d(const char* p);
  const char* cmd_e(const char* p);
  const char* cmd_a(const char* p);
  const char* cmd_m(const char* p);
  const char* cmd_ms(const char* p);
  const char* cmd_r(const char* p);
  const char* cmd_register(const char* p);
  void dump(std::uint32_t address, std::uint32_t count, char size);
  void disassemble(std::uint32_t address, std::uint32_t count, std::uint32_t end);
  void show_source_lines(std::uint32_t address);

  // kelm_symbols.cpp: name = expr, x, l, k and the formatted print.
  const char* assign(const char* name, const char* name_end, const char* p, bool execute);
  const char* cmd_x(const char* p);
  const char* cmd_l(const char* p);
  const char* cmd_k(const char* p);
  const char* cmd_quote(const char* p);
  std::string value_text(std::uint32_t value, char base) const;

  // kelm_files.cpp: h, <, >, w, c, z, v, p, q, b and the trivial letters.
  const char* cmd_b(const char* p);
  const char* cmd_c(const char* p);
  const char* cmd_h(const char* p);
  const char* cmd_p(const char* p);
  const char* cmd_q(const char* p);
  const char* cmd_v(const char* p);
  const char* cmd_w(const char* p);
  const char* cmd_z(const char* p);
  const char* cmd_input(const char* p);
  const char* cmd_output(const char* p);
  const char* cmd_comment(const char* p);
  const char* cmd_nothing(const char* p);
  void write_state(std::FILE* f, const std::string& parts);

  Debugger& d_;

  // The console cursor.
  std::uint32_t address_ = 0;  // last address used by d, e, a, m (24 bits)
  char dump_size_ = 'b';
  char modify_size_ = 'b';
  std::uint32_t dump_count_ = 128;
  std::uint32_t disasm_count_ = 22;
  char x_base_ = 'h';
  char repeat_ = 0;  // 'd' or 'e': what an empty console line repeats
  bool source_display_ = false;

  std::vector<Macro> macros_;
  bool panel_flag_ = false;
  bool timing_flag_ = false;
  std::vector<Frame> frames_;  // macro calls in progress
  int control_depth_ = 0;      // nested if, while and macro calls
  int nesting_ = 0;            // nested commands of any kind (groups too)
  Flow flow_ = Flow::Normal;

  std::vector<FilePtr> inputs_;  // "<" files above the console, newest last
  FilePtr redirect_;             // ">": output goes here instead
  FilePtr log_;                  // "h": copy of the console
  std::string log_name_;
  bool session_ = false;
  unsigned loop_polls_ = 0;
};

}  // namespace tav
