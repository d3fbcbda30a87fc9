#include "ui/qt/symbol_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace tav::qt {

void go_to_place(ViewHost& host, MapTarget target, const std::string& file, unsigned line, std::uint32_t address) {
  if (!file.empty()) return host.open_source(file, line);
  switch (target) {
    case MapTarget::Code: return host.show_code(address);
    case MapTarget::Data: return host.open_data_memory(address);
    default: return host.beep();
  }
}

SymbolDialog::SymbolDialog(std::vector<MapLine> symbols, QWidget* parent)
    : QDialog(parent), all_(std::move(symbols)) {
  setObjectName("SYMBOLSEL");
  setWindowTitle("Symbols");
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel("&Name:", this);
  layout->addWidget(label);
  filter_ = new QLineEdit(this);
  filter_->setObjectName("filter");
  label->setBuddy(filter_);
  layout->addWidget(filter_);
  // The arrow and page keys move through the list while the typing goes on.
  filter_->installEventFilter(this);
  list_ = new QListWidget(this);
  list_->setObjectName("symbols");
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  list_->setFont(fixed);
  list_->setMinimumWidth(420);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &SymbolDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(filter_, &QLineEdit::textChanged, this, [this] { refill(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  refill();
}

bool SymbolDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == filter_ && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        QCoreApplication::sendEvent(list_, event);
        return true;
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SymbolDialog::refill() {
  shown_ = matching_symbols(all_, filter_->text().toStdString());
  list_->clear();
  for (const MapLine& l : shown_) list_->addItem(QString::fromStdString(l.text));
  if (!shown_.empty()) list_->setCurrentRow(0);
}

const MapLine* SymbolDialog::chosen() const {
  const int row = list_->currentRow();
  return row >= 0 && row < static_cast<int>(shown_.size()) ? &shown_[static_cast<std::size_t>(row)] : nullptr;
}

void SymbolDialog::accept() {
  if (chosen()) QDialog::accept();
}

bool select_symbol(ViewHost& host, QWidget* parent) {
  Debugger* d = host.debugger();
  if (!d) return false;
  std::vector<MapLine> symbols = symbol_lines(*d, SymbolOrder::Name);
  if (symbols.empty()) {
    host.beep();
    return false;
  }
  SymbolDialog dialog(std::move(symbols), parent);
  if (dialog.exec() != QDialog::Accepted || !dialog.chosen()) return false;
  const MapLine& s = *dialog.chosen();
  go_to_place(host, s.target, s.file, s.line, s.address);
  return true;
}

}  // namespace tav::qt
