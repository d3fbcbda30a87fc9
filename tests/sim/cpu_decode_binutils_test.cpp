// Differential test of the decoder against the GNU disassembler for the S12X:
// every page-1 and page-2 opcode, with all 256 postbytes where the opcode has
// one, must agree on being an instruction, on its length and its mnemonic.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/decode.h"
#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

constexpr unsigned kSlot = 16;  // each instruction starts a 16-byte slot padded with nop

struct Probe {
  std::vector<std::uint8_t> bytes;
};

std::vector<Probe> probes() {
  std::vector<Probe> out;
  const std::vector<std::uint8_t> tail = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  auto add = [&](std::vector<std::uint8_t> head) {
    head.insert(head.end(), tail.begin(), tail.end());
    out.push_back({head});
  };
  for (int page = 0; page < 2; ++page) {
    for (int op = 0; op < 256; ++op) {
      if (page == 0 && op == 0x18) continue;
      std::vector<std::uint8_t> head;
      if (page) head.push_back(0x18);
      head.push_back(static_cast<std::uint8_t>(op));
      const int index = kEntryLookup[page][op];
      const bool postbyte = index >= 0 && (opd::mode(kOpcodeTable[index].operand) == opd::IDX ||
                                           opd::mode(kOpcodeTable[index].operand) == opd::REG ||
                                           (kOpcodeTable[index].handler == Handler::Moves &&
                                            (opd::move_source(kOpcodeTable[index].operand) == opd::IDX ||
                                             opd::move_destination(kOpcodeTable[index].operand) == opd::IDX)));
      if (!postbyte) {
        add(head);
        continue;
      }
      for (int xb = 0; xb < 256; ++xb) {
        auto h = head;
        h.push_back(static_cast<std::uint8_t>(xb));
        add(h);
      }
      // idx-to-idx moves: the second postbyte too.
      if (index >= 0 && kOpcodeTable[index].handler == Handler::Moves &&
          opd::move_source(kOpcodeTable[index].operand) == opd::IDX &&
          opd::move_destination(kOpcodeTable[index].operand) == opd::IDX)
        for (int xb = 0; xb < 256; ++xb) {
          auto h = head;
          h.push_back(0x00);
          h.push_back(static_cast<std::uint8_t>(xb));
          add(h);
        }
    }
  }
  return out;
}

struct Seen {
  std::string mnemonic;  // "" when the disassembler calls it undefined
  unsigned length = 0;
};

std::string normalise(const std::string& m) {
  static const std::map<std::string, std::string> aliases = {
      {"clc", "andcc"}, {"cli", "andcc"}, {"clv", "andcc"}, {"sec", "orcc"}, {"sei", "orcc"}, {"sev", "orcc"},
      {"des", "leas"},  {"ins", "leas"},  {"tap", "tfr"},   {"tpa", "tfr"},  {"tsx", "tfr"},  {"tsy", "tfr"},
      {"txs", "tfr"},   {"tys", "tfr"},   {"xgdx", "exg"},  {"xgdy", "exg"},  {"abx", "leax"},  {"aby", "leay"},
  };
  if (m == "trap" || m == ".byte") return "";
  const auto it = aliases.find(m);
  return it == aliases.end() ? m : it->second;
}

std::map<unsigned, Seen> disassemble(const std::string& path) {
  const std::string text = test::run_command("m68hc11-objdump -D -b binary -mm9s12x " + path);
  std::map<unsigned, Seen> seen;
  std::istringstream in(text);
  std::string line;
  const std::regex row(R"(^\s*([0-9a-f]+):\t([0-9a-f ]+?)\s*(?:\t(\S+).*)?$)");
  unsigned last = ~0u;
  while (std::getline(in, line)) {
    std::smatch m;
    if (!std::regex_match(line, m, row)) continue;
    const unsigned address = static_cast<unsigned>(std::stoul(m[1], nullptr, 16));
    unsigned bytes = 0;
    std::istringstream hex(m[2].str());
    for (std::string byte; hex >> byte;) ++bytes;
    if (!m[3].matched) {  // continuation of a long instruction
      if (last != ~0u) seen[last].length += bytes;
      continue;
    }
    seen[address] = {normalise(m[3]), bytes};
    last = address;
  }
  return seen;
}

// Disagreements the instruction set or our decisions explain.
std::string known_difference(const std::vector<std::uint8_t>& b) {
  const bool p2 = b[0] == 0x18;
  const std::uint8_t op = p2 ? b[1] : b[0];
  if (!p2 && op == 0x3C) return "0x3C resumes an interrupted wav (printed [wav]); binutils knows no such opcode";
  if (p2 && op == 0x38) return "0x18 0x38 is undefined for the simulator (binutils: pulcw)";
  if (p2 && op == 0x6F) return "gsts indexed is 0x18 0x6F by the regularity of the global stores (binutils: extended)";
  if (p2 && op == 0x7F) return "gsts extended is 0x18 0x7F (binutils: trap)";
  if (p2 && (op == 0x59 || op == 0xB7)) return "the table's grouping rule finds the page-1 alias entry behind the prefix";
  if (!p2 && op == 0x04 && b[1] >= 0xE0) return "loop postbyte bits 6-7 = 3 read as decrement with bit 5 (binutils: always dbeq)";
  return "";
}

TEST(DecoderAgainstBinutils, WholeOpcodeSpace) {
  const auto list = probes();
  std::vector<std::uint8_t> blob(list.size() * kSlot, 0xA7);
  for (std::size_t i = 0; i < list.size(); ++i)
    std::copy(list[i].bytes.begin(), list[i].bytes.end(), blob.begin() + i * kSlot);
  const std::string path = ::testing::TempDir() + "tav_decode_sweep.bin";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(blob.data()), static_cast<std::streamsize>(blob.size()));
  }
  const auto seen = disassemble(path);
  ASSERT_FALSE(seen.empty()) << "m68hc11-objdump did not run";

  test::CpuTarget t;
  int compared = 0, known = 0, failures = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto& b = list[i].bytes;
    for (std::size_t k = 0; k < b.size(); ++k) t.memory.poke(0x7FC000 + k, b[k]);
    for (std::size_t k = b.size(); k < kSlot; ++k) t.memory.poke(0x7FC000 + k, 0xA7);
    const DecodedInsn d = decode_instruction(t.memory, t.regs, 0x7FC000);
    const auto it = seen.find(static_cast<unsigned>(i * kSlot));
    ASSERT_NE(it, seen.end()) << "no disassembly at slot " << i;
    const std::string ours = d.defined() ? d.name() : "";
    const unsigned our_length = d.defined() ? d.length : 0;
    const unsigned their_length = it->second.mnemonic.empty() ? 0 : it->second.length;
    ++compared;
    if (ours == it->second.mnemonic && our_length == their_length) continue;
    if (!known_difference(b).empty()) {
      ++known;
      continue;
    }
    if (++failures <= 40) {
      char bytes[64];
      std::snprintf(bytes, sizeof bytes, "%02x %02x %02x %02x", b[0], b[1], b[2], b[3]);
      ADD_FAILURE() << bytes << ": tav " << (ours.empty() ? "undefined" : ours) << "/" << our_length << ", binutils "
                    << (it->second.mnemonic.empty() ? "undefined" : it->second.mnemonic) << "/" << their_length;
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(compared, 30000);
  EXPECT_LT(known, 600);
}

}  // namespace
}  // namespace tav
