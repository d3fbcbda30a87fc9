// A target memory, a Program on it and a host that keeps everything the
// loaders said, plus a scratch directory for the files the tests load.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "image/program.h"
#include "obj_builder.h"
#include "sim/cpu_regs.h"
#include "sim/memory.h"

namespace tav::testing {

class RecordingLoadHost : public LoadHost {
 public:
  void output(std::string_view text) override { out.append(text); }
  void error(std::string_view text) override { errors.emplace_back(text); }
  void status(std::string_view text) override { statuses.emplace_back(text); }
  void progress(std::string_view title, std::uint32_t count) override {
    titles.emplace_back(title);
    counts.push_back(count);
  }
  void step() override { ++steps; }
  bool stop_requested() override { return stop_after >= 0 && ++polls > stop_after; }
  bool no_duplicate_files() override { return nodup; }
  void refresh_views() override { ++refreshes; }

  std::string all_errors() const {
    std::string s;
    for (const auto& e : errors) s += e + "|";
    return s;
  }

  std::string out;
  std::vector<std::string> errors, statuses, titles;
  std::vector<std::uint32_t> counts;
  int steps = 0, polls = 0, refreshes = 0;
  int stop_after = -1;  // stop request after this many polls; -1 never
  bool nodup = false;
};

class StoreErrors : public ErrorReporter {
 public:
  void report_error(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

class ImageTest : public ::testing::Test {
 protected:
  ImageTest() {
    dir_ = std::filesystem::temp_directory_path() /
           ("tav-image-" + std::to_string(::getpid()) + "-" + std::to_string(++counter()));
    std::filesystem::create_directories(dir_);
    program.set_host(&host);
  }
  ~ImageTest() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::string put(const std::string& name, const Bytes& bytes) const {
    write_file(path(name), bytes);
    return path(name);
  }
  std::string put(const std::string& name, std::string_view text) const {
    write_file(path(name), text);
    return path(name);
  }
  // load_program of a file made on the spot.
  int read(const Bytes& bytes, bool symbols_only = false) {
    return program.load_program(put("t.x12", bytes), false, symbols_only);
  }
  // load_program and the debug tables.
  bool build(const Bytes& bytes) { return read(bytes) == 1 && program.build_debug_info(); }
  std::uint32_t sym(std::string_view name) const {
    const ProgramSymbol* s = program.symbols().rensym(name);
    return s ? s->value() : 0xDEADBEEF;
  }
  bool has_sym(std::string_view name) const { return program.symbols().rensym(name) != nullptr; }

  CpuRegs regs;
  StoreErrors store_errors;
  Memory memory{regs, store_errors};
  Program program{memory};
  RecordingLoadHost host;

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path dir_;
};

}  // namespace tav::testing
