// A variable browser (TAVVARS with its tree VARTREE): the variables of the
// current function, the current file or the whole program, opened item by
// item; the locals (TAVLOCS, LOCSTREE) and globals (TAVGLOBS, GLOBSTREE)
// views are browsers too. Values that changed at the last stop show in the
// changed colour. Its strip saves the view and chooses between following every update
// and keeping the values shown; its popup evaluates, monitors, updates,
// watches and formats the variable under the mouse.
#pragma once
#include <QWidget>

#include "ui/model/variable_tree.h"
#include "ui/qt/popup_table.h"
#include "ui/qt/view_host.h"

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace tav::qt {

class VariableBrowser : public QWidget, public RefreshingView {
 public:
  VariableBrowser(ViewHost& host, VariableTree::Scope scope, VariableFormat format, QWidget* parent = nullptr);
  // `full` false: a run ended, values that changed since the last reading are marked.
  void refresh_view(bool full) override;
  VariableTree& model() { return model_; }
  const VariableTree& model() const { return model_; }
  void set_format(VariableFormat format);
  // Auto Refresh (false) or Frozen (true), as the Status menu chooses.
  void set_frozen(bool frozen);

  QTreeWidget* tree() const { return tree_; }
  QMenu* status_menu() const { return status_; }
  // The popup for a variable item; null for a file or function.
  QMenu* popup_for(QTreeWidgetItem* item);
  bool save_to(const QString& file) const;

 private:
  void fill(QTreeWidgetItem* parent, const std::vector<VariableItem>& items);
  void opened(QTreeWidgetItem* item, bool open);
  ItemPath path_of(QTreeWidgetItem* item) const;
  void popup_chosen(const PopupItem& item);
  void save();

  ViewHost& host_;
  VariableTree model_;
  QTreeWidget* tree_;
  QMenu* status_;
  QMenu* popup_ = nullptr;
  ItemPath chosen_;     // the item the popup is for
  bool filling_ = false;  // expansions made by fill() are not the user's
  QTreeWidgetItem* note_ = nullptr;  // the line saying why the view is empty
};

}  // namespace tav::qt
