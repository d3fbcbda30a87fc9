#include "ui/qt/cycle_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>

#include "ui/qt/text_view.h"

namespace tav::qt {

namespace {
// The counter's field: a blank, then ten digits.
constexpr int kFirstDigit = 1;
constexpr int kDigits = 10;
}  // namespace

CycleEditor::CycleEditor(TextView* view, std::function<void(std::uint32_t)> store)
    : QObject(view), view_(view), store_(std::move(store)) {
  view->edit()->viewport()->installEventFilter(this);
  view->edit()->installEventFilter(this);
}

int CycleEditor::cycles_line() const {
  const QTextDocument* doc = view_->edit()->document();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
    if (b.text().trimmed() == "Cycles:") return b.next().isValid() ? b.next().blockNumber() : -1;
  return -1;
}

void CycleEditor::show_cursor() {
  QList<QTextEdit::ExtraSelection> selections;
  if (editing()) {
    QTextEdit::ExtraSelection sel;
    sel.cursor = QTextCursor(view_->edit()->document()->findBlockByNumber(cycles_line()));
    sel.cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kFirstDigit + column_);
    sel.cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor);
    sel.format.setBackground(view_->edit()->palette().text());
    sel.format.setForeground(view_->edit()->palette().base());
    selections.push_back(sel);
  }
  view_->edit()->setExtraSelections(selections);
}

bool CycleEditor::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QTextCursor at = view_->edit()->cursorForPosition(mouse->position().toPoint());
      const int col = at.positionInBlock() - kFirstDigit;
      column_ = (at.blockNumber() == cycles_line() && col >= 0 && col < kDigits) ? col : -1;
      show_cursor();
      return false;
    }
    case QEvent::FocusOut:
      column_ = -1;
      show_cursor();
      return false;
    case QEvent::KeyPress: {
      if (!editing()) return false;
      auto* key = static_cast<QKeyEvent*>(event);
      const QString text = key->text();
      if (text.size() != 1 || !text[0].isDigit()) return false;
      const int line = cycles_line();
      if (line < 0) return false;
      QString field = view_->edit()->document()->findBlockByNumber(line).text().mid(kFirstDigit, kDigits);
      if (field.size() < kDigits) return false;
      field[column_] = text[0];
      store_(static_cast<std::uint32_t>(field.toULongLong() & 0xFFFFFFFFu));
      column_ = (column_ + 1) % kDigits;
      view_->refresh();
      show_cursor();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tav::qt
