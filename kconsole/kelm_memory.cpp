// The kernel console over target memory and registers: dump (d),
// disassembly (e), line assembler (a), memory modify (m, ms), the register
// line (r) and single registers ($).
#include <fstream>
#include <string>
#include <vector>

#include "disasm/asm_line.h"
#include "disasm/cpu12_disasm.h"
#include "kconsole/kelm_breaks.h"
#include "kernel/debugger.h"
#include "kernel/files.h"
#include "kconsole/kelm.h"
#include "kconsole/kelm_text.h"
#include "kernel/memory_text.h"
#include "run/program_disasm_lookup.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

using namespace kelm_text;

namespace {

constexpr std::uint32_t kAddressMask = 0xFFFFFF;
constexpr unsigned kLineBytes = 16;
constexpr unsigned kShownCodeBytes = 9;
// The label line of "e" puts the name where the instruction text begins.
constexpr int kLabelIndent = 2 * kShownCodeBytes + 1;
constexpr int kAsmTextWidth = 30;
constexpr std::size_t kConsoleLine = 80;

unsigned unit_of(char size) { return size == 'w' ? 2 : size == 'l' ? 4 : 1; }



char shown_char(std::uint8_t byte) {
  const char c = static_cast<char>(byte & 0x7F);
  return c < 0x20 || c == 0x7F ? '.' : c;
}

std::string trimmed(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

// Line `number` of a source file, found as it is named or along the source path.
bool source_text(const Debugger& d, std::string_view file, unsigned number, std::string& text) {
  std::vector<std::string> candidates{host_path(file)};
  const std::string& path = d.source_path;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t bar = path.find('|', start);
    if (bar == std::string::npos) bar = path.size();
    const std::string dir = path.substr(start, bar - start);
    if (!dir.empty()) candidates.push_back(host_path(dir) + "/" + host_path(file));
    start = bar + 1;
  }
  for (const std::string& name : candidates) {
    std::ifstream in(name);
    if (!in) continue;
    for (unsigned n = 1; std::getline(in, text); ++n)
      if (n == number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        return true;
      }
    return false;
  }
  return false;
}

}  // namespace

// ------------------------------------------------------------ d

// d[b|w|l] [addr][, [#]n]
const char* Kelm::cmd_d(const char* p) {
  std::string size;
  p = option_letters(p, "bwl", size);
  if (!p) return fail(msg::unknown_command);
  if (!size.empty()) dump_size_ = size.back();
  std::uint32_t address = address_;
  p = skip_blanks(p);
  if (!at_end(p) && *p != ',' && !operand(p, address)) return nullptr;
  std::uint32_t count = dump_count_;
  p = skip_blanks(p);
  if (*p == ',') {
    p = skip_blanks(p + 1);
    const bool counted = *p == '#';
    if (counted) ++p;
    std::uint32_t n = 0;
    if (!operand(p, n)) return nullptr;
    if (counted)
      count = dump_count_ = n;
    else
      count = n > address ? n - address : 0;
  }
  dump(address & kAddressMask, count, dump_size_);
  repeat_ = 'd';
  return p;
}

void Kelm::dump(std::uint32_t address, std::uint32_t count, char size) {
  const unsigned unit = unit_of(size);
  Memory& m = d_.memory;
  std::uint32_t done = 0;
  while (done < count) {
    if (stopped()) break;
    const std::uint32_t at = (address + done) & kAddressMask;
    const unsigned bytes = count - done < kLineBytes ? count - done : kLineBytes;
    std::string line = fmtstr("0x%+0nhl   ", 6, at);
    std::string chars;
    for (unsigned i = 0; i < kLineBytes; i += unit) {
      if (i >= bytes) {
        line.append(2 * unit + 1, ' ');  // a short last line keeps the characters in their column
        continue;
      }
      const std::uint32_t value = read_unit(m, (at + i) & kAddressMask, unit);
      line += unit == 4 ? fmtstr("%+08hl ", value) : unit == 2 ? fmtstr("%+04hi ", value) : fmtstr("%+02hi ", value);
    }
    for (unsigned i = 0; i < bytes; ++i) chars += shown_char(m.ReadByte((at + i) & kAddressMask));
    line += "  " + chars + "\n";
    print(line);
    done += bytes;
  }
  address_ = (address + done) & kAddressMask;
}

// ------------------------------------------------------------ e

// e [addr][, [#]n]: n instructions, or up to the end address n.
const char* Kelm::cmd_e(const char* p) {
  std::string none;
  p = option_letters(p, "", none);
  if (!p) return fail(msg::unknown_command);
  std::uint32_t address = address_;
  p = skip_blanks(p);
  if (!at_end(p) && *p != ',' && !operand(p, address)) return nullptr;
  std::uint32_t count = disasm_count_, end = 0;
  p = skip_blanks(p);
  if (*p == ',') {
    p = skip_blanks(p + 1);
    const bool counted = *p == '#';
    if (counted) ++p;
    std::uint32_t n = 0;
    if (!operand(p, n)) return nullptr;
    if (counted) {
      count = disasm_count_ = n;
    } else {
      end = n;
      count = 0;
    }
  }
  disassemble(address & kAddressMask, count, end);
  repeat_ = 'e';
  return p;
}

// `count` instructions, or (count 0) those that begin below `end`.
void Kelm::disassemble(std::uint32_t address, std::uint32_t count, std::uint32_t end) {
  const ProgramDisasmLookup lookup(d_.program, true, &d_.disasm_xgate_code());
  Memory& m = d_.memory;
  const std::uint32_t pc = d_.registers.ReadPC();
  std::uint32_t a = address;
  for (std::uint32_t n = 0; count ? n < count : a < end; ++n) {
    if (stopped()) break;
    if (const ProgramSymbol* s = d_.program.symbols().find_exact(a))
      printf("    0x%+0nhl %np%p:\n", 6, a, kLabelIndent, "", s->name);
    if (source_display_) show_source_lines(a);
    const Disassembly dis = Disassemble(m, d_.cpu_regs, a, &lookup);
    const unsigned length = dis.defined() ? dis.length : 1;
    std::string bytes;
    for (unsigned i = 0; i < length && i < kShownCodeBytes; ++i)
      bytes += fmtstr("%+02hi", m.ReadByte((a + i) & kAddressMask));
    const char* mark = a == pc ? "--> " : d_.low_breaks.at(a) ? "(B) " : "    ";
    printf("%p0x%+0nhl %- np %p\n", mark, 6, a, 2 * kShownCodeBytes, bytes, dis.text);
    a = (a + length) & kAddressMask;
    if (!count && a < address) break;  // wrapped round the address space
  }
  address_ = a;
}

// The source lines that begin at the address (a function start and its first
// line usually share one), each once.
void Kelm::show_source_lines(std::uint32_t address) {
  const DebugTables& tables = d_.program.tables();
  std::string_view last_file;
  unsigned last_line = 0;
  for (const DebugRecord* r = tables.record_at(address); r && r->value == address; r = tables.next(r)) {
    if ((!r->is_line() && !r->is_start()) || (r->name == last_file && r->line == last_line)) continue;
    last_file = r->name;
    last_line = r->line;
    std::string text;
    if (source_text(d_, r->name, r->line, text))
      printf("%p:%i: %p\n", std::string(r->name), std::uint32_t{r->line}, text);
    else
      printf("%p:%i\n", std::string(r->name), std::uint32_t{r->line});
  }
}

// ------------------------------------------------------------ a

// a [addr]: shows each instruction and assembles what is typed in its place.
const char* Kelm::cmd_a(const char* p) {
  std::string none;
  p = option_letters(p, "", none);
  if (!p) return fail(msg::unknown_command);
  std::uint32_t address = address_;
  if (!at_end(p) && !operand(p, address)) return nullptr;
  address &= kAddressMask;
  const ProgramDisasmLookup lookup(d_.program, true, &d_.disasm_xgate_code());
  AsmHooks hooks;
  hooks.evaluate = [this](const char*& cursor, std::uint32_t& value, int& error) {
    CmdExprEnv env = expr_env();
    const char* start = cursor;
    value = cmd_expr(env, cursor, error);
    if (!error && cursor == start) error = msg::syntax_error;
    return error == 0;
  };
  hooks.define_label = [this](std::string_view name, std::uint32_t at) {
    d_.program.symbols().define_symbol(name, at);
  };
  hooks.error = [this](int number) { print(msgtext(number) + "\n"); };
  for (;;) {
    if (const ProgramSymbol* s = d_.program.symbols().find_exact(address))
      printf("0x%+0nhl  %p:\n", 6, address, s->name);
    const Disassembly dis = Disassemble(d_.memory, d_.cpu_regs, address, &lookup);
    std::string line;
    if (!read_line(fmtstr("0x%+0nhl     %- np", 6, address, kAsmTextWidth, dis.text), line, kConsoleLine)) break;
    const std::string text = trimmed(line);
    if (text == ".") break;
    if (text.empty()) {
      address = (address + (dis.defined() ? dis.length : 1)) & kAddressMask;
      continue;
    }
    const char* cursor = text.c_str();
    address = (address + asmline(d_.memory, address, cursor, hooks)) & kAddressMask;
  }
  address_ = address;
  d_.refresh(kViewMemory | kViewDisasm);
  return p;
}

// ------------------------------------------------------------ m and ms

// m[b|w|l] [addr][, v...]: the values from the address on; without values,
// each unit is shown and a new value is asked for.
const char* Kelm::cmd_m(const char* p) {
  if (*p == 's') return cmd_ms(p + 1);
  std::string size;
  p = option_letters(p, "bwl", size);
  if (!p) return fail(msg::unknown_command);
  if (!size.empty()) modify_size_ = size.back();
  const unsigned unit = unit_of(modify_size_);
  Memory& m = d_.memory;
  std::uint32_t address = address_;
  p = skip_blanks(p);
  if (!at_end(p) && *p != ',' && !operand(p, address)) return nullptr;
  address &= kAddressMask;
  p = skip_blanks(p);
  if (*p == ',') {
    do {
      ++p;
      std::uint32_t value = 0;
      if (!operand(p, value)) {
        address_ = address;
        return nullptr;
      }
      write_unit(m, address, unit, value);
      address = (address + unit) & kAddressMask;
      p = skip_blanks(p);
    } while (*p == ',');
  } else {
    for (;;) {
      std::string line;
      const std::string prompt =
          fmtstr("0x%+0nhl: 0x%+0nhl = ", 6, address, 2 * unit, read_unit(m, address, unit));
      if (!read_line(prompt, line, kConsoleLine)) break;
      const std::string text = trimmed(line);
      if (text == ".") break;
      if (!text.empty()) {
        CmdExprEnv env = expr_env();
        const char* cursor = text.c_str();
        int error = 0;
        const std::uint32_t value = cmd_expr(env, cursor, error);
        if (error) {
          print(msgtext(error) + "\n");  // the same unit is asked for again
          continue;
        }
        write_unit(m, address, unit, value);
      }
      address = (address + unit) & kAddressMask;
    }
  }
  address_ = address;
  d_.refresh(kViewMemory | kViewDisasm);
  return p;
}

// ms addr, "text" | ms addr, ? n
const char* Kelm::cmd_ms(const char* p) {
  std::string none;
  p = option_letters(p, "", none);
  if (!p) return fail(msg::unknown_command);
  std::uint32_t address = address_;
  p = skip_blanks(p);
  if (*p != ',' && !operand(p, address)) return nullptr;
  p = skip_blanks(p);
  if (*p != ',') return fail(msg::syntax_error);
  p = skip_blanks(p + 1);
  std::string bytes;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') {
      if (*p == '\\' && p[1]) {
        ++p;
        bytes += static_cast<char>(escdecode(&p, nullptr));
        ++p;
      } else {
        bytes += *p++;
      }
    }
    if (*p != '"') return fail(msg::syntax_error);
    ++p;
  } else if (*p == '?') {
    ++p;
    std::uint32_t n = 0;
    if (!operand(p, n)) return nullptr;
    if (!read_line("?> ", bytes, n)) bytes.clear();
    if (bytes.size() > n) bytes.resize(n);
  } else {
    return fail(msg::syntax_error);
  }
  address &= kAddressMask;
  for (char c : bytes) {
    d_.memory.WriteByte(address, static_cast<std::uint8_t>(c));
    address = (address + 1) & kAddressMask;
  }
  address_ = address;
  d_.refresh(kViewMemory | kViewDisasm);
  return p;
}

// ------------------------------------------------------------ r and $

const char* Kelm::cmd_r(const char* p) {
  std::string options;
  p = option_letters(p, "i", options);
  if (!p) return fail(msg::unknown_command);
  d_.sync_xgate();
  std::string line = d_.registers.registers_text(d_.target_commands.command_cycles, d_.xgate_only());
  if (!options.empty()) {
    const ProgramDisasmLookup lookup(d_.program, true, &d_.disasm_xgate_code());
    line += fmtstr(" (%p)", Disassemble(d_.memory, d_.cpu_regs, d_.registers.ReadPC(), &lookup).text);
  }
  print(line + "\n");
  return p;
}

// $reg [=] expr sets a register; $reg alone prints it.
const char* Kelm::cmd_register(const char* p) {
  std::string name;
  while (letter(*p) || digit(*p)) name += static_cast<char>(*p++ | 0x20);
  const int code = Registers::GetRegisterCode(name);
  if (code == 0) return fail(msg::unknown_register);
  p = skip_blanks(p);
  if (*p == '=') {
    ++p;
  } else if (at_end(p)) {
    print(fmtstr("%p = ", name) + value_text(d_.registers.ReadRegister(code), x_base_) + "\n");
    return p;
  }
  std::uint32_t value = 0;
  if (!operand(p, value)) return nullptr;
  d_.registers.WriteRegister(code, value);
  d_.refresh(kViewRegisters | kViewDisasm | kViewSource);
  return p;
}

}  // namespace tav
