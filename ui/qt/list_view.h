// The text list views ("LISTWIN", the symbol lists "SYMBWIN"): source files,
// functions, events, symbols and the application map. A double click (or
// Enter) opens the file or function under the mouse, the disassembly at code
// without source, a memory view at data; on an event line the right button
// offers On/Off and Delete.
#pragma once
#include <memory>
#include <vector>

#include "ui/model/list_views.h"
#include "ui/qt/text_view.h"
#include "ui/qt/view_host.h"

namespace tav::qt {

class ListView : public TextView, public RefreshingView {
 public:
  ListView(ViewHost& host, ListKind kind, const TextViewSpec& spec, QWidget* parent = nullptr);

  void refresh_view(bool) override { refresh(); }
  ListKind kind() const { return kind_; }
  // What a double click on line `index` does (the tests call it directly).
  void activate(int index);
  // The event line's popup command: 0 On/Off, 1 Delete.
  void event_action(int index, int action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The lines are shared with the text source, which the base class already
  // asks while this object is being made.
  using Lines = std::shared_ptr<std::vector<ListLine>>;
  ListView(ViewHost& host, ListKind kind, const TextViewSpec& spec, Lines lines, QWidget* parent);
  const ListLine* line_at(int index) const;

  ViewHost& host_;
  ListKind kind_;
  Lines lines_;
};

}  // namespace tav::qt
