// The symbol selection dialog: the program's symbols by name, narrowed to
// those holding the typed text as the user types; the chosen one opens
// where it lives (its function's source, the disassembly, a memory view).
#pragma once
#include <QDialog>
#include <vector>

#include "ui/model/program_map.h"
#include "ui/qt/view_host.h"

class QLineEdit;
class QListWidget;

namespace tav::qt {

// Where a symbol or section line leads: the source of a function, the
// disassembly at code, a memory view at data.
void go_to_place(ViewHost& host, MapTarget target, const std::string& file, unsigned line, std::uint32_t address);

class SymbolDialog : public QDialog {
 public:
  SymbolDialog(std::vector<MapLine> symbols, QWidget* parent = nullptr);
  // The symbol chosen (after OK), or null.
  const MapLine* chosen() const;
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void refill();

  std::vector<MapLine> all_;
  std::vector<MapLine> shown_;
  QLineEdit* filter_;
  QListWidget* list_;
};

// Asks for a symbol and goes to it; false when none was chosen.
bool select_symbol(ViewHost& host, QWidget* parent);

}  // namespace tav::qt
