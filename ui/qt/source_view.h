// The source view (TAVWIN): one file of the program with its margins (line
// numbers with event marks, coverage, addresses), syntax colours, the
// current line, search, and the mouse actions that become command lines.
#pragma once
#include <QWidget>
#include <optional>
#include <string>

#include "ui/model/source_model.h"
#include "ui/qt/line_view.h"
#include "ui/qt/popup_table.h"
#include "ui/qt/view_host.h"

class QMenu;
class QMenuBar;

namespace tav::qt {

class SourceView : public QWidget, public RefreshingView {
 public:
  SourceView(ViewHost& host, QWidget* parent = nullptr);

  // Reads the file (asking for the path when it is missing); false when it
  // stays unreadable.
  bool open(const std::string& name);
  const std::string& file() const { return model_.name(); }
  void go_to_line(unsigned line);  // centred
  void refresh_view(bool full) override;

  void set_coverage(CoverageMode mode);
  void set_address_column(bool on);
  void find(const std::string& text);  // the next match from the cursor
  std::optional<SourceMatch> match() const { return match_; }

  LineView* lines() const { return lines_; }
  const SourceModel& model() const { return model_; }
  // The character column where the text begins (after the margins).
  int margin_cells() const;
  // The last popup shown (tests look at it).
  QMenu* last_popup() const { return popup_; }

 private:
  std::vector<Span> line_spans(int index);
  void clicked(CellPos at, Qt::MouseButton button, Qt::KeyboardModifiers mods, bool double_click);
  void margin_clicked(unsigned line, Qt::MouseButton button, Qt::KeyboardModifiers mods, bool double_click);
  void word_clicked(const std::string& word, Qt::MouseButton button);
  void popup_chosen(const PopupItem& item);
  void show_popup(const char* name);
  void build_strip();
  std::string location(unsigned line) const { return model_.name() + ":" + std::to_string(line); }

  ViewHost& host_;
  SourceModel model_;
  QMenuBar* strip_;
  LineView* lines_;
  QMenu* popup_ = nullptr;
  CoverageMode coverage_ = CoverageMode::None;
  bool address_column_ = false;
  unsigned current_ = 0;
  std::string path_;  // the source path the file was found through
  std::string search_;
  std::optional<SourceMatch> match_;
  PopupSubject subject_;  // what the open popup acts on
};

}  // namespace tav::qt
