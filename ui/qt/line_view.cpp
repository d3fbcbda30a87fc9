#include "ui/qt/line_view.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace tav::qt {

LineView::LineView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(true);
  viewport()->setBackgroundRole(QPalette::Base);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setSingleStep(1);
}

int LineView::cell_width() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))); }
int LineView::line_height() const { return std::max(1, fontMetrics().lineSpacing()); }

int LineView::visible_lines() const {
  return (viewport()->height() + line_height() - 1) / line_height();
}

void LineView::set_top(int line) {
  const int count = line_count ? line_count() : 0;
  top_ = std::clamp(line, 0, std::max(0, count - 1));
  update_scrollbars();
  viewport()->update();
}

void LineView::center_on(int line) { set_top(std::max(0, line - visible_lines() / 2)); }

void LineView::set_cursor(int line) {
  const int count = line_count ? line_count() : 0;
  cursor_ = std::clamp(line, 0, std::max(0, count - 1));
  const int full = std::max(1, viewport()->height() / line_height());
  if (cursor_ < top_) set_top(cursor_);
  else if (cursor_ >= top_ + full) set_top(cursor_ - full + 1);
  viewport()->update();
}

void LineView::refresh() {
  update_scrollbars();
  viewport()->update();
}

void LineView::rewind_endless() {
  top_ = 0;
  QScrollBar* v = verticalScrollBar();
  const QSignalBlocker block(v);
  v->setRange(-1, 1);
  v->setPageStep(1);
  v->setValue(0);
  viewport()->update();
}

void LineView::update_scrollbars() {
  const int count = line_count ? line_count() : 0;
  const int page = std::max(1, viewport()->height() / line_height());
  QScrollBar* v = verticalScrollBar();
  const QSignalBlocker block(v);
  v->setRange(0, std::max(0, count - page));
  v->setPageStep(page);
  v->setValue(top_);
  horizontalScrollBar()->setRange(0, 200);
  horizontalScrollBar()->setPageStep(std::max(1, viewport()->width() / cell_width()));
}

void LineView::scrollContentsBy(int, int) {
  top_ = verticalScrollBar()->value();
  if (scrolled) scrolled();
  viewport()->update();
}

void LineView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  update_scrollbars();
}

CellPos LineView::cell_at(QPoint p) const {
  return {top_ + p.y() / line_height(), horizontalScrollBar()->value() + p.x() / cell_width()};
}

QRect LineView::cell_rect(int line, int column, int width) const {
  return QRect((column - horizontalScrollBar()->value()) * cell_width(), (line - top_) * line_height(),
               width * cell_width(), line_height());
}

void LineView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font());
  const int h = line_height(), w = cell_width(), ascent = fontMetrics().ascent();
  const int count = line_count ? line_count() : 0;
  const int left = horizontalScrollBar()->value();
  const QColor text = palette().color(QPalette::Text);
  for (int row = 0, line = top_; row < visible_lines() && line < count; ++row, ++line) {
    const int y = row * h;
    if (line_background) {
      const QColor bg = line_background(line);
      if (bg.isValid()) p.fillRect(0, y, viewport()->width(), h, bg);
    }
    int column = 0;
    for (const Span& s : spans ? spans(line) : std::vector<Span>{}) {
      const int x = (column - left) * w;
      const int width = static_cast<int>(s.text.size()) * w;
      if (x + width > 0 && x < viewport()->width()) {
        if (s.bg.isValid()) p.fillRect(x, y, width, h, s.bg);
        p.setPen(s.fg.isValid() ? s.fg : text);
        p.drawText(x, y + ascent, s.text);
      }
      column += static_cast<int>(s.text.size());
    }
    if (line == cursor_ && hasFocus()) {
      p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
      p.drawRect(0, y, viewport()->width() - 1, h - 1);
    }
  }
}

void LineView::keyPressEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat()) held_.insert(e->key());
  const int page = std::max(1, viewport()->height() / line_height() - 1);
  const int at = cursor_ < 0 ? top_ : cursor_;
  switch (e->key()) {
    case Qt::Key_Up: set_cursor(at - 1); return;
    case Qt::Key_Down: set_cursor(at + 1); return;
    case Qt::Key_PageUp: set_top(top_ - page); set_cursor(at - page); return;
    case Qt::Key_PageDown: set_top(top_ + page); set_cursor(at + page); return;
    case Qt::Key_Home:
      if (e->modifiers() & Qt::ControlModifier) return set_cursor(0);
      break;
    case Qt::Key_End:
      if (e->modifiers() & Qt::ControlModifier) return set_cursor(line_count ? line_count() - 1 : 0);
      break;
    default: break;
  }
  if (key && key(e)) return;
  QAbstractScrollArea::keyPressEvent(e);
}

void LineView::keyReleaseEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat()) held_.erase(e->key());
  QAbstractScrollArea::keyReleaseEvent(e);
}

void LineView::focusOutEvent(QFocusEvent* e) {
  held_.clear();
  QAbstractScrollArea::focusOutEvent(e);
}

void LineView::mousePressEvent(QMouseEvent* e) {
  setFocus();
  const CellPos at = cell_at(e->position().toPoint());
  if (line_count && at.line < line_count()) cursor_ = at.line;
  viewport()->update();
  if (clicked) clicked(at, e->button(), e->modifiers(), false);
}

void LineView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (clicked) clicked(cell_at(e->position().toPoint()), e->button(), e->modifiers(), true);
}

}  // namespace tav::qt
