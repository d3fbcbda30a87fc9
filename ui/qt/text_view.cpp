#include "ui/qt/text_view.h"

#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace tav::qt {

std::string strip_color_codes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\x01') {
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

TextView::TextView(const TextViewSpec& spec, std::function<std::string()> text, QWidget* parent)
    : QWidget(parent), spec_(spec), source_(std::move(text)) {
  setObjectName(spec.host_name);
  setWindowTitle(spec.title);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  strip_ = new QMenuBar(this);
  strip_->setNativeMenuBar(false);
  if (spec.refresh_item) strip_->addAction("Refresh", this, [this] { refresh(); });
  strip_->addAction("Save", this, [this] {
    const QString file = QFileDialog::getSaveFileName(this, spec_.save_title, QString(), spec_.save_filter);
    if (!file.isEmpty() && !save_to(file)) QMessageBox::warning(this, "Error", "Can't write " + file);
  });
  QAction* print = strip_->addAction("Print");
  print->setEnabled(false);  // printing belongs to a later version of the views
  layout->addWidget(strip_);
  edit_ = new QPlainTextEdit(this);
  edit_->setObjectName(spec.class_name);
  edit_->setReadOnly(true);
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(edit_);
  refresh();
}

void TextView::refresh() {
  const QString now = QString::fromLatin1(strip_color_codes(source_()));
  if (now != edit_->toPlainText()) {
    const int scroll = edit_->verticalScrollBar()->value();
    edit_->setPlainText(now);
    edit_->verticalScrollBar()->setValue(scroll);
  }
  QList<QTextEdit::ExtraSelection> selections;
  if (marks) {
    for (const auto& [line, color] : marks()) {
      QTextEdit::ExtraSelection sel;
      sel.cursor = QTextCursor(edit_->document()->findBlockByNumber(line));
      sel.format.setBackground(color);
      sel.format.setProperty(QTextFormat::FullWidthSelection, true);
      selections.push_back(sel);
    }
  }
  edit_->setExtraSelections(selections);
}

bool TextView::save_to(const QString& file) const {
  QFile f(file);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  f.write(spec_.save_header);
  f.write(edit_->toPlainText().toLatin1());
  return true;
}

}  // namespace tav::qt
