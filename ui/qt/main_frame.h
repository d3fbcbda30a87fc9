// The desktop host: the main frame "Tav" with its menus, toolbar, status bar
// and MDI area, and the views in it. Every menu item, toolbar button and
// function key becomes a command line run through docmd; the frame itself
// holds no debugger logic.
#pragma once
#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "kernel/host.h"
#include "ui/qt/frame_config.h"
#include "ui/qt/view_host.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;

namespace tav {
class Debugger;
}

namespace tav::qt {

class CodeView;
class CommandWindow;
class MemoryView;
class SourceView;
class TextView;
class VariableBrowser;

// Right edges of the three status fields for a client area `width` wide.
std::array<int, 3> status_field_edges(int width);

class MainFrame : public QMainWindow, public Host, public ViewHost {
 public:
  MainFrame();
  ~MainFrame() override;

  // Binds the frame to its debugger and reads the configuration: fonts,
  // colours, key bindings, the views to open and their places.
  void attach(Debugger& d);

  // Start-up is over: the prompt waits in the command window, the views are current.
  void ready();
  // Carries out a command identifier of the menus, toolbar or keys.
  void dispatch(int id);
  // Runs one command line as a menu does (mode 1). False when refused
  // because a command is already running.
  bool run_line(const std::string& line) override;
  // Every line the frame handed to docmd, oldest first (for tests and the curious).
  const std::vector<std::string>& sent_lines() const { return sent_; }
  // Off: errors go to the status bar and a list instead of a message box (tests).
  void set_modal_boxes(bool on) { modal_boxes_ = on; }
  const std::vector<std::string>& messages() const { return messages_; }

  QAction* action(int id) const;
  CommandWindow* command_window() const { return command_; }
  TextView* view(int id) const;
  // Any view the Show menu opens (code, monitor and text views alike).
  QWidget* view_widget(int id) const;
  // The source view of a file, when one is open.
  SourceView* source_view(const std::string& file) const;
  const std::vector<MemoryView*>& memory_views() const { return memory_views_; }
  // The variable browser a Browse > Variables item (630 to 632) opened, when open.
  VariableBrowser* variable_browser(int id) const;
  const std::vector<CodeView*>& code_memory_views() const { return code_memory_views_; }

  // ViewHost
  Debugger* debugger() override { return d_; }
  std::string run_captured(const std::string& line) override;
  void show_message(const std::string& title, const std::string& text) override;
  QColor table_colour(int entry) const override;
  QColor extra_colour(ExtraColour which) const override;
  bool syntax_colouring() const override;
  void open_source(const std::string& file, unsigned line) override;
  void open_data_memory(std::uint32_t address) override;
  void open_code_memory(std::uint32_t address);
  void show_code(std::uint32_t address) override;
  FrameConfig& config() { return config_; }
  QString status_text(int field) const;
  bool running() const { return running_; }

  // Writes the configuration file now.
  void save_configuration();
  // Rebinds a function key (0..11) in column `col` and relabels the menus.
  void bind_key(int key, int col, int id);

  // Host
  bool pump_events() override;
  void status(StatusField field, std::string_view text) override;
  void message_box(std::string_view title, std::string_view text) override;
  bool ask_yes_no(std::string_view title, std::string_view question) override;
  void refresh_views(unsigned views) override;
  void show_view(View view) override;
  void gauge_begin(std::string_view title, std::uint32_t total) override;
  void gauge_step(std::uint32_t amount) override;
  void gauge_end() override;
  void beep() override;
  bool command_window_exists() override;
  void open_command_window() override;
  void command_window_append(std::string_view text) override;
  bool read_input(std::string_view prompt, std::string& line, std::size_t max) override;
  void wait_key() override;
  WindowLayout window_layout() override;
  void apply_window_layout(const WindowLayout& layout) override;

  // Host: the frame as extensions see it (frame_extensions.cpp). Handles are
  // pointers to the Qt objects: QMainWindow, QMdiArea, QToolBar, QMenu,
  // QMdiSubWindow, QFont.
  void* frame_object(FrameObject which) override;
  int menu_position(std::string_view title) override;
  int extensions_menu_items() override;
  int add_toolbar_button(void* module, std::string_view bitmap) override;
  void system_command(void* window, int command) override;
  int windows_style() override;
  void set_windows_style(int style) override;
  void display_view(View view, bool on) override;
  void view_command(View view, int command) override;
  void hide_command_window() override;
  void close_view(void* view) override;
  void* open_name_list(bool functions) override;
  void* open_source_view(std::string_view file, int line) override;
  void* open_code_memory_view(std::string_view title, std::uint32_t address) override;
  void* open_data_memory_view(std::string_view title, std::uint32_t address, int unit, int format, int columns,
                              bool follow) override;
  void busy_cursor(bool on) override;
  void edit_extension_path() override;
  std::uint32_t colour(int index) override;
  void function_key(int key) override;
  bool select_name(bool functions, std::string& name) override;

  // The Extensions menu: the path editor, the available and the loaded extensions.
  void extensions_dialog(int id);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_menus();
  void build_toolbar();
  void build_status_bar();
  void layout_status_bar();
  void relabel_menus();
  void set_running(bool running);
  void arrange(Tile tile);
  void toggle_view(int id);
  QMdiSubWindow* open_view(int id);
  void close_view(int id);
  void show_system_command(QWidget* window, int command);
  void sync_view_checks();
  void fill_recent(QMenu* file_menu);
  void load_dialog();
  void browse(int id);
  void any_source();
  void open_variable_browser(int id);
  // Points a browser at the scope and format of the last vars command.
  void show_vars_scope(VariableBrowser& view);
  void set_variable_format(int id);
  void file_dialog(int id);
  void key_binding_dialog();
  void choose_font(int id);
  void choose_color(int id);
  void open_help(int id);
  void apply_fonts();
  QMdiSubWindow* add_view(QWidget* widget);
  QSize mdi_area() const;
  void follow_execution();

  Debugger* d_ = nullptr;
  FrameConfig config_;
  QMdiArea* mdi_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::array<QLabel*, 3> fields_{};
  QProgressBar* gauge_ = nullptr;
  std::uint32_t gauge_total_ = 0, gauge_done_ = 0;
  std::map<int, QAction*> actions_;
  std::map<int, QString> base_labels_;
  std::vector<QAction*> recent_actions_;
  CommandWindow* command_ = nullptr;
  std::map<int, QMdiSubWindow*> views_;  // Show-menu identifier -> its window
  std::map<std::string, QMdiSubWindow*> sources_;  // file name -> its source view
  std::vector<MemoryView*> memory_views_;
  std::map<int, QMdiSubWindow*> browsers_;  // 630 to 632 and the vars command's -> its variable browser
  std::vector<CodeView*> code_memory_views_;
  std::vector<std::string> sent_;
  std::vector<std::string> messages_;
  bool running_ = false;
  int busy_ = 0;
  bool modal_boxes_ = true;
  bool close_requested_ = false;
  QMenu* function_popup_ = nullptr;  // context menus extensions may add to
  QMenu* variable_popup_ = nullptr;
  QFont command_font_;  // GetTavFontObject
};

}  // namespace tav::qt
