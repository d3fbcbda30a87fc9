#include "kernel/output.h"

#include "kernel_fixture.h"

namespace tav {
namespace {

using OutputTest = KernelTest;

TEST_F(OutputTest, CaptureBuffersTakeOutputInTheirOrder) {
  WinitFakeIo(d);
  putout(d, "one ");
  capture_begin(d, Capture::Second);
  putout(d, "two ");
  capture_begin(d, Capture::Format);
  putstrs(d, {"three", " "});
  EXPECT_EQ(capture_end(d, Capture::Format), "three ");
  EXPECT_EQ(capture_end(d, Capture::Second), "two ");
  putout(d, "four");
  EXPECT_EQ(fake_io_text(d), "one four");
  WinSetFakeIo(d);  // forget, keep capturing
  putout(d, "five");
  EXPECT_EQ(fake_io_text(d), "five");
  WinStopFakeIo(d);
  putout(d, "six");
  EXPECT_EQ(host.window, "six");
}

TEST_F(OutputTest, NoCommandWindowDropsOutputUnlessItOpensOnOutput) {
  run("output " + file("copy.txt"));
  host.window_exists = false;
  putout(d, "lost");
  EXPECT_EQ(host.window, "");
  EXPECT_EQ(read("copy.txt"), "");
  d.output.open_on_output = true;
  putout(d, "shown");
  EXPECT_EQ(host.window_opened, 1);
  EXPECT_EQ(host.window, "shown");
  EXPECT_EQ(read("copy.txt"), "shown");
}

TEST_F(OutputTest, RedirectionCopiesAndAppendKeepsEarlierContent) {
  write("log.txt", "earlier\n");
  run("output /a " + file("log.txt"));
  putfmt(d, "%p=%+04hi\n", "pc", 0x1f);
  run("output");
  putout(d, "not copied\n");
  EXPECT_EQ(read("log.txt"), "earlier\npc=001f\n");
  EXPECT_EQ(host.window, "pc=001f\nnot copied\n");

  run("output " + file("log.txt"));  // without /a the file starts empty
  putout(d, "new\n");
  run("output");
  EXPECT_EQ(read("log.txt"), "new\n");

  run("output " + file("no/such/dir/x"));
  EXPECT_EQ(box_text(), "Can't Open " + file("no/such/dir/x") + " for output redirection\n");
  EXPECT_FALSE(d.output.redirect_active);
}

TEST_F(OutputTest, ErrorsGoToTheWindowInsideCommandFilesElseToABox) {
  d.kernel.in_command_file = true;
  errout(d, {"bad", ": ", "thing\n"});
  EXPECT_EQ(host.window, "#error: bad: thing\n");
  EXPECT_TRUE(host.boxes.empty());

  d.kernel.in_command_file = false;
  errout(d, {"bad", ": ", "thing\n"});
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].first, "Error");
  EXPECT_EQ(host.boxes[0].second, "bad: thing\n");
}

TEST_F(OutputTest, ErrorCaptureKeepsOnlyTheLastError) {
  d.output.error_capture = true;
  WinitFakeIo(d);
  run("bogus1");
  run("bogus2");
  WinStopFakeIo(d);
  d.output.error_capture = false;
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(d.output.captured_error.value_or(""), "unknown command: bogus2\n");
  EXPECT_EQ(fake_io_text(d), "");
}

}  // namespace
}  // namespace tav
