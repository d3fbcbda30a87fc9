#include "ui/qt/list_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "ui/qt/symbol_dialog.h"

namespace tav::qt {

namespace {

std::function<std::string()> text_of(ViewHost& host, ListKind kind, std::shared_ptr<std::vector<ListLine>> lines) {
  return [&host, kind, lines] {
    Debugger* d = host.debugger();
    *lines = d ? list_lines(*d, kind) : std::vector<ListLine>{};
    std::string out;
    for (const ListLine& l : *lines) out += l.text + "\n";
    return out;
  };
}

}  // namespace

ListView::ListView(ViewHost& host, ListKind kind, const TextViewSpec& spec, QWidget* parent)
    : ListView(host, kind, spec, std::make_shared<std::vector<ListLine>>(), parent) {}

ListView::ListView(ViewHost& host, ListKind kind, const TextViewSpec& spec, Lines lines, QWidget* parent)
    : TextView(spec, text_of(host, kind, lines), parent), host_(host), kind_(kind), lines_(std::move(lines)) {
  edit()->viewport()->installEventFilter(this);
  edit()->installEventFilter(this);
  edit()->setContextMenuPolicy(Qt::NoContextMenu);
}

const ListLine* ListView::line_at(int index) const {
  return index >= 0 && index < static_cast<int>(lines_->size()) ? &(*lines_)[static_cast<std::size_t>(index)] : nullptr;
}

void ListView::activate(int index) {
  const ListLine* line = line_at(index);
  if (!line) return host_.beep();
  go_to_place(host_, line->target, line->file, line->line, line->address);
}

void ListView::event_action(int index, int action) {
  const ListLine* line = line_at(index);
  if (!line || !line->event) return host_.beep();
  host_.run_line(action == 0 ? event_toggle_command(*line) : event_delete_command(*line));
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit() && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return) {
    activate(edit()->textCursor().blockNumber());
    return true;
  }
  if (watched != edit()->viewport()) return TextView::eventFilter(watched, event);
  const auto index_at = [this](const QPoint& at) { return edit()->cursorForPosition(at).block().blockNumber(); };
  if (event->type() == QEvent::MouseButtonDblClick) {
    activate(index_at(static_cast<QMouseEvent*>(event)->position().toPoint()));
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress && kind_ == ListKind::Events &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    const int index = index_at(at);
    const ListLine* line = line_at(index);
    if (!line || !line->event) return true;
    QMenu menu(this);
    QAction* on_off = menu.addAction("&On/Off");
    QAction* remove = menu.addAction("&Delete");
    QAction* chosen = menu.exec(edit()->viewport()->mapToGlobal(at));
    if (chosen) event_action(index, chosen == on_off ? 0 : 1);
    (void)remove;
    return true;
  }
  return TextView::eventFilter(watched, event);
}

}  // namespace tav::qt
