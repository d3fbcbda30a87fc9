// A data memory view (MEMWIN): lines of memory in the chosen unit, base and
// length, changed units in the changed colour, an in-place edit of a clicked
// unit, and the Address, Format, Dump, Fill and S-Records items of its strip.
#pragma once
#include <QWidget>
#include <optional>

#include "ui/model/data_memory_view.h"
#include "ui/qt/line_view.h"
#include "ui/qt/view_host.h"

class QLineEdit;

namespace tav::qt {

class MemoryView : public QWidget, public RefreshingView {
 public:
  MemoryView(ViewHost& host, std::uint32_t start, QWidget* parent = nullptr);

  void refresh_view(bool full) override;
  DataMemoryView& model() { return model_; }
  LineView* lines() const { return lines_; }
  // The in-place edit of the unit last clicked, while it is open.
  QLineEdit* editor() const { return editor_; }
  void set_start(std::uint32_t address);
  void set_format(const DataLineFormat& format);

 private:
  std::vector<Span> line_spans(int index) const;
  void clicked(CellPos at, Qt::MouseButton button);
  void commit_edit();
  void address_dialog();
  void format_dialog();
  void fill_dialog();
  void dump();
  void srecords();
  unsigned line_total() const;

  ViewHost& host_;
  DataMemoryView model_;
  LineView* lines_;
  QLineEdit* editor_ = nullptr;
  std::optional<UnitPlace> editing_;
  std::vector<std::string> painted_;
};

// What the memory view dialog (TAVMEM_CONF) asks: the first address (a
// number, a symbol or a function) and whether the view shows code or data.
struct MemoryViewChoice {
  std::uint32_t address = 0;
  bool code = false;
};
// Nothing when cancelled; an address that names nothing beeps and asks again.
std::optional<MemoryViewChoice> ask_memory_view(ViewHost& host, QWidget* parent);

// A number in C notation: blanks, a sign, then 0x/0X hexadecimal, 0b/0B
// binary, a leading 0 octal, else decimal; nothing when the text is not
// entirely such a number.
std::optional<std::uint32_t> parse_c_number(const QString& text);

}  // namespace tav::qt
