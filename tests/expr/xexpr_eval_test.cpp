// Evaluation over the test program: typed reads and writes of every base
// type, operators and conversions, pointers, members, casts, names and
// scopes, and the error numbers.
#include <bit>

#include "expr_fixture.h"
#include "support/messages.h"

namespace tav::testing {
namespace {

using Eval = ExprTest;

TEST_F(Eval, TypedReadsOfEveryBaseType) {
  EXPECT_EQ(ival("gi"), -1);           // int is 16 bits
  EXPECT_EQ(ival("gu"), 65535);        // unsigned int keeps 16 bits
  EXPECT_EQ(ival("gc"), 'A');
  EXPECT_EQ(ival("guc"), 255);
  EXPECT_EQ(ival("gsc"), -128);
  EXPECT_EQ(ival("flag"), 1);          // bit 3 of its byte
  EXPECT_EQ(ival("gs"), -32768);
  EXPECT_EQ(ival("gus"), 32768);
  EXPECT_EQ(ival("gl"), 0x12345678);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("gul")), 0xFFFFFFFFu);
  EXPECT_DOUBLE_EQ(dval("gf"), 1.5);   // widened
  EXPECT_DOUBLE_EQ(dval("gd"), 150.0);
  EXPECT_DOUBLE_EQ(dval("gld"), -2.25);
  EXPECT_EQ(ival("sfr"), 0x4000);
  EXPECT_EQ(ival("lfr"), 0x40000000);
  EXPECT_EQ(ival("ec"), 5);
  EXPECT_EQ(error_of("GREEN"), msg::cannot_access_variable) << "enumerators live in the member list";
}

TEST_F(Eval, SizesFollowTheTypes) {
  EXPECT_EQ(eval("gi").size, 2u);
  EXPECT_EQ(eval("gl").size, 4u);
  EXPECT_EQ(eval("gd").size, 8u);
  EXPECT_EQ(eval("arr").size, 6u);
  EXPECT_EQ(eval("pt").size, 4u);
  EXPECT_EQ(eval("lp").size, 2u);
  EXPECT_EQ(ival("sizeof(larr)"), 16);
  EXPECT_EQ(ival("sizeof(long)"), 4);
  EXPECT_EQ(ival("sizeof(struct pt)"), 4);
  EXPECT_EQ(ival("sizeof(Point)"), 4);
  EXPECT_EQ(ival("sizeof(char *)"), 2);
  EXPECT_EQ(ival("sizeof gd"), 8);
  EXPECT_EQ(ival("sizeof(gi = 3)"), 2);
  EXPECT_EQ(memory.ReadWord(at::gi), 0xFFFF) << "sizeof does not evaluate";
}

TEST_F(Eval, ArithmeticConversions) {
  EXPECT_EQ(ival("gi + 1"), 0);
  EXPECT_EQ(ival("gu + 1"), 65536);  // computes in 32 bits
  EXPECT_EQ(eval("gu + 1").type, kUnsignedInt);
  EXPECT_EQ(eval("gi + gl").type, kLong);
  EXPECT_EQ(eval("ec + 1").type, kInt);
  EXPECT_EQ(ival("-7 / 2"), -3);
  EXPECT_EQ(ival("-7 % 2"), -1);
  EXPECT_EQ(ival("-8 >> 1"), -4);  // arithmetic shift
  EXPECT_EQ(ival("1 << 33"), 2);   // count modulo 32
  EXPECT_EQ(ival("gul > 0"), 0);   // comparisons are signed
  EXPECT_EQ(ival("0x80000000 / -1"), static_cast<std::int32_t>(0x80000000u));
  const Value d = eval("gi + 0.5");
  EXPECT_EQ(d.type, kDouble);
  EXPECT_DOUBLE_EQ(d.dval, -0.5);
  EXPECT_EQ(eval("gd > 100").type, kInt);
  EXPECT_EQ(ival("gd > 100"), 1);
  EXPECT_EQ(ival("0.5 && 2"), 1);
  EXPECT_EQ(ival("0.0 || 0"), 0);
  EXPECT_EQ(error_of("gd % 2"), msg::illegal_operator);
  EXPECT_EQ(error_of("gd << 1"), msg::illegal_operator);
  EXPECT_EQ(error_of("~gd"), msg::illegal_type);
  EXPECT_EQ(error_of("!pt"), msg::illegal_type);
  EXPECT_EQ(error_of("-pt"), msg::illegal_type);
  EXPECT_EQ(error_of("pt + 1"), msg::illegal_type);
}

TEST_F(Eval, ZeroDivide) {
  EXPECT_EQ(error_of("7 / 0"), msg::zero_divide);
  EXPECT_EQ(error_of("7 % 0"), msg::zero_divide);
  EXPECT_EQ(error_of("7.0 / 0"), msg::zero_divide);
  EXPECT_EQ(error_of("7 / 0", 0), 0) << "mode 0 does not compute";
  EXPECT_EQ(ival("0 && 7 / 0"), 0) << "the right side of && is not evaluated";
  EXPECT_EQ(ival("1 || (gi = 4)"), 1);
  EXPECT_EQ(memory.ReadWord(at::gi), 0xFFFF);
}

TEST_F(Eval, PointerArithmetic) {
  const Value p = eval("lp + 1");
  EXPECT_TRUE(is_pointer(p));
  EXPECT_EQ(static_cast<std::uint32_t>(p.ival), (at::larr - 0xFC000) + 4);  // long * steps by 4
  EXPECT_EQ(static_cast<std::uint32_t>(ival("1 + lp")), (at::larr - 0xFC000) + 4);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("lq - 1")), (at::larr - 0xFC000) + 4);
  EXPECT_EQ(ival("lq - lp"), 2);
  EXPECT_EQ(eval("lq - lp").type, kInt);
  EXPECT_EQ(ival("*(lp + 3)"), 40);
  EXPECT_EQ(ival("lp[2]"), 30);
  EXPECT_EQ(ival("*lp"), 10);
  EXPECT_EQ(ival("lq > lp"), 1);
  EXPECT_EQ(ival("lp == &larr[0]"), 1);
  EXPECT_EQ(ival("&larr[2] - lp"), 2);
  EXPECT_EQ(ival("*(larr + 1)"), 20);  // an array turns into a pointer to its first element
  EXPECT_EQ(ival("np == 0"), 1);
  EXPECT_EQ(error_of("lp - str"), msg::illegal_type);
  EXPECT_EQ(error_of("lp + lq"), msg::illegal_type);
  EXPECT_EQ(error_of("1 - lp"), msg::illegal_type);
  EXPECT_EQ(error_of("lp + 1.5"), msg::illegal_type);
  EXPECT_EQ(error_of("*gi"), msg::illegal_type);
}

TEST_F(Eval, MembersIndexingAndAddresses) {
  EXPECT_EQ(ival("pt.a"), 1);
  EXPECT_EQ(ival("pt.b"), 2);
  EXPECT_EQ(ival("(&pt)->b"), 2);
  EXPECT_EQ(ival("nest.p.b"), 4);
  EXPECT_EQ(ival("nest.arr[1]"), 6);
  EXPECT_EQ(ival("arr[2]"), 3);
  EXPECT_EQ(ival("*arr"), 1);
  EXPECT_EQ(ival("u.c[1]"), 'B');
  EXPECT_EQ(ival("u.l"), 0x41424344);
  EXPECT_EQ(ival("str[1]"), 'i');
  EXPECT_EQ(ival("*&gi"), -1);
  EXPECT_EQ(eval("&pt.b").ival, static_cast<std::int32_t>(at::pt + 2 - 0xFC000));
  const Value m = eval("pt.b");
  EXPECT_EQ(m.address, at::pt + 2);
  EXPECT_EQ(m.kind, kValueObject);
  EXPECT_EQ(eval("arr[1]").address, at::arr + 2);
  EXPECT_EQ(error_of("pt.zz"), msg::unknown_field);
  EXPECT_EQ(error_of("gi.a"), msg::illegal_type);
  EXPECT_EQ(error_of("pt->a"), msg::illegal_type);
  EXPECT_EQ(error_of("gi[1]"), msg::illegal_type);
  EXPECT_EQ(error_of("arr[gd]"), msg::illegal_type);
  EXPECT_EQ(error_of("arr."), msg::syntax_error);
}

TEST_F(Eval, AssignmentsThroughEveryKindOfTarget) {
  EXPECT_EQ(ival("gi = 0x12345"), 0x2345);
  EXPECT_EQ(memory.ReadWord(at::gi), 0x2345);
  EXPECT_EQ(ival("guc = 0x1FF"), 255);
  EXPECT_EQ(memory.ReadByte(at::guc), 0xFF);
  EXPECT_EQ(ival("gl = -2"), -2);
  EXPECT_EQ(memory.ReadLong(at::gl), 0xFFFFFFFEu);
  EXPECT_DOUBLE_EQ(dval("gd = 2.5 * 2"), 5.0);
  EXPECT_EQ(memory.ReadLong(at::gd), std::bit_cast<std::uint64_t>(5.0) >> 32);
  EXPECT_DOUBLE_EQ(dval("gf = 7"), 7.0);
  EXPECT_EQ(memory.ReadLong(at::gf), std::bit_cast<std::uint32_t>(7.0f));
  EXPECT_EQ(ival("gi = 2.9"), 2);  // floating to integral truncates
  EXPECT_EQ(ival("*lp = 99"), 99);
  EXPECT_EQ(memory.ReadLong(at::larr), 99u);
  EXPECT_EQ(ival("arr[1] = -5"), -5);
  EXPECT_EQ(memory.ReadWord(at::arr + 2), 0xFFFB);
  EXPECT_EQ(ival("pt.b = pt.a + 10"), 11);
  EXPECT_EQ(memory.ReadWord(at::pt + 2), 11);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("lp = lp + 1")), (at::larr - 0xFC000) + 4);
  EXPECT_EQ(ival("*lp"), 20);

  // Registers, the cycle counter and debugger variables.
  EXPECT_EQ(ival("$x = 0x1234"), 0x1234);
  EXPECT_EQ(regs.x, 0x1234);
  EXPECT_EQ(ival("$d = 0xABCD"), 0xABCD);
  EXPECT_EQ(regs.a, 0xAB);
  EXPECT_EQ(eval("$a").kind, kValueRegisterName);
  int pc_moves = 0;
  env.pc_changed = [&] { ++pc_moves; };
  ival("$pc = 0xC010");
  EXPECT_EQ(regs.pc, 0xC010);
  EXPECT_EQ(pc_moves, 1);
  std::uint32_t cycles = 100;
  program.symbols().bind_kernel_variable(".time", &cycles);
  EXPECT_EQ(ival("$time"), 100);
  EXPECT_EQ(eval("$time").kind, kValueCycleCounter);
  ival("$time = 5");
  EXPECT_EQ(cycles, 5u);
  program.symbols().bind_kernel_variable(".time", nullptr);

  EXPECT_EQ(program.symbols().rensym("..n"), nullptr);
  EXPECT_EQ(ival(".n = .n + 1"), 1);  // created with 0 on first use
  EXPECT_EQ(ival(".n = .n + 1"), 2);
  ASSERT_NE(program.symbols().rensym("..n"), nullptr);
  EXPECT_EQ(program.symbols().rensym("..n")->value(), 2u);
  EXPECT_EQ(eval(".n").type, kUnsignedLong);

  // What cannot be assigned.
  EXPECT_EQ(error_of("arr = 1"), msg::not_updatable);
  EXPECT_EQ(error_of("pt = 1"), msg::not_updatable);
  EXPECT_EQ(error_of("gi + 1 = 1"), msg::not_updatable);
  EXPECT_EQ(error_of("TOP = 1"), msg::not_updatable);
  EXPECT_EQ(error_of("main = 1"), msg::not_updatable);
  EXPECT_EQ(error_of("3 = 1"), msg::not_updatable);
  EXPECT_EQ(error_of("gi = pt"), msg::illegal_type);
  // Mode 0 types the assignment but writes nothing.
  const Value typed = eval("gi = 77", 0);
  EXPECT_EQ(typed.type, kInt);
  EXPECT_NE(memory.ReadWord(at::gi), 77);
}

TEST_F(Eval, BitFieldsReadAndWriteKeepingTheirNeighbours) {
  EXPECT_EQ(ival("bits.lo"), 5);
  EXPECT_EQ(ival("bits.hi"), 10);
  EXPECT_EQ(ival("bits.mid"), 0x2A);
  EXPECT_EQ(ival("bits.sh"), 0xF);
  EXPECT_EQ(ival("bits.big"), 0xABC);

  EXPECT_EQ(ival("bits.lo = 2"), 2);
  EXPECT_EQ(memory.ReadByte(at::bits), 0x52);  // hi and bit 7 kept
  EXPECT_EQ(ival("bits.hi = 0x1F"), 0xF);      // masked to its width
  EXPECT_EQ(memory.ReadByte(at::bits), 0x7A);
  EXPECT_EQ(ival("bits.mid = 1"), 1);
  EXPECT_EQ(memory.ReadWord(at::bits + 2), 0xF01F);
  EXPECT_EQ(ival("bits.sh = 0"), 0);
  EXPECT_EQ(memory.ReadWord(at::bits + 2), 0x001F);
  EXPECT_EQ(ival("bits.big = 0x123"), 0x123);
  EXPECT_EQ(memory.ReadLong(at::bits + 4), 0xFFF123FFu);

  EXPECT_EQ(ival("flag = 0"), 0);
  EXPECT_EQ(memory.ReadByte(at::gflags), 0x00);
  memory.WriteByte(at::gflags, 0xF7);
  EXPECT_EQ(ival("flag"), 0);
  EXPECT_EQ(ival("flag = 5"), 1);
  EXPECT_EQ(memory.ReadByte(at::gflags), 0xFF);
}

TEST_F(Eval, Casts) {
  EXPECT_EQ(ival("(unsigned char)gi"), 255);
  EXPECT_EQ(ival("(char)0x1FF"), -1);
  EXPECT_EQ(ival("(unsigned)gi"), 65535);
  EXPECT_EQ(ival("(long)gi"), -1);
  EXPECT_EQ(ival("(short int)70000"), 70000 - 65536);
  EXPECT_EQ(ival("(int)gd"), 150);
  EXPECT_DOUBLE_EQ(dval("(double)gi / 2"), -0.5);
  EXPECT_DOUBLE_EQ(dval("(float)0.1"), static_cast<double>(0.1f));
  EXPECT_EQ(ival("(myint)gl"), 0x5678);
  EXPECT_EQ(ival("((struct pt *)&nest)->b"), 4);
  EXPECT_EQ(ival("((Point *)&nest)->a"), 3);
  EXPECT_EQ(ival("(int)*(unsigned char *)&gl"), 0x12);
  EXPECT_EQ(ival("*(int *)lp"), 0);
  EXPECT_EQ(eval("(unsigned long)1").type, kUnsignedLong);
  EXPECT_EQ(eval("(char *)str").type, eval("str").type);
  EXPECT_EQ(error_of("(struct nosuch *)lp"), msg::illegal_type);
  EXPECT_EQ(error_of("(struct pt)gi"), msg::illegal_type);
  EXPECT_EQ(error_of("(signed unsigned)gi"), msg::syntax_error);
}

TEST_F(Eval, RegistersAndSymbols) {
  regs.x = 0xBEEF;
  const Value x = eval("$x");
  EXPECT_EQ(x.ival, 0xBEEF);
  EXPECT_EQ(x.type, kUnsignedLong);
  EXPECT_EQ(error_of("$nosuch"), msg::cannot_access_variable);
  const Value top = eval("TOP");
  EXPECT_EQ(top.ival, 0x1234);
  EXPECT_EQ(top.kind, kValueSymbol);
  const Value only = eval("onlysym");  // found as "_onlysym"
  EXPECT_EQ(only.ival, 0x7E);
  EXPECT_EQ(only.type, kUnsignedChar);
  EXPECT_EQ(only.address, at::onlysym);
  const Value f = eval("main");
  EXPECT_TRUE(is_pointer(f));
  EXPECT_EQ(static_cast<std::uint32_t>(f.ival), at::main_start);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("main()")), at::main_start);
  EXPECT_EQ(error_of("nosuch()"), msg::function_not_found);
  EXPECT_EQ(evaluator.error_detail(), "nosuch()");
  EXPECT_EQ(ival("@12"), 12);
}

TEST_F(Eval, ScopeForms) {
  EXPECT_EQ(ival("gi"), -1);         // main.c comes first in file-name order
  EXPECT_EQ(ival("util.c:gi"), 13);  // a file's own static
  EXPECT_EQ(ival("util.c:counter"), 11);
  EXPECT_EQ(ival("main.c:sfile"), 7);
  EXPECT_EQ(ival("main():cnt"), 9);  // a function's static needs no frame
  EXPECT_EQ(static_cast<std::uint32_t>(ival("main():done")), at::done_label);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("main.c:11")), at::main_start + 4);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("main():12")), at::main_start + 0x10);
  EXPECT_EQ(error_of("main():23"), msg::line_not_found);
  EXPECT_EQ(error_of("nofile.c:x"), msg::file_not_found);
  EXPECT_EQ(evaluator.error_detail(), "nofile.c");
  EXPECT_EQ(error_of("nofunc():x"), msg::function_not_found);
  EXPECT_EQ(error_of("main.c:nosuch"), msg::cannot_access_variable);
  EXPECT_EQ(error_of("c:x"), msg::cannot_access_variable) << "one name, not a scope";
  EXPECT_EQ(error_of("c:1"), msg::file_not_found) << "line 1 of file c";
  EXPECT_EQ(error_of("main():y"), msg::cannot_access_variable) << "main is not running";
  EXPECT_EQ(error_of("y"), msg::cannot_access_variable);
  EXPECT_EQ(error_of("():y"), msg::no_frame);
  EXPECT_EQ(error_of("()"), msg::no_frame);
}

TEST_F(Eval, LocalsComeFromTheFrames) {
  enter("main", 0x3F00);
  memory.WriteWord(0xFFF00 - 2, 0x0042);      // y: frame base - 2
  memory.WriteLong(0xFFF00 - 6, 0x00010002);  // z: frame base - 6
  regs.set_d(0x0777);
  EXPECT_EQ(ival("y"), 0x42);
  EXPECT_EQ(eval("y").address, 0xFFF00u - 2);
  EXPECT_EQ(ival("z"), 0x10002);
  EXPECT_EQ(ival("r"), 0x777);  // a register variable
  EXPECT_EQ(error_of("&r"), msg::not_addressable);
  EXPECT_EQ(error_of("&5"), msg::not_addressable);
  EXPECT_EQ(error_of("&$x"), msg::not_addressable);
  EXPECT_EQ(ival("r = 5"), 5);
  EXPECT_EQ(regs.d(), 5);
  EXPECT_EQ(ival("():y"), 0x42);
  EXPECT_EQ(ival("main():y"), 0x42);
  EXPECT_EQ(static_cast<std::uint32_t>(ival("()")), at::main_start);

  // add(a, b): a arrives in a register (class 7) and is kept at the frame
  // base, which lies k = 2 bytes below the stack pointer.
  enter("add", 0x3E00);
  memory.WriteWord(0xFFE00 - 2, 7);      // a: frame base + 0
  memory.WriteWord(0xFFE00 + 2, 8);      // b: frame base + 2 + 2
  memory.WriteWord(0xFFE00 - 4, 15);     // sum: frame base - 2
  EXPECT_EQ(ival("a"), 7);
  EXPECT_EQ(ival("b"), 8);
  EXPECT_EQ(ival("sum"), 15);
  EXPECT_EQ(ival("main():y"), 0x42) << "another active function's locals";
  EXPECT_EQ(error_of("y"), msg::cannot_access_variable) << "not in the current function";
  env.register_args_on_stack = false;
  regs.set_d(0x0123);
  EXPECT_EQ(ival("a"), 0x123);  // then it lives in D
  env.register_args_on_stack = true;

  ASSERT_TRUE(frames.move_up());
  EXPECT_EQ(ival("y"), 0x42);  // the current frame moved to main
  frames.reset_current();

  enter("rchar", 0x3D00);
  regs.b = 0x61;
  EXPECT_EQ(ival("c"), 'a');  // class 23 with a char: register B
  EXPECT_EQ(error_of("&c"), msg::not_addressable);
}

TEST_F(Eval, XgateFramesConvertTheirAddresses) {
  // XGATE R7 = 0x8100 (RAM above 0x8000 maps to 0x0Fxxxx).
  memory.WriteWord(kXgateR0Addr + 14, 0x8100);
  enter("xtask", 0, Core::Xgate);
  const Frame* f = frames.innermost(Core::Xgate);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->base, 0x8100u - 2);  // no register argument: R7 - 2
  memory.WriteWord(0x0F8100 - 2 + 0 + 2, 0x1111);  // xa: base + value + 2
  memory.WriteWord(0x0F8100 - 2, 0x2222);          // xv: R7 - 2
  EXPECT_EQ(ival("xtask():xa"), 0x1111);
  EXPECT_EQ(ival("xtask():xv"), 0x2222);
  EXPECT_EQ(ival("xv"), 0x2222) << "plain names reach the XGATE frame when nothing else has them";
  EXPECT_EQ(eval("xv").address, 0x0F8100u - 2);
}

TEST_F(Eval, ModeZeroTypesWithoutReading) {
  const Value v = eval("pt.b", 0);
  EXPECT_EQ(v.type, kInt);
  EXPECT_EQ(v.address, at::pt + 2);
  EXPECT_EQ(v.ival, 0);
  EXPECT_EQ(eval("gd * 2", 0).type, kDouble);
  EXPECT_EQ(eval(".fresh", 0).type, kUnsignedLong);
  EXPECT_EQ(program.symbols().rensym("..fresh"), nullptr) << "mode 0 creates nothing";
  EXPECT_EQ(error_of("nosuch", 0), msg::cannot_access_variable);
}

}  // namespace
}  // namespace tav::testing
