#include "ui/qt/variable_tree.h"

#include <QActionGroup>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "kernel/debugger.h"

namespace tav::qt {

namespace {

enum Column { kName, kType, kValue, kAddress };

QString q(const std::string& text) { return QString::fromStdString(text); }

// The window and tree class of each scope: the locals and globals views are
// the browser under their own names.
struct ScopeNames {
  const char* window;
  const char* tree;
};
ScopeNames scope_names(VariableTree::Scope scope) {
  switch (scope) {
    case VariableTree::Scope::Locals: return {"TAVLOCS", "LOCSTREE"};
    case VariableTree::Scope::Globals: return {"TAVGLOBS", "GLOBSTREE"};
    default: return {"TAVVARS", "VARTREE"};
  }
}

// Colour table entry of a value that changed.
constexpr int kChangedColour = 10;

}  // namespace

VariableBrowser::VariableBrowser(ViewHost& host, VariableTree::Scope scope, VariableFormat format, QWidget* parent)
    : QWidget(parent), host_(host), model_(scope) {
  setObjectName(scope_names(scope).window);
  setWindowTitle(model_.title());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* strip = new QMenuBar(this);
  strip->setObjectName("VAR_MENU");
  connect(strip->addAction("Save"), &QAction::triggered, this, [this] { save(); });
  status_ = strip->addMenu("Status");
  status_->setObjectName("Status");
  auto* states = new QActionGroup(status_);
  for (const char* word : {"Auto Refresh", "Frozen"}) {
    QAction* a = status_->addAction(word);
    a->setObjectName(word);
    a->setCheckable(true);
    a->setChecked(word[0] == 'A');
    states->addAction(a);
    const bool frozen = word[0] == 'F';
    connect(a, &QAction::triggered, this, [this, frozen] { set_frozen(frozen); });
  }
  layout->setMenuBar(strip);

  tree_ = new QTreeWidget(this);
  tree_->setObjectName(scope_names(scope).tree);
  tree_->setHeaderLabels({"Variable", "Class and Type", "Value", "Address"});
  tree_->header()->setSectionResizeMode(kName, QHeaderView::ResizeToContents);
  tree_->header()->setSectionResizeMode(kType, QHeaderView::ResizeToContents);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { opened(item, true); });
  connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { opened(item, false); });
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    if (QMenu* popup = popup_for(tree_->itemAt(p))) popup->popup(tree_->viewport()->mapToGlobal(p));
  });
  layout->addWidget(tree_);
  set_format(format);
}

void VariableBrowser::set_format(VariableFormat format) {
  model_.set_format(format);
  tree_->setColumnHidden(kValue, format == VariableFormat::Brief);
  tree_->setColumnHidden(kAddress, format != VariableFormat::Full);
}

void VariableBrowser::set_frozen(bool frozen) {
  model_.set_frozen(frozen);
  status_->setTitle(frozen ? "Frozen" : "Auto Refresh");
  for (QAction* a : status_->actions()) a->setChecked(a->text() == status_->title());
  if (!frozen) refresh_view(true);
}

void VariableBrowser::refresh_view(bool full) {
  Debugger* d = host_.debugger();
  if (!d || d->run.running) return;
  model_.refresh(*d, !full);
  delete note_;
  note_ = nullptr;
  fill(nullptr, model_.items());
  setWindowTitle(q(model_.caption()));
  // An empty view says why it is empty, on a line that is no item.
  if (model_.items().empty() && !model_.note().empty()) {
    note_ = new QTreeWidgetItem(tree_, {q(model_.note())});
    note_->setFlags(Qt::NoItemFlags);
    note_->setFirstColumnSpanned(true);
  }
}

void VariableBrowser::fill(QTreeWidgetItem* parent, const std::vector<VariableItem>& items) {
  const bool was_filling = filling_;
  filling_ = true;
  auto count = [&] { return parent ? parent->childCount() : tree_->topLevelItemCount(); };
  auto child = [&](int i) { return parent ? parent->child(i) : tree_->topLevelItem(i); };
  while (count() > static_cast<int>(items.size())) delete child(count() - 1);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const VariableItem& item = items[i];
    QTreeWidgetItem* row = static_cast<int>(i) < count() ? child(static_cast<int>(i))
                           : parent                     ? new QTreeWidgetItem(parent)
                                                        : new QTreeWidgetItem(tree_);
    row->setText(kName, q(item.name));
    row->setText(kType, q(item.type));
    row->setText(kValue, q(item.value));
    row->setText(kAddress, q(item.address));
    row->setForeground(kValue, item.changed ? QBrush(host_.table_colour(kChangedColour)) : QBrush());
    row->setToolTip(kName, item.letter ? QString("format %1").arg(QChar(item.letter)) : QString());
    row->setChildIndicatorPolicy(item.expandable ? QTreeWidgetItem::ShowIndicator
                                                 : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (item.open || item.group) {
      fill(row, item.children);
    } else {
      // Read again when the user opens it.
      qDeleteAll(row->takeChildren());
    }
    row->setExpanded(item.open);
  }
  filling_ = was_filling;
}

ItemPath VariableBrowser::path_of(QTreeWidgetItem* item) const {
  ItemPath path;
  for (; item; item = item->parent())
    path.insert(path.begin(), static_cast<std::size_t>(item->parent() ? item->parent()->indexOfChild(item)
                                                                       : tree_->indexOfTopLevelItem(item)));
  return path;
}

void VariableBrowser::opened(QTreeWidgetItem* item, bool open) {
  Debugger* d = host_.debugger();
  if (filling_ || !d) return;
  const ItemPath path = path_of(item);
  if (!open) return model_.close(path);
  if (!model_.open(*d, path)) return;
  fill(item, model_.item(path)->children);
}

QMenu* VariableBrowser::popup_for(QTreeWidgetItem* item) {
  if (!item) return nullptr;
  const ItemPath path = path_of(item);
  const VariableItem* variable = model_.item(path);
  if (!variable || variable->group) return nullptr;
  chosen_ = path;
  delete popup_;
  popup_ = build_popup(this, "VARPOPUP", [this](const PopupItem& chosen) { popup_chosen(chosen); });
  // The target must stand still to be read or written.
  const Debugger* d = host_.debugger();
  const bool running = d && d->run.running;
  for (QAction* a : popup_->actions())
    if (a->objectName() == "&Evaluate" || a->objectName() == "&Monitor" || a->objectName() == "&Update")
      a->setEnabled(!running);
  return popup_;
}

void VariableBrowser::popup_chosen(const PopupItem& item) {
  Debugger* d = host_.debugger();
  const VariableItem* variable = model_.item(chosen_);
  if (!d || !variable) return;
  PopupSubject subject{variable->expression, 0, 0, true, {}};
  if (const char letter = popup_format_letter(item.id)) {
    model_.set_letter(*d, chosen_, letter);
    fill(nullptr, model_.items());
    return;
  }
  switch (item.id) {
    case kPopupInfo: return host_.show_message("Info", model_.info_text(chosen_));
    case kPopupEvaluate:
      return host_.show_message("Evaluate: " + subject.text, host_.run_captured(popup_command(item, subject)));
    case kPopupUpdate: {
      QInputDialog dialog(this);
      dialog.setObjectName("WINVARUPDATE");
      dialog.setWindowTitle("Update");
      dialog.setLabelText(q(subject.text) + " =");
      dialog.setTextValue(q(variable->value));
      if (dialog.exec() != QDialog::Accepted || dialog.textValue().trimmed().isEmpty()) return;
      subject.value = dialog.textValue().trimmed().toStdString();
      break;
    }
    default: break;
  }
  const std::string line = popup_command(item, subject);
  if (!line.empty()) host_.run_line(line);
}

bool VariableBrowser::save_to(const QString& file) const {
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  out.write(model_.save_text().c_str());
  return true;
}

void VariableBrowser::save() {
  const QString file = QFileDialog::getSaveFileName(this, "Save Data", QString(), "Variable Files(*.var)");
  if (!file.isEmpty() && !save_to(file)) host_.show_message("Error", "Can't write " + file.toStdString());
}

}  // namespace tav::qt
