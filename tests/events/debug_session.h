// A debugger on a recording host with the demo example program loaded: the
// fixture of the event and execution-control tests. Commands run as typed;
// what they print is returned, errors are collected from the message boxes.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/standard_debugger.h"
#include "kernel/recording_host.h"

namespace tav {

// Remembers every text of the status bar's first field, in order.
class StatusHost : public RecordingHost {
 public:
  std::vector<std::string> statuses;
  void status(StatusField field, std::string_view text) override {
    RecordingHost::status(field, text);
    if (field == StatusField::Left) statuses.emplace_back(text);
  }
};

class DebugSession : public ::testing::Test {
 protected:
  DebugSession() : d(host) {}

  static std::string example(const std::string& name) { return std::string(TAV_EXAMPLES_DIR) + "/" + name + ".x12"; }

  void load(const std::string& name = "demo") {
    const std::string out = run("load " + example(name));
    ASSERT_NE(out.find("first C line at"), std::string::npos) << out << errors();
  }
  // Runs a line as typed; returns what it printed.
  std::string run(const std::string& line) {
    const std::size_t before = host.window.size();
    line_ = line;
    docmd(d, line_.c_str(), 1);
    return host.window.substr(before);
  }
  // Every error shown so far, one per line; cleared when read.
  std::string errors() {
    std::string text;
    for (const auto& box : host.boxes) text += box.second + (box.second.ends_with('\n') ? "" : "\n");
    host.boxes.clear();
    return text;
  }
  // The value of a C expression now.
  std::int32_t value(const std::string& expression) {
    const char* cursor = expression.c_str();
    int status = 0;
    const Value v = d.evaluator.xexpr(cursor, status, 1);
    EXPECT_EQ(status, 0) << expression;
    return v.ival;
  }
  std::uint32_t pc() { return d.registers.ReadPC(); }
  std::uint32_t symbol(const std::string& name) {
    const ProgramSymbol* s = d.program.symbols().rensym(name);
    EXPECT_NE(s, nullptr) << name;
    return s ? s->value() : 0;
  }
  // The innermost frame's function and line.
  std::string where() {
    const Frame* f = d.frames.innermost(Core::Cpu12);
    if (!f || !f->function) return "(none)";
    return std::string(f->function->name) + ":" + std::to_string(f->line);
  }

  StatusHost host;
  StandardDebugger d;

 private:
  std::string line_;
};

}  // namespace tav
