// Line editing with history for the interactive prompt (libedit).
#pragma once
#include <functional>
#include <string>
#include <vector>

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

  // Tab completion: given the text before the cursor, where the word being
  // completed starts and its choices.
  using Completer = std::function<std::vector<std::string>(const std::string& before, std::size_t& start)>;
  void set_completer(Completer completer) { completer_ = std::move(completer); }

 private:
  editline* el_;
  history* hist_;
  std::string prompt_;
  Completer completer_;

  static unsigned char on_tab(editline* el, int key);
  static const char* prompt_of(editline* el);
};

}  // namespace tav
