// Real programs assembled with the GNU assembler for the S12X, run in the
// simulator; their results are checked against values computed here, and the
// cycles of every instruction against the opcode reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string_view>

#include "tests/sim/cpu_program_support.h"

namespace tav {
namespace {

std::uint16_t crc16_ccitt(const std::vector<std::uint8_t>& data) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint8_t byte : data) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int i = 0; i < 8; ++i) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

std::uint32_t crc32(const std::vector<std::uint8_t>& data) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::uint8_t byte : data) {
    crc ^= byte;
    for (int i = 0; i < 8; ++i) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

void run_crc(const std::vector<std::uint8_t>& data, bool check_cycles) {
  test::Program p("crc");
  p.poke_word("length", 0, static_cast<std::uint16_t>(data.size()));
  for (std::size_t i = 0; i < data.size(); ++i) p.poke("buffer", static_cast<unsigned>(i), data[i]);
  if (check_cycles)
    p.run_checking_cycles();
  else
    p.run();
  EXPECT_EQ(p.peek_word("crc16"), crc16_ccitt(data));
  EXPECT_EQ(p.peek_long("crc32"), crc32(data));
}

TEST(Programs, CrcOfTheCheckStringAndOfRandomData) {
  const char* check = "123456789";
  const std::vector<std::uint8_t> digits(check, check + 9);
  ASSERT_EQ(crc16_ccitt(digits), 0x29B1);  // the published check values
  ASSERT_EQ(crc32(digits), 0xCBF43926u);
  run_crc(digits, true);
  std::mt19937 random(7);
  std::vector<std::uint8_t> data(509);
  for (auto& b : data) b = static_cast<std::uint8_t>(random());
  run_crc(data, false);
}

TEST(Programs, MultiplyAndDivide32) {
  test::Program p("muldiv");
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs = {
      {0, 1}, {1, 1}, {0xFFFFFFFF, 1}, {0xFFFFFFFF, 0xFFFFFFFF}, {0x80000000, 2}, {12345678, 9},
      {5, 0xFFFFFFFF}, {0x10000, 0x10000}, {0x7FFFFFFF, 0x10001}, {1000000007, 65535},
  };
  std::mt19937 random(99);
  while (pairs.size() < 64) pairs.emplace_back(random(), random() >> (random() % 32));
  for (auto& [a, b] : pairs)
    if (b == 0) b = 3;
  p.poke_word("count", 0, static_cast<std::uint16_t>(pairs.size()));
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    p.poke_word("pairs", static_cast<unsigned>(8 * i), static_cast<std::uint16_t>(pairs[i].first >> 16));
    p.poke_word("pairs", static_cast<unsigned>(8 * i + 2), static_cast<std::uint16_t>(pairs[i].first));
    p.poke_word("pairs", static_cast<unsigned>(8 * i + 4), static_cast<std::uint16_t>(pairs[i].second >> 16));
    p.poke_word("pairs", static_cast<unsigned>(8 * i + 6), static_cast<std::uint16_t>(pairs[i].second));
  }
  p.run_checking_cycles();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const auto [a, b] = pairs[i];
    SCOPED_TRACE(std::to_string(a) + " and " + std::to_string(b));
    EXPECT_EQ(p.peek_long("results", static_cast<unsigned>(12 * i)), a * b);
    EXPECT_EQ(p.peek_long("results", static_cast<unsigned>(12 * i + 4)), a / b);
    EXPECT_EQ(p.peek_long("results", static_cast<unsigned>(12 * i + 8)), a % b);
  }
}

std::uint32_t to_bcd(std::uint64_t v, int bytes, std::uint8_t* out) {
  for (int i = bytes - 1; i >= 0; --i) {
    out[i] = static_cast<std::uint8_t>((v % 10) | (v / 10 % 10) << 4);
    v /= 100;
  }
  return 0;
}

TEST(Programs, PackedBcdAdditionWithDaa) {
  test::Program p("bcd");
  std::mt19937 random(5);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs = {{99999999, 1}, {0, 0}, {50505050, 49494950}, {19, 81}};
  while (pairs.size() < 40) pairs.emplace_back(random() % 100000000, random() % 100000000);
  p.poke_word("count", 0, static_cast<std::uint16_t>(pairs.size()));
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    std::uint8_t a[4], b[4];
    to_bcd(pairs[i].first, 4, a);
    to_bcd(pairs[i].second, 4, b);
    for (int k = 0; k < 4; ++k) {
      p.poke("numbers", static_cast<unsigned>(8 * i + k), a[k]);
      p.poke("numbers", static_cast<unsigned>(8 * i + 4 + k), b[k]);
    }
  }
  p.run_checking_cycles();
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    std::uint8_t sum[5];
    to_bcd(std::uint64_t{pairs[i].first} + pairs[i].second, 5, sum);
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ(p.peek("sums", static_cast<unsigned>(5 * i + k)), sum[k]) << pairs[i].first << " + " << pairs[i].second;
  }
}

TEST(Programs, BubbleSortOfSignedWords) {
  test::Program p("bsort");
  std::mt19937 random(3);
  std::vector<std::int16_t> values = {32767, -32768, 0, -1, 1, 0, 32767, -32768};
  while (values.size() < 120) values.push_back(static_cast<std::int16_t>(random()));
  p.poke_word("count", 0, static_cast<std::uint16_t>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i)
    p.poke_word("values", static_cast<unsigned>(2 * i), static_cast<std::uint16_t>(values[i]));
  p.run_checking_cycles();
  std::sort(values.begin(), values.end());
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(static_cast<std::int16_t>(p.peek_word("values", static_cast<unsigned>(2 * i))), values[i]) << i;
}

TEST(Programs, RecursiveFibonacciThroughTheStack) {
  test::Program p("recursive");
  p.poke_word("count", 0, 20);
  p.run_checking_cycles();
  std::uint16_t a = 0, b = 1;
  for (unsigned n = 0; n < 20; ++n) {
    EXPECT_EQ(p.peek_word("results", 2 * n), a) << "fib(" << n << ")";
    const std::uint16_t next = static_cast<std::uint16_t>(a + b);
    a = b;
    b = next;
  }
  EXPECT_EQ(p.t.regs.sp, 0x3F00);
  EXPECT_LT(p.peek_word("low_water"), 0x3F00 - 19 * 4);  // nineteen frames of return address and n at least
}

TEST(Programs, BankedCallsAcrossFlashPages) {
  test::Program p("banked");
  p.t.regs.ppage = 0x3E;
  p.run_checking_cycles();
  EXPECT_EQ(p.peek_word("result1"), 26);      // (3 + 10) * 2, page 0x30 calling into 0x31
  EXPECT_EQ(p.peek_word("result2"), 15);      // indirect call, page from memory
  EXPECT_EQ(p.peek_word("result3"), 28);      // indexed call, bsr/rts inside the page
  EXPECT_EQ(p.peek_word("result4"), 0x3031);  // each page seen through the window in turn
  EXPECT_EQ(p.peek("ppage_io"), 0);           // call changes the register, not its I/O byte
  EXPECT_EQ(p.t.regs.ppage, 0x3E);
  EXPECT_EQ(p.t.regs.sp, 0x3F00);
}

TEST(Programs, GlobalAccessesThroughGpage) {
  test::Program p("global");
  std::mt19937 random(11);
  std::uint16_t sum = 0;
  std::uint8_t source[32];
  for (int i = 0; i < 32; ++i) {
    source[i] = static_cast<std::uint8_t>(random());
    p.t.memory.poke(0x123400 + i, source[i]);
  }
  for (int i = 0; i < 16; ++i) sum = static_cast<std::uint16_t>(sum + (source[2 * i] << 8 | source[2 * i + 1]));
  // The global forms have no HCS12 pattern: the table's, one "O" more than the
  // plain load or store, are accepted here explicitly.
  const test::AcceptedPatterns global_forms = {
      {{2, 0xEC}, {true, "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"}},  // gldd indexed
      {{2, 0xE6}, {true, "OrPf/OrPO/OfrPP/OfIfrPf/OfIPrPf"}},  // gldab indexed
      {{2, 0x6B}, {true, "OPw/OPwO/OPwP/OPIfw/OPIPw"}},        // gstab indexed
      {{2, 0x6C}, {true, "OPW/OPWO/OPWP/OPIfW/OPIPW"}},        // gstd indexed
      {{2, 0x6F}, {true, "OPW/OPWO/OPWP/OPIfW/OPIPW"}},        // gsts indexed
      {{2, 0x7D}, {false, "OPWO"}},                            // gsty extended
      {{2, 0x7E}, {false, "OPWO"}},                            // gstx extended
      {{2, 0xB6}, {false, "OrPO"}},                            // gldaa extended
      {{2, 0xFE}, {false, "ORPO"}},                            // gldx extended
      {{2, 0xED}, {true, "ORPf/ORPO/OfRPP/OfIfRPf/OfIPRPf"}},  // gldy indexed
  };
  p.run_checking_cycles(global_forms);
  EXPECT_EQ(p.peek_word("sum"), sum);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(p.t.memory.peek(0x0F8000 + i), source[i]) << i;
  EXPECT_EQ(p.t.memory.peek(0x0F9000) << 8 | p.t.memory.peek(0x0F9001), sum);
  EXPECT_EQ(p.t.memory.peek(0x0F9002) << 8 | p.t.memory.peek(0x0F9003), 0x1234);
  EXPECT_EQ(p.t.memory.peek(0x0F9004) << 8 | p.t.memory.peek(0x0F9005), 0xBEEF);
  EXPECT_EQ(p.t.memory.peek(0x0F9006) << 8 | p.t.memory.peek(0x0F9007), 0x3F00);
  EXPECT_EQ(p.peek("check_a"), sum & 0xFF);
  EXPECT_EQ(p.peek_word("check_x"), 0x1234);
  EXPECT_EQ(p.peek_word("check_y"), 0xBEEF);
  EXPECT_EQ(p.t.regs.gpage, 0x0F);
  EXPECT_EQ(p.t.memory.peek(0x09000), 0);  // nothing went to the local map's view of 0x9000
}

// The inference worked by hand: input 1 = 0x48 is low 0x60 (96 - 72 = 24, times
// slope 4), medium 0x20, high 0; input 2 = 0xA8 is low 0, medium 0x60, high 0x20.
// Rules: fast = min(0x60, 0x60); medium = max(min(0x20, 0x60), min(0x60, 0x20));
// slow = max(min(0x20, 0x20), min(0, 0)). Weighted average:
// (0x20*0x20 + 0x80*0x20 + 0xE0*0x60) / (0x20 + 0x20 + 0x60) = 26624 / 160 = 166.
TEST(Programs, FuzzyInferenceWithMemRevWav) {
  test::Program p("fuzzy");
  p.run_checking_cycles();
  const std::uint8_t grades[6] = {0x60, 0x20, 0x00, 0x00, 0x60, 0x20};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(p.peek("grades", i), grades[i]) << i;
  EXPECT_EQ(p.peek("out_slow"), 0x20);
  EXPECT_EQ(p.peek("out_medium"), 0x20);
  EXPECT_EQ(p.peek("out_fast"), 0x60);
  EXPECT_EQ(p.peek_word("sum_high"), 0x0000);
  EXPECT_EQ(p.peek_word("sum_low"), 0x6800);
  EXPECT_EQ(p.peek_word("sum_grades"), 0x00A0);
  EXPECT_EQ(p.peek_word("crisp"), 166);
  EXPECT_EQ(p.t.regs.d(), 64);  // the remainder
}

// Cpu::run takes straight-line code from its stretch cache, run_until goes
// one instruction at a time: on every program, the one that rewrites its own
// code and switches PPAGE under itself included, both end in the same state.
// The runs in chunks end inside stretches, at their ends and just past them,
// also where a branch went its other way.
TEST(Programs, StretchesAndSingleStepsAgree) {
  // Data that sends the programs' forward branches both ways.
  auto loaded = [](const char* name) {
    auto p = std::make_unique<test::Program>(name);
    std::mt19937 random(5);
    if (std::string_view(name) == "bsort") {
      p->poke_word("count", 0, 40);
      for (unsigned i = 0; i < 40; ++i) p->poke_word("values", 2 * i, static_cast<std::uint16_t>(random()));
    } else if (std::string_view(name) == "crc") {
      p->poke_word("length", 0, 24);
      for (unsigned i = 0; i < 24; ++i) p->poke("buffer", i, static_cast<std::uint8_t>(random()));
    } else if (std::string_view(name) == "recursive") {
      p->poke_word("count", 0, 8);
    }
    return p;
  };
  for (const char* name : {"changing", "banked", "bsort", "crc", "global", "muldiv", "recursive"}) {
    SCOPED_TRACE(name);
    const auto stepped_program = loaded(name), cached_program = loaded(name), chunked_program = loaded(name);
    test::Program& stepped = *stepped_program;
    const std::uint64_t instructions = stepped.run();
    test::Program& cached = *cached_program;
    EXPECT_EQ(cached.t.cpu.run(instructions).instructions, instructions);
    test::Program& chunked = *chunked_program;
    const std::uint64_t chunks[] = {1, 5, 31, 32, 33, 100};
    std::uint64_t done = 0;
    for (int i = 0; done < instructions; ++i) {
      // Exactly as many as asked, also where a branch's other way skips ahead in a stretch.
      const std::uint64_t asked = std::min(chunks[i % 6], instructions - done);
      ASSERT_EQ(chunked.t.cpu.run(asked).instructions, asked) << "chunk " << i;
      done += asked;
    }
    auto state = [](const test::Program& p) {
      const CpuRegs& r = p.t.regs;
      return std::vector<std::uint32_t>{r.a, r.b, r.ccr, r.x, r.y, r.sp, r.pc, r.ppage, r.rpage, r.epage, r.gpage,
                                        p.t.cpu.counters.time, p.t.cpu.counters.nbins};
    };
    EXPECT_EQ(state(cached), state(stepped));
    EXPECT_EQ(state(chunked), state(stepped));
    for (std::uint32_t a = 0x0FE000; a < 0x100000; ++a) {
      ASSERT_EQ(cached.t.memory.peek(a), stepped.t.memory.peek(a)) << std::hex << a;
      ASSERT_EQ(chunked.t.memory.peek(a), stepped.t.memory.peek(a)) << std::hex << a;
    }
  }
}

}  // namespace
}  // namespace tav
