// Call-stack frames: pushes and pops at function records, the last left
// frame, profiling counts, the broken-stack report, frame bases and moves.
#include "expr_fixture.h"

namespace tav::testing {
namespace {

class Frames : public ExprTest {
 protected:
  Frames() {
    frames.set_call_report([this](const FunctionBlock& f, Core core, bool entry) {
      calls += (entry ? "+" : "-") + std::string(f.name) + (core == Core::Xgate ? "@x " : " ");
    });
    frames.set_error_sink([this](std::string_view text) { reported += text; });
  }
  const DebugRecord* ghost(bool start) const {
    for (const DebugRecord& r : program.tables().records())
      if (r.second == "ghost" && (start ? r.is_start() : r.is_end())) return &r;
    return nullptr;
  }
  std::string names(Core core = Core::Cpu12) const {
    std::string out;
    for (const Frame* f : frames.walk(core)) out += std::string(f->function->name) + " ";
    return out;
  }
  std::string calls, reported;
};

TEST_F(Frames, StepInAndOutRestoresTheStack) {
  enter("main", 0x3F00);
  enter("add", 0x3E00);
  EXPECT_EQ(names(), "add main ");
  EXPECT_EQ(frames.current()->function->name, "add");
  leave("add");
  EXPECT_EQ(names(), "main ");
  ASSERT_NE(frames.last_left(Core::Cpu12), nullptr);
  EXPECT_EQ(frames.last_left(Core::Cpu12)->function->name, "add");
  EXPECT_EQ(frames.last_left(Core::Cpu12)->base, 0x3E00u - 2);
  EXPECT_EQ(frames.innermost(Core::Cpu12)->base, 0x3F00u);  // main has no register argument
  EXPECT_EQ(calls, "+main +add -add ");
  EXPECT_EQ(start_record("main")->hits, 1u);
  EXPECT_EQ(start_record("add")->hits, 1u);
  EXPECT_EQ(frames.depth(Core::Xgate), 0u);
}

TEST_F(Frames, LinesAreRememberedByTheInnermostFrame) {
  enter("main", 0x3F00);
  const DebugRecord* line12 = program.tables().record_at(at::main_start + 0x10);
  ASSERT_NE(line12, nullptr);
  frames.update(*line12, Core::Cpu12);
  EXPECT_EQ(frames.innermost(Core::Cpu12)->line, 12);
  // A record passed while the core does not run, or an interrupt is about
  // to be taken, changes nothing.
  frames.update(*start_record("add"), Core::Cpu12, CoreState{false, false});
  frames.update(*start_record("add"), Core::Cpu12, CoreState{true, true});
  EXPECT_EQ(names(), "main ");
}

TEST_F(Frames, ExitWithoutCallReportsABrokenStack) {
  leave("main");
  EXPECT_NE(reported.find(" EXITING non called function ->"), std::string::npos);
  EXPECT_NE(reported.find("main.c~main"), std::string::npos);
  EXPECT_NE(reported.find("Code Probably BROKEN"), std::string::npos);
  EXPECT_NE(reported.find("TARGET =0"), std::string::npos);
  EXPECT_EQ(frames.depth(Core::Cpu12), 0u);
  EXPECT_EQ(frames.last_left(Core::Cpu12), nullptr);
  EXPECT_EQ(calls, "");
  reported.clear();
  leave("xtask", Core::Xgate);
  EXPECT_NE(reported.find("TARGET =1"), std::string::npos);
}

TEST_F(Frames, DotFunctionsAreTrackedButNotReported) {
  ASSERT_NE(ghost(true), nullptr);
  enter("main", 0x3F00);
  frames.update(*ghost(true), Core::Cpu12);
  EXPECT_EQ(frames.depth(Core::Cpu12), 2u);
  EXPECT_EQ(frames.innermost(Core::Cpu12)->function->name, ".");
  frames.update(*ghost(false), Core::Cpu12);
  EXPECT_EQ(frames.depth(Core::Cpu12), 1u);
  EXPECT_EQ(calls, "+main ");
}

TEST_F(Frames, ProfilingHistoryKeepsCyclesOnTheEndRecord) {
  std::uint32_t now = 100;
  frames.set_cycle_source([&] { return now; });
  enter("main", 0x3F00);
  now = 160;
  leave("main");
  EXPECT_EQ(end_record("main")->cycles, 60u);
  enter("main", 0x3F00);
  enter("main", 0x3E00);  // recursion
  EXPECT_EQ(start_record("main")->hits, 3u);
}

TEST_F(Frames, CoresKeepSeparateStacks) {
  memory.WriteWord(kXgateR0Addr + 14, 0x8100);
  enter("main", 0x3F00);
  enter("xtask", 0, Core::Xgate);
  EXPECT_EQ(names(Core::Cpu12), "main ");
  EXPECT_EQ(names(Core::Xgate), "xtask ");
  EXPECT_EQ(frames.current()->function->name, "main");  // the CPU12's innermost
  EXPECT_EQ(calls, "+main +xtask@x ");
  frames.reset();
  EXPECT_EQ(frames.depth(Core::Cpu12) + frames.depth(Core::Xgate), 0u);
  EXPECT_EQ(frames.current(), nullptr);
  enter("xtask", 0, Core::Xgate);
  EXPECT_EQ(frames.current()->function->name, "xtask");  // no CPU12 frame: the XGATE's
}

TEST_F(Frames, Moves) {
  enter("main", 0x3F00);
  enter("add", 0x3E00);
  enter("rchar", 0x3D00);
  EXPECT_EQ(frames.current()->function->name, "rchar");
  EXPECT_FALSE(frames.move_down());
  EXPECT_TRUE(frames.move_up());
  EXPECT_EQ(frames.current()->function->name, "add");
  EXPECT_TRUE(frames.move_top());
  EXPECT_EQ(frames.current()->function->name, "main");
  EXPECT_FALSE(frames.move_up());
  EXPECT_TRUE(frames.move_down());
  EXPECT_EQ(frames.current()->function->name, "add");
  EXPECT_TRUE(frames.move_bottom());
  EXPECT_EQ(frames.current()->function->name, "rchar");
  EXPECT_TRUE(frames.move_up_to([](const Frame& f) { return f.function->name == "main"; }));
  EXPECT_EQ(frames.current()->function->name, "main");
  EXPECT_FALSE(frames.move_up_to([](const Frame&) { return true; }));
  // A run puts the current frame back on the innermost one.
  frames.reset_current();
  EXPECT_EQ(frames.current()->function->name, "rchar");
  // Popping below a chosen frame keeps a valid current frame.
  frames.move_top();
  leave("rchar");
  leave("add");
  EXPECT_EQ(frames.current()->function->name, "main");
}

// Width of the first argument that arrives in a register, by its type.
TEST(FrameBase, RegisterArgumentWidth) {
  auto width = [](std::uint8_t cls, std::uint32_t type, std::uint32_t value = 1, std::uint32_t attr = 0) {
    FunctionBlock f;
    SymbolEntry other;
    other.storage_class = 2;
    other.type = kLong;
    SymbolEntry e;
    e.storage_class = cls;
    e.type = type;
    e.value = value;
    e.pointer_attr = static_cast<std::uint16_t>(attr);
    f.locals = {other, e};
    return FrameStacks::register_argument_width(f);
  };
  EXPECT_EQ(width(2, kInt), 0);  // no register argument
  EXPECT_EQ(width(7, kInt), 2);
  EXPECT_EQ(width(23, kInt), 2);
  EXPECT_EQ(width(7, kLong), 4);
  EXPECT_EQ(width(7, kDouble), 4);
  EXPECT_EQ(width(7, kChar, 0), 1);
  EXPECT_EQ(width(7, kChar, 1), 2);
  EXPECT_EQ(width(7, kShortFract), 2);
  EXPECT_EQ(width(7, kLongFract), 4);
  EXPECT_EQ(width(7, kCharEnum, 0), 1);
  EXPECT_EQ(width(7, kShortEnum), 2);
  EXPECT_EQ(width(7, kIntEnum), 2);
  EXPECT_EQ(width(7, kLongEnum), 4);
  const std::uint32_t pointer = add_derivation(kChar, Derivation::Pointer);
  EXPECT_EQ(width(7, pointer, 1, 0x8040), 4);
  EXPECT_EQ(width(7, pointer, 1, 0x8000), 2);
}

TEST_F(Frames, XgateFrameBases) {
  memory.WriteWord(kXgateR0Addr + 2, 0x8400);   // R1
  memory.WriteWord(kXgateR0Addr + 14, 0x8100);  // R7
  FunctionBlock* x = program.tables().find_function("xtask");
  ASSERT_NE(x, nullptr);
  EXPECT_TRUE(FrameStacks::is_xgate_unit(*x));
  EXPECT_EQ(frames.frame_base(*x), 0x8100u - 2);
  x->start->flags |= 0x10;  // frame base from R1
  EXPECT_EQ(frames.frame_base(*x), 0x8400u);
  x->start->flags &= static_cast<std::uint8_t>(~0x10);
  regs.sp = 0x3F00;
  EXPECT_EQ(frames.frame_base(*program.tables().find_function("add")), 0x3F00u - 2);
}

}  // namespace
}  // namespace tav::testing
