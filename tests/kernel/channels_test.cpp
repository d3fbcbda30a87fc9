// Messages and I/O channels: fwrite checked against the C library's printf,
// fread round trips into registers and memory, and the channel errors.
#include <cstdarg>
#include <cstdio>

#include "kernel_fixture.h"

namespace tav {
namespace {

// "update" and "fread" need a program with C source; these tests need no
// program's variables, only a debugger that counts as having one.
class SourceDebugger : public StandardDebugger {
 public:
  using StandardDebugger::StandardDebugger;
  bool line_table_empty() const override { return false; }
};

class ChannelsTest : public ::testing::Test {
 protected:
  ChannelsTest() : d(host) {
    dir = std::filesystem::temp_directory_path() / ("tav-channels-" + std::to_string(::getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  ~ChannelsTest() override { std::filesystem::remove_all(dir); }

  std::string file(const std::string& name) const { return (dir / name).string(); }
  void write(const std::string& name, const std::string& text) const { std::ofstream(file(name)) << text; }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string box_text() const { return host.boxes.empty() ? std::string() : host.boxes.back().second; }
  void run(const std::string& line) { docmd(d, line.c_str(), 1); }

  RecordingHost host;
  SourceDebugger d;
  std::filesystem::path dir;

  std::string printf_text(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
  }
  std::string eval_d(const char* what) {
    host.window.clear();
    run(std::string("eval /d ") + what);
    std::string out = host.window;
    host.window.clear();
    return out.substr(out.find('=') + 2, out.size() - out.find('=') - 3);
  }
};

TEST_F(ChannelsTest, FwriteConvertsAsPrintfDoes) {
  run("fopen /c:1 " + file("out.txt"));
  run("eval /q $d = 42");
  run("fwrite /c:1 \"%5.2f|%-4d|%+d|% d|%05x|%X|%o|%#o|%c|%e|%.3E\\n\", 3.14159, $d, 7, 7, 255, 255, 8, 8, 65, "
      "12345.678, 0.000123");
  run("fwrite /c:1 \"%*d|%-*d|%.*f|%hd|%hu|%ld|%lx|%%|%q|%g|%p|%#p|%8.3f\\n\", 6, 1, 4, 2, 3, 2.5, 70000, 70000, "
      "-1, -1, 9.5, 1234, 255, -1.0625");
  run("fclose /c:1");
  const std::string expected =
      printf_text("%5.2f|%-4d|%+d|% d|%05x|%X|%o|%#o|%c|%e|%.3E\n", 3.14159, 42, 7, 7, 255, 255, 8, 8, 65, 12345.678,
                  0.000123) +
      printf_text("%*d|%-*d|%.*f|%hd|%hu|%d|%x|%%|q||%d|%#x|%8.3f\n", 6, 1, 4, 2, 3, 2.5, (short)70000,
                  (unsigned short)70000, -1, -1u, 1234, 255, -1.0625);
  EXPECT_EQ(read("out.txt"), expected);
  EXPECT_TRUE(host.boxes.empty()) << box_text();
}

TEST_F(ChannelsTest, FwriteErrors) {
  run("fwrite \"x\"");
  EXPECT_EQ(box_text(), " Missing channel \n");
  run("fwrite /c:9 \"x\"");
  EXPECT_EQ(box_text(), " Unknown Channel: 9\n");
  run("fopen /c:2 " + file("e.txt"));
  run("fwrite /c:2 x");
  EXPECT_EQ(box_text(), "Missing Format x\n");
  run("fwrite /c:2 \"abc");
  EXPECT_EQ(box_text(), "Invalid Format: \"abc\n");
  run("fwrite /c:2 \"a=%d b=%d\\n\", 1");
  EXPECT_EQ(box_text(), "Format Error (or missing args) at: %d\\n\n");
  run("fwrite /c:2 \"n=%d\\n\", 1, 2");
  EXPECT_EQ(box_text(), "Too many arguments: , 2\n");
  run("fclose /c:2");
  // What was converted before an error is still written.
  EXPECT_EQ(read("e.txt"), "a=1 b=n=1\n");
}

TEST_F(ChannelsTest, OpenCloseRewindRules) {
  const std::string name = file("c.txt");
  run("fopen /c:1 " + name);
  run("fopen /c:1 " + name);
  EXPECT_EQ(box_text(), "Channel 1 already used\n");
  run("fopen " + name);
  EXPECT_EQ(box_text(), "fopen needs a channel number: fopen [/a] /c:<n> <file>\n");
  run("fopen /c " + name);
  EXPECT_EQ(box_text(), "Wrong option c " + name);
  run("fopen /c:3 " + file("no/such/dir/x.txt"));
  EXPECT_EQ(box_text(), "Can't Open:" + file("no/such/dir/x.txt") + "\n");
  run("fclose /c:7");
  EXPECT_EQ(box_text(), "Unknown Channel:7\n");
  run("rewind /c:7");
  EXPECT_EQ(box_text(), "Unknown Channel:7\n");
  run("fwrite /c:1 \"first\\n\"; fclose /c:1");
  EXPECT_EQ(d.channels.size(), 0u);

  // An existing file is opened for update (not truncated); /a appends.
  run("fopen /c:1 " + name + "; fwrite /c:1 \"F\"; fclose /c:1");
  EXPECT_EQ(read("c.txt"), "First\n");
  run("fopen /a /c:1 " + name + "; fwrite /c:1 \"more\\n\"; rewind /c:1; fwrite /c:1 \"end\\n\"; fclose /c:1");
  EXPECT_EQ(read("c.txt"), "First\nmore\nend\n");
}

TEST_F(ChannelsTest, FreadAssignsEachFieldThroughUpdate) {
  write("in.txt", "x=12, -5 1f 777 A word [abc]def 2.5e1\n");
  run("fopen /c:4 " + file("in.txt"));
  run("fread /c:4 \"x=%d, %d %x %o %c %s [%[a-c]]%*s %f\", $d, *(int *)0x1040, $y, *(int *)0x1030, "
      "*(unsigned char *)0x1050, *(char *)0x1000, *(char *)0x1010, *(float *)0x1020");
  EXPECT_TRUE(host.boxes.empty()) << box_text();
  EXPECT_EQ(eval_d("$d"), "12");
  EXPECT_EQ(eval_d("*(int *)0x1040"), "-5");
  EXPECT_EQ(eval_d("$y"), "31");
  EXPECT_EQ(eval_d("*(int *)0x1030"), "511");
  EXPECT_EQ(eval_d("*(unsigned char *)0x1050"), "65");
  host.window.clear();
  run("eval *(float *)0x1020");
  EXPECT_EQ(host.window, "    *(float *)0x1020 = 25.0\n");
  const std::string word = "word", set = "abc";
  for (std::size_t i = 0; i <= word.size(); ++i)
    EXPECT_EQ(eval_d(("((char *)0x1000)[" + std::to_string(i) + "]").c_str()),
              std::to_string(i < word.size() ? word[i] : 0));
  for (std::size_t i = 0; i <= set.size(); ++i)
    EXPECT_EQ(eval_d(("((char *)0x1010)[" + std::to_string(i) + "]").c_str()),
              std::to_string(i < set.size() ? set[i] : 0));

  run("rewind /c:4");
  run("fread /c:4 \"y=%d\", $d");
  EXPECT_EQ(box_text(), "Format Error (or missing args) at: y=%d\n");
  run("rewind /c:4");
  run("fread /c:4 \"x=%d\", $d, $x");
  EXPECT_EQ(box_text(), "Too many arguments: , $x\n");
}

TEST_F(ChannelsTest, MessConversions) {
  // A conversion prints what eval prints with that format letter.
  std::string expected;
  for (const char* e : {"/d 255", "/x 255", "/o 8", "/b 5", "/u -1", "/h 255"}) {
    host.window.clear();
    run(std::string("eval ") + e);
    expected += host.window.substr(host.window.find('=') + 2, host.window.size() - host.window.find('=') - 3) + "|";
  }
  host.window.clear();
  run("mess \"%d|%x|%o|%b|%u|%h|\", 255, 255, 8, 5, -1, 255");
  EXPECT_EQ(host.window, expected);

  host.window.clear();
  run("mess \"a=%d\\n\", 7");
  run("mess \"100%%|%q|%c\\t\", 65");
  EXPECT_EQ(host.window, "a=7\n100%|q|A\t");
  run("mess x");
  EXPECT_EQ(box_text(), "Missing \" x\n");
  host.window.clear();
  run("mess \"v=%d %d\\n\", 1");
  EXPECT_EQ(host.window, "v=1 ");
  EXPECT_EQ(box_text(), "syntax error\n");
}

}  // namespace
}  // namespace tav
