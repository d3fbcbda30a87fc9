#include "ui/qt/source_view.h"

#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "image/program.h"
#include "kernel/debugger.h"
#include "ui/model/program_lookup.h"
#include "ui/qt/event_dialog.h"

namespace tav::qt {

namespace {
constexpr unsigned kCountWidth = 6;
const QColor kRan(0, 128, 0), kNotRan(255, 0, 0), kNoCode(150, 150, 150);

unsigned digits(unsigned n) {
  unsigned d = 1;
  while (n >= 10) n /= 10, ++d;
  return d;
}

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '.'; }
}  // namespace

SourceView::SourceView(ViewHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("TAVWIN");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  strip_ = new QMenuBar(this);
  layout->setMenuBar(strip_);
  build_strip();
  lines_ = new LineView(this);
  layout->addWidget(lines_);
  lines_->line_count = [this] { return static_cast<int>(model_.line_count()); };
  lines_->spans = [this](int i) { return line_spans(i); };
  lines_->line_background = [this](int i) {
    return current_ && static_cast<unsigned>(i) + 1 == current_ ? host_.extra_colour(kColourSource) : QColor();
  };
  lines_->clicked = [this](CellPos at, Qt::MouseButton b, Qt::KeyboardModifiers m, bool dbl) { clicked(at, b, m, dbl); };
  lines_->key = [this](QKeyEvent* e) {
    if (e->key() == Qt::Key_F3) return find(search_), true;
    if (e->key() == Qt::Key_F && (e->modifiers() & Qt::ControlModifier)) {
      popup_chosen({1, kPopupFind, "Find", nullptr});
      return true;
    }
    return false;
  };
}

void SourceView::build_strip() {
  QMenu* into = nullptr;
  for (const PopupItem& item : popup_items("CSRC_MENU")) {
    if (item.level == 1) {
      into = strip_->addMenu(item.text);
      if (std::string_view(item.text) == "Print") into->menuAction()->setEnabled(false);
      continue;
    }
    QAction* a = into->addAction(item.text);
    a->setObjectName(QString("src%1").arg(item.id));
    const PopupItem* it = &item;
    connect(a, &QAction::triggered, this, [this, it] { popup_chosen(*it); });
  }
}

bool SourceView::open(const std::string& name) {
  Debugger* d = host_.debugger();
  if (!d) return false;
  setWindowTitle(QString::fromStdString(name));
  while (model_.open(*d, name) == SourceModel::State::NotFound) {
    // Inside a command file nobody is there to answer.
    if (!d->kernel.cmdfile_name.empty() || !d->host.ask_yes_no("Tav", model_.question())) {
      if (!d->kernel.cmdfile_name.empty()) host_.show_message("Error", "Can't Open " + name);
      lines_->refresh();
      return false;
    }
    bool ok = false;
    const QString path = QInputDialog::getText(this, "Path Editor", "Source directories, separated by |:",
                                               QLineEdit::Normal, QString::fromStdString(d->source_path), &ok);
    if (!ok) return false;
    host_.run_line("path \"" + path.toStdString() + "\"");
  }
  path_ = d->source_path;
  refresh_view(true);
  return true;
}

void SourceView::go_to_line(unsigned line) {
  if (!line) return;
  lines_->center_on(static_cast<int>(line) - 1);
  lines_->set_cursor(static_cast<int>(line) - 1);
}

void SourceView::refresh_view(bool) {
  Debugger* d = host_.debugger();
  // A new source path may find another file of that name: read it again then only.
  if (d && d->source_path != path_ && model_.state() != SourceModel::State::Empty) {
    path_ = d->source_path;
    model_.open(*d, model_.name());
  }
  const unsigned now = d ? model_.current_line(*d) : 0;
  // Follow the current line only when it moved, so reading elsewhere is not disturbed by a refresh.
  if (now && now != current_) {
    const int first = lines_->top(), shown = std::max(1, lines_->viewport()->height() / lines_->line_height());
    if (static_cast<int>(now) - 1 < first || static_cast<int>(now) - 1 >= first + shown - 1) go_to_line(now);
  }
  current_ = now;
  lines_->refresh();
}

void SourceView::set_coverage(CoverageMode mode) {
  coverage_ = mode;
  lines_->refresh();
}

void SourceView::set_address_column(bool on) {
  address_column_ = on;
  lines_->refresh();
}

int SourceView::margin_cells() const {
  int cells = static_cast<int>(std::max(4u, digits(model_.line_count()))) + 1;
  if (coverage_ == CoverageMode::Iconic) cells += 2;
  if (address_column_) cells += 7;
  if (coverage_ == CoverageMode::Executions || coverage_ == CoverageMode::Timing) cells += kCountWidth + 1;
  return cells;
}

std::vector<Span> SourceView::line_spans(int index) {
  std::vector<Span> spans;
  Debugger* d = host_.debugger();
  const unsigned n = static_cast<unsigned>(index) + 1;
  const LineMargin m = d ? model_.margin(*d, n) : LineMargin{};
  const int width = static_cast<int>(std::max(4u, digits(model_.line_count())));
  QColor number_bg;
  if (m.event == EventMark::On) number_bg = host_.extra_colour(kColourBkptOn);
  if (m.event == EventMark::Off) number_bg = host_.extra_colour(kColourBkptOff);
  spans.push_back({QString("%1").arg(n, width), m.code ? QColor() : kNoCode, number_bg});
  spans.push_back({" ", {}, {}});
  const QColor ran = m.executed ? kRan : kNotRan;
  if (coverage_ == CoverageMode::Iconic)
    spans.push_back({m.code ? (m.executed ? QString::fromUtf8("\u25CF ") : QString::fromUtf8("\u25CB ")) : "  ", ran, {}});
  if (address_column_) spans.push_back({QString::fromStdString(SourceModel::address_text(m)), ran, {}});
  if (coverage_ == CoverageMode::Executions || coverage_ == CoverageMode::Timing)
    spans.push_back({QString::fromStdString(SourceModel::count_text(m, coverage_, kCountWidth)), ran, {}});

  const std::string& text = model_.line(n);
  std::vector<Token> tokens;
  if (host_.syntax_colouring()) tokens = model_.tokens(n);
  // Cut the text at token and search-match edges.
  std::size_t at = 0;
  auto plain = [&](std::size_t to) {
    while (at < to) {
      std::size_t end = to;
      QColor bg;
      if (match_ && match_->line == n) {
        const std::size_t ms = match_->column, me = ms + match_->length;
        if (at < ms) end = std::min(end, ms);
        else if (at < me) end = std::min(end, me), bg = host_.table_colour(18);
      }
      spans.push_back({QString::fromLatin1(text.data() + at, static_cast<int>(end - at)), {}, bg});
      at = end;
    }
  };
  for (const Token& t : tokens) {
    plain(t.start);
    const std::size_t before = spans.size();
    plain(t.start + t.length);
    for (std::size_t i = before; i < spans.size(); ++i) spans[i].fg = host_.table_colour(token_colour(t.cls));
  }
  plain(text.size());
  return spans;
}

void SourceView::clicked(CellPos at, Qt::MouseButton button, Qt::KeyboardModifiers mods, bool double_click) {
  if (at.line < 0 || at.line >= static_cast<int>(model_.line_count())) return;
  const unsigned n = static_cast<unsigned>(at.line) + 1;
  const int number_cells = static_cast<int>(std::max(4u, digits(model_.line_count())));
  if (at.column < number_cells) return margin_clicked(n, button, mods, double_click);
  const int column = at.column - margin_cells();
  const std::string& text = model_.line(n);
  if (column < 0 || column >= static_cast<int>(text.size()) || !word_char(text[static_cast<std::size_t>(column)])) return;
  std::size_t b = static_cast<std::size_t>(column), e = b;
  while (b > 0 && word_char(text[b - 1])) --b;
  while (e < text.size() && word_char(text[e])) ++e;
  if (button == Qt::RightButton || double_click) word_clicked(text.substr(b, e - b), button);
}

void SourceView::margin_clicked(unsigned line, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                bool double_click) {
  Debugger* d = host_.debugger();
  if (!d) return;
  const LineMargin m = model_.margin(*d, line);
  if (!m.code) return;  // only lines with code take margin actions
  subject_ = {location(line), m.address, m.event_number, m.event == EventMark::On, {}};
  const bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier;
  if (button == Qt::LeftButton && double_click) {
    if (shift) {
      char text[32];
      std::snprintf(text, sizeof text, "0x%x", m.address);
      host_.show_message("Address of", text);
    } else if (m.event != EventMark::None) {
      host_.run_line(popup_command(popup_items("CLINEPOPUP")[1], subject_));
    } else {
      host_.run_line((lines_->held(Qt::Key_W) ? "watch " : ctrl ? "go " : "break ") + subject_.text);
    }
    return;
  }
  if (button != Qt::RightButton) return;
  lines_->set_cursor(static_cast<int>(line) - 1);
  if (m.event != EventMark::None && (shift || ctrl)) {
    if (shift && ctrl) return popup_chosen({1, kPopupEdit, "&Edit", nullptr});
    return host_.run_line(popup_command(popup_items("CLINEPOPUP")[shift ? 1 : 2], subject_)), void();
  }
  show_popup("CLINEPOPUP");
  for (QAction* a : popup_->actions()) {
    const QString t = a->objectName();
    if (t == "&Set Breakpoint") a->setEnabled(m.event == EventMark::None);
    else if (t != "Address &of") a->setEnabled(m.event != EventMark::None);
  }
  popup_->popup(QCursor::pos());
}

void SourceView::word_clicked(const std::string& word, Qt::MouseButton button) {
  Debugger* d = host_.debugger();
  if (!d || button != Qt::RightButton) return;
  subject_ = {word, address_of(*d, word).value_or(0), 0, true, {}};
  show_popup(d->program.tables().find_function(word) ? "FUNCPOPUP" : "LBLPOPUP");
  popup_->popup(QCursor::pos());
}

void SourceView::show_popup(const char* name) {
  delete popup_;
  popup_ = build_popup(this, name, [this](const PopupItem& item) { popup_chosen(item); });
}

void SourceView::popup_chosen(const PopupItem& item) {
  Debugger* d = host_.debugger();
  switch (item.id) {
    case kPopupFind: {
      bool ok = false;
      const QString text = QInputDialog::getText(this, "Find", "Find:", QLineEdit::Normal,
                                                 QString::fromStdString(search_), &ok);
      if (ok) find(text.toStdString());
      return;
    }
    case kPopupFindNext: return find(search_);
    case kPopupFindCancel: match_.reset(); lines_->refresh(); return;
    case kPopupShowAddress: return set_address_column(!address_column_);
    case 10010: case 10011: case 10012: case 10013: return set_coverage(static_cast<CoverageMode>(item.id));
    case kPopupEdit: run_event_dialog(host_, this, false, subject_.event); return;
    case kPopupShowCode: return host_.show_code(subject_.address);
    case kPopupShowData: return host_.open_data_memory(subject_.address);
    case kPopupInfo: {
      char text[256];
      std::snprintf(text, sizeof text, "%s at 0x%x in (%s)", subject_.text.c_str(), subject_.address,
                    model_.name().c_str());
      return host_.show_message("Info", text);
    }
    default: break;
  }
  if (item.id == kPopupAddressOf && !item.command) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%x", subject_.address);
    return host_.show_message("Address of", text);
  }
  const std::string line = popup_command(item, subject_);
  if (line.empty() || !d) return;
  // Evaluations answer in a box of their own; the rest act.
  if (line.rfind("eval ", 0) == 0)
    host_.show_message((item.id == kPopupAddressOf ? "Address of: " : "Evaluate: ") + subject_.text,
                       host_.run_captured(line));
  else
    host_.run_line(line);
}

void SourceView::find(const std::string& text) {
  search_ = text;
  if (text.empty()) return;
  const unsigned from = static_cast<unsigned>(std::max(0, lines_->cursor())) + 1;
  const std::size_t column = match_ && match_->line == from ? match_->column + 1 : 0;
  match_ = model_.find(text, from, column);
  if (!match_) return host_.beep();
  go_to_line(match_->line);
  lines_->refresh();
}

}  // namespace tav::qt
