// The kernel console's low-level breakpoints: raw address (or address range)
// breakpoints on reads, writes and instruction fetches, and breakpoints on
// every instruction, each with optional attached console commands that may
// begin with a condition. The run loop reports every instruction fetch and,
// while an instruction runs, every memory access; a hit stops the run after
// that instruction.
#pragma once
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>

#include "run/run_control.h"
#include "sim/memory.h"

namespace tav {

class Debugger;
struct CmdExprEnv;

// One low-level breakpoint.
struct LowBreak {
  static constexpr std::uint16_t kRead = 1;
  static constexpr std::uint16_t kWrite = 2;
  static constexpr std::uint16_t kEvery = 4;    // every instruction (no address)
  static constexpr std::uint16_t kDeleted = 8;  // removed once the check in progress ends

  std::uint16_t flags = 0;
  std::uint16_t number = 0;  // from 1
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  std::string commands;  // attached lines, separated by '\n'; empty: none
};

class LowBreaks : public KernelBreakCheck, private RawAccessWatcher {
 public:
  // Access kinds reported to the check: a data read or write, and an
  // instruction fetch (a read at the PC that also matches every-instruction
  // breakpoints).
  static constexpr int kAccessRead = 1;
  static constexpr int kAccessWrite = 2;
  static constexpr int kAccessFetch = 5;

  explicit LowBreaks(Debugger& d);
  LowBreaks(const LowBreaks&) = delete;
  LowBreaks& operator=(const LowBreaks&) = delete;

  // How attached commands run: the console's kelm_exec(text, 1). Set by Kelm's constructor.
  void set_exec(std::function<void(const char* text)> exec) { exec_ = std::move(exec); }
  // Where the listing of a bare `b` goes; the kernel output by default.
  void set_output(std::function<void(std::string_view text)> output) { output_ = std::move(output); }

  // The letters `b` and `bk`: `cursor` points just after the letter `b`; the
  // call consumes the rest of this command (options r/w/k, operands,
  // `? cmds` or `{cmds}`), prints the listing for a bare `b`, and returns 0
  // or a message number for an error. With `execute` false the text is only
  // scanned.
  int command(const char*& cursor, bool execute);
  // `vb n {cmds}`: attaches (replaces) the commands of breakpoint n; false
  // when there is none. The text is kept as given: a text in braces always
  // runs, any other begins with a condition. An empty text removes them.
  bool attach(int number, std::string commands);
  bool at(std::uint32_t address) const;  // a breakpoint starts at this address ("(B) " in `e`)
  void clear();                          // `zb`
  std::string state_text() const;        // lines for `w b` that `<` reads back
  std::string listing() const;           // what a bare `b` prints

  // The check of one access (kinds above). Returns the number of the
  // breakpoint hit (0: none); a hit stays pending until the next instruction.
  int lbrk_check(std::uint32_t address, int access);

  // KernelBreakCheck: the run loop's side.
  void begin_instruction(std::uint32_t global_pc) override;
  bool end_instruction() override;
  void report_stop() override;

  const std::list<LowBreak>& breaks() const { return list_; }
  bool hit() const { return hit_; }
  int hit_number() const { return hit_number_; }

 private:
  void raw_access(std::uint32_t address, int access) override { lbrk_check(address, access); }

  int add(std::uint16_t flags, std::uint32_t first, std::uint32_t last, std::string commands);
  int remove(int number);
  LowBreak* find(int number);
  void remove_deleted();
  void update_armed();
  bool run_commands(const LowBreak& b);
  void set_variable(std::string_view name, std::uint32_t value);
  CmdExprEnv expr_env();

  Debugger& d_;
  std::list<LowBreak> list_;  // ascending numbers
  std::function<void(const char*)> exec_;
  std::function<void(std::string_view)> output_;

  bool in_run_ = false;    // an instruction of a run is executing: commands may run
  bool watching_ = false;  // the memory reports raw accesses to this check
  bool checking_ = false;  // a walk is in progress (no re-entry)
  bool deleted_ = false;   // breakpoints were marked deleted during the walk
  int kinds_ = 0;          // the access flags of all live breakpoints together
  bool hit_ = false;       // a hit is pending
  bool timer_hit_ = false;  // the pending hit is the break time
  int hit_number_ = 0;
  std::uint32_t hit_address_ = 0;
  int hit_access_ = 0;
  std::uint32_t hit_time_ = 0;
};

}  // namespace tav
