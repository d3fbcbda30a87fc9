// The decode-execute engine: cycle charges, the deferred pointer update, the
// PC after an instruction, undefined opcodes, the access log, and agreement
// between the decoder and the execution path.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "sim/cycle_patterns.h"
#include "sim/decode.h"
#include "tests/sim/cpu_test_support.h"

namespace tav {
namespace {

TEST(CpuCore, CyclesOfTheDocumentedExamples) {
  test::CpuTarget t;
  t.exec({0xB6, 0x20, 0x00});  // ldaa extended, "rPO"
  EXPECT_EQ(t.cpu.counters.time, 3u);
  t.regs.sp = 0x3EFE;
  t.put_word(0x3EFE, 0xC100);
  t.exec({0x3D});  // rts, "UfPPP"
  EXPECT_EQ(t.cpu.counters.time, 8u);
  t.exec({0x3F});  // swi, "VSPSSPSsP"
  EXPECT_EQ(t.cpu.scratch.cycles, 9u);
  t.regs.ccr = CC_Z;
  t.exec({0x26, 0x10});  // bne not taken: the second alternative of "PPP/P"
  EXPECT_EQ(t.cpu.scratch.alt, 1);
  EXPECT_EQ(t.cpu.scratch.cycles, 1u);
  EXPECT_EQ(t.cpu.counters.time, 3u + 5u + 9u + 1u);
  EXPECT_EQ(t.cpu.counters.nbins, 4u);
}

TEST(CpuCore, PointerUpdateOfTheInstructionsOwnRegisterWins) {
  test::CpuTarget t;
  t.put_word(0x2000, 0xBEEF);
  t.regs.x = 0x2000;
  t.exec({0xEE, 0x32});  // ldx 3,x+
  EXPECT_EQ(t.regs.x, 0x2003);
  t.regs.x = 0x2000;
  t.exec({0x1A, 0x32});  // leax 3,x+: the address (the old X) wins
  EXPECT_EQ(t.regs.x, 0x2000);
  t.regs.x = 0x2000;
  t.regs.y = 0x1000;
  t.exec({0xED, 0x32});  // ldy 3,x+: another register moves at once
  EXPECT_EQ(t.regs.y, 0xBEEF);
  EXPECT_EQ(t.regs.x, 0x2003);
  t.regs.sp = 0x2000;
  t.exec({0x1B, 0xB1});  // leas 2,sp+
  EXPECT_EQ(t.regs.sp, 0x2000);
}

TEST(CpuCore, UndefinedOpcodeChangesNothing) {
  test::CpuTarget t;
  t.regs.a = 0x12, t.regs.x = 0x3456, t.regs.ccr = 0x00D0;
  t.put(0xC000, {0x18, 0x38});
  t.regs.pc = 0xC000;
  EXPECT_EQ(t.cpu.step(), 0xFFFFu);
  EXPECT_EQ(t.regs.pc, 0xC000);
  EXPECT_EQ(t.regs.a, 0x12);
  EXPECT_EQ(t.regs.x, 0x3456);
  EXPECT_EQ(t.regs.ccr, 0x00D0);
  EXPECT_EQ(t.cpu.counters.time, 0u);
  EXPECT_EQ(t.cpu.counters.nbins, 0u);
  EXPECT_EQ(t.exec({0x18, 0x30}), 0xFFFFu);  // the unimplemented-opcode trap stays undefined
  const auto run = t.cpu.run(5);
  EXPECT_TRUE(run.undefined);
  EXPECT_EQ(run.instructions, 0u);
  // A page-2 opcode that becomes undefined under a stretch already made:
  // inca; aba; bra back.
  t.put(0xD000, {0x42, 0x18, 0x06, 0x20, 0xFB});
  t.regs.pc = 0xD000;
  EXPECT_EQ(t.cpu.run(30).instructions, 30u);
  t.put(0xD002, {0x38});
  const std::uint8_t a = t.regs.a;
  const std::uint32_t time = t.cpu.counters.time;
  const auto stale = t.cpu.run(30);
  EXPECT_TRUE(stale.undefined);
  EXPECT_EQ(t.regs.pc, 0xD001);
  EXPECT_EQ(stale.instructions, 1u);  // only the inca
  EXPECT_EQ(stale.units, 1u);
  EXPECT_EQ(t.regs.a, static_cast<std::uint8_t>(a + 1));
  EXPECT_EQ(t.cpu.counters.time, time + 1);
}

// A stretch takes the executor of the postbyte it found for a loop primitive
// or an exg/tfr; a postbyte changed under it must still be obeyed. The same
// program with the same change runs once from the stretch cache and once
// step by step.
TEST(CpuCore, PostbyteChangedUnderAStretch) {
  struct Case {
    const char* what;
    std::uint16_t at;        // the changed byte
    std::uint8_t postbyte;   // its new value
  };
  // ldd #2; ldx #5; loop: iny; exg x,y; exg x,y; dbne x,loop; bra *
  const std::vector<std::uint8_t> program = {0xCC, 0x00, 0x02, 0xCE, 0x00, 0x05, 0x02, 0xB7,
                                             0xD6, 0xB7, 0xD6, 0x04, 0x35, 0xF8, 0x20, 0xFE};
  for (const Case& c : {Case{"dbne x becomes dbne d", 0xC00C, 0x34}, Case{"exg x,y becomes tfr y,b", 0xC008, 0x61},
                        Case{"dbne x becomes ibne y", 0xC00C, 0xB6}}) {
    SCOPED_TRACE(c.what);
    auto state = [](const test::CpuTarget& t) {
      return std::vector<std::uint32_t>{t.regs.a, t.regs.b, t.regs.x, t.regs.y, t.regs.ccr, t.regs.pc,
                                        t.cpu.counters.time, t.cpu.counters.nbins};
    };
    test::CpuTarget cached, stepped;
    for (test::CpuTarget* t : {&cached, &stepped}) {
      t->put(0xC000, program);
      t->regs.pc = 0xC000;
    }
    // To the loop's start, then once round it: the stretch made there stays.
    EXPECT_EQ(cached.cpu.run(2).instructions, 2u);
    EXPECT_EQ(cached.cpu.run(4).instructions, 4u);
    ASSERT_EQ(cached.regs.pc, 0xC006);
    for (int i = 0; i < 6; ++i) stepped.cpu.step();
    for (test::CpuTarget* t : {&cached, &stepped}) t->put(c.at, {c.postbyte});
    EXPECT_EQ(cached.cpu.run(40).instructions, 40u);
    for (int i = 0; i < 40; ++i) stepped.cpu.step();
    EXPECT_EQ(state(cached), state(stepped));
  }
}

TEST(CpuCore, ThePcStaysInItsWindowAndKeepsThePageRegisters) {
  test::CpuTarget t;
  t.regs.ppage = 0x30;
  t.exec({0xA7}, 0x4000);  // fixed flash page 0xFD
  EXPECT_EQ(t.regs.pc, 0x4001);
  EXPECT_EQ(t.regs.ppage, 0x30);
  t.exec({0x20, 0x10}, 0x7FF0);  // a branch inside the fixed page
  EXPECT_EQ(t.regs.pc, 0x8002);  // 0x7F8002 lies in page 0xFE, seen through the window
  EXPECT_EQ(t.regs.ppage, 0x30);
  t.exec({0xA7}, 0xBFFF);  // the last byte of the window: the next byte of page 0x30 is beyond it
  EXPECT_EQ(t.regs.pc, 0x8000);
  EXPECT_EQ(t.regs.ppage, 0x30);
  t.regs.rpage = 0xFD;
  t.exec({0xA7}, 0x1000);  // the RAM window
  EXPECT_EQ(t.regs.pc, 0x1001);
  EXPECT_EQ(t.regs.rpage, 0xFD);
}

TEST(CpuCore, InstructionsAcrossStoreBlocksAndTheEndOfTheMap) {
  test::CpuTarget t;
  t.put(0x2000, {0x5A, 0xA5});
  t.exec({0x18, 0xFC, 0x20, 0x00}, 0xC1FE);  // gldd: the operand bytes lie in the next 512-byte block
  EXPECT_EQ(t.regs.pc, 0xC202);
  EXPECT_EQ(t.regs.d(), 0);  // GPAGE 0: global 0x002000
  // ldd at the top of the map: the last byte is fetched from global 0x800000.
  t.memory.poke(0x7FFFFE, 0xFC);
  t.memory.poke(0x7FFFFF, 0x20);
  t.memory.poke(0x800000, 0x01);
  t.regs.pc = 0xFFFE;
  EXPECT_EQ(t.cpu.step(), 3u);
  EXPECT_EQ(t.regs.d(), 0xA500);
  EXPECT_EQ(t.regs.pc, 0x8001);  // 0x800001 by the WritePC rules, PPAGE kept
}

TEST(CpuCore, DirectPageAndPcRelativeOperands) {
  test::CpuTarget t;
  t.regs.direct = 0x21;
  t.put(0x2110, {0x5A});
  t.exec({0x96, 0x10});  // ldaa <0x10 with DIRECT 0x21
  EXPECT_EQ(t.regs.a, 0x5A);
  t.put(0xC005, {0x77});
  t.exec({0xA6, 0xC3});  // ldaa 3,pc: from after the instruction
  EXPECT_EQ(t.regs.a, 0x77);
  t.put(0xC006, {0x01});
  t.exec({0x0E, 0xC2, 0x01, 0x10});  // brset 2,pc,#1: mask and offset follow the postbyte
  EXPECT_EQ(t.regs.pc, 0xC014);
  t.put(0xC005, {0x00});
  t.exec({0x0C, 0xC1, 0x80});  // bset 1,pc,#0x80
  EXPECT_EQ(t.byte_at(0xC004), 0x80);
}

TEST(CpuCore, AccessLogInAccessOrder) {
  test::CpuTarget t;
  t.put(0x2002, {0x21, 0x00});
  t.regs.x = 0x2000;
  t.exec({0xA6, 0xE3, 0x00, 0x02});  // ldaa [2,x]: the pointer, then the operand
  ASSERT_EQ(t.cpu.scratch.log.count, 2);
  EXPECT_EQ(t.cpu.scratch.log.address[0], 0x0FE002u);
  EXPECT_EQ(t.cpu.scratch.log.address[1], 0x0FE100u);
  EXPECT_EQ(t.cpu.log_consumed(), 2);  // "fIfrPf": I and r
  t.exec({0x72, 0x20, 0x00});                // inc extended: read, then write
  ASSERT_EQ(t.cpu.scratch.log.count, 2);
  EXPECT_EQ(t.cpu.scratch.log.address[0], t.cpu.scratch.log.address[1]);
  t.exec({0xA7});
  EXPECT_EQ(t.cpu.scratch.log.count, 0);
}

// The run loop hands an executor the instruction's bytes in place, or a copy
// when they may run past the end of the store's 512-byte block: both must
// execute alike, wherever the block's end falls within the instruction.
TEST(CpuCore, InstructionsAcrossABlockEndRunAsInside) {
  const std::vector<std::vector<std::uint8_t>> programs = {
      {0x18, 0x03, 0x12, 0x34, 0x20, 0x00},        // movw #$1234,$2000
      {0x18, 0x01, 0xE2, 0x00, 0x02, 0x20, 0x06},  // movw $2006,2,x (16-bit offset, 7 bytes)
      {0x18, 0x0B, 0x55, 0x20, 0x04},              // movb #$55,$2004
      {0xEC, 0xE2, 0x01, 0x00},                    // ldd $100,x
      {0xA6, 0xE3, 0x00, 0x08},                    // ldaa [8,x]
      {0x1E, 0x20, 0x08, 0x01, 0x05},              // brset $2008,#1,*+10
      {0x18, 0x10},                                // idiv
  };
  const auto run = [](const std::vector<std::uint8_t>& code, std::uint16_t at) {
    test::CpuTarget t;
    t.regs.x = 0x2000;
    t.regs.set_d(0x1234);
    t.put(0x2006, {0x81, 0x00, 0x20, 0x0C, 0x00, 0x00, 0x7E});
    t.put(0x2100, {0x5A, 0xA5});
    const std::uint32_t length = t.exec(code, at);
    std::vector<std::uint32_t> state{length, t.regs.a, t.regs.b, t.regs.x, t.regs.y, t.regs.ccr,
                                     static_cast<std::uint16_t>(t.regs.pc - at), t.cpu.counters.time};
    for (std::uint16_t a = 0x2000; a < 0x2010; ++a) state.push_back(t.byte_at(a));
    return state;
  };
  for (const auto& code : programs)
    for (std::uint16_t at = 0xC1F8; at < 0xC200; ++at) EXPECT_EQ(run(code, at), run(code, 0xC100)) << std::hex << at;
}

TEST(CpuCore, SwitchedOffCoreRunsNothing) {
  test::CpuTarget t;
  t.cpu.s12x_enabled = false;
  EXPECT_EQ(t.exec({0x86, 0x12}), 0u);
  EXPECT_EQ(t.regs.a, 0);
  EXPECT_EQ(t.regs.pc, 0xC000);
}

// The decoder and the execution path read instructions separately; for random
// instructions in random register states they must agree on the length and on
// the memory operands' global addresses.
TEST(CpuCore, DecoderAndExecutionAgree) {
  std::mt19937 random(12345);
  int checked = 0;
  // One target, emptied each round: a new one would map and fault in its
  // tables again every time.
  test::CpuTarget t;
  for (int round = 0; round < 20000; ++round) {
    t.memory.clear();
    t.regs = CpuRegs{};
    t.cpu.counters = CpuCounters{};
    t.cpu.reset_state();
    std::uint8_t bytes[8];
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    if (round & 1) bytes[0] = 0x18;
    for (int i = 0; i < 8; ++i) t.memory.poke(0x7FC000 + i, bytes[i]);
    t.regs.x = static_cast<std::uint16_t>(0x2000 + (random() & 0x1FFF));
    t.regs.y = static_cast<std::uint16_t>(0x2000 + (random() & 0x1FFF));
    t.regs.sp = static_cast<std::uint16_t>(0x2100 + (random() & 0x1DFF));
    t.regs.set_d(static_cast<std::uint16_t>(random() & 0x00FF));
    t.regs.pc = 0xC000;
    const DecodedInsn d = decode_instruction(t.memory, t.regs, 0x7FC000);
    if (!d.defined()) {
      EXPECT_EQ(t.cpu.step(), 0xFFFFu);
      continue;
    }
    const Handler h = d.entry->handler;
    if (h == Handler::Flow || h == Handler::Stack || d.mnemonic == Mn::mem || d.mnemonic == Mn::rev ||
        d.mnemonic == Mn::revw || d.mnemonic == Mn::wav || d.mnemonic == Mn::wavi || d.mnemonic == Mn::emacs)
      continue;
    SCOPED_TRACE(std::string(d.name()) + " " + std::to_string(bytes[0]) + " " + std::to_string(bytes[1]) + " " +
                 std::to_string(bytes[2]));
    ASSERT_EQ(t.cpu.step(), d.length);
    EXPECT_EQ(t.regs.pc, Memory::GlobalToLocal(0x7FC000 + d.length));
    EXPECT_EQ(t.cpu.counters.time, decoded_cycles(d));
    const auto logged = [&](std::uint32_t a) {
      for (int i = 0; i < t.cpu.scratch.log.count; ++i)
        if (t.cpu.scratch.log.address[i] == a) return true;
      return false;
    };
    const bool lea = d.mnemonic == Mn::leas || d.mnemonic == Mn::leax || d.mnemonic == Mn::leay;
    for (const DecodedOperand* op : {&d.op, &d.dst}) {
      if (op->kind == OperandKind::Direct || op->kind == OperandKind::Extended || op->kind == OperandKind::Indexed) {
        if (!lea) {
          EXPECT_TRUE(logged(op->global)) << std::hex << op->global;
        }
        if (op->kind == OperandKind::Indexed && op->idx.indirect()) {
          EXPECT_TRUE(logged(Memory::local_to_global(op->idx.address, t.regs)));
        }
      }
    }
    if (!kEntryCosts[d.entry_index].move) {
      EXPECT_EQ(t.cpu.log_consumed(),
                std::min<int>(t.cpu.scratch.log.count, kEntryCosts[d.entry_index].data_of(d.alt)));
    }
    ++checked;
  }
  EXPECT_GT(checked, 8000);
}

}  // namespace
}  // namespace tav
