#include "ui/qt/code_view.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "events/event_table.h"
#include "image/program.h"
#include "kernel/debugger.h"
#include "ui/model/colour_runs.h"
#include "ui/model/disassembly_model.h"
#include "ui/model/program_lookup.h"
#include "ui/qt/event_dialog.h"
#include "ui/qt/memory_view.h"

namespace tav::qt {

namespace {
constexpr int kAddressCells = 6;
bool word_char(QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$' || c == '.'; }
}  // namespace

CodeView::CodeView(ViewHost& host, CodeViewKind kind, QWidget* parent) : QWidget(parent), host_(host), kind_(kind) {
  setObjectName(memory() ? "MEMWIN" : "ASMWIN");
  setWindowTitle(memory() ? "Memory Code" : "Disassembly");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* strip = new QMenuBar(this);
  strip->setObjectName(memory() ? "TAVMEMCODE" : "GENERIC_MENU3");
  if (memory()) connect(strip->addAction("Address"), &QAction::triggered, this, [this] { address_dialog(); });
  connect(strip->addAction("Dump"), &QAction::triggered, this, [this] { dump(); });
  layout->setMenuBar(strip);
  lines_ = new LineView(this);
  layout->addWidget(lines_);
  lines_->line_count = [this] { return static_cast<int>(shown_.size()); };
  lines_->spans = [this](int i) { return line_spans(i); };
  lines_->clicked = [this](CellPos at, Qt::MouseButton b, Qt::KeyboardModifiers m, bool) { clicked(at, b, m); };
  lines_->key = [this](QKeyEvent* e) { return key(e); };
  // Scrolling moves the first address: the bar stays in the middle of its range.
  lines_->scrolled = [this] {
    const int delta = lines_->top();
    if (!delta || !host_.debugger()) return;
    Debugger& d = *host_.debugger();
    if (delta > 0) {
      for (int i = 0; i < delta && i + 1 < static_cast<int>(shown_.size()); ++i) first_ = shown_[static_cast<std::size_t>(i) + 1].address;
    } else {
      const auto rows = disassembly_rows(d, first_, delta, 1);
      if (!rows.empty()) first_ = rows.front().address;
    }
    placed_ = true;
    rebuild();
  };
}

void CodeView::show_address(std::uint32_t address) {
  Debugger* d = host_.debugger();
  if (!d) return;
  const ProgramLookup lookup(d->program, &d->events, &d->disasm_xgate_code());
  first_ = memory() ? address & 0xFFFFFF : DisasmView(d->memory, d->cpu_regs, &lookup).first_address(address);
  placed_ = true;
  if (memory()) setWindowTitle(QString("Memory Code 0x%1").arg(first_, 6, 16, QLatin1Char('0')));
  rebuild();
}

void CodeView::refresh_view(bool) {
  Debugger* d = host_.debugger();
  if (!d) return;
  const std::uint32_t pc = d->registers.ReadPC();
  // The disassembly view follows the PC when it leaves the lines shown; a
  // code memory view stays at its address.
  bool inside = false;
  for (std::size_t i = 0; i + 1 < shown_.size(); ++i) inside |= shown_[i].address == pc;
  if (!placed_ || (!memory() && pc != last_pc_ && !inside)) {
    const ProgramLookup lookup(d->program, &d->events, &d->disasm_xgate_code());
    first_ = DisasmView(d->memory, d->cpu_regs, &lookup).first_address(pc);
    placed_ = true;
  }
  last_pc_ = pc;
  line_first_ = 1, line_last_ = 0;
  if (!d->run.running) d->program.tables().covering_range(pc, &line_first_, &line_last_);
  rebuild();
}

void CodeView::rebuild() {
  Debugger* d = host_.debugger();
  if (!d) return;
  const ProgramLookup lookup(d->program, &d->events, &d->disasm_xgate_code());
  const unsigned count = DisasmView::lines_for(static_cast<unsigned>(lines_->viewport()->height()),
                                               static_cast<unsigned>(lines_->line_height()));
  shown_ = DisasmView(d->memory, d->cpu_regs, &lookup).lines_from(first_, std::max(count, 8u), d->registers.ReadPC());
  lines_->rewind_endless();
}

std::vector<Span> CodeView::line_spans(int index) const {
  std::vector<Span> spans;
  if (index < 0 || index >= static_cast<int>(shown_.size())) return spans;
  const CodeLine& line = shown_[static_cast<std::size_t>(index)];
  const std::string text = line.coloured();
  QColor bg;
  if (line.at_pc) bg = host_.extra_colour(kColourPc);
  else if (line.address >= line_first_ && line.address <= line_last_) bg = host_.extra_colour(kColourAssembler);
  bool first = true;
  for (const ColourRun& run : colour_runs(text)) {
    QString t = QString::fromLatin1(run.text.data(), static_cast<int>(run.text.size()));
    QColor fg = run.colour == kViewTextColour || !host_.syntax_colouring() ? QColor() : host_.table_colour(run.colour);
    if (run.colour == 10) fg = QColor();  // after the mnemonic: the operands in the text colour
    if (first && line.event != EventMark::None) {
      // The address part on the event's background.
      spans.push_back({t.left(kAddressCells), {}, host_.extra_colour(line.event == EventMark::On ? kColourBkptOn : kColourBkptOff)});
      t = t.mid(kAddressCells);
    }
    first = false;
    // The PC's instruction keeps its own text colour on its background.
    if (line.at_pc) fg = QColor(Qt::white);
    spans.push_back({t, fg, bg});
  }
  return spans;
}

void CodeView::clicked(CellPos at, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
  Debugger* d = host_.debugger();
  if (!d || at.line < 0 || at.line >= static_cast<int>(shown_.size())) return;
  const CodeLine& line = shown_[static_cast<std::size_t>(at.line)];
  if (at.column < kAddressCells) {
    if (button != Qt::LeftButton && button != Qt::RightButton) return;
    const Event* e = code_event_at(d->events, line.address);
    char address[16];
    std::snprintf(address, sizeof address, "0x%x", line.address);
    if (!e) {
      host_.run_line(std::string(lines_->held(Qt::Key_W) ? "watch @" : "break @") + address);
      return;
    }
    subject_ = {address, line.address, e->number, e->active, {}};
    const char* name = memory() ? "BKPTPOPUP" : "RBKPTPOPUP";
    const auto items = popup_items(name);
    const bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier;
    if (shift && ctrl) return popup_chosen(items[2]);
    if (shift || ctrl) return popup_chosen(items[shift ? 0 : 1]);
    delete popup_;
    popup_ = build_popup(this, name, [this](const PopupItem& item) { popup_chosen(item); });
    // Only an event on source lines has a place to show.
    for (QAction* a : popup_->actions())
      if (a->objectName() == "&Show") a->setEnabled(e->kind == kEventPosition);
    popup_->popup(QCursor::pos());
    return;
  }
  if (button != Qt::RightButton) return;
  const QString text = QString::fromStdString(line.text());
  const int column = at.column;
  if (column >= text.size() || !word_char(text[column])) return;
  int b = column, e = column;
  while (b > kAddressCells && word_char(text[b - 1])) --b;
  while (e < text.size() && word_char(text[e])) ++e;
  subject_ = {text.mid(b, e - b).toStdString(), 0, 0, true, {}};
  subject_.address = address_of(*d, subject_.text).value_or(0);
  delete popup_;
  popup_ = build_popup(this, "ASMPOPUP", [this](const PopupItem& item) { popup_chosen(item); });
  popup_->popup(QCursor::pos());
}

void CodeView::popup_chosen(const PopupItem& item) {
  switch (item.id) {
    case kPopupEdit: run_event_dialog(host_, this, false, subject_.event); return;
    case kPopupShow: {
      const Debugger* d = host_.debugger();
      const Event* e = d ? d->events.find(subject_.event) : nullptr;
      if (e && e->kind == kEventPosition && e->file) host_.open_source(std::string(e->file->name), e->first_line);
      return;
    }
    case kPopupShowCode: return show_address(subject_.address);
    case kPopupShowData: return host_.open_data_memory(subject_.address);
    case kPopupUpdate: {
      bool ok = false;
      const QString value = QInputDialog::getText(this, "Update", QString::fromStdString(subject_.text) + " =",
                                                  QLineEdit::Normal, QString(), &ok);
      if (!ok) return;
      subject_.value = value.toStdString();
      break;
    }
    default: break;
  }
  const std::string line = popup_command(item, subject_);
  if (line.empty()) return;
  if (line.rfind("eval ", 0) == 0)
    host_.show_message((item.id == kPopupAddressOf ? "Address of: " : "Evaluate: ") + subject_.text,
                       host_.run_captured(line));
  else
    host_.run_line(line);
}

bool CodeView::key(QKeyEvent* e) {
  const QString t = e->text();
  if (memory() || t.size() != 1) return false;
  switch (t[0].toLatin1()) {
    case 'g': host_.run_line("go"); return true;
    case 'G': host_.run_line("tgo"); return true;
    case 'i': case 'I': case 's': case 'S': host_.run_line("istep"); return true;
    case 'a': case 'A': case 'b': case 'B': case 'r': case 'R': case 'w': case 'W': return true;
    default: host_.beep(); return true;
  }
}

std::string CodeView::text() const {
  std::string text;
  for (const CodeLine& line : shown_) text += line.text() + "\n";
  return text;
}

void CodeView::address_dialog() {
  bool ok = false;
  const QString text = QInputDialog::getText(this, "Code Window Address", "Address, symbol or function:",
                                             QLineEdit::Normal, QString(), &ok);
  if (!ok || !host_.debugger()) return;
  std::optional<std::uint32_t> at = parse_c_number(text);
  if (!at) at = address_of(*host_.debugger(), text.trimmed().toStdString());
  if (!at) return host_.beep();
  show_address(*at);
}

void CodeView::dump() {
  const QString file = QFileDialog::getSaveFileName(this, "Memory Code Dump", QString(), "Dump Files(*.mem)");
  if (file.isEmpty()) return;
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) return host_.show_message("Error", "Can't write " + file.toStdString());
  out.write(text().c_str());
}

}  // namespace tav::qt
