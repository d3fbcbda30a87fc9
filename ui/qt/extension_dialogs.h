// The dialogs of the Extensions menu: the available extensions, the loaded
// ones (with the lines routed to each), and the extension path editor. They
// show what the loader lists and turn the user's choices into command lines
// ("extload", "extclose", "extpath"); the loader itself does the work.
#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "kernel/ext_notices.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace tav::qt {

// Runs one command line as a menu item does; false when refused.
using LineRunner = std::function<bool(const std::string&)>;

// The list of extensions with its "Icons"/"List" tabs, shared by both list dialogs.
class ExtensionListDialog : public QDialog {
 public:
  QListWidget* list() const { return list_; }
  QTabBar* tabs() const { return tabs_; }
  QPlainTextEdit* help() const { return help_; }
  QLabel* version() const { return version_; }

 protected:
  ExtensionListDialog(QWidget* parent, const char* name, const char* title,
                      std::vector<ExtensionControl::Item> items);
  void resizeEvent(QResizeEvent* event) override;
  // The selected extension, or null.
  const ExtensionControl::Item* selected() const;

  std::vector<ExtensionControl::Item> items_;
  QListWidget* list_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QPlainTextEdit* help_ = nullptr;
  QLabel* version_ = nullptr;
};

class AvailableExtensionsDialog : public ExtensionListDialog {
 public:
  AvailableExtensionsDialog(QWidget* parent, std::vector<ExtensionControl::Item> items, LineRunner run);
  // "&Load": loads the selected one, the dialog stays.
  void load_selected();
  // "&Load and Done" and a double click: closes, then loads.
  void load_and_done();

 private:
  LineRunner run_;
};

class LoadedExtensionsDialog : public ExtensionListDialog {
 public:
  LoadedExtensionsDialog(QWidget* parent, std::vector<ExtensionControl::Item> items, LineRunner run);
  QCheckBox* autoload() const { return autoload_; }
  QLabel* command_line() const { return command_; }
  QLabel* options() const { return options_; }
  QPushButton* show_calls_button() const { return show_calls_; }
  QPushButton* close_button() const { return close_; }
  // "Close Extension": closes the selected one and takes it off the list.
  void close_selected();

 private:
  void show_selected();
  void show_calls();

  LineRunner run_;
  QCheckBox* autoload_ = nullptr;
  QLabel* command_ = nullptr;
  QLabel* options_ = nullptr;
  QPushButton* show_calls_ = nullptr;
  QPushButton* close_ = nullptr;
};

class ExtensionPathDialog : public QDialog {
 public:
  // `beep` for a directory already listed; `not_a_directory` for one that does not exist.
  ExtensionPathDialog(QWidget* parent, const std::string& path, std::function<void()> beep,
                      std::function<void(const QString&)> not_a_directory);
  QListWidget* list() const { return list_; }
  QLineEdit* directory() const { return directory_; }
  QPushButton* button(int id) const;  // 102 Append, 103 Before, 104 After, 105 Remove, 108 Select
  // The directories joined with "|", in list order.
  std::string path() const;
  // Append (at -1), Add Before / Add After the selected item.
  void add(int id);

 private:
  void sync_buttons();

  QListWidget* list_ = nullptr;
  QLineEdit* directory_ = nullptr;
  std::function<void()> beep_;
  std::function<void(const QString&)> not_a_directory_;
};

}  // namespace tav::qt
