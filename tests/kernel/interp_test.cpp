#include "kernel/interp.h"

#include "kernel/host.h"
#include "kernel_fixture.h"

namespace tav {
namespace {

using InterpTest = KernelTest;

TEST_F(InterpTest, CommentLineIsReturnedUnchanged) {
  const char* line = "; path; bogus";
  EXPECT_EQ(docmd(d, line, 1), line);
  EXPECT_EQ(host.window, "");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(InterpTest, MissingSemicolonReportsAndRunsTheRest) {
  run("path \"a\" path");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].second, "missing ';': path\n");
  EXPECT_EQ(host.window, "\"a\"\n");
}

TEST_F(InterpTest, AfterCommandWorkFollowsUpdateSuppression) {
  run("path");
  EXPECT_EQ(d.kernel.command_counter, 1);
  ASSERT_EQ(host.refreshes.size(), 1u);
  EXPECT_EQ(host.refreshes[0], kViewSource | kViewDisasm);

  host.refreshes.clear();
  run("bogus");  // a failed lookup suppresses the update
  EXPECT_EQ(d.kernel.command_counter, 1);
  EXPECT_TRUE(host.refreshes.empty());

  d.run.running = true;  // counted, but nothing redrawn under a running target
  run("path");
  EXPECT_EQ(d.kernel.command_counter, 2);
  EXPECT_TRUE(host.refreshes.empty());
  d.run.running = false;

  d.kernel.vars_marked = true;
  run("rem");
  EXPECT_EQ(host.refreshes.back(), unsigned{kViewVariables});
  EXPECT_FALSE(d.kernel.vars_marked);

  host.refreshes.clear();
  run("quit; path; rem");  // still parsed and run, but no after-command work
  EXPECT_TRUE(d.kernel.quitting);
  EXPECT_EQ(host.window, "\"\"\n\"\"\n\"\"\n");
  EXPECT_TRUE(host.refreshes.empty());
}

TEST_F(InterpTest, RecordFileKeepsEveryLineUnlessPaused) {
  run("record " + file("rec.txt"));
  run("; comment");
  d.output.record_paused = true;
  run("path");
  d.output.record_paused = false;
  run("bogus");
  run("record " + file("other.txt"));
  EXPECT_EQ(box_text(), "log file already opened\n");
  run("record");
  run("path");
  EXPECT_EQ(read("rec.txt"), "; comment\nbogus\nrecord " + file("other.txt") + "\nrecord\n");

  run("record " + file("no/such/dir/r.txt"));
  EXPECT_EQ(box_text(), "cannot create file " + file("no/such/dir/r.txt") + "\n");
}

TEST_F(InterpTest, ExtensionCommandsTakeWholeLinesBeforeTheTable) {
  std::vector<std::string> seen;
  d.ext_commands.add("path", [&](const char* line) { seen.emplace_back("old:" + std::string(line)); });
  ExtCommand& remote = d.ext_commands.add("remote", [&](const char* line) { seen.emplace_back(line); });
  const char* line = "remote a; path";
  EXPECT_STREQ(docmd(d, line, 1), "");
  run("remotely");  // compared byte for byte, nothing after the word examined
  run("REMOTE");
  run("path");
  EXPECT_EQ(seen, (std::vector<std::string>{"remote a; path", "remotely", "old:path"}));
  EXPECT_EQ(remote.received, (std::vector<std::string>{"remote a; path", "remotely"}));
  EXPECT_EQ(box_text(), "unknown command: REMOTE\n");
  EXPECT_EQ(host.window, "");
  EXPECT_EQ(d.kernel.command_counter, 3);
  EXPECT_TRUE(d.ext_commands.has("remote x"));
  EXPECT_FALSE(d.ext_commands.has("remot"));
}

TEST_F(InterpTest, CommandsEndAtAClosingBraceWithoutComplaint) {
  EXPECT_STREQ(doline(d, " ;; } path", 1), "} path");
  EXPECT_EQ(host.window, "");
  // A command may stop at "}" (a group's end); at command level the brace
  // itself is no command.
  EXPECT_STREQ(doline(d, " path ;; path } ", 1), "");
  EXPECT_EQ(host.window, "\"\"\n\"\"\n");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].second, "unknown command: } \n");
}

TEST_F(InterpTest, CommandFilesSearchTheSourcePathAndEcho) {
  std::filesystem::create_directories(dir / "sub");
  write("sub/cmds.in", "path\r\nbogus\n");
  d.source_path = "/nonexistent|" + file("sub") + "/";
  EXPECT_EQ(cmdfile(d, "cmds.in"), 1);
  EXPECT_EQ(host.window, "path\n\"/nonexistent|" + file("sub") + "/\"\nbogus\n#error: unknown command: bogus\n");
  EXPECT_FALSE(d.kernel.in_command_file);

  host.window.clear();
  d.kernel.echo_off = true;
  EXPECT_EQ(cmdfile(d, "cmds.in"), 1);
  EXPECT_EQ(host.window, "\"/nonexistent|" + file("sub") + "/\"\n#error: unknown command: bogus\n");

  EXPECT_EQ(cmdfile(d, "absent.in"), 0);
  EXPECT_EQ(box_text(), "absent.in: cannot redirect\n");
}

TEST_F(InterpTest, CloseRequestSeenDuringACommandFileEndsTheDebugger) {
  write("a.in", "rem 1\nrem 2\nrem 3\n");
  host.close_at_pump = 2;  // the first line's command pumps once, the line end twice
  cmdfile(d, file("a.in").c_str());
  EXPECT_TRUE(d.kernel.close_requested);
  EXPECT_TRUE(d.kernel.ending());
  EXPECT_EQ(host.window, "rem 1\nrem 2\nrem 3\n");  // the file still runs to its end
}

TEST_F(InterpTest, SelfRunningCommandFileStops) {
  write("loop.in", "input " + file("loop.in") + "\n");
  d.kernel.echo_off = true;
  EXPECT_EQ(cmdfile(d, file("loop.in").c_str()), 1);
  EXPECT_EQ(host.window, "#error: " + file("loop.in") + ": cannot redirect\n");
  EXPECT_EQ(d.kernel.cmdfile_depth, 0);
}

}  // namespace
}  // namespace tav
