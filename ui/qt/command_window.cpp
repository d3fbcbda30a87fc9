#include "ui/qt/command_window.h"

#include <QKeyEvent>
#include <QTextBlock>

namespace tav::qt {

CommandWindow::CommandWindow(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("WINCMD");
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  prompt();
}

QString CommandWindow::typed() const {
  const QString last = document()->lastBlock().text();
  return last.startsWith(kPrompt) ? last.mid(4) : last;
}

void CommandWindow::replace_typed(const QString& text) {
  QTextCursor c(document()->lastBlock());
  c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  c.insertText(QString(kPrompt) + text);
  setTextCursor(c);
}

void CommandWindow::append_raw(const QString& text) {
  QTextCursor c(document());
  c.movePosition(QTextCursor::End);
  c.insertText(text);
  setTextCursor(c);
  ensureCursorVisible();
}

void CommandWindow::append_output(std::string_view text) {
  // While a prompt waits alone on the last line, output goes before it.
  if (prompt_shown_ && typed().isEmpty()) {
    QTextCursor c(document()->lastBlock());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    prompt_shown_ = false;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(start, end - start);
    if (received_ >= kCommandClearLimit) {
      clear();
      received_ = 0;
    }
    received_ += line.size();
    append_raw(QString::fromLatin1(line.data(), static_cast<int>(line.size())));
    start = end;
  }
}

void CommandWindow::prompt() {
  if (prompt_shown_) return;
  const QString last = document()->lastBlock().text();
  if (!last.isEmpty()) append_raw("\n");
  append_raw(kPrompt);
  prompt_shown_ = true;
}

void CommandWindow::enter(const std::string& text) {
  replace_typed(QString::fromStdString(text));
  QKeyEvent enter_key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  keyPressEvent(&enter_key);
}

void CommandWindow::keyPressEvent(QKeyEvent* event) {
  QTextCursor c = textCursor();
  const bool on_last = c.block() == document()->lastBlock();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      std::string line = typed().left(kMaxCommandLine).toStdString();
      if (line.compare(0, 4, kPrompt) == 0) line.erase(0, 4);
      append_raw("\n");
      prompt_shown_ = false;
      history_pos_ = -1;
      if (!line.empty()) {
        history_.push_front(line);
        if (history_.size() > kHistoryLines) history_.pop_back();
        if (on_line) on_line(line);
      }
      prompt();
      return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
      if (history_.empty()) return;
      const int next = history_pos_ + (event->key() == Qt::Key_Up ? 1 : -1);
      if (next < 0) {
        history_pos_ = -1;
        replace_typed("");
      } else if (next < static_cast<int>(history_.size())) {
        history_pos_ = next;
        replace_typed(QString::fromStdString(history_[static_cast<std::size_t>(next)]));
      }
      return;
    }
    case Qt::Key_Backspace:
      if (!on_last || c.positionInBlock() <= 4) {
        if (on_beep) on_beep();
        return;
      }
      break;
    default:
      break;
  }
  // Typing happens on the prompt line only; elsewhere the cursor moves there first.
  if (!event->text().isEmpty() && !(event->modifiers() & Qt::ControlModifier)) {
    if (!on_last || c.positionInBlock() < 4) {
      c.movePosition(QTextCursor::End);
      setTextCursor(c);
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace tav::qt
