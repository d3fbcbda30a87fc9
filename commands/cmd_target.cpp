// The commands over the simulated target's registers and memory: "r"/"regs",
// "wregs", "disa", "dump", "fill", "srec" and "mm".
#include <cstdio>
#include <cstring>
#include <string>

#include "expr/access.h"
#include "expr/cmd_expr.h"
#include "expr/xexpr.h"
#include "image/srecord_writer.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "commands/handlers.h"
#include "kernel/memory_text.h"
#include "kernel/options.h"
#include "commands/target_asm.h"
#include "support/messages.h"
#include "support/fmt.h"

namespace tav {

namespace {

// One operand of these commands: an address, size, count or value, as a
// command operand expression. False when nothing evaluates there; the
// command then reports its own message.
bool target_operand(Debugger& d, const char*& cursor, std::uint32_t& value) {
  const char* p = skipblanks(cursor);
  if (*p == '\0' || *p == ';') return false;
  CmdExprEnv env{d.memory, d.registers, d.program.symbols(), &d.program.tables(), nullptr, nullptr, {}, false};
  int error = 0;
  const char* q = p;
  value = cmd_expr(env, q, error);
  if (!error && q != p) {
    cursor = q;
    return true;
  }
  // Not an operand expression: a C expression then, as eval takes it. A
  // pointer (whose value is a local address) stands for the global address
  // it points to, so "dump &results, 16" shows the array.
  const char* c = p;
  int status = 0;
  const Value v = d.evaluator.xexpr(c, status, 1);
  if (status || c == p || !(is_integral(v) || is_pointer(v))) return false;
  value = is_pointer(v) ? pointer_target(d.expr_env, v) : static_cast<std::uint32_t>(as_int(v));
  cursor = c;
  return true;
}

unsigned unit_of(const OptionSet& o) {
  switch (o.last_of("bwl")) {
    case 'w': return 2;
    case 'l': return 4;
    default: return 1;
  }
}

// How often a long listing or fill lets the host handle the stop key.
constexpr unsigned kPumpEvery = 256;

bool stop_requested(Debugger& d, unsigned step) {
  if (step % kPumpEvery == 0) d.host.pump_events();
  return d.run.stop_requested();
}

// Ranges end inside the 24-bit global address space: a range past it would
// wrap round and never end.
constexpr std::uint64_t kAddressSpaceEnd = std::uint64_t{1} << 24;

// The range operands "<start> <end>" or "<start>, <size>" of dump and fill.
struct RangeOperands {
  std::uint32_t start = 0;
  std::uint32_t second = 0;
  bool sized = false;          // "," form: the second value is a size or count
  const char* second_at = nullptr;  // where the second operand began
};

enum class RangeError { None, Start, Second };

RangeError read_range(Debugger& d, const char*& p, RangeOperands& r) {
  if (!target_operand(d, p, r.start)) return RangeError::Start;
  p = skipblanks(p);
  if (*p == ',') {
    r.sized = true;
    p = skipblanks(p + 1);
  }
  r.second_at = p;
  if (!target_operand(d, p, r.second)) return RangeError::Second;
  return RangeError::None;
}



std::uint32_t unit_mask(unsigned unit) { return unit == 4 ? 0xFFFFFFFFu : unit == 2 ? 0xFFFFu : 0xFFu; }

// The pseudo-random values of "fill /r" (xorshift: cheap, never stuck at zero).
std::uint32_t next_random(std::uint32_t& state) {
  std::uint32_t x = state ? state : 0x2545F491u;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  state = x;
  return x;
}

}  // namespace

AsmHooks kernel_asm_hooks(Debugger& d) {
  AsmHooks hooks;
  hooks.evaluate = [&d](const char*& cursor, std::uint32_t& value, int& error) {
    CmdExprEnv env{d.memory, d.registers, d.program.symbols(), &d.program.tables(), nullptr, nullptr, {}, false};
    const char* start = cursor;
    value = cmd_expr(env, cursor, error);
    if (!error && cursor == start) error = msg::syntax_error;
    return error == 0;
  };
  hooks.define_label = [&d](std::string_view name, std::uint32_t address) {
    d.program.symbols().define_symbol(name, address);
  };
  hooks.error = [&d](int number) { errout(d, {msgtext(number), "\n"}); };
  return hooks;
}

const char* cmd_regs(Debugger& d, const char* args, int) {
  // Processor mode 2 shows the XGATE's registers instead.
  if (!d.run.running) d.sync_xgate();
  putout(d, d.registers.registers_text(d.target_commands.command_cycles, d.xgate_only()) + "\n");
  return args;
}

const char* cmd_wregs(Debugger& d, const char* args, int) {
  d.host.show_view(kViewRegisters);
  return args;
}

const char* cmd_disa(Debugger& d, const char* args, int) {
  d.host.show_view(kViewDisasm);
  return args;
}

// dump [/a] [/b|/w|/l] [/F:b|o|d|h] <start> <end>  or  <start>, <size>:
// the bytes from start up to (not including) end, 16 to a line.
const char* cmd_dump(Debugger& d, const char* args, int) {
  static constexpr OptionSpec spec{"abwlF:", true, true};
  OptionSet o;
  const char* p = parse_options(d, args, spec, o);
  if (!p) return endof(args);
  DataLineFormat format;
  format.characters = o.has('a');
  format.unit = unit_of(o);
  if (o.has('F')) {
    const std::string_view v = o.value('F');
    const char letter = v.size() == 1 ? static_cast<char>(v[0] | 0x20) : 0;
    switch (letter) {
      case 'b': format.base = NumberBase::Binary; break;
      case 'o': format.base = NumberBase::Octal; break;
      case 'd': format.base = NumberBase::Decimal; break;
      case 'h': format.base = NumberBase::Hexadecimal; break;
      default:
        errout(d, {" Wrong Option for /F ", v.data()});
        return endof(args);
    }
  }
  RangeOperands r;
  switch (read_range(d, p, r)) {
    case RangeError::Start:
      errout(d, {" Wrong Start Address for DUMP ", p});
      return endof(args);
    case RangeError::Second:
      errout(d, {" Wrong Size or End Address for DUMP ", r.second_at});
      return endof(args);
    case RangeError::None:
      break;
  }
  const std::uint64_t end = r.sized ? std::uint64_t{r.start} + r.second : r.second;
  if (end <= r.start || end > kAddressSpaceEnd) {
    errout(d, {" Wrong Range for DUMP ", r.second_at});
    return endof(args);
  }
  unsigned n = 0;
  for (std::uint64_t a = r.start; a < end; a += format.bytes, ++n) {
    if (stop_requested(d, n)) break;
    putout(d, data_line(d.memory, static_cast<std::uint32_t>(a), format) + "\n");
  }
  return p;
}

// fill [/r] [/v] [/b|/w|/l] <start> <end> <value>  or  <start>, <count> <value>:
// every unit from start to end inclusive gets the value (or a random one).
const char* cmd_fill(Debugger& d, const char* args, int) {
  static constexpr OptionSpec spec{"rvbwl", true, true};
  OptionSet o;
  const char* p = parse_options(d, args, spec, o);
  if (!p) return endof(args);
  const unsigned unit = unit_of(o);
  RangeOperands r;
  switch (read_range(d, p, r)) {
    case RangeError::Start:
      errout(d, {" Wrong Start Address for FILL ", p});
      return endof(args);
    case RangeError::Second:
      errout(d, {" Wrong Size or End Address for DUMP ", r.second_at});
      return endof(args);
    case RangeError::None:
      break;
  }
  if (r.sized && r.second == 0) {
    errout(d, {" Illegal count (zero) ", r.second_at});
    return endof(args);
  }
  const std::uint64_t last = r.sized ? std::uint64_t{r.start} + std::uint64_t{r.second} * unit - 1 : r.second;
  if (last < r.start || last >= kAddressSpaceEnd) {
    errout(d, {" Wrong Range for FILL ", r.second_at});
    return endof(args);
  }
  std::uint32_t value = 0;
  if (!o.has('r')) {
    const char* at = skipblanks(p);
    if (!target_operand(d, p, value)) {
      errout(d, {" Missing Filler Value ", at});
      return endof(args);
    }
  }
  unsigned n = 0;
  for (std::uint64_t a = r.start; a <= last; a += unit, ++n) {
    if (stop_requested(d, n)) break;
    const std::uint32_t address = static_cast<std::uint32_t>(a);
    const std::uint32_t v = (o.has('r') ? next_random(d.target_commands.random) : value) & unit_mask(unit);
    write_unit(d.memory, address, unit, v);
    if (d.store_error_shown) break;  // the store is full: the rest would fail the same way
    if (o.has('v') && read_unit(d.memory, address, unit) != v) {
      errout(d, {" NO Verify at:", fmtstr("0x%+06hl", address), "\n"});
      break;
    }
  }
  d.host.refresh_views(kViewMemory | kViewDisasm);
  d.notices.views_refreshed(kViewMemory);
  return p;
}

// srec [/b|/l] <start> <end> <file>: the range (end included) as an
// S-record file, in global form or with /b banked, /l CPU12 local addresses.
const char* cmd_srec(Debugger& d, const char* args, int) {
  static constexpr OptionSpec spec{"bl", true, true};
  OptionSet o;
  const char* p = parse_options(d, args, spec, o);
  if (!p) return endof(args);
  RangeOperands r;
  switch (read_range(d, p, r)) {
    case RangeError::Start:
      errout(d, {" Wrong Start Address for SREC ", p});
      return endof(args);
    case RangeError::Second:
      errout(d, {" Wrong Size or End Address for SREC ", r.second_at});
      return endof(args);
    case RangeError::None:
      break;
  }
  const std::uint64_t last = r.sized ? std::uint64_t{r.start} + r.second - 1 : r.second;
  if ((r.sized && r.second == 0) || last < r.start || last >= kAddressSpaceEnd) {
    errout(d, {" Wrong Range for SREC ", r.second_at});
    return endof(args);
  }
  p = skipblanks(p);
  const char* name_start = p;
  while (*p && *p != ';') ++p;
  std::string name(name_start, p);
  while (!name.empty() && blankchar(name.back())) name.pop_back();
  if (name.empty()) {
    errout(d, {" Missing File Name for SREC\n"});
    return endof(args);
  }
  const AddressForm form = o.has('b') ? AddressForm::Banked : o.has('l') ? AddressForm::Local : AddressForm::Global;
  std::string error;
  const std::string text = write_srecords(
      r.start, static_cast<std::uint32_t>(last), [&](std::uint32_t a) { return d.memory.ReadByte(a); }, form, error);
  if (!error.empty()) {
    errout(d, {error, "\n"});
    return p;
  }
  std::FILE* f = std::fopen(host_path(name).c_str(), "w");
  const bool written = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (f && std::fclose(f) != 0) f = nullptr;
  if (!written || !f) errout(d, {"Can't write ", name, "\n"});
  return p;
}

// mm [/b|/w|/l] <address> <value>: one unit written.
const char* cmd_mm(Debugger& d, const char* args, int) {
  static constexpr OptionSpec spec{"bwl", true, true};
  OptionSet o;
  const char* p = parse_options(d, args, spec, o);
  if (!p) return endof(args);
  std::uint32_t address = 0, value = 0;
  if (!target_operand(d, p, address)) {
    errout(d, {" Wrong Start Address for FILL ", p});
    return endof(args);
  }
  p = skipblanks(p);
  if (*p == ',') ++p;  // "mm 0x1000,0x12" reads as well
  const char* at = skipblanks(p);
  if (!target_operand(d, p, value)) {
    errout(d, {" Missing Value ", at});
    return endof(args);
  }
  const unsigned unit = unit_of(o);
  write_unit(d.memory, address, unit, value & unit_mask(unit));
  d.host.refresh_views(kViewMemory | kViewDisasm);
  d.notices.views_refreshed(kViewMemory);
  return p;
}

}  // namespace tav
