// The kernel console as a user at a terminal meets it: the prompts it shows
// while it asks for lines, interactive memory modify and line assembly, and
// command strings run from outside the console (scan only, "<" files).
#include "kconsole/kelm.h"

#include "kernel_fixture.h"

namespace tav {
namespace {

// Remembers every prompt next to the line it answered with.
class PromptHost : public RecordingHost {
 public:
  std::vector<std::string> prompts;
  bool read_input(std::string_view prompt, std::string& line, std::size_t max) override {
    prompts.emplace_back(prompt);
    return RecordingHost::read_input(prompt, line, max);
  }
};

class KelmTest : public KernelTest {
 protected:
  void console(std::initializer_list<const char*> lines) {
    for (const char* l : lines) host.inputs.emplace_back(l);
    d.kelm.kelm_exec(nullptr, 1);
  }
  PromptHost& prompter() { return prompt_host_; }

  // A second debugger on the prompt-recording host.
  PromptHost prompt_host_;
  StandardDebugger pd{prompt_host_};
};

TEST_F(KelmTest, ConsolePromptsAndTheEndOfASession) {
  prompt_host_.inputs = {"x 1", "q", "n", "x 2", "q", "Y", "x 3"};
  pd.kelm.kelm_exec(nullptr, 1);
  EXPECT_EQ(prompt_host_.window, "0x1\n0x2\n");
  const std::vector<std::string> expected{"-> ", "-> ", "are you sure ?", "-> ", "-> ", "are you sure ?"};
  EXPECT_EQ(prompt_host_.prompts, expected);
  ASSERT_EQ(prompt_host_.inputs.size(), 1u);  // "x 3" stays for whoever reads next
  EXPECT_FALSE(pd.kelm.in_session());
}

TEST_F(KelmTest, ContinuedGroupsPromptAgain) {
  prompt_host_.inputs = {"vf two {", "x \\1", "x \\2 }", "two 5, 6", "quit"};
  pd.kelm.kelm_exec(nullptr, 1);
  EXPECT_EQ(prompt_host_.window, "0x5\n0x6\n");
  EXPECT_EQ(prompt_host_.prompts.size(), 5u);
}

TEST_F(KelmTest, InteractiveModifyShowsAddressAndValueOfEachUnit) {
  pd.memory.WriteWord(0x1000, 0x1234);
  pd.memory.WriteWord(0x1002, 0xABCD);
  prompt_host_.inputs = {"7", "", "bogus", "0x55aa", ".", "quit"};
  pd.kelm.kelm_exec("mw 0x1000", 1);
  // "bogus" is refused and the same unit is asked for again.
  const std::vector<std::string> expected{"0x001000: 0x1234 = ", "0x001002: 0xabcd = ", "0x001004: 0x0000 = ",
                                          "0x001004: 0x0000 = ", "0x001006: 0x0000 = "};
  EXPECT_EQ(prompt_host_.prompts, expected);
  EXPECT_EQ(prompt_host_.window, "symbol not found\n");
  EXPECT_EQ(pd.memory.ReadWord(0x1000), 0x0007);
  EXPECT_EQ(pd.memory.ReadWord(0x1002), 0xABCD);
  EXPECT_EQ(pd.memory.ReadWord(0x1004), 0x55AA);
  EXPECT_EQ(pd.kelm.current_address(), 0x1006u);
}

TEST_F(KelmTest, LineAssemblerPatchesCodeLineByLine) {
  prompt_host_.inputs = {"ldaa #0x12", "loop: nop", "ldaa #300", "", "bra loop", "."};
  pd.kelm.kelm_exec("a 0x4000", 1);
  // ldaa #0x12 = 86 12; nop = a7; the skipped byte stays; bra back to 0x4002 from 0x4006.
  const std::uint8_t expected[] = {0x86, 0x12, 0xA7, 0x00, 0x20, 0xFC};
  for (unsigned i = 0; i < sizeof expected; ++i) EXPECT_EQ(pd.memory.ReadByte(0x4000 + i), expected[i]) << i;
  const ProgramSymbol* loop = pd.program.symbols().rensym("loop");
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->value(), 0x4002u);
  EXPECT_EQ(prompt_host_.window, "value too large\n");
  ASSERT_EQ(prompt_host_.prompts.size(), 6u);
  // Each prompt: the address and the instruction now there, in a 30-column field.
  EXPECT_EQ(prompt_host_.prompts[0], "0x004000     bgnd                          ");
  EXPECT_EQ(prompt_host_.prompts[1], "0x004002     bgnd                          ");
  EXPECT_EQ(prompt_host_.prompts[5], "0x004006     bgnd                          ");
  EXPECT_EQ(pd.kelm.current_address(), 0x4006u);
  // Back at the label: it is shown before the instruction it names.
  prompt_host_.inputs = {"."};
  pd.kelm.kelm_exec("a loop", 1);
  EXPECT_EQ(prompt_host_.window, "value too large\n0x004002  loop:\n");
  EXPECT_EQ(prompt_host_.prompts.back(), "0x004002     nop                           ");
}

TEST_F(KelmTest, ScanOnlyChangesNothing) {
  d.kelm.kelm_exec("x 1; mb 0x1000, 5; name = 3; vf m {x 2}; m; $a = 9; q; {x 4}", 0);
  EXPECT_EQ(host.window, "");
  EXPECT_EQ(d.memory.ReadByte(0x1000), 0);
  EXPECT_EQ(d.program.symbols().rensym("name"), nullptr);
  EXPECT_EQ(d.registers.ReadRegister(REG_A), 0u);
  EXPECT_TRUE(host.inputs.empty());
}

TEST_F(KelmTest, CommandFilesOpenedOutsideTheConsoleRunBeforeTheCallerGoesOn) {
  write("inner.k", "x 2\nx 3\n");
  write("outer.k", "x 1\n< " + file("inner.k") + "\nx 4\n");
  d.kelm.kelm_exec(("< " + file("outer.k") + "; x 0").c_str(), 1);
  EXPECT_EQ(host.window, "0x0\n0x1\n0x2\n0x3\n0x4\n");
  EXPECT_TRUE(host.inputs.empty());  // the console was not asked for anything
}

TEST_F(KelmTest, AMacroMayRedefineItselfWhileItRuns) {
  d.kelm.kelm_exec("vf m {vf m {x 2}; x 1}; m; m", 1);
  EXPECT_EQ(host.window, "0x1\n0x2\n");
  d.kelm.kelm_exec("vf .panel {x 1}; vf .ftime {x 2}", 1);
  EXPECT_TRUE(d.kelm.panel_flag());
  EXPECT_TRUE(d.kelm.timing_flag());
  d.kelm.kelm_exec("vf .panel {}; zf", 1);
  EXPECT_FALSE(d.kelm.panel_flag());
  EXPECT_FALSE(d.kelm.timing_flag());
}

TEST_F(KelmTest, AnErrorEndsOnlyTheCommandStringItHappensIn) {
  d.kelm.kelm_exec("x 1; g; x 2", 1);
  d.kelm.kelm_exec("x 3", 1);
  EXPECT_EQ(host.window, "0x1\nunknown command\n0x3\n");
}

TEST_F(KelmTest, OutputRedirectAndLogFiles) {
  console({("h " + file("log.txt")).c_str(), ("> " + file("out.txt")).c_str(), "x 1", ">", "x 2", "h -", "x 3",
           "quit"});
  EXPECT_EQ(host.window, "0x2\n0x3\n");
  EXPECT_EQ(read("out.txt"), "0x1\n");
  EXPECT_EQ(read("log.txt"), "-> > " + file("out.txt") + "\n-> x 1\n0x1\n-> >\n-> x 2\n0x2\n-> h -\n");
}

TEST_F(KelmTest, MemoryImageRoundTrip) {
  d.kelm.kelm_exec(("ml 0x100, 0x11223344, 0x55667788; wm " + file("m.bin") + " 0x102, 0x107").c_str(), 1);
  EXPECT_EQ(read("m.bin"), std::string("\x33\x44\x55\x66\x77", 5));
  d.kelm.kelm_exec(("zm; ca " + file("m.bin") + "; d 0, #5").c_str(), 1);
  EXPECT_NE(host.window.find("0x000000   33 44 55 66 77"), std::string::npos) << host.window;
}

}  // namespace
}  // namespace tav
