// Line editing with history for the interactive prompt (libedit).
#pragma once
#include <string>

struct editline;
struct history;

namespace tav {

class LineEditor {
 public:
  enum class Result { Line, Interrupted, End };

  explicit LineEditor(const char* prompt);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Reads one line (without its newline) after the prompt.
  Result read(std::string& line);

  // Adds a line to the history; the oldest of more than 20 is dropped.
  void remember(const std::string& line);

 private:
  editline* el_;
  history* hist_;
  std::string prompt_;
};

}  // namespace tav
