// The command window: output above, the prompt "Tav>" on the last line,
// a history of the last 20 typed lines behind the up and down keys.
#pragma once
#include <QPlainTextEdit>
#include <deque>
#include <functional>
#include <string>

namespace tav::qt {

inline constexpr const char* kPrompt = "Tav>";
// Output received since the last clear from which on the window is cleared
// before the next line.
inline constexpr std::size_t kCommandClearLimit = 53249;
inline constexpr std::size_t kHistoryLines = 20;
inline constexpr int kMaxCommandLine = 1022;

class CommandWindow : public QPlainTextEdit {
 public:
  explicit CommandWindow(QWidget* parent = nullptr);

  // Called with each line entered (the prompt already removed, not empty).
  std::function<void(const std::string&)> on_line;
  std::function<void()> on_beep;

  // Appends output at the end, line by line, keeping the prompt last.
  void append_output(std::string_view text);
  // Writes a new prompt on a line of its own.
  void prompt();
  const std::deque<std::string>& history() const { return history_; }
  // Enters `line` as if typed after the prompt.
  void enter(const std::string& line);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString typed() const;
  void replace_typed(const QString& text);
  void append_raw(const QString& text);

  std::deque<std::string> history_;  // newest first
  int history_pos_ = -1;
  std::size_t received_ = 0;
  bool prompt_shown_ = false;
};

}  // namespace tav::qt
