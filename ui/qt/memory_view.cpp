#include "ui/qt/memory_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kernel/debugger.h"
#include "ui/model/colour_runs.h"
#include "ui/model/program_lookup.h"

namespace tav::qt {

std::optional<std::uint32_t> parse_c_number(const QString& text) {
  QString t = text.trimmed();
  bool negative = false;
  if (t.startsWith('-') || t.startsWith('+')) negative = t[0] == '-', t = t.mid(1).trimmed();
  if (t.isEmpty()) return std::nullopt;
  int base = 10;
  if (t.startsWith("0x", Qt::CaseInsensitive)) base = 16, t = t.mid(2);
  else if (t.startsWith("0b", Qt::CaseInsensitive)) base = 2, t = t.mid(2);
  else if (t.size() > 1 && t.startsWith('0')) base = 8, t = t.mid(1);
  bool ok = false;
  const qulonglong v = t.toULongLong(&ok, base);
  if (!ok || t.isEmpty()) return std::nullopt;
  return static_cast<std::uint32_t>(negative ? 0ull - v : v);
}

std::optional<MemoryViewChoice> ask_memory_view(ViewHost& host, QWidget* parent) {
  if (!host.debugger()) return std::nullopt;
  QDialog dialog(parent);
  dialog.setObjectName("TAVMEM_CONF");
  dialog.setWindowTitle("Memory Window");
  auto* form = new QFormLayout(&dialog);
  auto* address = new QLineEdit(&dialog);
  address->setObjectName("address");
  auto* kind = new QComboBox(&dialog);
  kind->setObjectName("kind");
  kind->addItems({"Data", "Code"});
  form->addRow("Address, symbol or function", address);
  form->addRow("Memory", kind);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  MemoryViewChoice choice;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    std::optional<std::uint32_t> at = parse_c_number(address->text());
    if (!at) at = address_of(*host.debugger(), address->text().trimmed().toStdString());
    if (!at) return host.beep();
    choice = {*at & 0xFFFFFF, kind->currentIndex() == 1};
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return choice;
}

MemoryView::MemoryView(ViewHost& host, std::uint32_t start, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("MEMWIN");
  model_.start = start;
  model_.format.characters = true;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* strip = new QMenuBar(this);
  strip->setObjectName("TAVMEMDATA");
  connect(strip->addAction("Address"), &QAction::triggered, this, [this] { address_dialog(); });
  connect(strip->addAction("Format"), &QAction::triggered, this, [this] { format_dialog(); });
  connect(strip->addAction("Dump"), &QAction::triggered, this, [this] { dump(); });
  connect(strip->addAction("Fill"), &QAction::triggered, this, [this] { fill_dialog(); });
  connect(strip->addAction("S-Records"), &QAction::triggered, this, [this] { srecords(); });
  layout->setMenuBar(strip);
  lines_ = new LineView(this);
  layout->addWidget(lines_);
  lines_->line_count = [this] { return static_cast<int>(painted_.size()); };
  lines_->spans = [this](int i) { return line_spans(i); };
  lines_->clicked = [this](CellPos at, Qt::MouseButton b, Qt::KeyboardModifiers, bool) { clicked(at, b); };
  // Scrolling moves the start by whole lines.
  lines_->scrolled = [this] {
    const int delta = lines_->top();
    if (!delta) return;
    model_.start = (model_.start + static_cast<std::uint32_t>(delta * static_cast<int>(model_.format.bytes))) & 0xFFFFFF;
    refresh_view(true);
  };
  setWindowTitle(QString("Memory 0x%1").arg(start, 6, 16, QLatin1Char('0')));
}

unsigned MemoryView::line_total() const {
  return std::max(4u, static_cast<unsigned>(lines_->visible_lines()));
}

void MemoryView::refresh_view(bool full) {
  Debugger* d = host_.debugger();
  if (!d) return;
  painted_ = model_.paint(d->memory, line_total(), full);
  lines_->rewind_endless();
}

void MemoryView::set_start(std::uint32_t address) {
  model_.start = address & 0xFFFFFF;
  setWindowTitle(QString("Memory 0x%1").arg(model_.start, 6, 16, QLatin1Char('0')));
  refresh_view(true);
}

void MemoryView::set_format(const DataLineFormat& format) {
  model_.format = format;
  refresh_view(true);
}

std::vector<Span> MemoryView::line_spans(int index) const {
  std::vector<Span> spans;
  if (index < 0 || index >= static_cast<int>(painted_.size())) return spans;
  for (const ColourRun& run : colour_runs(painted_[static_cast<std::size_t>(index)]))
    spans.push_back({QString::fromLatin1(run.text.data(), static_cast<int>(run.text.size())),
                     run.colour == kViewTextColour ? QColor() : host_.table_colour(run.colour), {}});
  return spans;
}

void MemoryView::clicked(CellPos at, Qt::MouseButton button) {
  if (button != Qt::LeftButton || at.line < 0 || at.line >= static_cast<int>(painted_.size())) return;
  editing_ = model_.unit_at(static_cast<unsigned>(at.line), static_cast<unsigned>(at.column));
  if (!editing_) return;
  if (!editor_) {
    editor_ = new QLineEdit(lines_->viewport());
    editor_->setObjectName("UNITEDIT");
    editor_->setFrame(false);
    editor_->setFont(lines_->font());
    connect(editor_, &QLineEdit::returnPressed, this, [this] { commit_edit(); });
    connect(editor_, &QLineEdit::editingFinished, this, [this] {
      if (editor_) editor_->hide();
    });
  }
  const QRect cell = lines_->cell_rect(at.line, static_cast<int>(editing_->column), static_cast<int>(editing_->width) + 1);
  editor_->setGeometry(cell);
  editor_->clear();
  editor_->show();
  editor_->setFocus();
}

void MemoryView::commit_edit() {
  if (!editing_ || !editor_) return;
  // Typed digits are read in the view's base unless they say otherwise.
  QString text = editor_->text().trimmed();
  std::optional<std::uint32_t> value = parse_c_number(text);
  if (!text.startsWith("0") && !text.startsWith("-")) {
    bool ok = false;
    const int base = model_.format.base == NumberBase::Hexadecimal ? 16 : model_.format.base == NumberBase::Octal ? 8
                   : model_.format.base == NumberBase::Binary      ? 2 : 10;
    const qulonglong v = text.toULongLong(&ok, base);
    value = ok ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(v)) : std::nullopt;
  }
  editor_->hide();
  if (!value) return host_.beep();
  host_.run_line(DataMemoryView::write_command(*editing_, *value));
  editing_.reset();
}

void MemoryView::address_dialog() {
  bool ok = false;
  const QString text = QInputDialog::getText(this, "Data Window Address", "Address, symbol or function:",
                                             QLineEdit::Normal, QString(), &ok);
  if (!ok || !host_.debugger()) return;
  if (auto n = parse_c_number(text)) return set_start(*n);
  if (auto a = address_of(*host_.debugger(), text.trimmed().toStdString())) return set_start(*a);
  host_.beep();
}

void MemoryView::format_dialog() {
  QDialog dialog(this);
  dialog.setObjectName("TAVDATA_FMT");
  dialog.setWindowTitle("Format");
  auto* form = new QFormLayout(&dialog);
  auto* unit = new QComboBox(&dialog);
  unit->addItems({"Byte", "Word", "Long"});
  unit->setCurrentIndex(model_.format.unit == 4 ? 2 : model_.format.unit == 2 ? 1 : 0);
  auto* base = new QComboBox(&dialog);
  base->addItems({"Binary", "Octal", "Decimal", "Hexadecimal"});
  base->setCurrentIndex(static_cast<int>(model_.format.base));
  auto* bytes = new QSpinBox(&dialog);
  bytes->setRange(1, 64);
  bytes->setValue(static_cast<int>(model_.format.bytes));
  auto* chars = new QCheckBox("Characters", &dialog);
  chars->setChecked(model_.format.characters);
  form->addRow("Unit", unit);
  form->addRow("Base", base);
  form->addRow("Bytes per line", bytes);
  form->addRow(chars);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const unsigned u = unit->currentIndex() == 2 ? 4 : unit->currentIndex() == 1 ? 2 : 1;
  set_format({std::max(u, static_cast<unsigned>(bytes->value()) / u * u), u, static_cast<NumberBase>(base->currentIndex()),
              chars->isChecked()});
}

void MemoryView::fill_dialog() {
  QDialog dialog(this);
  dialog.setObjectName("TAVDATA_FILL");
  dialog.setWindowTitle("Fill");
  auto* form = new QFormLayout(&dialog);
  auto* start = new QLineEdit(QString("0x%1").arg(model_.start, 0, 16), &dialog);
  auto* end = new QLineEdit(&dialog);
  auto* value = new QLineEdit("0", &dialog);
  form->addRow("Start", start);
  form->addRow("End", end);
  form->addRow("Value", value);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const auto a = parse_c_number(start->text()), b = parse_c_number(end->text()), v = parse_c_number(value->text());
  if (!a || !b || !v) return host_.beep();
  const char* size = model_.format.unit == 4 ? "/l" : model_.format.unit == 2 ? "/w" : "/b";
  host_.run_line(QString("fill %1 0x%2 0x%3 0x%4").arg(size).arg(*a, 0, 16).arg(*b, 0, 16).arg(*v, 0, 16).toStdString());
}

void MemoryView::dump() {
  Debugger* d = host_.debugger();
  if (!d) return;
  const QString file = QFileDialog::getSaveFileName(this, "Memory Data Dump", QString(), "Dump Files(*.mem)");
  if (file.isEmpty()) return;
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) return host_.show_message("Error", "Can't write " + file.toStdString());
  for (const std::string& line : model_.plain(d->memory, line_total())) out.write((line + "\n").c_str());
}

void MemoryView::srecords() {
  Debugger* d = host_.debugger();
  if (!d || d->run.running) return;  // nothing is written while the target runs
  QDialog dialog(this);
  dialog.setObjectName("TAVMEM_DDUMP");
  dialog.setWindowTitle("Memory Data Dump");
  auto* form = new QFormLayout(&dialog);
  const std::uint32_t last = model_.line_address(line_total() - 1) + model_.format.bytes - 1;
  auto* start = new QLineEdit(QString("0x%1").arg(model_.start, 0, 16), &dialog);
  auto* end = new QLineEdit(QString("0x%1").arg(last & 0xFFFFFF, 0, 16), &dialog);
  auto* name = new QLineEdit(&dialog);
  auto* browse = new QAction("...", &dialog);
  name->addAction(browse, QLineEdit::TrailingPosition);
  connect(browse, &QAction::triggered, &dialog, [&] {
    const QString f = QFileDialog::getSaveFileName(&dialog, "Memory Data Dump", QString(), "S-Record Files(*.mem)");
    if (!f.isEmpty()) name->setText(f);
  });
  form->addRow("Start", start);
  form->addRow("End", end);
  form->addRow("File", name);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    // A field that is not a number keeps the dialog open.
    if (!parse_c_number(start->text()) || !parse_c_number(end->text()) || name->text().trimmed().isEmpty())
      return host_.beep();
    dialog.accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string file = name->text().trimmed().toStdString();
  host_.run_line(QString("srec 0x%1 0x%2 ").arg(*parse_c_number(start->text()) & 0xFFFFFF, 0, 16)
                     .arg(*parse_c_number(end->text()) & 0xFFFFFF, 0, 16).toStdString() +
                 (file.find(' ') == std::string::npos ? file : '"' + file + '"'));
}

}  // namespace tav::qt
