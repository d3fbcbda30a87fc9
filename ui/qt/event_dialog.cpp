#include "ui/qt/event_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "events/event_table.h"
#include "kernel/debugger.h"
#include "support/messages.h"

namespace tav::qt {

namespace {

// The places in the order of the place box.
constexpr EventPlace kPlaces[] = {EventPlace::Function, EventPlace::Lines, EventPlace::Address, EventPlace::Expression};
const char* const kWhereLabels[] = {"Function", "File", "Address", "Expression"};
constexpr char kAccesses[] = {'A', 'R', 'W'};
constexpr unsigned kSizes[] = {0, 1, 2, 4};

template <typename T, std::size_t N>
int index_of(const T (&table)[N], T value) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == value) return static_cast<int>(i);
  return 0;
}

QSpinBox* line_box(QWidget* parent, const char* name, unsigned value) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(0, 65535);
  box->setSpecialValueText("none");
  box->setValue(static_cast<int>(value));
  return box;
}

QLineEdit* text_box(QWidget* parent, const char* name, const std::string& text) {
  auto* edit = new QLineEdit(QString::fromStdString(text), parent);
  edit->setObjectName(name);
  return edit;
}

// Runs the lines one after the other; a line the event table refuses stops
// them, and when it was the one that makes a changed event, the event it
// replaced is made again.
bool run_lines(ViewHost& host, const EventLines& lines) {
  Debugger* d = host.debugger();
  for (std::size_t i = 0; i < lines.lines.size(); ++i) {
    const std::uint32_t errors = d->events.error_count();
    const bool ran = host.run_line(lines.lines[i]);
    if (ran && d->events.error_count() == errors) continue;
    if (ran && i == lines.remake)
      for (const std::string& line : lines.restore) host.run_line(line);
    return false;
  }
  return true;
}

}  // namespace

EventDialog::EventDialog(ViewHost& host, const EventForm& form, QWidget* parent)
    : QDialog(parent), host_(host), start_(form) {
  setObjectName(form.data ? "BKPTDEDIT" : "BKPTEDIT");
  QString title = form.data ? "Data Event" : "Code Event";
  if (form.number) title += QString(" (%1)").arg(form.number);
  setWindowTitle(title);
  auto* rows = new QFormLayout(this);
  type_ = new QComboBox(this);
  type_->setObjectName("type");
  type_->addItems({"Break", "Watch"});
  type_->setCurrentIndex(form.watch ? 1 : 0);
  rows->addRow("Type", type_);
  where_ = text_box(this, "where", form.where);
  if (form.data) {
    rows->addRow("Variable", where_);
    access_ = new QComboBox(this);
    access_->setObjectName("access");
    access_->addItems({"Read or Write", "Read", "Write"});
    access_->setCurrentIndex(index_of(kAccesses, form.access));
    rows->addRow("Access", access_);
    size_ = new QComboBox(this);
    size_->setObjectName("size");
    size_->addItems({"Whole variable", "Byte", "Word", "Long"});
    size_->setCurrentIndex(index_of(kSizes, form.size));
    rows->addRow("Size", size_);
  } else {
    place_ = new QComboBox(this);
    place_->setObjectName("place");
    place_->addItems({"Function", "File:Line", "Address", "Symbol or Expression"});
    place_->setCurrentIndex(index_of(kPlaces, form.place));
    rows->addRow("At", place_);
    where_label_ = new QLabel(this);
    rows->addRow(where_label_, where_);
    first_ = line_box(this, "first", form.first);
    last_ = line_box(this, "last", form.last);
    rows->addRow("First line", first_);
    rows->addRow("Last line", last_);
    entry_ = new QCheckBox("Entry line only", this);
    entry_->setObjectName("entry");
    entry_->setChecked(form.entry_only);
    rows->addRow(entry_);
    connect(place_, &QComboBox::currentIndexChanged, this, [this] { place_changed(); });
    place_changed();
  }
  count_ = new QSpinBox(this);
  count_->setObjectName("count");
  count_->setRange(1, 65535);
  count_->setValue(static_cast<int>(form.count));
  rows->addRow("Count", count_);
  condition_ = text_box(this, "condition", form.condition);
  condition_->setToolTip("The commands run only while this C expression is true");
  rows->addRow("Condition", condition_);
  commands_ = text_box(this, "commands", form.commands);
  commands_->setToolTip("Commands run each time the event fires, separated by ;");
  rows->addRow("Commands", commands_);
  active_ = new QCheckBox("On", this);
  active_->setObjectName("active");
  active_->setChecked(form.active);
  rows->addRow(active_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &EventDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  rows->addRow(buttons);
}

void EventDialog::place_changed() {
  const int i = place_->currentIndex();
  where_label_->setText(kWhereLabels[i]);
  const bool lines = kPlaces[i] == EventPlace::Function || kPlaces[i] == EventPlace::Lines;
  first_->setEnabled(lines);
  last_->setEnabled(lines);
  entry_->setEnabled(kPlaces[i] == EventPlace::Function);
}

EventForm EventDialog::form() const {
  EventForm f = start_;
  f.watch = type_->currentIndex() == 1;
  f.where = where_->text().trimmed().toStdString();
  if (f.data) {
    f.access = kAccesses[access_->currentIndex()];
    f.size = kSizes[size_->currentIndex()];
  } else {
    f.place = kPlaces[place_->currentIndex()];
    const bool lines = f.place == EventPlace::Function || f.place == EventPlace::Lines;
    f.first = lines ? static_cast<unsigned>(first_->value()) : 0;
    f.last = lines ? static_cast<unsigned>(last_->value()) : 0;
    f.entry_only = f.place == EventPlace::Function && entry_->isChecked();
  }
  f.count = static_cast<unsigned>(count_->value());
  f.condition = condition_->text().trimmed().toStdString();
  f.commands = commands_->text().trimmed().toStdString();
  f.active = active_->isChecked();
  return f;
}

void EventDialog::accept() {
  const std::string error = form_error(form());
  if (!error.empty()) return host_.show_message(windowTitle().toStdString(), error);
  QDialog::accept();
}

bool run_event_dialog(ViewHost& host, QWidget* parent, bool data, int number) {
  Debugger* d = host.debugger();
  if (!d) return false;
  const Event* e = number ? d->events.find(number) : nullptr;
  if (number && !e) {
    host.show_message("Event", msgtext(msg::breakpoint_not_found));
    return false;
  }
  EventForm was;
  if (e)
    was = event_form(*e);
  else
    was.data = data;
  EventDialog dialog(host, was, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  // The table may have changed while the dialog was open (a command file, an extension).
  e = number ? d->events.find(number) : nullptr;
  if (number && !e) return false;
  const EventForm form = dialog.form();
  const std::vector<EventForm> captors = capturing_events(d->events, d->program.tables(), form, e ? &was : nullptr);
  return run_lines(host, event_lines(form, e ? &was : nullptr, next_event_number(d->events, number), captors));
}

}  // namespace tav::qt
