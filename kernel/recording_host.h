// A host for tests: it remembers everything the kernel showed it and answers
// questions and input requests from scripted replies.
#pragma once
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "kernel/host.h"

namespace tav {

class RecordingHost : public Host {
 public:
  std::string window;  // everything appended to the command window
  std::vector<std::pair<std::string, std::string>> boxes;  // (title, text)
  std::vector<unsigned> refreshes;
  std::string status_text[3];
  bool window_exists = true;
  int window_opened = 0;
  int beeps = 0;
  int pumps = 0;
  int close_at_pump = -1;  // pump number that reports a close request
  bool answer_yes = false;
  std::deque<std::string> inputs;

  bool pump_events() override { return ++pumps == close_at_pump; }
  void status(StatusField field, std::string_view text) override {
    status_text[static_cast<int>(field)] = std::string(text);
  }
  void message_box(std::string_view title, std::string_view text) override {
    boxes.emplace_back(std::string(title), std::string(text));
  }
  bool ask_yes_no(std::string_view, std::string_view) override { return answer_yes; }
  void refresh_views(unsigned views) override { refreshes.push_back(views); }
  void gauge_begin(std::string_view, std::uint32_t) override {}
  void gauge_step(std::uint32_t) override {}
  void gauge_end() override {}
  void beep() override { ++beeps; }
  bool command_window_exists() override { return window_exists; }
  void open_command_window() override {
    ++window_opened;
    window_exists = true;
  }
  void command_window_append(std::string_view text) override { window.append(text); }
  bool read_input(std::string_view, std::string& line, std::size_t max) override {
    if (inputs.empty()) return false;
    line = inputs.front().substr(0, max);
    inputs.pop_front();
    return true;
  }
  void wait_key() override {}
};

}  // namespace tav
