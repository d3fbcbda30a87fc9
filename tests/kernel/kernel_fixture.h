// A fresh debugger on a recording host, and a scratch directory for files.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands/standard_debugger.h"
#include "kernel/recording_host.h"

namespace tav {

class KernelTest : public ::testing::Test {
 protected:
  KernelTest() : d(host) {
    dir = std::filesystem::temp_directory_path() /
          ("tav-kernel-" + std::to_string(::getpid()) + "-" + std::to_string(++counter()));
    std::filesystem::create_directories(dir);
  }
  ~KernelTest() override { std::filesystem::remove_all(dir); }

  std::string file(const std::string& name) const { return (dir / name).string(); }
  void write(const std::string& name, const std::string& text) const { std::ofstream(file(name)) << text; }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string box_text() const { return host.boxes.empty() ? std::string() : host.boxes.back().second; }
  const char* run(const std::string& line) {
    line_ = line;
    return docmd(d, line_.c_str(), 1);
  }

  RecordingHost host;
  StandardDebugger d;
  std::filesystem::path dir;

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::string line_;
};

}  // namespace tav
