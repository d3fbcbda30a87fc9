// The event dialogs: BKPTEDIT for code events (a function, lines of a file,
// an address or an expression) and BKPTDEDIT for data events (a variable,
// its access and width); both with break or watch, count, condition,
// attached commands and on/off. The dialog shows a form; what the form
// becomes is the command lines of ui/model/event_form.
#pragma once
#include <QDialog>

#include "ui/model/event_form.h"
#include "ui/qt/view_host.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tav::qt {

class EventDialog : public QDialog {
 public:
  EventDialog(ViewHost& host, const EventForm& form, QWidget* parent = nullptr);
  // The fields as they stand.
  EventForm form() const;
  // OK: a form with a fault stays open and says what is wrong.
  void accept() override;

 private:
  void place_changed();

  ViewHost& host_;
  EventForm start_;
  QComboBox* type_;
  QComboBox* place_ = nullptr;
  QLabel* where_label_ = nullptr;
  QLineEdit* where_;
  QSpinBox* first_ = nullptr;
  QSpinBox* last_ = nullptr;
  QCheckBox* entry_ = nullptr;
  QComboBox* access_ = nullptr;
  QComboBox* size_ = nullptr;
  QSpinBox* count_;
  QLineEdit* condition_;
  QLineEdit* commands_;
  QCheckBox* active_;
};

// The dialog for a new event (`number` 0; `data` chooses the kind) or for the
// event `number`, filled from it. OK runs its lines through the host; true
// when they all ran without fault.
bool run_event_dialog(ViewHost& host, QWidget* parent, bool data, int number = 0);

}  // namespace tav::qt
