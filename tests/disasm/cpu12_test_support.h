// Shared pieces of the CPU12 disassembler and assembler tests: a target with
// bytes in memory, a symbol/line lookup the tests fill, and running the GNU
// tools for this chip.
#pragma once
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "disasm/cpu12_disasm.h"
#include "sim/opcode_lookup.h"
#include "tests/sim/memory_test_support.h"

namespace tav::test {

struct Cpu12Target : Target {
  void put(std::uint32_t address, std::initializer_list<int> bytes) {
    for (int b : bytes) memory.poke(address++, static_cast<std::uint8_t>(b));
  }
  std::string text(std::uint32_t address, const DisasmLookup* lookup = nullptr) {
    return Disassemble(memory, regs, address, lookup).text;
  }
  std::string text_of(std::initializer_list<int> bytes, std::uint32_t address = 0x7F4000,
                      const DisasmLookup* lookup = nullptr) {
    put(address, bytes);
    return text(address, lookup);
  }
};

// Symbols by value and source lines by address, as a loaded program would give them.
class TableLookup : public DisasmLookup {
 public:
  std::map<std::uint32_t, std::string> symbols;
  std::map<std::uint32_t, std::pair<unsigned, unsigned>> lines;

  const char* symbol_by_value(std::uint32_t address, std::uint32_t& value) const override {
    auto it = symbols.upper_bound(address);
    if (it == symbols.begin()) return nullptr;
    --it;
    value = it->first;
    return it->second.c_str();
  }
  bool line_at(std::uint32_t address, unsigned& line, unsigned& statement) const override {
    auto it = lines.find(address);
    if (it == lines.end()) return false;
    line = it->second.first;
    statement = it->second.second;
    return true;
  }
};

// A scratch directory for the GNU tools' files, removed at the end.
class ToolDir {
 public:
  ToolDir() {
    char pattern[] = "/tmp/tav-cpu12-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "/tmp";
  }
  ~ToolDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  // Runs a shell command; returns its standard output, or "" and sets `ok` false on failure.
  static std::string run(const std::string& command, bool* ok = nullptr) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
      if (ok) *ok = false;
      return out;
    }
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    if (ok) *ok = status == 0;
    return out;
  }

  static bool have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
  }

 private:
  std::string path_;
};

// One instruction line of "objdump -D" output: its offset, byte count and text.
struct ObjdumpLine {
  std::uint32_t offset = 0;
  unsigned length = 0;
  std::string text;  // mnemonic and operands as printed
};

// Parses objdump's disassembly listing; continuation lines add their bytes to
// the line before them.
inline std::map<std::uint32_t, ObjdumpLine> parse_objdump(const std::string& listing) {
  std::map<std::uint32_t, ObjdumpLine> lines;
  std::istringstream in(listing);
  std::string row;
  ObjdumpLine* last = nullptr;
  while (std::getline(in, row)) {
    const auto colon = row.find(":\t");
    if (colon == std::string::npos) continue;
    const std::string address = row.substr(0, colon);
    if (address.find_first_not_of(" 0123456789abcdef") != std::string::npos) continue;
    const std::uint32_t offset = static_cast<std::uint32_t>(std::stoul(address, nullptr, 16));
    const std::string rest = row.substr(colon + 2);
    const auto tab = rest.find('\t');
    const std::string bytes = rest.substr(0, tab);
    unsigned count = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
      if (std::isxdigit(static_cast<unsigned char>(bytes[i])) && std::isxdigit(static_cast<unsigned char>(bytes[i + 1]))) {
        ++count;
        ++i;
      }
    if (tab == std::string::npos) {  // continuation of the previous instruction's bytes
      if (last) last->length += count;
      continue;
    }
    ObjdumpLine& l = lines[offset];
    l.offset = offset;
    l.length = count;
    l.text = rest.substr(tab + 1);
    last = &l;
  }
  return lines;
}

// ---- The opcode space as test cases ----

// Operand bytes after the opcode (and postbyte): small addresses, negative
// offsets, zero and all-ones patterns.
inline const std::vector<std::vector<std::uint8_t>> kTails = {
    {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB},
    {0x07, 0xFE, 0xDC, 0xBA, 0x98, 0x76},
    {0xF0, 0x05, 0x80, 0x00, 0x7F, 0xFF},
    {0x00, 0x80, 0x7F, 0xFF, 0x01, 0x00},
};


inline bool has_postbyte(const OpcodeEntry& e) {
  if (e.handler == Handler::Moves)
    return opd::move_source(e.operand) == opd::IDX || opd::move_destination(e.operand) == opd::IDX;
  const auto m = opd::mode(e.operand);
  return m == opd::IDX || m == opd::REG;
}


// Every page-1 and page-2 opcode, every postbyte where the entry has one
// (all destination postbytes for indexed-to-indexed moves), and operand
// byte patterns after them.
inline std::vector<std::vector<std::uint8_t>> make_cases() {
  std::vector<std::vector<std::uint8_t>> cases;
  for (int page = 0; page < 2; ++page)
    for (int op = 0; op < 256; ++op) {
      if (page == 0 && op == kPage2Prefix) continue;
      std::vector<std::uint8_t> head;
      if (page) head.push_back(kPage2Prefix);
      head.push_back(static_cast<std::uint8_t>(op));
      const int index = kEntryLookup[page][op];
      const OpcodeEntry* e = index >= 0 ? &kOpcodeTable[index] : nullptr;
      auto add = [&](std::vector<std::uint8_t> bytes, const std::vector<std::uint8_t>& tail) {
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        cases.push_back(bytes);
      };
      if (e && has_postbyte(*e)) {
        for (int xb = 0; xb < 256; ++xb)
          for (int t = 0; t < 2; ++t) {
            auto bytes = head;
            bytes.push_back(static_cast<std::uint8_t>(xb));
            add(bytes, kTails[t * 2]);
          }
        // Indexed-to-indexed moves: every destination postbyte behind a few sources.
        if (e->handler == Handler::Moves && opd::move_source(e->operand) == opd::IDX &&
            opd::move_destination(e->operand) == opd::IDX)
          for (std::uint8_t source : {0x00, 0x5F, 0xE0, 0xE2})
            for (int xb = 0; xb < 256; ++xb) {
              auto bytes = head;
              bytes.push_back(source);
              if (source == 0xE0) bytes.push_back(0x12);
              if (source == 0xE2) bytes.insert(bytes.end(), {0x01, 0x23});
              bytes.push_back(static_cast<std::uint8_t>(xb));
              add(bytes, kTails[0]);
            }
      } else {
        for (const auto& tail : kTails) add(head, tail);
      }
    }
  return cases;
}


inline bool is_index_register(const std::string& t) {
  std::string r = t;
  if (!r.empty() && (r.front() == '+' || r.front() == '-')) r.erase(0, 1);
  if (!r.empty() && (r.back() == '+' || r.back() == '-')) r.pop_back();
  if (!r.empty() && r.back() == ']') r.pop_back();
  return r == "x" || r == "y" || r == "s" || r == "pc";
}


// Operands split at the commas between them: "n,x", "[n,x]" and "a,x" stay one.
inline std::vector<std::string> split_operands(const std::string& text) {
  std::vector<std::string> parts;
  std::string cur;
  int depth = 0;
  for (char c : text) {
    if (c == '[') ++depth;
    if (c == ']') --depth;
    if (c == ',' && depth == 0) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!text.empty()) parts.push_back(cur);
  std::vector<std::string> merged;
  for (auto& p : parts)
    if (!merged.empty() && is_index_register(p) && merged.back().find('[') == std::string::npos)
      merged.back() += "," + p;
    else
      merged.push_back(p);
  return merged;
}


// Which operand positions hold an address (mapped local-to-global) and which the branch target.
struct Roles {
  std::vector<bool> address;
  int target = -1;
};

inline Roles roles_of(const DecodedInsn& d) {
  Roles r;
  auto is_address = [](const DecodedOperand& o) {
    return o.kind == OperandKind::Direct || o.kind == OperandKind::Extended;
  };
  if (d.is_move) {
    r.address = {is_address(d.op), is_address(d.dst)};
    return r;
  }
  if (d.is_loop) {
    r.address = {false, false};
    r.target = 1;
    return r;
  }
  int n = 0;
  if (d.op.kind != OperandKind::None) {
    r.address.push_back(is_address(d.op));
    ++n;
  }
  if (d.has_mask) r.address.push_back(false), ++n;
  if (d.has_page && !d.page_from_memory) r.address.push_back(false), ++n;
  if (d.has_relative) r.target = n;
  return r;
}

}  // namespace tav::test
