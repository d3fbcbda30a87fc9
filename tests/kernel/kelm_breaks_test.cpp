// The kernel console's low-level breakpoints without a program: the `b` and
// `bk` letters, the listing and state texts, and the check of one access.
#include <functional>
#include <vector>

#include "kconsole/kelm_breaks.h"
#include "kernel_fixture.h"
#include "support/messages.h"

namespace tav {
namespace {

class LowBreaksTest : public KernelTest {
 protected:
  LowBreaksTest() {
    breaks.set_output([this](std::string_view text) { printed += text; });
    breaks.set_exec([this](const char* text) {
      executed.emplace_back(text);
      if (action) action(text);
    });
  }
  // One `b` command as the console hands it over: the text after the letter.
  int b(const std::string& rest, bool execute = true) {
    text_ = rest;
    const char* cursor = text_.c_str();
    const int error = breaks.command(cursor, execute);
    left = cursor;
    return error;
  }
  std::uint32_t variable(const char* name) {
    const ProgramSymbol* s = d.program.symbols().rensym(name);
    return s ? s->value() : 0xDEADBEEF;
  }
  // One access as it happens inside an instruction of a run (commands may run).
  int in_run(std::uint32_t address, int access) {
    breaks.begin_instruction(0x7FC000);
    const int hit = breaks.lbrk_check(address, access);
    breaks.end_instruction();
    return hit;
  }

  LowBreaks& breaks = d.low_breaks;
  std::string printed;
  std::vector<std::string> executed;
  std::function<void(const char*)> action;
  std::string left;  // what the command left unconsumed

 private:
  std::string text_;
};

TEST_F(LowBreaksTest, NumbersStartAtOneAndReuseTheLowestFree) {
  EXPECT_EQ(b(" 0x4000"), 0);
  EXPECT_EQ(variable(".lbrk"), 1u);
  EXPECT_EQ(b(" 0x5000"), 0);
  EXPECT_EQ(b(" 0x6000"), 0);
  EXPECT_EQ(variable(".lbrk"), 3u);
  EXPECT_EQ(b("k 1 2"), 0);
  EXPECT_EQ(b(" 0x7000"), 0);  // takes 1, the lowest free number
  EXPECT_EQ(variable(".lbrk"), 1u);
  EXPECT_EQ(b(""), 0);
  EXPECT_EQ(printed, "(1) 0x007000 \n(3) 0x006000 \n");

  EXPECT_EQ(b("k 2"), msg::breakpoint_not_found);
  EXPECT_EQ(b("k"), msg::syntax_error);
  breaks.clear();
  EXPECT_TRUE(breaks.breaks().empty());
  EXPECT_FALSE(breaks.armed());
}

TEST_F(LowBreaksTest, ListingShowsEveryForm) {
  d.program.symbols().define_symbol("_start", 0x7FC000);
  ASSERT_EQ(b(" 0x7fc000"), 0);                  // symbol exactly
  ASSERT_EQ(b("r 0x7fc010"), 0);                 // symbol + offset, reads only
  ASSERT_EQ(b("w 0x2000, 0x10000ff"), 0);        // range, writes only; 8 digits when needed
  ASSERT_EQ(b("rw 0x10 ? [0x10] == 3"), 0);      // both letters: no (..)
  ASSERT_EQ(b(" {x 1; x 2}"), 0);                // every instruction
  ASSERT_EQ(b(" 0x12"), 0);                      // below every symbol
  ASSERT_TRUE(breaks.attach(6, "{x 1\nx 2}"));
  EXPECT_FALSE(breaks.attach(7, "{x 1}"));
  ASSERT_EQ(b(""), 0);
  EXPECT_EQ(printed,
            "(1) _start \n"
            "(2) _start+16 (r) \n"
            "(3) 0x002000 , 0x010000ff (w) \n"
            "(4) 0x000010 ? [0x10] == 3\n"
            "(5) ... ? {x 1; x 2}\n"
            "(6) 0x000012 ? {x 1\n\t\tx 2}\n");
  EXPECT_EQ(breaks.state_text(),
            "b 0x7fc000\n"
            "br 0x7fc010\n"
            "bw 0x2000, 0x10000ff\n"
            "b 0x10 ? [0x10] == 3\n"
            "b ? {x 1; x 2}\n"
            "b 0x12 ? {x 1; x 2}\n");
  EXPECT_TRUE(breaks.at(0x7FC000));
  EXPECT_FALSE(breaks.at(0x2001));  // inside a range, not its start
  EXPECT_TRUE(breaks.at(0x2000));
}

TEST_F(LowBreaksTest, CommandConsumesItsOwnTextOnly) {
  EXPECT_EQ(b(" 0x4000 {x 1; {x 2}}; x 3"), 0);
  EXPECT_EQ(left, "; x 3");
  EXPECT_EQ(breaks.breaks().back().commands, "{x 1; {x 2}}");
  EXPECT_EQ(b(" ? 1; x 2"), 0);  // the rest of the line belongs to the breakpoint
  EXPECT_EQ(left, "");
  EXPECT_EQ(breaks.breaks().back().commands, "1; x 2");
  EXPECT_EQ(b(" 0x10 ? 1 \"}\" x 2} x 3"), 0);  // ...up to the brace of a group it stands in
  EXPECT_EQ(left, "} x 3");
  EXPECT_EQ(b(" 0x20; x 1"), 0);
  EXPECT_EQ(left, "; x 1");

  // Scanning consumes the same text and sets nothing.
  const std::size_t count = breaks.breaks().size();
  EXPECT_EQ(b(" 0x4000 {x 1}; x 3", false), 0);
  EXPECT_EQ(left, "; x 3");
  EXPECT_EQ(b(" unknown_name", false), 0);
  EXPECT_EQ(breaks.breaks().size(), count);

  EXPECT_EQ(b(" 0x5000, 0x4000"), msg::incorrect_argument);
  EXPECT_EQ(b(" 0x4000 {x 1"), msg::syntax_error);
  EXPECT_EQ(b(" 0x4000 x"), msg::syntax_error);
  EXPECT_EQ(b("r"), msg::syntax_error);
  EXPECT_EQ(b(" unknown_name"), msg::symbol_not_found);
  EXPECT_EQ(breaks.breaks().size(), count);
}

TEST_F(LowBreaksTest, AccessesMatchByKindAndAddress) {
  ASSERT_EQ(b("r 0x100"), 0);           // 1
  ASSERT_EQ(b("w 0x200, 0x20f"), 0);    // 2
  ASSERT_EQ(b(" 0x300"), 0);            // 3: reads and writes
  const int read = LowBreaks::kAccessRead, write = LowBreaks::kAccessWrite, fetch = LowBreaks::kAccessFetch;

  EXPECT_EQ(in_run(0x100, read), 1);
  EXPECT_EQ(in_run(0x100, fetch), 1);  // a fetch is a read at the PC
  EXPECT_EQ(variable(".tbrk"), 1u);
  EXPECT_EQ(in_run(0x100, write), 0);
  EXPECT_EQ(in_run(0x1FF, write), 0);
  EXPECT_EQ(in_run(0x200, write), 2);
  EXPECT_EQ(in_run(0x20F, write), 2);  // both ends belong to the range
  EXPECT_EQ(variable(".abrk"), 0x20Fu);
  EXPECT_EQ(variable(".nbrk"), 2u);
  EXPECT_EQ(variable(".tbrk"), 2u);
  EXPECT_EQ(in_run(0x210, write), 0);
  EXPECT_EQ(in_run(0x205, read), 0);
  EXPECT_EQ(in_run(0x300, write), 3);
  EXPECT_EQ(in_run(0x300, fetch), 3);

  // An every-instruction breakpoint sees fetches anywhere, and no data
  // access (its condition keeps the fetches of in_run itself out).
  ASSERT_EQ(b(" ? .abrk == 0x5555"), 0);  // 4
  EXPECT_EQ(in_run(0x5555, read), 0);
  EXPECT_EQ(in_run(0x5555, write), 0);
  EXPECT_EQ(in_run(0x5555, fetch), 4);
  EXPECT_EQ(in_run(0x5554, fetch), 0);
}

TEST_F(LowBreaksTest, PendingHitBlocksFurtherChecksUntilTheNextInstruction) {
  ASSERT_EQ(b(" 0x100"), 0);
  ASSERT_EQ(b(" 0x200"), 0);
  breaks.begin_instruction(0x7FC000);
  EXPECT_EQ(breaks.lbrk_check(0x100, LowBreaks::kAccessRead), 1);
  EXPECT_EQ(breaks.lbrk_check(0x200, LowBreaks::kAccessRead), 1);  // still the first hit
  EXPECT_EQ(variable(".abrk"), 0x100u);
  EXPECT_TRUE(breaks.end_instruction());
  breaks.begin_instruction(0x7FC000);
  EXPECT_FALSE(breaks.hit());
  EXPECT_EQ(breaks.lbrk_check(0x200, LowBreaks::kAccessRead), 2);
  breaks.end_instruction();
}

TEST_F(LowBreaksTest, ConditionsDecideWhetherCommandsRun) {
  d.memory.WriteByte(0x2000, 7);
  ASSERT_EQ(b(" 0x100 ? [0x2000] == 3 x 1"), 0);  // 1: false, the walk goes on
  ASSERT_EQ(b(" 0x100 ? [0x2000] == 7 {x 2}"), 0);  // 2: true
  ASSERT_EQ(b(" 0x100 {x 3}"), 0);                  // 3: not reached
  EXPECT_EQ(in_run(0x100, LowBreaks::kAccessRead), 2);
  EXPECT_EQ(executed, (std::vector<std::string>{"{x 2}"}));

  // A condition alone: a conditional breakpoint without commands.
  executed.clear();
  ASSERT_EQ(b("k 2 3"), 0);
  ASSERT_EQ(b(" 0x100 ? [0x2000] == 7"), 0);
  EXPECT_EQ(in_run(0x100, LowBreaks::kAccessRead), 2);
  EXPECT_TRUE(executed.empty());

  // A condition that fails to evaluate stops with its message.
  ASSERT_EQ(b("k 2"), 0);
  ASSERT_EQ(b(" 0x100 ? no_such_name {x 1}"), 0);
  EXPECT_EQ(in_run(0x100, LowBreaks::kAccessRead), 2);
  EXPECT_EQ(box_text(), msgtext(msg::symbol_not_found) + "\n");

  // Outside the instructions of a run nothing runs: a match is a hit.
  executed.clear();
  breaks.begin_instruction(0x7FC000);  // forgets the last hit
  breaks.end_instruction();
  EXPECT_EQ(breaks.lbrk_check(0x100, LowBreaks::kAccessRead), 1);
  EXPECT_TRUE(executed.empty());
}

TEST_F(LowBreaksTest, CommandsCannotReenterAndDeletionsWaitForTheWalk) {
  ASSERT_EQ(b(" 0x100 {bk 1 2}"), 0);
  ASSERT_EQ(b(" 0x100"), 0);
  ASSERT_EQ(b(" 0x300"), 0);
  int inner = -1;
  action = [&](const char*) {
    inner = breaks.lbrk_check(0x300, LowBreaks::kAccessRead);  // the commands read memory
    ASSERT_EQ(b("k 1 2"), 0);
    EXPECT_EQ(breaks.breaks().size(), 3u);  // still linked while the walk stands on them
    ASSERT_EQ(b(" 0x400"), 0);             // a new one takes a free number
  };
  EXPECT_EQ(in_run(0x100, LowBreaks::kAccessRead), 1);
  EXPECT_EQ(inner, 0);
  std::vector<int> numbers;
  for (const LowBreak& lb : breaks.breaks()) numbers.push_back(lb.number);
  EXPECT_EQ(numbers, (std::vector<int>{3, 4}));
}

TEST_F(LowBreaksTest, RawAccessesWhileStoppedDoNotReport) {
  ASSERT_EQ(b(" 0x2000"), 0);
  d.memory.WriteByte(0x2000, 1);
  EXPECT_EQ(d.memory.ReadByte(0x2000), 1);
  EXPECT_FALSE(breaks.hit());
  // Inside an instruction of a run they do.
  breaks.begin_instruction(0x7FC000);
  d.memory.ReadByte(0x2000);
  EXPECT_TRUE(breaks.end_instruction());
  EXPECT_EQ(breaks.hit_number(), 1);
  breaks.begin_instruction(0x7FC000);
  EXPECT_FALSE(breaks.end_instruction());
  d.memory.ReadByte(0x2000);  // the instruction is over: no watcher left behind
  EXPECT_FALSE(breaks.hit());
}

}  // namespace
}  // namespace tav
