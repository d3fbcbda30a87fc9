// A view that shows the text of a view model in a fixed-pitch font, under a
// small menu strip of its own (Refresh, Save, Print as the view offers them).
#pragma once
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <QColor>

class QMenuBar;

namespace tav::qt {

struct TextViewSpec {
  const char* class_name;  // the view's object name: REGWIN, STACKWIN, ...
  const char* host_name;   // its frame's: REGHOST, STACKHOST, ...
  const char* title;
  bool refresh_item;
  const char* save_filter;  // e.g. "Register Files(*.reg)"
  const char* save_title;
  const char* save_header;  // written before the text
};

class TextView : public QWidget {
 public:
  TextView(const TextViewSpec& spec, std::function<std::string()> text, QWidget* parent = nullptr);

  void refresh();
  // Lines drawn on a background of their own (the PC's, an event's), asked at each refresh.
  std::function<std::vector<std::pair<int, QColor>>()> marks;
  QString text() const { return edit_->toPlainText(); }
  QPlainTextEdit* edit() const { return edit_; }
  // What "Save" writes into `file`; false when it cannot be written.
  bool save_to(const QString& file) const;

 private:
  TextViewSpec spec_;
  std::function<std::string()> source_;
  QMenuBar* strip_;
  QPlainTextEdit* edit_;
};

// The text without the inline colour switches (byte 1 and the byte after it).
std::string strip_color_codes(std::string_view text);

}  // namespace tav::qt
