// The monitor view (MONWIN with its tree MONTREE): one item per monitored
// expression, aggregates opened into their members; its popup deletes,
// formats, updates and takes the address of an item.
#pragma once
#include <QWidget>

#include "ui/qt/popup_table.h"
#include "ui/qt/view_host.h"

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace tav::qt {

class MonitorTree : public QWidget, public RefreshingView {
 public:
  MonitorTree(ViewHost& host, QWidget* parent = nullptr);
  void refresh_view(bool full) override;
  QTreeWidget* tree() const { return tree_; }
  // The popup for a top-level item (row, 0-based); tests pick its items.
  QMenu* popup_for(int row);
  bool save_to(const QString& file) const;

 private:
  void popup_chosen(const PopupItem& item);
  void save();

  ViewHost& host_;
  QTreeWidget* tree_;
  QMenu* popup_ = nullptr;
  int row_ = -1;
};

}  // namespace tav::qt
