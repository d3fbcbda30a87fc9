// The code views: the disassembly view (ASMWIN), instructions from the
// entry of the PC's function that follow the PC, and code memory views
// (MEMWIN of kind code), instructions from any address that stay there. Both
// mark the PC's line, events and the current source line's instructions;
// clicks on addresses set or work events, words open the symbol popup;
// letters typed in the disassembly view run the target.
#pragma once
#include <QWidget>
#include <cstdint>
#include <vector>

#include "ui/model/disasm_view.h"
#include "ui/qt/line_view.h"
#include "ui/qt/popup_table.h"
#include "ui/qt/view_host.h"

class QMenu;

namespace tav::qt {

enum class CodeViewKind { Disassembly, Memory };

class CodeView : public QWidget, public RefreshingView {
 public:
  CodeView(ViewHost& host, CodeViewKind kind = CodeViewKind::Disassembly, QWidget* parent = nullptr);

  void refresh_view(bool full) override;
  // Shows the code from `address` (in the disassembly view: its function's
  // entry when known).
  void show_address(std::uint32_t address);
  std::uint32_t first_address() const { return first_; }
  const std::vector<CodeLine>& shown() const { return shown_; }
  LineView* lines() const { return lines_; }
  QMenu* last_popup() const { return popup_; }
  // The shown lines as text, as "Dump" writes them.
  std::string text() const;

 private:
  void rebuild();
  std::vector<Span> line_spans(int index) const;
  void clicked(CellPos at, Qt::MouseButton button, Qt::KeyboardModifiers mods);
  bool key(QKeyEvent* e);
  void popup_chosen(const PopupItem& item);
  void address_dialog();
  void dump();
  bool memory() const { return kind_ == CodeViewKind::Memory; }

  ViewHost& host_;
  CodeViewKind kind_;
  LineView* lines_;
  QMenu* popup_ = nullptr;
  std::uint32_t first_ = 0;
  bool placed_ = false;
  std::uint32_t last_pc_ = 0;
  std::uint32_t line_first_ = 1, line_last_ = 0;  // the current source line's code
  std::vector<CodeLine> shown_;
  PopupSubject subject_;
};

}  // namespace tav::qt
