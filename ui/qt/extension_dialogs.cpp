#include "ui/qt/extension_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

namespace tav::qt {

namespace {

QString latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<int>(text.size())); }

// Names with blanks go in double quotes, as the command line reads them.
std::string quoted(const std::string& text) { return '"' + text + '"'; }

QPushButton* named_button(QWidget* parent, const char* text, const char* name) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

// ---------------------------------------------------------------- lists

ExtensionListDialog::ExtensionListDialog(QWidget* parent, const char* name, const char* title,
                                         std::vector<ExtensionControl::Item> items)
    : QDialog(parent), items_(std::move(items)) {
  setObjectName(name);
  setWindowTitle(title);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("tabs");
  tabs_->addTab("Icons");
  tabs_->addTab("List");
  list_ = new QListWidget(this);
  list_->setObjectName("list");
  list_->setViewMode(QListView::IconMode);
  list_->setResizeMode(QListView::Adjust);
  connect(tabs_, &QTabBar::currentChanged, this,
          [this](int tab) { list_->setViewMode(tab == 1 ? QListView::ListMode : QListView::IconMode); });
  // Linux libraries carry no icon of their own: every item shows the program's.
  const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
  for (const ExtensionControl::Item& item : items_) new QListWidgetItem(icon, latin1(item.description), list_);
  help_ = new QPlainTextEdit(this);
  help_->setObjectName("help");  // 201
  help_->setReadOnly(true);
  version_ = new QLabel(this);
  version_->setObjectName("version");  // 202
  resize(640, 420);
}

void ExtensionListDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int w = width(), h = height();
  const int tab_h = tabs_->sizeHint().height();
  list_->setGeometry(w * 5 / 100, h / 8, w * 45 / 100, h * 72 / 100);
  tabs_->setGeometry(w * 5 / 100, h / 8 - tab_h, w * 45 / 100, tab_h);
}

const ExtensionControl::Item* ExtensionListDialog::selected() const {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(items_.size()) || !list_->currentItem() ||
      !list_->currentItem()->isSelected())
    return nullptr;
  return &items_[static_cast<std::size_t>(row)];
}

AvailableExtensionsDialog::AvailableExtensionsDialog(QWidget* parent, std::vector<ExtensionControl::Item> items,
                                                     LineRunner run)
    : ExtensionListDialog(parent, "EXTENSIONS", "Extensions", std::move(items)), run_(std::move(run)) {
  auto* right = new QWidget(this);
  auto* layout = new QVBoxLayout(right);
  layout->addWidget(help_);
  layout->addWidget(version_);
  auto* buttons = new QHBoxLayout;
  QPushButton* load = named_button(right, "&Load", "load");
  QPushButton* load_done = named_button(right, "&Load and Done", "loadDone");
  QPushButton* done = named_button(right, "&Done", "done");
  buttons->addWidget(load);
  buttons->addWidget(load_done);
  buttons->addWidget(done);
  layout->addLayout(buttons);
  right->setGeometry(330, 20, 300, 380);
  connect(load, &QPushButton::clicked, this, [this] { load_selected(); });
  connect(load_done, &QPushButton::clicked, this, [this] { load_and_done(); });
  connect(done, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { load_and_done(); });
  connect(list_, &QListWidget::currentRowChanged, this, [this] {
    const ExtensionControl::Item* item = selected();
    help_->setPlainText(item ? latin1(item->help) : QString());
    version_->setText(item ? "Version " + (item->version.empty() ? QString("Unknown") : latin1(item->version))
                           : QString("Version "));
  });
  version_->setText("Version ");
}

void AvailableExtensionsDialog::load_selected() {
  if (const ExtensionControl::Item* item = selected()) run_("extload " + quoted(item->path));
}

void AvailableExtensionsDialog::load_and_done() {
  const ExtensionControl::Item* item = selected();
  if (!item) return;
  const std::string path = item->path;
  accept();
  run_("extload " + quoted(path));
}

LoadedExtensionsDialog::LoadedExtensionsDialog(QWidget* parent, std::vector<ExtensionControl::Item> items,
                                               LineRunner run)
    : ExtensionListDialog(parent, "CURREXTENSIONS", "Loaded Extensions", std::move(items)), run_(std::move(run)) {
  auto* right = new QWidget(this);
  auto* layout = new QVBoxLayout(right);
  layout->addWidget(help_);
  layout->addWidget(version_);
  autoload_ = new QCheckBox("AutoLoad", right);  // 204
  autoload_->setObjectName("autoload");
  autoload_->setEnabled(false);
  command_ = new QLabel("Command Line: ", right);  // 203
  command_->setObjectName("commandLine");
  options_ = new QLabel("Options: ", right);  // 207
  options_->setObjectName("options");
  layout->addWidget(autoload_);
  layout->addWidget(command_);
  layout->addWidget(options_);
  auto* buttons = new QHBoxLayout;
  show_calls_ = named_button(right, "Show Calls", "showCalls");        // 205
  close_ = named_button(right, "Close Extension", "closeExtension");  // 206
  QPushButton* done = named_button(right, "&Done", "done");
  buttons->addWidget(show_calls_);
  buttons->addWidget(close_);
  buttons->addWidget(done);
  layout->addLayout(buttons);
  right->setGeometry(330, 20, 300, 380);
  show_calls_->hide();
  close_->hide();
  version_->setText("Version: ");
  connect(list_, &QListWidget::currentRowChanged, this, [this] { show_selected(); });
  connect(show_calls_, &QPushButton::clicked, this, [this] { show_calls(); });
  connect(close_, &QPushButton::clicked, this, [this] { close_selected(); });
  connect(done, &QPushButton::clicked, this, &QDialog::reject);
}

void LoadedExtensionsDialog::show_selected() {
  const ExtensionControl::Item* item = selected();
  const bool routed = item && !item->command.empty() && item->has_entry;
  help_->setPlainText(item ? latin1(item->help) : QString());
  version_->setText(item ? "Version: " + (item->version.empty() ? QString("Unknown") : latin1(item->version))
                         : QString("Version: "));
  autoload_->setChecked(item && item->autoloaded);
  command_->setText("Command Line: " + (routed ? latin1(item->command) : QString()));
  options_->setText("Options: " + (item ? latin1(item->options) : QString()));
  show_calls_->setVisible(routed && !item->calls.empty());
  close_->setVisible(item && !item->autoloaded && item->has_close);
}

void LoadedExtensionsDialog::show_calls() {
  const ExtensionControl::Item* item = selected();
  if (!item) return;
  QDialog calls(this);
  calls.setObjectName("CALLS");
  calls.setWindowTitle("Calls");
  auto* layout = new QVBoxLayout(&calls);
  auto* lines = new QListWidget(&calls);
  for (const std::string& line : item->calls) lines->addItem(latin1(line));
  layout->addWidget(lines);
  QPushButton* ok = named_button(&calls, "&OK", "ok");
  connect(ok, &QPushButton::clicked, &calls, &QDialog::accept);
  layout->addWidget(ok);
  calls.exec();
}

void LoadedExtensionsDialog::close_selected() {
  const ExtensionControl::Item* item = selected();
  if (!item || item->autoloaded || !item->has_close) return;
  const int row = list_->currentRow();
  if (!run_("extclose " + quoted(item->path))) return;
  items_.erase(items_.begin() + row);
  const QSignalBlocker quiet(list_);
  delete list_->takeItem(row);
  list_->setCurrentRow(-1);
  list_->clearSelection();
  help_->clear();
  version_->setText("Version: ");
  command_->setText("Command Line: ");
  options_->setText("Options: ");
  autoload_->setChecked(false);
  show_calls_->hide();
  close_->hide();
}

// ----------------------------------------------------------- path editor

ExtensionPathDialog::ExtensionPathDialog(QWidget* parent, const std::string& path, std::function<void()> beep,
                                         std::function<void(const QString&)> not_a_directory)
    : QDialog(parent), beep_(std::move(beep)), not_a_directory_(std::move(not_a_directory)) {
  setObjectName("PATHEDIT");
  setWindowTitle("Path Editor");
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);  // 101
  list_->setObjectName("list");
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  for (const QString& part : latin1(path).split('|', Qt::SkipEmptyParts)) list_->addItem(part);
  layout->addWidget(list_);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel("&Directory:", this);
  directory_ = new QLineEdit(this);  // 107
  directory_->setObjectName("directory");
  directory_->setMaxLength(260);
  label->setBuddy(directory_);
  row->addWidget(label);
  row->addWidget(directory_);
  layout->addLayout(row);
  auto* buttons = new QHBoxLayout;
  struct B {
    int id;
    const char* text;
  };
  for (const B& b : {B{102, "&Append"}, B{103, "Add &Before"}, B{104, "Add A&fter"}, B{105, "&Remove"},
                     B{108, "&Select"}, B{109, "&OK"}, B{110, "&Cancel"}})
    buttons->addWidget(named_button(this, b.text, QByteArray::number(b.id).prepend("button").constData()));
  layout->addLayout(buttons);
  connect(button(102), &QPushButton::clicked, this, [this] { add(102); });
  connect(button(103), &QPushButton::clicked, this, [this] { add(103); });
  connect(button(104), &QPushButton::clicked, this, [this] { add(104); });
  connect(button(105), &QPushButton::clicked, this, [this] {
    delete list_->takeItem(list_->currentRow());
    list_->clearSelection();
    button(103)->setEnabled(false);
    button(104)->setEnabled(false);
  });
  connect(button(108), &QPushButton::clicked, this, [this] {
    const QString dir = QFileDialog::getExistingDirectory(this, "Select", directory_->text());
    if (!dir.isEmpty()) directory_->setText(dir);
  });
  connect(button(109), &QPushButton::clicked, this, &QDialog::accept);
  connect(button(110), &QPushButton::clicked, this, &QDialog::reject);
  connect(directory_, &QLineEdit::textChanged, this, [this] { sync_buttons(); });
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] { sync_buttons(); });
  sync_buttons();
  button(102)->setEnabled(false);
}

QPushButton* ExtensionPathDialog::button(int id) const {
  return findChild<QPushButton*>(QString("button%1").arg(id));
}

void ExtensionPathDialog::sync_buttons() {
  const bool text = !directory_->text().isEmpty();
  const bool chosen = !list_->selectedItems().isEmpty();
  button(102)->setEnabled(text);
  button(103)->setEnabled(text && chosen);
  button(104)->setEnabled(text && chosen);
}

void ExtensionPathDialog::add(int id) {
  const QString dir = directory_->text();
  if (dir.isEmpty()) return;
  int at = list_->count();
  if (id != 102) {
    if (list_->selectedItems().isEmpty()) return;
    at = list_->currentRow() + (id == 104 ? 1 : 0);
  }
  if (!list_->findItems(dir, Qt::MatchExactly).isEmpty()) return beep_();
  if (!QFileInfo(dir).isDir()) return not_a_directory_(dir);
  list_->insertItem(at, dir);
}

std::string ExtensionPathDialog::path() const {
  QStringList parts;
  for (int i = 0; i < list_->count(); ++i) parts << list_->item(i)->text();
  return parts.join('|').toStdString();
}

}  // namespace tav::qt
