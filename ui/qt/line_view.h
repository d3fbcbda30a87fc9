// A scrolling view of text lines in a fixed-pitch font, each line a row of
// coloured spans, drawn only for the lines on screen: the source, code and
// data views draw through it. It knows nothing of what the lines mean; mouse
// positions come back as line and character column.
#pragma once
#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <functional>
#include <set>
#include <vector>

namespace tav::qt {

struct Span {
  QString text;
  QColor fg;  // invalid: the view's text colour
  QColor bg;  // invalid: the line's background
};

struct CellPos {
  int line = -1, column = -1;
};

class LineView : public QAbstractScrollArea {
 public:
  explicit LineView(QWidget* parent = nullptr);

  std::function<int()> line_count;
  std::function<std::vector<Span>(int line)> spans;
  std::function<QColor(int line)> line_background;  // invalid: none
  std::function<void(CellPos, Qt::MouseButton, Qt::KeyboardModifiers, bool double_click)> clicked;
  // A key the view does not move by itself; true when taken.
  std::function<bool(QKeyEvent*)> key;
  // The view scrolled to show other lines (views that make their lines on demand).
  std::function<void()> scrolled;

  int top() const { return top_; }
  void set_top(int line);
  void center_on(int line);
  int visible_lines() const;  // whole or partly visible
  int cursor() const { return cursor_; }
  void set_cursor(int line);
  // Lines and scroll range read again; only the viewport is repainted.
  void refresh();
  // For views that make their lines from an address on demand: the first
  // line shown, with the bar one step from either end, so that any scroll
  // reports its direction through `scrolled` (top() is then -1 or 1).
  void rewind_endless();
  // Whether a letter key is down now (the W of watchpoints).
  bool held(int key) const { return held_.count(key) != 0; }
  CellPos cell_at(QPoint p) const;
  QRect cell_rect(int line, int column, int width) const;
  int cell_width() const;
  int line_height() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  void update_scrollbars();
  int top_ = 0, cursor_ = -1;
  std::set<int> held_;
};

}  // namespace tav::qt
