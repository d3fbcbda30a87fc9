// Shared pieces of the CPU tests: a target with a CPU, instruction bytes
// placed at a local address, and the loaders for the assembled programs of
// tests/programs (S-records and the symbol list of m68hc11-nm).
#pragma once
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sim/cpu.h"
#include "sim/cpu_regs.h"
#include "sim/memory.h"

namespace tav::test {

class QuietErrors : public ErrorReporter {
 public:
  void report_error(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

struct CpuTarget {
  CpuRegs regs;
  QuietErrors errors;
  Memory memory{regs, errors};
  Cpu cpu{regs, memory};

  // Stores bytes at a local address (translated with the current page registers).
  void put(std::uint16_t local, std::initializer_list<std::uint8_t> bytes) {
    std::uint16_t a = local;
    for (std::uint8_t b : bytes) memory.poke(memory.LocalToGlobal(a++), b);
  }
  void put(std::uint16_t local, const std::vector<std::uint8_t>& bytes) {
    std::uint16_t a = local;
    for (std::uint8_t b : bytes) memory.poke(memory.LocalToGlobal(a++), b);
  }
  void put_word(std::uint16_t local, std::uint16_t v) { put(local, {std::uint8_t(v >> 8), std::uint8_t(v)}); }
  std::uint32_t exec(const std::vector<std::uint8_t>& bytes, std::uint16_t at = 0xC000) {
    put(at, bytes);
    regs.pc = at;
    return cpu.step();
  }
  std::uint8_t byte_at(std::uint16_t local) const { return memory.peek(memory.LocalToGlobal(local)); }
  std::uint16_t word_at(std::uint16_t local) const {
    return static_cast<std::uint16_t>(byte_at(local) << 8 | byte_at(static_cast<std::uint16_t>(local + 1)));
  }
  // Places one instruction at `at` (default 0xC000), points the PC at it and executes it.
  std::uint32_t exec(std::initializer_list<std::uint8_t> bytes, std::uint16_t at = 0xC000) {
    put(at, bytes);
    regs.pc = at;
    return cpu.step();
  }
};

inline std::string run_command(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
  return out;
}

// Loads S1/S2/S3 records into memory at their (global) addresses.
inline bool load_srecords(Memory& memory, const std::string& path) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 4 || line[0] != 'S') continue;
    const int type = line[1] - '0';
    if (type < 1 || type > 3) continue;
    auto hex = [&](std::size_t pos) { return static_cast<unsigned>(std::stoul(line.substr(pos, 2), nullptr, 16)); };
    const unsigned count = hex(2);
    const unsigned address_bytes = static_cast<unsigned>(type) + 1;
    std::uint32_t address = 0;
    for (unsigned i = 0; i < address_bytes; ++i) address = address << 8 | hex(4 + 2 * i);
    const unsigned data_bytes = count - address_bytes - 1;
    for (unsigned i = 0; i < data_bytes; ++i) memory.poke(address + i, static_cast<std::uint8_t>(hex(4 + 2 * (address_bytes + i))));
  }
  return true;
}

// The symbol list written by m68hc11-nm: value (the local address), type, name.
inline std::map<std::string, std::uint32_t> read_symbols(const std::string& path) {
  std::map<std::string, std::uint32_t> symbols;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string value, type, name;
    if (fields >> value >> type >> name) symbols[name] = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
  }
  return symbols;
}

}  // namespace tav::test

namespace tav::test {

// One row of the opcode reference (tests/programs/reference/s12x_opcodes.csv).
struct ReferenceRow {
  int page = 0;
  int opcode = 0;
  std::string mnemonic;
  std::string mode;  // inh imm8 imm16 dir ext idx idx1 idx2 [d,idx] [idx2] rel8 rel16 loop9 eb, moves "src-dst"
  int length = 0;
  std::string pattern;
};

inline std::vector<std::string> split_csv_line(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char ch : line) {
    if (ch == '"')
      quoted = !quoted;
    else if (ch == ',' && !quoted)
      fields.emplace_back();
    else
      fields.back() += ch;
  }
  return fields;
}

inline std::vector<ReferenceRow> read_reference(const std::string& path) {
  std::vector<ReferenceRow> rows;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    const auto f = split_csv_line(line);
    if (f.size() < 7) continue;
    ReferenceRow r;
    r.page = std::stoi(f[0]);
    r.opcode = std::stoi(f[1], nullptr, 16);
    r.mnemonic = f[2];
    r.mode = f[3];
    r.length = std::stoi(f[4]);
    r.pattern = f[6];
    rows.push_back(r);
  }
  return rows;
}

inline std::string reference_csv() { return std::string(TAV_TEST_REFERENCE_DIR) + "/s12x_opcodes.csv"; }
inline std::string program_path(const std::string& name) { return std::string(TAV_TEST_PROGRAMS_DIR) + "/" + name; }

}  // namespace tav::test

namespace tav::test {

// The registers an instruction case sets and checks.
struct RegState {
  std::uint8_t a = 0, b = 0;
  std::uint16_t x = 0, y = 0, sp = 0x3F00, ccr = 0;
  bool operator==(const RegState&) const = default;
};

inline std::string describe(const RegState& s) {
  char text[96];
  std::snprintf(text, sizeof text, "a=%02x b=%02x x=%04x y=%04x sp=%04x ccr=%04x", s.a, s.b, s.x, s.y, s.sp, s.ccr);
  return text;
}

struct MemByte {
  std::uint16_t local;
  std::uint8_t value;
};

// One instruction executed at 0xC000: registers and memory before, and the
// registers and memory bytes expected after.
struct InsnCase {
  const char* what;
  std::vector<std::uint8_t> code;
  RegState in;
  RegState out;
  std::vector<MemByte> memory_in = {};
  std::vector<MemByte> memory_out = {};
};

inline void run_case(const InsnCase& c) {
  CpuTarget t;
  t.regs.a = c.in.a;
  t.regs.b = c.in.b;
  t.regs.x = c.in.x;
  t.regs.y = c.in.y;
  t.regs.sp = c.in.sp;
  t.regs.ccr = c.in.ccr;
  for (const MemByte& m : c.memory_in) t.put(m.local, {m.value});
  t.put(0xC000, c.code);
  t.regs.pc = 0xC000;
  const std::uint32_t length = t.cpu.step();
  EXPECT_EQ(length, c.code.size()) << c.what;
  const RegState got{t.regs.a, t.regs.b, t.regs.x, t.regs.y, t.regs.sp, t.regs.ccr};
  EXPECT_EQ(describe(got), describe(c.out)) << c.what;
  for (const MemByte& m : c.memory_out) {
    char where[16];
    std::snprintf(where, sizeof where, "%04x", m.local);
    EXPECT_EQ(int(t.byte_at(m.local)), int(m.value)) << c.what << " at " << where;
  }
}

inline void run_cases(const std::vector<InsnCase>& cases) {
  for (const InsnCase& c : cases) run_case(c);
}

}  // namespace tav::test
