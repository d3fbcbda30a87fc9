#include "kernel/startup.h"

#include <cstdlib>

#include "kernel/config.h"
#include "kernel_fixture.h"

namespace tav {
namespace {

using StartupTest = KernelTest;

TEST_F(StartupTest, OptionsConfigurationAndStartFile) {
  d.config_file = file("ZUZU12Z.INI");
  write("ZUZU12Z.INI", "[OPTIONS]\nautocmd=yes\nPath=/cfg\nSTARTFILE=" + file("never.in") + "\n");
  write("start.in", "path\n");
  HostOptions h = startup(d, {"-b", "-v", "-p/front|", "-i" + file("start.in"), "-D"});
  EXPECT_TRUE(h.no_banner && h.dash_d && !h.minimized);
  EXPECT_TRUE(d.output.open_on_output);
  EXPECT_TRUE(d.kernel.echo_off);
  EXPECT_EQ(host.window, "\"/front|/cfg\"\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(StartupTest, IllegalOptionStopsOptionProcessing) {
  d.config_file = file("none.ini");
  startup(d, {"-m", "-q", "-v", "prog"});
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].second, "Illegal Option: q -v prog");
  EXPECT_FALSE(d.kernel.echo_off);

  host.boxes.clear();
  startup(d, {"-i"});  // a value option without its value
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].second, "Illegal Option: i");
}

TEST_F(StartupTest, ProgramArgumentIsLoadedAndEndFileRunsAtShutdown) {
  d.config_file = file("ZUZU12Z.INI");
  write("ZUZU12Z.INI", "[Options]\nENDFILE=" + file("end.in") + "\n");
  write("end.in", "path \"end\"\n");
  startup(d, {"-s", "my.ssn", "-r", "prog", "file.x12"});
  ASSERT_GE(host.boxes.size(), 3u);
  EXPECT_EQ(host.boxes[0].second, "Can't Open Session File: ./my.ssn\n");
  EXPECT_EQ(host.boxes[1].second, "unknown command: remote\n");
  // The remaining argument is handed to "load", which cannot open it.
  bool opened = false;
  for (const auto& box : host.boxes) opened = opened || box.second.find("prog") != std::string::npos;
  EXPECT_TRUE(opened);
  shutdown(d);
  EXPECT_EQ(host.window, "path \"end\"\n");
  EXPECT_EQ(d.source_path, "end");
}

TEST(ConfigLocation, EnvironmentChoosesTheDirectory) {
  const char* home = std::getenv("HOME");
  std::string saved_home = home ? home : "";
  ::setenv("TAV_CONFIG_DIR", "/x/y", 1);
  EXPECT_EQ(config_file_path(), "/x/y/ZUZU12Z.INI");
  ::unsetenv("TAV_CONFIG_DIR");
  ::setenv("XDG_CONFIG_HOME", "/xdg/", 1);
  EXPECT_EQ(config_file_path(), "/xdg/tav/ZUZU12Z.INI");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(config_file_path(), "/home/u/.config/tav/ZUZU12Z.INI");
  ::setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace tav
