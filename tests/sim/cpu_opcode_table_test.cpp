// The opcode table as data: its size, grouping and names, and its bus-cycle
// patterns against the independent opcode reference.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "sim/cycle_patterns.h"
#include "sim/opcode_lookup.h"
#include "sim/opcodes_table.h"
#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

TEST(OpcodeTable, HasFiveHundredThreeEntriesAndTwoHundredSixtyFourNames) {
  EXPECT_EQ(std::size(kOpcodeTable), 503u);
  EXPECT_EQ(std::size(kMnemonicNames), 264u);
  EXPECT_STREQ(kMnemonicNames[0], "???");
  EXPECT_STREQ(kMnemonicNames[1], "aba");
  EXPECT_STREQ(kMnemonicNames[263], "wavi");
  for (int i = 2; i < kMnemonicCount; ++i)
    EXPECT_LT(std::strcmp(kMnemonicNames[i - 1], kMnemonicNames[i]), 0) << kMnemonicNames[i];
}

TEST(OpcodeTable, EveryNameButPulcwHasAnEntry) {
  std::set<Mn> used;
  for (const OpcodeEntry& e : kOpcodeTable) used.insert(e.mnemonic);
  for (int i = 1; i < kMnemonicCount; ++i) {
    const Mn m = static_cast<Mn>(i);
    if (m == Mn::pulcw)
      EXPECT_FALSE(used.count(m));
    else
      EXPECT_TRUE(used.count(m)) << kMnemonicNames[i];
  }
  EXPECT_EQ(std::set<Handler>(  // every family has entries
                [] {
                  std::set<Handler> s;
                  for (const OpcodeEntry& e : kOpcodeTable) s.insert(e.handler);
                  return s;
                }())
                .size(),
            static_cast<std::size_t>(kHandlerCount));
}

// Entries of one opcode byte are together: page 1 first, its page-2 twin
// next, and the lookup by the grouping rule finds the entry of each page.
TEST(OpcodeTable, GroupingPutsPageOneFirstAndThePageTwoTwinNext) {
  int previous = -1;
  for (int i = 0; i < kOpcodeCount; ++i) {
    const OpcodeEntry& e = kOpcodeTable[i];
    if (e.opcode != previous) {
      EXPECT_EQ(e.opcode, previous + 1) << "opcode " << int(e.opcode) << " out of order";
      EXPECT_EQ(e.page, 1) << "opcode " << int(e.opcode) << " must start with its page-1 entry";
      previous = e.opcode;
    }
  }
  EXPECT_EQ(previous, 0xFF);
  for (int op = 0; op < 256; ++op) {
    const int p1 = kEntryLookup[0][op];
    const int p2 = kEntryLookup[1][op];
    if (op != kPage2Prefix) {
      ASSERT_GE(p1, 0) << op;
      EXPECT_EQ(kOpcodeTable[p1].page, 1);
    }
    if (p2 >= 0 && kOpcodeTable[p2].page != 2) {
      // Page-1-only opcodes whose alias follows them answer behind the prefix too.
      EXPECT_TRUE(op == 0x59 || op == 0xB7) << std::hex << op;
    }
  }
  EXPECT_EQ(kEntryLookup[1][0x38], -1);  // 0x18 0x38 is undefined
  EXPECT_EQ(kOpcodeTable[kEntryLookup[1][0x04]].mnemonic, Mn::movw);
  EXPECT_EQ(kOpcodeTable[kEntryLookup[0][0x3C]].mnemonic, Mn::wavi);
  EXPECT_EQ(kOpcodeTable[kEntryLookup[1][0x3C]].mnemonic, Mn::wav);
  EXPECT_EQ(kOpcodeTable[kEntryLookup[1][0x6F]].operand, opd::IDX | opd::R_SP);  // gsts indexed
  EXPECT_EQ(kOpcodeTable[kEntryLookup[1][0x7F]].operand, opd::EXT | opd::R_SP);  // gsts extended
}

// Every pattern the reference gives is the table's pattern for that form.
TEST(OpcodeTable, PatternsAgreeWithTheReference) {
  const auto rows = test::read_reference(test::reference_csv());
  ASSERT_GT(rows.size(), 1000u);
  const char* forms[] = {"idx", "idx1", "idx2", "[d,idx]", "[idx2]"};
  int compared = 0;
  for (const auto& row : rows) {
    if (row.pattern.empty() || row.mnemonic == "trap") continue;
    const int index = kEntryLookup[row.page - 1][row.opcode];
    ASSERT_GE(index, 0) << row.mnemonic;
    const OpcodeEntry& e = kOpcodeTable[index];
    std::string expected = row.pattern;
    if (e.handler == Handler::Moves) continue;  // the moves take theirs from the move pattern table
    std::string table = e.pattern;
    if (opd::mode(e.operand) == opd::IDX) {
      int form = -1;
      for (int f = 0; f < 5; ++f)
        if (row.mode == forms[f]) form = f;
      if (form < 0) continue;  // the other modes of the opcode have their own entries
      std::size_t start = 0;
      for (int f = 0; f < form; ++f) start = table.find('/', start) + 1;
      table = table.substr(start, table.find('/', start) - start);
    } else if (row.mode == "idx" || row.mode == "idx1" || row.mode == "idx2" || row.mode == "[d,idx]" ||
               row.mode == "[idx2]") {
      continue;
    }
    EXPECT_EQ(table, expected) << row.mnemonic << " " << row.mode << " page " << row.page;
    ++compared;
  }
  EXPECT_GE(compared, 550);
}

TEST(OpcodeTable, CycleCountsOfTheDocumentedExamples) {
  auto cycles = [](int page, int op, unsigned alt = 0) { return entry_cycles(kEntryLookup[page][op], alt); };
  EXPECT_EQ(cycles(0, 0xB6), 3u);     // ldaa extended "rPO"
  EXPECT_EQ(cycles(0, 0x3D), 5u);     // rts "UfPPP"
  EXPECT_EQ(cycles(0, 0x3F), 9u);     // swi "VSPSSPSsP"
  EXPECT_EQ(cycles(0, 0x26, 1), 1u);  // bne not taken "PPP/P"
  EXPECT_EQ(cycles(0, 0x26, 0), 3u);
  EXPECT_EQ(cycles(0, 0x21, 1), 1u);  // brn has one alternative, which serves both
  // Loop notation: only the counted letters cost cycles.
  EXPECT_EQ(cycles(1, 0x3A), 4u);   // rev "Orf(t,tx)O"
  EXPECT_EQ(cycles(1, 0x3C), 10u);  // wav "Of(frr,ffff)O"
  // Moves: row by the first operand's alternative (+5 for words), column by the second's.
  const int movb = kEntryLookup[1][0x0A], movw = kEntryLookup[1][0x02];
  EXPECT_EQ(entry_cycles(movb, 0, 0), 4u);  // "rPOw"
  EXPECT_EQ(entry_cycles(movb, 3, 4), 8u);  // row 4, "PIPrfIOw"
  EXPECT_EQ(entry_cycles(movw, 1, 2), 5u);  // row 7, "PRPPW"
}

}  // namespace
}  // namespace tav
