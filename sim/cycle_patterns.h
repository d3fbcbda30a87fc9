// Bus-cycle patterns turned into numbers once, at compile time, so that the
// execution path never looks at a pattern string.
#pragma once
#include <array>
#include <cstdint>

#include "sim/opcodes_table.h"

namespace tav {

// The cost of each alternative of one pattern.
struct PatternCost {
  static constexpr int kMaxAlternatives = 5;
  std::uint8_t alternatives = 0;
  std::uint8_t cycles[kMaxAlternatives] = {};
  std::uint8_t data[kMaxAlternatives] = {};  // data letters, which consume the access log
  std::uint8_t word_move = 0;                // "XW": word move, see kMovePatterns
  std::uint8_t move = 0;                     // "X" or "XW"

  // An alternative past the last one costs what the last one costs.
  constexpr std::uint8_t cycles_of(unsigned alt) const {
    return cycles[alt < alternatives ? alt : (alternatives ? alternatives - 1 : 0)];
  }
  constexpr std::uint8_t data_of(unsigned alt) const {
    return data[alt < alternatives ? alt : (alternatives ? alternatives - 1 : 0)];
  }
};

// Letters that take a bus cycle: program words, data, stack, vectors, free cycles.
constexpr bool is_cycle_letter(char c) {
  switch (c) {
    case 'P': case 'O': case 'R': case 'W': case 'I': case 'r': case 'w': case 'i':
    case 'S': case 'U': case 's': case 'u': case 'V': case 'f': case 'g': case 'n':
      return true;
    default:
      return false;
  }
}

// Letters for a data operand: each takes the next address of the access log.
constexpr bool is_data_letter(char c) {
  return c == 'R' || c == 'W' || c == 'I' || c == 'r' || c == 'w' || c == 'i';
}

constexpr PatternCost pattern_cost(const char* p) {
  PatternCost cost;
  if (p[0] == 'X') {
    cost.move = 1;
    cost.word_move = p[1] == 'W';
    return cost;
  }
  if (p[0] == 0) return cost;
  int alt = 0;
  for (; *p; ++p) {
    if (*p == '/') {
      if (++alt >= PatternCost::kMaxAlternatives) break;
      continue;
    }
    if (is_cycle_letter(*p)) ++cost.cycles[alt];
    if (is_data_letter(*p)) ++cost.data[alt];
  }
  cost.alternatives = static_cast<std::uint8_t>(alt + 1);
  return cost;
}

// The moves' patterns: row = the alternative of the first operand decoded,
// plus 5 for word moves; the alternative within the row is the second's.
inline constexpr const char* kMovePatterns[10] = {
    "rPOw/rPPw/rPOPw/rPIOw/rPPIOw",
    "PrOOw/PrOPw/PrOOPw/PrOIOw/PrOPIOw",
    "PrPOw/PrPPw/PrPOPw/PrPIOw/PrPPIOw",
    "IPrfOw/IPrfPw/IPrfOPw/IPrfIOw/IPrfPIOw",
    "PIPrfOw/PIPrfPw/PIPrfOPw/PIPrfIOw/PIPrfPIOw",
    "RPOW/RPPW/RPOPW/RPIOW/RPPIOW",
    "PROOW/PROPW/PROOPW/PROIOW/PROPIOW",
    "PRPOW/PRPPW/PRPOPW/PRPIOW/PRPPIOW",
    "IPRfOW/IPRfPW/IPRfOPW/IPRfIOW/IPRfPIOW",
    "PIPRfOW/PIPRfPW/PIPRfOPW/PIPRfIOW/PIPRfPIOW",
};

inline constexpr std::array<PatternCost, kOpcodeCount> kEntryCosts = [] {
  std::array<PatternCost, kOpcodeCount> costs{};
  for (int i = 0; i < kOpcodeCount; ++i) costs[i] = pattern_cost(kOpcodeTable[i].pattern);
  return costs;
}();

inline constexpr std::array<PatternCost, 10> kMoveCosts = [] {
  std::array<PatternCost, 10> costs{};
  for (int i = 0; i < 10; ++i) costs[i] = pattern_cost(kMovePatterns[i]);
  return costs;
}();

// The costs of entry `index`; for moves, the row of the saved alternative of
// the first operand.
constexpr const PatternCost& entry_costs(int index, unsigned move_alt = 0) {
  const PatternCost& c = kEntryCosts[index];
  if (c.move) return kMoveCosts[(move_alt < 5 ? move_alt : 4) + (c.word_move ? 5 : 0)];
  return c;
}
// Cycles of entry `index` for the decoder's alternative.
constexpr unsigned entry_cycles(int index, unsigned alt, unsigned move_alt = 0) {
  return entry_costs(index, move_alt).cycles_of(alt);
}

// The interrupt entry and the push of an interrupted wav's partial results.
inline constexpr PatternCost kInterruptEntryCost = pattern_cost("VSPSSPSsP");
inline constexpr PatternCost kWavPushCost = pattern_cost("fffrrUUUf");

}  // namespace tav
