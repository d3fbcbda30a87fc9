// The CPU12 line assembler against the GNU assembler for this chip, and the
// disassembler's whole output assembled back by both assemblers.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "disasm/asm_line.h"
#include "tests/disasm/cpu12_test_support.h"

namespace tav::test {
namespace {

// ---- Running m68hc11-as over many lines ----

// One line for the GNU assembler; "@" in the text stands for the branch
// target `disp` bytes from the instruction's first byte.
struct GnuLine {
  std::string text;
  long disp = 0;
};

struct GnuResult {
  bool accepted = false;
  std::vector<std::uint8_t> bytes;
};

std::string hex(unsigned long v) {
  char b[24];
  std::snprintf(b, sizeof b, "0x%lx", v);
  return b;
}

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) s.replace(p, from.size(), to);
  return s;
}

// Assembles every line as "Q<k>: text" (targets as "R<k> = Q<k> + disp");
// lines the assembler refuses are dropped and the rest assembled again.
std::vector<GnuResult> gnu_assemble(const std::vector<GnuLine>& lines) {
  std::vector<GnuResult> results(lines.size());
  std::set<std::size_t> refused;
  ToolDir dir;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::ofstream src(dir.file("corpus.s"));
    std::vector<std::size_t> line_case;  // source line number - 1 -> case
    for (std::size_t k = 0; k < lines.size(); ++k) {
      if (refused.count(k)) continue;
      const std::string target = "R" + std::to_string(k);
      src << "Q" << k << ": " << replace_all(lines[k].text, "@", target) << "\n";
      line_case.push_back(k);
      if (lines[k].text.find('@') != std::string::npos) {
        src << target << " = Q" << k << " + (" << lines[k].disp << ")\n";
        line_case.push_back(k);
      }
    }
    src.close();
    bool ok = false;
    const std::string errors = ToolDir::run("m68hc11-as -mm9s12x -o '" + dir.file("corpus.o") + "' '" +
                                            dir.file("corpus.s") + "' 2>&1 >/dev/null", &ok);
    if (ok) break;
    std::istringstream in(errors);
    std::string row;
    std::size_t before = refused.size();
    while (std::getline(in, row)) {
      const auto a = row.find(".s:");
      if (a == std::string::npos || !std::isdigit(static_cast<unsigned char>(row[a + 3]))) continue;
      const std::size_t number = std::stoul(row.substr(a + 3));
      if (number >= 1 && number <= line_case.size()) refused.insert(line_case[number - 1]);
    }
    if (refused.size() == before) return results;  // errors not tied to lines: give up
  }
  bool ok = false;
  ToolDir::run("m68hc11-objcopy -O binary -j .text '" + dir.file("corpus.o") + "' '" + dir.file("corpus.bin") + "'",
               &ok);
  if (!ok) return results;
  std::ifstream bin(dir.file("corpus.bin"), std::ios::binary);
  const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(bin)), std::istreambuf_iterator<char>());
  std::map<std::uint32_t, std::size_t> starts;  // address -> case
  std::istringstream nm(ToolDir::run("m68hc11-nm '" + dir.file("corpus.o") + "'"));
  std::string address, kind, name;
  while (nm >> address >> kind >> name)
    if (name[0] == 'Q') starts[static_cast<std::uint32_t>(std::stoul(address, nullptr, 16))] = std::stoul(name.substr(1));
  for (auto it = starts.begin(); it != starts.end(); ++it) {
    const auto next = std::next(it);
    const std::uint32_t end = next == starts.end() ? static_cast<std::uint32_t>(image.size()) : next->first;
    GnuResult& r = results[it->second];
    r.accepted = true;
    for (std::uint32_t a = it->first; a < end && a < image.size(); ++a) r.bytes.push_back(image[a]);
  }
  return results;
}

// ---- Tav's assembler on one line ----

constexpr std::uint32_t kAt = 0x7F8000;

struct TavResult {
  bool accepted = false;
  std::vector<std::uint8_t> bytes;
  int error = 0;
};

TavResult tav_assemble(Cpu12Target& t, const std::string& line, std::uint32_t at = kAt) {
  TavResult r;
  AsmHooks hooks;
  hooks.error = [&r](int n) { r.error = n; };
  const char* cursor = line.c_str();
  const unsigned n = asmline(t.memory, at, cursor, hooks);
  r.accepted = n > 0;
  for (unsigned i = 0; i < n; ++i) r.bytes.push_back(t.memory.peek(at + i));
  return r;
}

std::string bytes_text(const std::vector<std::uint8_t>& b) {
  std::string s;
  for (auto x : b) {
    char h[4];
    std::snprintf(h, sizeof h, "%02x ", x);
    s += h;
  }
  return s;
}

// ---- The corpus: every mnemonic in every addressing mode of its entries ----

struct CorpusLine {
  std::string tav;  // Tav's syntax, "@" for the target
  std::string gnu;  // the GNU assembler's
  long disp = 0;
};

const std::vector<std::string> kIndexed = {
    "0,x",   "5,y",   "-16,sp", "15,pc", "-17,x",  "255,y",      "-256,sp", "256,x",
    "0x7fff,pc", "65535,x", "1,+x", "8,-y", "3,sp+", "4,x-", "1,-sp", "8,y+",
    "a,x",   "b,y",   "d,sp",   "d,pc",  "[0x1234,x]", "[0,pc]", "[d,y]", "[d,sp]"};
const std::vector<std::string> kMoveIndexed = {"0,x",  "5,y",  "-16,sp", "15,pc", "1,+x", "8,-y", "3,sp+", "4,x-",
                                               "a,x",  "b,y",  "d,sp",   "20,x",  "-200,y", "300,sp",
                                               "[0x1234,x]", "[d,y]"};

std::vector<CorpusLine> make_corpus() {
  std::vector<CorpusLine> corpus;
  std::set<std::string> seen;
  auto add = [&](const std::string& mn, const std::string& ops, long disp = 0) {
    const std::string tav = ops.empty() ? mn : mn + " " + ops;
    if (!seen.insert(tav + "|" + std::to_string(disp)).second) return;
    std::string gnu = tav;
    const auto lt = gnu.find('<');
    if (lt != std::string::npos) gnu[lt] = '*';
    corpus.push_back({tav, gnu, disp});
  };
  const std::vector<std::string> regs = {"a", "b", "ccr", "d", "x", "y", "sp"};
  for (const OpcodeEntry& e : kOpcodeTable) {
    if (e.mnemonic == Mn::none) continue;
    const std::string mn = mnemonic_name(e.mnemonic);
    const std::uint32_t mode = opd::mode(e.operand);
    if (e.handler == Handler::Moves) {
      const bool word = e.mnemonic == Mn::movw;
      std::vector<std::string> sources, destinations;
      switch (opd::move_source(e.operand)) {
        case opd::IMM: sources = {word ? "#0x1234" : "#0x12", word ? "#-2" : "#255"}; break;
        case opd::EXT: sources = {"0x1234", "0xfffe"}; break;
        default: sources = kMoveIndexed; break;
      }
      if (opd::move_destination(e.operand) == opd::EXT)
        destinations = {"0x2345", "0x0100"};
      else
        destinations = kMoveIndexed;
      for (const auto& s : sources)
        for (const auto& d : destinations) add(mn, s + "," + d);
      continue;
    }
    const bool is_call = e.mnemonic == Mn::call;
    const bool mask = opd::reg_field(e.operand) == opd::MASK && !is_call;
    const bool rel = opd::relative(e.operand);
    std::vector<std::string> operands;
    switch (mode) {
      case opd::INH: case opd::INHA: case opd::INHB: case opd::INHX: case opd::INHY:
        if (!rel) {
          add(mn, "");
        } else if (e.page == 2) {
          for (long disp : {4L, 1000L, -1000L, 30000L, -30000L}) add(mn, "@", disp);
        } else {
          for (long disp : {2L, 100L, -100L, 129L, -126L}) add(mn, "@", disp);
        }
        continue;
      case opd::REG:
        if (is_loop_entry(e)) {
          for (const char* r : {"a", "b", "d", "x", "y", "sp"})
            for (long disp : {3L, 100L, -100L, 258L, -253L}) add(mn, std::string(r) + ",@", disp);
        } else {
          for (const auto& r1 : regs)
            for (const auto& r2 : regs) {
              const bool byte1 = r1 == "a" || r1 == "b" || r1 == "ccr";
              const bool byte2 = r2 == "a" || r2 == "b" || r2 == "ccr";
              if (e.mnemonic == Mn::sex && !(byte1 && !byte2)) continue;
              add(mn, r1 + "," + r2);
            }
        }
        continue;
      case opd::IMM:
        operands = opd::is_16bit_register(opd::own_register(e.operand))
                       ? std::vector<std::string>{"#0x1234", "#65535", "#-1", "#0"}
                       : std::vector<std::string>{"#0x12", "#255", "#-128", "#0"};
        break;
      case opd::DIR: operands = {"<0x12", "<0", "<255"}; break;
      case opd::EXT: operands = {"0x1234", "0x0100", "0xffff", "0x8000"}; break;
      case opd::IDX: operands = kIndexed; break;
      default: continue;
    }
    for (const auto& o : operands) {
      std::string ops = o;
      if (is_call && o.find('[') == std::string::npos) ops += ",0x30";
      if (!mask) {
        add(mn, ops);
        continue;
      }
      for (const char* m : {",#0x81", ",#0"}) {
        if (!rel) {
          add(mn, ops + m);
          continue;
        }
        for (long disp : {40L, -40L}) add(mn, ops + m + ",@", disp);
      }
    }
  }
  return corpus;
}

std::string tav_text(const CorpusLine& c) { return replace_all(c.tav, "@", hex(kAt + c.disp)); }

TEST(AsmGnu, CorpusAssemblesAsTheGnuAssemblerDoes) {
  if (!ToolDir::have("m68hc11-as")) GTEST_SKIP() << "m68hc11-as is not installed";
  const auto corpus = make_corpus();
  EXPECT_GT(corpus.size(), 3000u);
  std::vector<GnuLine> lines;
  for (const auto& c : corpus) lines.push_back({c.gnu, c.disp});
  const auto gnu = gnu_assemble(lines);

  Cpu12Target t;
  std::size_t compared = 0, gnu_refused = 0;
  std::map<std::string, int> refused_by_gnu;
  for (std::size_t k = 0; k < corpus.size(); ++k) {
    const std::string line = tav_text(corpus[k]);
    const TavResult tav = tav_assemble(t, line);
    EXPECT_TRUE(tav.accepted) << line << " (error " << tav.error << ")";
    if (!gnu[k].accepted) {
      ++gnu_refused;
      ++refused_by_gnu[line.substr(0, line.find(' '))];
      continue;
    }
    if (!tav.accepted) continue;
    // GNU's gsts extended is 0x18 0x6F; the table keeps gsts in line with the other global stores.
    if (line.rfind("gsts 0x", 0) == 0) continue;
    ++compared;
    EXPECT_EQ(bytes_text(tav.bytes), bytes_text(gnu[k].bytes)) << line << "  |  as: " << corpus[k].gnu;
  }
  EXPECT_GT(compared, corpus.size() * 9 / 10);
  std::string refused;
  for (const auto& [mn, n] : refused_by_gnu) refused += mn + ":" + std::to_string(n) + " ";
  RecordProperty("refused_by_gnu", refused);
}

// ---- The disassembler's text assembled back ----

// Page registers under which most local addresses keep their 16 low bits in
// the global address the disassembler prints: PPAGE 0xFE, EPAGE 0xC2, RPAGE 0xF1.
void round_trip_pages(CpuRegs& r) {
  r.ppage = 0xFE;
  r.epage = 0xC2;
  r.rpage = 0xF1;
}

// The fixed windows 0x0C00-0x0FFF and 0x2000-0x3FFF map to global addresses
// whose 16 low bits differ from the local address, whatever the pages.
bool moved_window(const DecodedOperand& o) {
  if (o.kind != OperandKind::Extended) return false;
  return (o.local >= 0x0C00 && o.local < 0x1000) || (o.local >= 0x2000 && o.local < 0x4000);
}
constexpr const char* kPrefixedAlias =
    "0x18 0x59 answers as lsld by the table's grouping; lsld assembles to its page-1 opcode, shown as asld";
constexpr const char* kMovedWindow =
    "an extended address in 0x0C00-0x0FFF or 0x2000-0x3FFF prints as a global address whose 16 low bits differ";

// Texts the assembler takes no part of, with the reason.
const char* not_assemblable(const DecodedInsn& d, const std::string& text) {
  if (d.mnemonic == Mn::wavi) return "[wav] is the display name of the resume opcode, not a mnemonic";
  if (d.is_loop && (d.loop_reg == 96 || d.loop_reg == 128))
    return "a loop primitive on ccr or ccrw (postbyte field 2 or 3) is refused as incompatible registers";
  (void)text;
  return nullptr;
}

// Same text from different bytes: the decoder maps several encodings to one
// text and the assembler writes one of them.
const char* other_encoding(const DecodedInsn& d, const std::string& text, const std::string& again) {
  if (text == again) return "several encodings print the same text; the assembler writes the shortest";
  if (d.op.kind == OperandKind::Extended && d.op.local < 256 && !d.is_move)
    return "an extended address below 256 assembles as direct";
  if (moved_window(d.op) || moved_window(d.dst)) return kMovedWindow;
  if (d.prefix && d.opcode == 0x59) return kPrefixedAlias;
  if (d.opcode == 0xB7 && (d.postbyte == 0x4D || d.postbyte == 0x4E))
    return "postbytes 0x4D and 0x4E are named sex; the assembler writes the tfr postbyte";
  return nullptr;
}

TEST(AsmGnu, DisassemblyOfTheWholeOpcodeSpaceAssemblesBack) {
  const auto cases = make_cases();
  Cpu12Target t;
  round_trip_pages(t.regs);
  const std::uint32_t at = 0x7E4000;
  std::map<std::string, int> explained;
  std::size_t identical = 0;
  for (const auto& c : cases) {
    for (std::uint32_t k = 0; k < 16; ++k) t.memory.poke(at + k, k < c.size() ? c[k] : 0xA7);
    const DecodedInsn d = decode_instruction(t.memory, t.regs, at);
    if (!d.defined()) continue;
    const std::string text = Disassemble(t.memory, t.regs, at).text;
    std::vector<std::uint8_t> original(c.begin(), c.begin() + d.length);
    const TavResult r = tav_assemble(t, text, at);
    if (!r.accepted) {
      const char* reason = not_assemblable(d, text);
      EXPECT_NE(reason, nullptr) << text << " <- " << bytes_text(original) << " error " << r.error;
      if (reason) ++explained[reason];
      continue;
    }
    if (r.bytes == original) {
      ++identical;
      continue;
    }
    const std::string again = Disassemble(t.memory, t.regs, at).text;
    const char* reason = other_encoding(d, text, again);
    EXPECT_NE(reason, nullptr) << text << " <- " << bytes_text(original) << " -> " << bytes_text(r.bytes) << " = "
                               << again;
    if (reason) {
      ++explained[reason];
      EXPECT_LE(r.bytes.size(), original.size()) << text;
    }
  }
  EXPECT_GT(identical, 40000u);
  for (const auto& [reason, n] : explained) RecordProperty(reason, n);
}

// The disassembler's text in the GNU syntax: "<" is "*", s is sp, masks take
// "#", a branch target is a label; address operands keep their 16 low bits.
bool gnu_spelling(const DecodedInsn& d, const std::string& text, std::string& out, long& disp) {
  if (d.mnemonic == Mn::wavi) return false;
  std::string mn = text.substr(0, text.find(' '));
  std::string rest = text.size() > kMnemonicColumn ? text.substr(kMnemonicColumn) : "";
  auto ops = split_operands(rest);
  const Roles roles = roles_of(d);
  for (std::size_t i = 0; i < ops.size(); ++i) {
    std::string& o = ops[i];
    if (static_cast<int>(i) == roles.target) {
      o = "@";
      disp = static_cast<long>(d.target) - static_cast<long>(d.address);
      continue;
    }
    if (i < roles.address.size() && roles.address[i]) {
      const bool direct = o[0] == '<';
      const unsigned long v = std::stoul(o.substr(direct ? 1 : 0), nullptr, 16);
      o = direct ? "*" + hex(v & 0xFF) : hex(v & 0xFFFF);
      continue;
    }
    if (d.has_mask && i == 1) o = "#" + o;
    // s as a register: alone, after a comma, or with + or - around it.
    std::string fixed;
    for (std::size_t p = 0; p < o.size(); ++p) {
      const bool alone = o[p] == 's' && (p == 0 || !std::isalnum(static_cast<unsigned char>(o[p - 1]))) &&
                         (p + 1 == o.size() || !std::isalnum(static_cast<unsigned char>(o[p + 1])));
      fixed += alone ? std::string("sp") : std::string(1, o[p]);
    }
    o = fixed;
  }
  out = mn;
  for (std::size_t i = 0; i < ops.size(); ++i) out += (i ? "," : " ") + ops[i];
  return true;
}

TEST(AsmGnu, DisassemblyAssemblesBackWithTheGnuAssembler) {
  if (!ToolDir::have("m68hc11-as")) GTEST_SKIP() << "m68hc11-as is not installed";
  const auto cases = make_cases();
  Cpu12Target t;
  round_trip_pages(t.regs);
  const std::uint32_t at = 0x7E4000;
  std::vector<GnuLine> lines;
  std::vector<std::vector<std::uint8_t>> originals;
  std::vector<std::string> texts;
  std::vector<DecodedInsn> insns;
  for (const auto& c : cases) {
    for (std::uint32_t k = 0; k < 16; ++k) t.memory.poke(at + k, k < c.size() ? c[k] : 0xA7);
    const DecodedInsn d = decode_instruction(t.memory, t.regs, at);
    if (!d.defined()) continue;
    const std::string text = Disassemble(t.memory, t.regs, at).text;
    GnuLine line;
    if (!gnu_spelling(d, text, line.text, line.disp)) continue;
    // Several of one kind are enough where the postbyte sweep repeats a form.
    lines.push_back(line);
    originals.emplace_back(c.begin(), c.begin() + d.length);
    texts.push_back(text);
    insns.push_back(d);
  }
  const auto gnu = gnu_assemble(lines);
  std::size_t identical = 0, accepted = 0;
  std::map<std::string, int> explained;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (!gnu[k].accepted) continue;
    ++accepted;
    if (gnu[k].bytes == originals[k]) {
      ++identical;
      continue;
    }
    // What the GNU assembler wrote must print as the same instruction.
    for (std::uint32_t i = 0; i < 16; ++i)
      t.memory.poke(at + i, i < gnu[k].bytes.size() ? gnu[k].bytes[i] : 0xA7);
    const DecodedInsn again_insn = decode_instruction(t.memory, t.regs, at);
    const std::string again = Disassemble(t.memory, t.regs, at).text;
    const char* reason = nullptr;
    if (insns[k].mnemonic == Mn::gsts)
      reason = "the GNU assembler writes trap for gsts (the opcode it expects is not the table's)";
    else if (again == texts[k] && again_insn.length == gnu[k].bytes.size())
      reason = "several encodings print the same text; the GNU assembler writes another";
    else if (moved_window(insns[k].op) || moved_window(insns[k].dst))
      reason = kMovedWindow;
    else if (insns[k].prefix && insns[k].opcode == 0x59)
      reason = kPrefixedAlias;
    EXPECT_NE(reason, nullptr) << texts[k] << "  as: " << lines[k].text << " | " << bytes_text(originals[k])
                               << "-> " << bytes_text(gnu[k].bytes) << "= " << again;
    if (reason) ++explained[reason];
  }
  EXPECT_GT(accepted, lines.size() / 2);
  EXPECT_GT(identical, accepted * 3 / 4);
  RecordProperty("gnu_accepted", static_cast<int>(accepted));
  RecordProperty("gnu_identical", static_cast<int>(identical));
  for (const auto& [reason, n] : explained) RecordProperty(reason, n);
}

}  // namespace
}  // namespace tav::test
