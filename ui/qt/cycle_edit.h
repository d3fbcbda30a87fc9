// The register view's cycle counter, edited in place: a click on one of its
// ten digits starts editing there (the cell drawn inverted); each digit typed
// replaces the one under the cursor, moves right (from the tenth back to the
// first) and stores the field into the counter; leaving the view ends it.
#pragma once
#include <QObject>
#include <cstdint>
#include <functional>

namespace tav::qt {

class TextView;

class CycleEditor : public QObject {
 public:
  // `store` receives the field's value after each digit.
  CycleEditor(TextView* view, std::function<void(std::uint32_t)> store);

  bool editing() const { return column_ >= 0; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int cycles_line() const;  // the block holding the counters, -1 when none
  void show_cursor();

  TextView* view_;
  std::function<void(std::uint32_t)> store_;
  int column_ = -1;  // 0..9: the digit being edited
};

}  // namespace tav::qt
