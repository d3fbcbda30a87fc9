// The image commands where the transcripts cannot reach: a running target,
// functions on the call stack and the marks of execution control.
#include "image_fixture.h"
#include "run/program_image.h"
#include "commands/standard_debugger.h"
#include "kernel/recording_host.h"
#include "sample_program.h"

namespace tav::testing {
namespace {

class CommandTest : public ImageTest {
 protected:
  CommandTest() : d(kernel_host) {
    d.config_file = path("ZUZU12Z.INI");
    program.hooks().set_pc = [](std::uint32_t) {};
  }
  const char* run(const char* handler(Debugger&, Program&, const char*, int), const std::string& args) {
    args_ = args;
    kernel_host.window.clear();
    kernel_host.boxes.clear();
    return handler(d, program, args_.c_str(), 1);
  }
  std::string boxes() const {
    std::string s;
    for (const auto& b : kernel_host.boxes) s += b.first + ": " + b.second;
    return s;
  }
  void load_sample() {
    sample_file = put("sample.x12", sample_program().object.bytes());
    run(image_load, sample_file);
    ASSERT_FALSE(program.tables().empty()) << boxes();
  }

  RecordingHost kernel_host;
  StandardDebugger d;
  std::string sample_file;

 private:
  std::string args_;
};

TEST_F(CommandTest, LoadIsRefusedWhileTheTargetRuns) {
  d.run.running = true;
  run(image_load, put("p.bin", Bytes{1}));
  EXPECT_EQ(kernel_host.beeps, 1);
  EXPECT_EQ(program.format(), ImageFormat::None);
}

TEST_F(CommandTest, ActivAndDeactSetTheMarks) {
  load_sample();
  FunctionBlock* main_fn = program.tables().find_function("main");
  FunctionBlock* helper = program.tables().find_function("helper");
  EXPECT_STREQ(run(image_activ, "main , helper;go"), ";go");
  EXPECT_TRUE(main_fn->active && helper->active);
  EXPECT_EQ(function_mark(*main_fn), " (on)   ");
  main_fn->exec_mark = true;
  EXPECT_EQ(function_mark(*main_fn), " (act)  ");
  run(image_funcs, "main.c");
  EXPECT_EQ(kernel_host.window, "Functions in file: main.c\n (act)  main() at 0xc000\n (on)   helper() at 0xc010\n\n");

  program.hooks().in_call_stack = [&](const FunctionBlock& f) { return &f == main_fn; };
  run(image_deact, "*");
  EXPECT_EQ(boxes(), "Error: function in stack frame: main\n");
  EXPECT_TRUE(main_fn->active);
  EXPECT_FALSE(helper->active);
  run(image_activ, "*");
  EXPECT_TRUE(program.tables().find_function("twice")->active);

  run(image_deact, "nosuch, helper");
  EXPECT_EQ(boxes(), "Error: function not found: nosuch\n");
  EXPECT_FALSE(helper->active) << "the other names of the list still count";
  run(image_activ, "");
  EXPECT_EQ(boxes(), "Error: Missing function for activate \n");
  run(image_activ, "12");
  EXPECT_EQ(boxes(), "Error: incorrect argument: 12\n");
}

}  // namespace
}  // namespace tav::testing
