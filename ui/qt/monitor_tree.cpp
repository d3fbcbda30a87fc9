#include "ui/qt/monitor_tree.h"

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "kernel/debugger.h"
#include "ui/model/monitor_view.h"

namespace tav::qt {

namespace {
void add_members(QTreeWidgetItem* parent, const std::string& value, std::set<QString>& open, const QString& path) {
  for (const ValueMember& m : value_members(value)) {
    auto* item = new QTreeWidgetItem(parent, {QString::fromStdString(m.name), QString::fromStdString(m.value)});
    const QString here = path + "." + item->text(0);
    add_members(item, m.value, open, here);
    item->setExpanded(open.count(here) != 0);
  }
}

void expanded_paths(QTreeWidgetItem* item, const QString& path, std::set<QString>& out) {
  if (item->isExpanded()) out.insert(path);
  for (int i = 0; i < item->childCount(); ++i) expanded_paths(item->child(i), path + "." + item->child(i)->text(0), out);
}
}  // namespace

MonitorTree::MonitorTree(ViewHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("MONWIN");
  setWindowTitle("Monitors");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* strip = new QMenuBar(this);
  strip->setObjectName("MON_MENU");
  connect(strip->addAction("Save"), &QAction::triggered, this, [this] { save(); });
  layout->setMenuBar(strip);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("MONTREE");
  tree_->setHeaderLabels({"Expression", "Value"});
  tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    QTreeWidgetItem* item = tree_->itemAt(p);
    while (item && item->parent()) item = item->parent();
    if (!item) return;
    popup_for(tree_->indexOfTopLevelItem(item))->popup(tree_->viewport()->mapToGlobal(p));
  });
  layout->addWidget(tree_);
}

void MonitorTree::refresh_view(bool) {
  Debugger* d = host_.debugger();
  if (!d) return;
  // Keep what the user opened; rebuild the values without repainting in between.
  std::set<QString> open;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i)
    expanded_paths(tree_->topLevelItem(i), tree_->topLevelItem(i)->text(0), open);
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  for (const MonitorRow& row : monitor_rows(*d)) {
    auto* item = new QTreeWidgetItem(tree_, {QString::fromStdString(row.expression), QString::fromStdString(row.value)});
    if (row.letter) item->setToolTip(0, QString("format %1").arg(QChar(row.letter)));
    add_members(item, row.value, open, item->text(0));
    item->setExpanded(open.count(item->text(0)) != 0);
  }
  tree_->setUpdatesEnabled(true);
}

QMenu* MonitorTree::popup_for(int row) {
  row_ = row;
  delete popup_;
  popup_ = build_popup(this, "MONPOPUP", [this](const PopupItem& item) { popup_chosen(item); });
  return popup_;
}

void MonitorTree::popup_chosen(const PopupItem& item) {
  Debugger* d = host_.debugger();
  if (!d || row_ < 0 || row_ >= static_cast<int>(d->monitor_list.list().size())) return;
  const std::size_t number = static_cast<std::size_t>(row_) + 1;
  PopupSubject subject{d->monitor_list.list()[number - 1].expression, 0, 0, true, {}};
  switch (item.id) {
    case kPopupMonDelete: host_.run_line("del /m " + std::to_string(number)); return;
    case kPopupMonDeleteAll:
      while (!d->monitor_list.list().empty())
        if (!host_.run_line("del /m 1")) break;
      return;
    case kPopupFormatAddress: monitor_address_of(*d, number); return refresh_view(false);
    case kPopupAddressOf:
      host_.show_message("Address of", host_.run_captured(popup_command(item, subject)));
      return;
    case kPopupUpdate: {
      bool ok = false;
      const QString value = QInputDialog::getText(this, "Update", QString::fromStdString(subject.text) + " =",
                                                  QLineEdit::Normal, QString(), &ok);
      if (!ok) return;
      subject.value = value.toStdString();
      host_.run_line(popup_command(item, subject));
      return;
    }
    default: break;
  }
  if (const char letter = popup_format_letter(item.id)) {
    set_monitor_format(*d, number, letter);
    refresh_view(false);
  }
}

bool MonitorTree::save_to(const QString& file) const {
  Debugger* d = const_cast<ViewHost&>(host_).debugger();
  QFile out(file);
  if (!d || !out.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  out.write(monitor_save_text(*d).c_str());
  return true;
}

void MonitorTree::save() {
  const QString file = QFileDialog::getSaveFileName(this, "Save Monitors", QString(), "Usage Files(*.mon)");
  if (!file.isEmpty() && !save_to(file)) host_.show_message("Error", "Can't write " + file.toStdString());
}

}  // namespace tav::qt
