#include "ui/qt/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QGuiApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include "kernel/debugger.h"
#include "run/run_control.h"
#include "support/profile.h"
#include "ui/model/disasm_view.h"
#include "image/program.h"
#include "ui/model/program_lookup.h"
#include "ui/model/program_map.h"
#include "ui/model/stack_view.h"
#include "ui/model/view_text.h"
#include "kernel/output.h"
#include "ui/qt/code_view.h"
#include "ui/qt/command_window.h"
#include "ui/qt/list_view.h"
#include "ui/qt/memory_view.h"
#include "ui/qt/monitor_tree.h"
#include "ui/qt/source_view.h"
#include "ui/qt/symbol_dialog.h"
#include "ui/qt/cycle_edit.h"
#include "ui/qt/event_dialog.h"
#include "ui/qt/menu_table.h"
#include "ui/qt/text_view.h"
#include "ui/qt/tool_icons.h"
#include "ui/qt/variable_tree.h"

namespace tav::qt {

namespace {

struct ViewInfo {
  int id;
  View view;
  TextViewSpec spec;
  const char* layout_key;  // LayOut and the session's [Windows] key
  const char* rect_section;
  int window;  // index of the session's [Windows] key, -1 none
};

const ViewInfo kViews[] = {
    {310, kViewRegisters, {"REGWIN", "REGHOST", "Registers", true, "Register Files(*.reg)", "Save Variable Usage", ""},
     "Registers", "RegWindow", kWinRegisters},
    {330, kViewStack, {"STACKWIN", "STACKHOST", "Stack", false, "Stack Files(*.mon)", "Save Stack", "\n\t\tStack Layout\n\n"},
     "Stack", "StackWindow", kWinStack},
    {320, kViewDisasm, {"ASMWIN", "ASMHOST", "Disassembly", false, "Dump Files(*.mem)", "Memory Code Dump", ""},
     "Disassembly", "DisaWindow", kWinDisassembly},
    {340, kViewMonitors, {"MONWIN", "MONHOST", "Monitors", false, "Usage Files(*.mon)", "Save Monitors", "\n\t\tMonitors\n\n"},
     "Monitors", "MonWindow", kWinMonitors},
    // Variable browsers, not text views.
    {335, kViewVariables, {}, "Locals", "LocalsWindow", -1},
    {336, kViewVariables, {}, "Globals", "GlobalsWindow", -1},
};

// The text list views, opened (or brought forward) by their menu items.
struct ListInfo {
  int id;
  ListKind kind;
  TextViewSpec spec;
};

const ListInfo kLists[] = {
    {640, ListKind::Files, {"LISTWIN", "LISTHOST", "File List", false, "List Files(*.lst)", "Save List", ""}},
    {650, ListKind::Functions, {"LISTWIN", "LISTHOST", "Function List", false, "List Files(*.lst)", "Save List", ""}},
    {621, ListKind::Events, {"LISTWIN", "LISTHOST", "Events", false, "List Files(*.lst)", "Save List", ""}},
    {671, ListKind::SymbolsByAddress, {"SYMBWIN", "LISTHOST", "Symbols by Address", false, "List Files(*.lst)", "Save List", ""}},
    {672, ListKind::SymbolsByName, {"SYMBWIN", "LISTHOST", "Symbols by Name", false, "List Files(*.lst)", "Save List", ""}},
    {130, ListKind::Map, {"LISTWIN", "LISTHOST", "Application Map", false, "Map Files(*.map)", "Save Map", ""}},
};

const ListInfo* list_info(int id) {
  for (const ListInfo& l : kLists)
    if (l.id == id) return &l;
  return nullptr;
}

const ViewInfo* view_info(int id) {
  for (const ViewInfo& v : kViews)
    if (v.id == id) return &v;
  return nullptr;
}

QString key_label(int key, int col) {
  QString text;
  if (col & 1) text += "<Shift>";
  if (col & 2) text += "<Ctrl>";
  return text + "<F" + QString::number(key + 1) + ">";
}

std::string quoted_if_blank(const std::string& name) {
  return name.find(' ') == std::string::npos ? name : '"' + name + '"';
}

// The place of source views (they have no Show-menu identifier).
constexpr int kPlaceSource = 1;
// The browser the vars command opens, beside those of the Browse menu.
constexpr int kVarsCommandBrowser = 2;

// Toolbar buttons greyed while the target runs.
constexpr int kRunButtons[] = {101, 805, 806, 204, 203, 205, 201};

QRect from_client(const WindowPlace& p) {
  return QRect(QPoint(p.left + 1, p.top + 1), QPoint(p.right - 1, p.bottom - 1));
}
WindowPlace to_client(const QRect& r) { return {true, r.left() - 1, r.top() - 1, r.right() + 1, r.bottom() + 1}; }

// Where a view opens first: source, disassembly, memory and command window
// share the left, one above the other; registers, stack, locals and monitors
// the right. Others follow each other.
QRect default_place(int id, QSize area, int count) {
  // Room for the register panel's two columns beside the wider left views.
  const int w = std::max(area.width(), 640), h = std::max(area.height(), 400);
  const int split = w * 58 / 100;
  auto left = [&](int top, int bottom) { return QRect(0, h * top / 100, split, h * (bottom - top) / 100); };
  auto right = [&](int top, int bottom) { return QRect(split, h * top / 100, w - split, h * (bottom - top) / 100); };
  switch (id) {
    case kPlaceSource: return left(0, 42);
    case 320: return left(42, 64);
    case 360: return left(64, 82);
    case 300: return left(82, 100);
    case 310: return right(0, 40);
    case 330: return right(40, 55);
    case 335: case 336: case 630: case 631: case 632: case kVarsCommandBrowser: return right(55, 78);
    case 340: return right(78, 100);
    default: return QRect(20 * count, 20 * count, w / 2, h / 2);
  }
}

VariableFormat variable_format(char letter) {
  return letter == 'B' ? VariableFormat::Brief : letter == 'F' ? VariableFormat::Full : VariableFormat::Standard;
}

}  // namespace

std::array<int, 3> status_field_edges(int width) {
  const int p = (width - 20 - 120) / 3;
  return {p, 2 * p - 20, 3 * p};
}

MainFrame::MainFrame() {
  setObjectName("TAV");
  setWindowTitle("Tav");
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("MDICLIENT");
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  build_menus();
  build_toolbar();
  build_status_bar();
  qApp->installEventFilter(this);
  set_running(false);
  resize(1000, 720);
}

MainFrame::~MainFrame() {
  qApp->removeEventFilter(this);
  // The views go with the frame's children, after its own members: they must
  // not report back.
  for (QMdiSubWindow* sub : findChildren<QMdiSubWindow*>()) QObject::disconnect(sub, nullptr, this, nullptr);
  for (MemoryView* view : memory_views_) QObject::disconnect(view, nullptr, this, nullptr);
  for (CodeView* view : code_memory_views_) QObject::disconnect(view, nullptr, this, nullptr);
  views_.clear();
  sources_.clear();
  memory_views_.clear();
  browsers_.clear();
  code_memory_views_.clear();
  command_ = nullptr;
}

void MainFrame::attach(Debugger& d) {
  d_ = &d;
  config_.read(d.config_file);
  const QRect frame = config_.rects.count("TavWindow") ? config_.rects["TavWindow"] : QRect();
  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                        : QRect(0, 0, 1280, 860);
  if (frame.isValid()) {
    // A stored frame is at least half the screen wide and high.
    QRect r = frame;
    if (r.width() < screen.width() / 2) r.setWidth(screen.width() / 2);
    if (r.height() < screen.height() / 2) r.setHeight(screen.height() / 2);
    setGeometry(r);
  } else {
    resize(screen.width() * 9 / 10, screen.height() * 9 / 10);
  }
  apply_fonts();
  relabel_menus();
  // The views the configuration names, in their stored places.
  open_view(kCmdShowCommand);
  for (const ViewInfo& v : kViews) {
    const char state = config_.views[v.layout_key];
    if (state == 'Y' || state == 'I') {
      QMdiSubWindow* sub = open_view(v.id);
      if (state == 'I' && sub) sub->showMinimized();
    }
  }
  if (config_.views["Command"] == 'N') close_view(kCmdShowCommand);
  if (config_.tile != Tile::Cascade || !config_.rects.empty()) arrange(config_.tile);
  for (const auto& [id, sub] : views_) {
    if (list_info(id)) continue;  // list views keep no place
    const ViewInfo* info = view_info(id);
    const char* section = info ? info->rect_section : "CmdWindow";
    if (config_.tile == Tile::Free && config_.rects.count(section)) sub->setGeometry(config_.rects[section]);
  }
  action(112)->setChecked(config_.save_on_exit);
  action(390)->setChecked(true);
  action(392)->setChecked(true);
  action(10000)->setChecked(true);
  action(109)->setChecked(true);
  action(460 + std::string("DOHB").find(config_.default_int_format))->setChecked(true);
  action(kCmdVarsBrief + std::string("BSF").find(config_.var_format))->setChecked(true);
  status(StatusField::Left, "Command");
}

void MainFrame::ready() {
  // A program named on the command line (or loaded by the start file) joins the recent files.
  if (d_ && !d_->program.file_name().empty()) config_.add_recent(d_->program.file_name());
  if (command_) command_->prompt();
  // Views placed before the frame showed took its size from an estimate; the
  // first start (nothing stored) places them again in the real area.
  if (config_.rects.empty() && config_.tile == Tile::Cascade && isVisible()) {
    int n = 0;
    for (auto& [id, sub] : views_) sub->setGeometry(default_place(id, mdi_area(), ++n));
  }
  refresh_views(~0u);
}

// ------------------------------------------------------------------ menus

void MainFrame::build_menus() {
  QMenu* top = nullptr;
  QMenu* sub = nullptr;
  for (const MenuEntry& e : menu_table()) {
    if (e.level == 0) {
      top = menuBar()->addMenu(e.text);
      top->setObjectName(QString("menu") + e.text);
      top->menuAction()->setStatusTip(e.help);
      if (e.flags & kMenuGreyRunning) top->menuAction()->setProperty("greyRunning", true);
      if (std::string_view(e.text) == "&File")
        connect(top, &QMenu::aboutToShow, this, [this, top] { fill_recent(top); });
      continue;
    }
    QMenu* into = e.level == 2 ? sub : top;
    if (!into) continue;
    if (e.id == 0 && !e.text) {
      into->addSeparator();
      continue;
    }
    if (e.id == 0) {
      sub = into->addMenu(e.text);
      sub->menuAction()->setStatusTip(e.help);
      if (e.flags & kMenuGreyRunning) sub->menuAction()->setProperty("greyRunning", true);
      continue;
    }
    QAction* a = into->addAction(e.text);
    a->setObjectName(QString("cmd%1").arg(e.id));
    a->setStatusTip(e.help);
    a->setCheckable(e.flags & kMenuCheckable);
    a->setEnabled(!(e.flags & kMenuDisabled));
    if (e.flags & kMenuGreyRunning) a->setProperty("greyRunning", true);
    if (e.flags & kMenuDisabled) a->setProperty("neverEnabled", true);
    const int id = e.id;
    connect(a, &QAction::triggered, this, [this, id] { dispatch(id); });
    if (!actions_.count(id)) {
      actions_[id] = a;
      base_labels_[id] = e.text;
    }
  }
  auto* windows = findChild<QMenu*>("menu&Windows");
  if (windows) {
    auto* group = new QActionGroup(this);
    for (int id = 190; id <= 193; ++id) group->addAction(action(id));
  }
  auto* formats = new QActionGroup(this);
  for (int id = 460; id <= 463; ++id) formats->addAction(action(id));
  auto* var_formats = new QActionGroup(this);
  for (int id = kCmdVarsBrief; id <= kCmdVarsFull; ++id) var_formats->addAction(action(id));
  auto* load_options = new QActionGroup(this);
  load_options->addAction(action(109));
  load_options->addAction(action(110));
}

QAction* MainFrame::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainFrame::build_toolbar() {
  toolbar_ = addToolBar("Toolbar");
  toolbar_->setObjectName("TOOLBAR");
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(22, 22));
  for (const ToolEntry& t : toolbar_table()) {
    if (t.id == 0) {
      toolbar_->addSeparator();
      continue;
    }
    QAction* a = action(t.id);
    if (!a) {  // Stop has no menu item of its own
      a = new QAction(this);
      a->setObjectName(QString("cmd%1").arg(t.id));
      const int id = t.id;
      connect(a, &QAction::triggered, this, [this, id] { dispatch(id); });
      actions_[t.id] = a;
      a->setStatusTip(" Stop Program Execution ");
    }
    a->setIcon(tool_icon(t.id, style()));
    a->setToolTip(t.tooltip);
    toolbar_->addAction(a);
  }
}

void MainFrame::build_status_bar() {
  for (int i = 0; i < 3; ++i) {
    fields_[i] = new QLabel(this);
    fields_[i]->setObjectName(QString("status%1").arg(i));
    fields_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(fields_[i]);
  }
  gauge_ = new QProgressBar(this);
  gauge_->setObjectName("GAUGE");
  gauge_->setTextVisible(false);
  gauge_->setFixedWidth(100);
  gauge_->setStyleSheet("QProgressBar::chunk { background: red; }");
  gauge_->hide();
  statusBar()->addPermanentWidget(gauge_);
  statusBar()->setSizeGripEnabled(true);
  layout_status_bar();
}

void MainFrame::layout_status_bar() {
  const auto edges = status_field_edges(width());
  int left = 0;
  for (int i = 0; i < 3; ++i) {
    fields_[i]->setFixedWidth(std::max(0, edges[i] - left));
    left = edges[i];
  }
}

QString MainFrame::status_text(int field) const { return fields_[field]->text(); }

void MainFrame::relabel_menus() {
  for (auto& [id, a] : actions_) {
    if (!base_labels_.count(id)) continue;
    QString text = base_labels_[id];
    for (int k = 0; k < kFunctionKeys; ++k)
      for (int col = 0; col < 4; ++col)
        if (config_.keys[k][col] == id) text += "\t" + key_label(k, col);
    a->setText(text);
  }
}

void MainFrame::bind_key(int key, int col, int id) {
  config_.keys[key][col] = id;
  relabel_menus();
}

void MainFrame::fill_recent(QMenu* file_menu) {
  for (QAction* a : recent_actions_) {
    file_menu->removeAction(a);
    a->deleteLater();
  }
  recent_actions_.clear();
  if (config_.recent.empty()) return;
  recent_actions_.push_back(file_menu->addSeparator());
  for (std::size_t i = 0; i < config_.recent.size(); ++i) {
    const std::string name = config_.recent[i];
    QAction* a = file_menu->addAction(QString("&%1 %2").arg(i + 1).arg(QString::fromStdString(name)));
    a->setObjectName(QString("cmd%1").arg(kCmdRecent1 + static_cast<int>(i)));
    a->setEnabled(!running_);
    connect(a, &QAction::triggered, this, [this, i] { dispatch(kCmdRecent1 + static_cast<int>(i)); });
    recent_actions_.push_back(a);
  }
}

// --------------------------------------------------------------- dispatch

bool MainFrame::run_line(const std::string& line) {
  if (!d_ || busy_) {
    beep();
    return false;
  }
  sent_.push_back(line);
  ++busy_;
  docmd(*d_, line.c_str(), 1);
  --busy_;
  if (command_) command_->prompt();
  set_running(d_->run.running);
  if (d_->kernel.ending()) close_requested_ = true, QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection);
  return true;
}

void MainFrame::dispatch(int id) {
  const MenuEntry* entry = find_menu_entry(id);
  if ((running_ || busy_) && id != kCmdStop && entry && (entry->flags & kMenuRunLoad)) {
    beep();
    return;
  }
  if (entry && entry->command) {
    if (id != 210) {
      run_line(entry->command);
      return;
    }
    // Animate: "step" with the animate switch on for its duration.
    if (!d_ || busy_) return beep();
    sent_.push_back(entry->command);
    ++busy_;
    d_->execution.AnimateTargetCode();
    --busy_;
    set_running(d_->run.running);
    return;
  }
  switch (id) {
    case kCmdStop:
      setFocus();
      if (d_) d_->run.request_stop();
      return;
    case kCmdLoad: load_dialog(); return;
    case kCmdLoadSession:
    case kCmdSaveSession:
    case kCmdLoadLayout:
    case kCmdSaveLayout: file_dialog(id); return;
    case kCmdSaveConfig: save_configuration(); return;
    case kCmdSaveOnExit: config_.save_on_exit = action(112)->isChecked(); return;
    case kCmdAbout:
      QMessageBox::about(this, "About Tav",
                         "Tav\nA source-level debugger and simulator for the S12X and its XGATE.");
      return;
    case kCmdExit: close(); return;
    case kCmdGoFromReset:
      if (run_line("zero /r")) run_line("go");
      return;
    case 109:
    case 110: {
      const bool code = id == 109;
      action(101)->setText(code ? "&Load  (Code and Symbols)" : "&Load  (Symbols Only)");
      base_labels_[101] = action(101)->text();
      relabel_menus();
      return;
    }
    case kCmdCodeEvent:
    case kCmdDataEvent: run_event_dialog(*this, this, id == kCmdDataEvent); return;
    case 440: {
      bool ok = false;
      const QString path = QInputDialog::getText(this, "Path", "Source directories, separated by |:", QLineEdit::Normal,
                                                 QString::fromStdString(d_->source_path), &ok);
      if (ok) run_line("path \"" + path.toStdString() + "\"");
      return;
    }
    case kCmdCascade:
    case kCmdHorizontal:
    case kCmdVertical:
    case kCmdFree:
      arrange(id == kCmdCascade ? Tile::Cascade : id == kCmdHorizontal ? Tile::Horizontal
              : id == kCmdVertical ? Tile::Vertical : Tile::Free);
      return;
    case kCmdStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); action(390)->setChecked(statusBar()->isVisible()); return;
    case kCmdToolbar: toolbar_->setVisible(!toolbar_->isVisible()); action(392)->setChecked(toolbar_->isVisible()); return;
    case kCmdKeyBinding: key_binding_dialog(); return;
    case kCmdExtensionPath:
    case kCmdAvailableExtensions:
    case kCmdCurrentExtensions: extensions_dialog(id); return;
    case kCmdExtensionButton: return;  // the extension watches its own button
    case kCmdHelpTav:
    case kCmdHelpC:
    case kCmdHelpCLib: open_help(id); return;
    case 460: case 461: case 462: case 463: config_.default_int_format = "DOHB"[id - 460]; return;
    case 620: case 622: case 360: browse(id); return;
    case 625: any_source(); return;
    case 670: select_symbol(*this, this); return;
    case kCmdVarsFunction: case kCmdVarsFile: case kCmdVarsProgram: open_variable_browser(id); return;
    case kCmdVarsBrief: case kCmdVarsStandard: case kCmdVarsFull: set_variable_format(id); return;
    case 10000: refresh_views(kViewSource | kViewDisasm); return;
    default: break;
  }
  if (id >= kCmdRecent1 && id < kCmdRecent1 + 5) {
    const std::size_t i = static_cast<std::size_t>(id - kCmdRecent1);
    if (i < config_.recent.size()) {
      const std::string name = config_.recent[i];
      if (run_line("load " + quoted_if_blank(name))) config_.add_recent(name);
    }
    return;
  }
  if (id >= 401 && id <= 409) return choose_font(id);
  if (id >= 411 && id <= 426) return choose_color(id);
  if (list_info(id)) {
    open_view(id);
    return;
  }
  if (id == kCmdShowCommand || view_info(id)) return toggle_view(id);
  beep();  // nothing behind this identifier yet
}

void MainFrame::any_source() {
  // Any text file, known to the program or not, starting where the sources are.
  const std::string path = d_ ? d_->source_path.substr(0, d_->source_path.find('|')) : std::string();
  QFileDialog dialog(this, "Any Source", QString::fromStdString(path),
                     "Source Files(*.c *.h *.s *.asm);;All Files(*)");
  dialog.setObjectName("ANYSOURCE");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QFileInfo chosen(dialog.selectedFiles().first());
  // A file of the program found through the path opens under its own name,
  // with its margins; any other under the path chosen.
  const std::string name = chosen.fileName().toStdString();
  const std::string found = d_ && d_->program.tables().find_file(name) ? find_source_file(d_->source_path, name) : "";
  const bool known = !found.empty() && QFileInfo(QString::fromStdString(found)).canonicalFilePath() == chosen.canonicalFilePath();
  open_source(known ? name : chosen.absoluteFilePath().toStdString(), 0);
}

void MainFrame::browse(int id) {
  if (!d_) return;
  const DebugTables& tables = d_->program.tables();
  bool ok = false;
  if (id == 360) {
    const std::optional<MemoryViewChoice> choice = ask_memory_view(*this, this);
    if (!choice) return;
    return choice->code ? open_code_memory(choice->address) : open_data_memory(choice->address);
  }
  QStringList names;
  if (id == 620) {
    for (const FileEntry* f : tables.files()) names << QString::fromLatin1(f->name.data(), static_cast<int>(f->name.size()));
  } else {
    for (const FileEntry* f : tables.files())
      for (const FunctionBlock* fn : f->functions)
        if (!fn->name.empty() && fn->name[0] != '.') names << QString::fromLatin1(fn->name.data(), static_cast<int>(fn->name.size()));
    names.sort();
  }
  if (names.isEmpty()) return beep();
  const QString chosen = QInputDialog::getItem(this, id == 620 ? "File Browser" : "Function Browser",
                                               id == 620 ? "File:" : "Function:", names, 0, false, &ok);
  if (!ok) return;
  if (id == 620) return open_source(chosen.toStdString(), 0);
  const FunctionBlock* fn = tables.find_function(chosen.toStdString());
  if (!fn || !fn->file) return beep();
  open_source(std::string(fn->file->name), function_view_line(*fn));
}

VariableBrowser* MainFrame::variable_browser(int id) const {
  auto it = browsers_.find(id);
  return it == browsers_.end() ? nullptr : dynamic_cast<VariableBrowser*>(it->second->widget());
}

void MainFrame::open_variable_browser(int id) {
  if (!d_) return;
  if (auto it = browsers_.find(id); it != browsers_.end()) return mdi_->setActiveSubWindow(it->second);
  const VariableTree::Scope scope = id == kCmdVarsFunction ? VariableTree::Scope::Function
                                    : id == kCmdVarsFile   ? VariableTree::Scope::File
                                                           : VariableTree::Scope::Program;
  auto* view = new VariableBrowser(*this, scope, variable_format(config_.var_format));
  if (id == kVarsCommandBrowser) show_vars_scope(*view);
  view->tree()->setFont(config_.fonts[1].to_qfont());
  QMdiSubWindow* sub = add_view(view);
  sub->setWindowIcon(tool_icon(336, style()));
  browsers_[id] = sub;
  connect(sub, &QObject::destroyed, this, [this, id] { browsers_.erase(id); });
  sub->setGeometry(default_place(id, mdi_area(), 0));
  sub->show();
  view->refresh_view(true);
}

void MainFrame::show_vars_scope(VariableBrowser& view) {
  // The vars command's line: a function, a file or the program, listed with
  // values (/v) and addresses (/a).
  const VariablesScope& scope = d_->vars_scope;
  view.model().set_scope(scope.function ? VariableTree::Scope::Function
                         : scope.file   ? VariableTree::Scope::File
                                        : VariableTree::Scope::Program);
  view.model().pin(scope.file ? std::string(scope.file->name) : std::string(),
                   scope.function ? std::string(scope.function->name) : std::string());
  view.set_format(scope.addresses ? VariableFormat::Full
                  : scope.values  ? VariableFormat::Standard
                                  : VariableFormat::Brief);
}

void MainFrame::set_variable_format(int id) {
  static constexpr const char* kWords[] = {"Brief", "Standard", "Full"};
  const char* word = kWords[id - kCmdVarsBrief];
  config_.var_format = word[0];
  action(id)->setChecked(true);
  for (auto& [browser, sub] : browsers_)
    if (auto* view = dynamic_cast<VariableBrowser*>(sub->widget())) view->set_format(variable_format(word[0]));
  for (int scope : {kCmdShowLocals, kCmdShowGlobals})
    if (auto* view = dynamic_cast<VariableBrowser*>(view_widget(scope))) view->set_format(variable_format(word[0]));
  if (d_) profile_write(d_->config_file, "Options", "VarFormat", word);
}

void MainFrame::load_dialog() {
  const std::string dir = profile_read(d_->config_file, "Load", "Directory", "");
  QFileDialog dialog(this, "Load", QString::fromStdString(dir), "X12 Files(*.x12);;All Files(*)");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.selectFile(QString::fromStdString(profile_read(d_->config_file, "Load", "File", "")));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  if (!run_line("load " + quoted_if_blank(path))) return;
  config_.add_recent(path);
  const QFileInfo info(QString::fromStdString(path));
  profile_write(d_->config_file, "Load", "File", info.fileName().toStdString());
  profile_write(d_->config_file, "Load", "Directory", info.absolutePath().toStdString());
  profile_write(d_->config_file, "Load", "Index", "1");
}

void MainFrame::file_dialog(int id) {
  const bool session = id == kCmdLoadSession || id == kCmdSaveSession;
  const bool load = id == kCmdLoadSession || id == kCmdLoadLayout;
  const char* filter = session ? "Session Files(*.ssn)" : "Layout Files(*.lyt)";
  const char* section = session ? "Session" : "Layout";
  const QString dir = QString::fromStdString(profile_read(d_->config_file, section, "Directory", ""));
  const QString title = load ? (session ? "Load Session" : "Load Layout") : (session ? "Save Session" : "Save Layout");
  const QString file = load ? QFileDialog::getOpenFileName(this, title, dir, filter)
                            : QFileDialog::getSaveFileName(this, title, dir, filter);
  if (file.isEmpty()) return;
  run_line(std::string(session ? "session " : "layout ") + (load ? "/l " : "/s ") + quoted_if_blank(file.toStdString()));
}

void MainFrame::key_binding_dialog() {
  QDialog dialog(this);
  dialog.setObjectName("KEYBIND");
  dialog.setWindowTitle("Key Binding");
  auto* layout = new QVBoxLayout(&dialog);
  auto* keys = new QComboBox(&dialog);
  for (int k = 0; k < kFunctionKeys; ++k) keys->addItem(QString("F%1").arg(k + 1));
  auto* shift = new QCheckBox("Shift", &dialog);
  auto* ctrl = new QCheckBox("Ctrl", &dialog);
  auto* commands = new QComboBox(&dialog);
  commands->addItem("(none)", 0);
  for (const BindableCommand& c : bindable_commands()) commands->addItem(c.text, c.id);
  auto* row = new QHBoxLayout;
  row->addWidget(keys);
  row->addWidget(shift);
  row->addWidget(ctrl);
  layout->addLayout(row);
  layout->addWidget(commands);
  const auto before = config_.keys;
  auto column = [&] { return (shift->isChecked() ? 1 : 0) | (ctrl->isChecked() ? 2 : 0); };
  auto show_current = [&] {
    commands->setCurrentIndex(std::max(0, commands->findData(config_.keys[keys->currentIndex()][column()])));
  };
  connect(keys, &QComboBox::currentIndexChanged, &dialog, show_current);
  connect(shift, &QCheckBox::toggled, &dialog, show_current);
  connect(ctrl, &QCheckBox::toggled, &dialog, show_current);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* set = buttons->addButton("Set", QDialogButtonBox::ActionRole);
  QPushButton* clear = buttons->addButton("Clear", QDialogButtonBox::ActionRole);
  buttons->addButton("&Close", QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  connect(set, &QPushButton::clicked, &dialog,
          [&] { bind_key(keys->currentIndex(), column(), commands->currentData().toInt()); });
  connect(clear, &QPushButton::clicked, &dialog, [&] { bind_key(keys->currentIndex(), column(), 0); show_current(); });
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  show_current();
  if (dialog.exec() != QDialog::Accepted) config_.keys = before;
  relabel_menus();
}

void MainFrame::choose_font(int id) {
  const int index = id == 409 ? 0 : id - 401;
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, config_.fonts[static_cast<std::size_t>(index)].to_qfont(), this);
  if (!ok) return;
  for (int i = 0; i < 8; ++i)
    if (id == 409 || i == index) config_.fonts[static_cast<std::size_t>(i)].take(font);
  apply_fonts();
}

void MainFrame::choose_color(int id) {
  // The Colors items in the order of the configuration keys.
  static constexpr int kIds[] = {411, 412, 413, 414, 415, 416, 417, 420, 421, 422, 423, 424, 425, 426};
  const auto* it = std::find(std::begin(kIds), std::end(kIds), id);
  if (it == std::end(kIds)) return;
  const ColorKey& key = color_keys()[static_cast<std::size_t>(it - std::begin(kIds))];
  std::uint32_t& slot = key.table_index >= 0 ? config_.colors[static_cast<std::size_t>(key.table_index)]
                                             : config_.extra_colors[static_cast<std::size_t>(-key.table_index - 1)];
  const QColor chosen = QColorDialog::getColor(QColor(slot & 0xFF, (slot >> 8) & 0xFF, (slot >> 16) & 0xFF), this);
  if (chosen.isValid())
    slot = static_cast<std::uint32_t>(chosen.red() | chosen.green() << 8 | chosen.blue() << 16);
}

void MainFrame::open_help(int) {
  // The user guide of this installation: the documentation beside the sources.
  const QString docs = QString(TAV_DOCS_DIR) + "/USER_GUIDE.md";
  QDesktopServices::openUrl(QUrl::fromLocalFile(docs));
}

void MainFrame::apply_fonts() {
  // Command_Font for the command window, Register_Font and Stack_Font for theirs.
  if (command_) command_->setFont(config_.fonts[2].to_qfont());
  for (auto& [id, sub] : views_) {
    const std::size_t font = id == 310 ? 5 : id == 330 ? 7 : id == 320 ? 0 : id == 340 ? 4 : 1;
    if (auto* view = dynamic_cast<TextView*>(sub->widget())) view->edit()->setFont(config_.fonts[font].to_qfont());
    if (auto* code = dynamic_cast<CodeView*>(sub->widget())) code->lines()->setFont(config_.fonts[font].to_qfont());
    if (auto* mon = dynamic_cast<MonitorTree*>(sub->widget())) mon->tree()->setFont(config_.fonts[font].to_qfont());
    if (auto* vars = dynamic_cast<VariableBrowser*>(sub->widget()))
      vars->tree()->setFont(config_.fonts[font].to_qfont());
  }
  for (auto& [id, sub] : browsers_)
    if (auto* view = dynamic_cast<VariableBrowser*>(sub->widget())) view->tree()->setFont(config_.fonts[1].to_qfont());
  for (auto& [file, sub] : sources_)
    if (auto* source = dynamic_cast<SourceView*>(sub->widget())) source->lines()->setFont(config_.fonts[6].to_qfont());
  for (MemoryView* m : memory_views_) m->lines()->setFont(config_.fonts[3].to_qfont());
  for (CodeView* m : code_memory_views_) m->lines()->setFont(config_.fonts[3].to_qfont());
}

// ------------------------------------------------------------------ views

TextView* MainFrame::view(int id) const {
  auto it = views_.find(id);
  if (it == views_.end() || id == kCmdShowCommand) return nullptr;
  return dynamic_cast<TextView*>(it->second->widget());
}

QSize MainFrame::mdi_area() const {
  // Before the frame shows, its MDI area is the frame less menus, toolbar and status bar.
  return isVisible() ? mdi_->viewport()->size() : size() - QSize(4, 110);
}

QWidget* MainFrame::view_widget(int id) const {
  auto it = views_.find(id);
  return it == views_.end() ? nullptr : it->second->widget();
}

SourceView* MainFrame::source_view(const std::string& file) const {
  auto it = sources_.find(file);
  return it == sources_.end() ? nullptr : dynamic_cast<SourceView*>(it->second->widget());
}

QMdiSubWindow* MainFrame::add_view(QWidget* widget) {
  QMdiSubWindow* sub = mdi_->addSubWindow(widget);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setObjectName(widget->objectName() + "_FRAME");
  return sub;
}

void MainFrame::open_source(const std::string& file, unsigned line) {
  if (!d_ || file.empty()) return;
  SourceView* view = source_view(file);
  if (!view) {
    view = new SourceView(*this);
    view->lines()->setFont(config_.fonts[6].to_qfont());
    QMdiSubWindow* sub = add_view(view);
    sub->setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
    sources_[file] = sub;
    connect(sub, &QObject::destroyed, this, [this, file] { sources_.erase(file); });
    sub->setGeometry(default_place(kPlaceSource, mdi_area(), static_cast<int>(sources_.size())));
    sub->show();
    if (!view->open(file)) return;
  }
  if (line) view->go_to_line(line);
  mdi_->setActiveSubWindow(sources_[file]);
}

void MainFrame::open_data_memory(std::uint32_t address) {
  if (!d_) return;
  auto* view = new MemoryView(*this, address);
  view->lines()->setFont(config_.fonts[3].to_qfont());
  QMdiSubWindow* sub = add_view(view);
  sub->setWindowIcon(tool_icon(360, style()));
  memory_views_.push_back(view);
  connect(view, &QObject::destroyed, this, [this, view] { std::erase(memory_views_, view); });
  // New memory views step down and right from the last one.
  const int n = static_cast<int>(memory_views_.size()) - 1;
  sub->setGeometry(default_place(360, mdi_area(), 0).translated(10 * n, 10 * n));
  sub->show();
  view->refresh_view(true);
}

void MainFrame::open_code_memory(std::uint32_t address) {
  if (!d_) return;
  auto* view = new CodeView(*this, CodeViewKind::Memory);
  view->lines()->setFont(config_.fonts[3].to_qfont());
  QMdiSubWindow* sub = add_view(view);
  sub->setWindowIcon(tool_icon(360, style()));
  code_memory_views_.push_back(view);
  connect(view, &QObject::destroyed, this, [this, view] { std::erase(code_memory_views_, view); });
  const int n = static_cast<int>(memory_views_.size() + code_memory_views_.size()) - 1;
  sub->setGeometry(default_place(360, mdi_area(), 0).translated(10 * n, 10 * n));
  sub->show();
  view->show_address(address);
  view->refresh_view(true);
}

void MainFrame::show_code(std::uint32_t address) {
  open_view(320);
  if (auto* code = dynamic_cast<CodeView*>(view_widget(320))) code->show_address(address);
}

std::string MainFrame::run_captured(const std::string& line) {
  if (!d_) return {};
  capture_begin(*d_, Capture::Second);
  run_line(line);
  return capture_end(*d_, Capture::Second);
}

void MainFrame::show_message(const std::string& title, const std::string& text) { message_box(title, text); }

QColor MainFrame::table_colour(int entry) const {
  const std::uint32_t c = config_.colors[static_cast<std::size_t>(std::clamp(entry, 0, 18))];
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QColor MainFrame::extra_colour(ExtraColour which) const {
  const std::uint32_t c = config_.extra_colors[static_cast<std::size_t>(which)];
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool MainFrame::syntax_colouring() const {
  const QAction* a = action(10000);
  return !a || a->isChecked();
}

void MainFrame::follow_execution() {
  // The source of the PC's function comes forward at its line.
  if (!d_ || d_->run.running) return;
  const std::uint32_t pc = d_->registers.ReadPC();
  const DebugTables& tables = d_->program.tables();
  const FunctionBlock* f = tables.function_at(pc);
  const DebugRecord* r = tables.record_covering(pc);
  if (!f || !f->file || !r || !r->line) return;
  const std::string file(f->file->name);
  if (!source_view(file)) open_source(file, r->line);
}

QMdiSubWindow* MainFrame::open_view(int id) {
  if (auto it = views_.find(id); it != views_.end()) {
    mdi_->setActiveSubWindow(it->second);
    return it->second;
  }
  QWidget* widget = nullptr;
  if (id == kCmdShowCommand) {
    auto* host = new QWidget;
    host->setObjectName("MAINCMD");
    host->setWindowTitle("Command");
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    command_ = new CommandWindow(host);
    command_->on_line = [this](const std::string& line) {
      if (!d_ || busy_) return beep();
      d_->kernel.typed_command = true;
      run_line(line);
      d_->kernel.typed_command = false;
    };
    command_->on_beep = [this] { beep(); };
    layout->addWidget(command_);
    widget = host;
  } else if (id == 320) {
    widget = new CodeView(*this);
  } else if (id == 340) {
    widget = new MonitorTree(*this);
  } else if (id == kCmdShowLocals || id == kCmdShowGlobals) {
    const auto scope = id == kCmdShowLocals ? VariableTree::Scope::Locals : VariableTree::Scope::Globals;
    widget = new VariableBrowser(*this, scope, variable_format(config_.var_format));
  } else if (const ListInfo* list = list_info(id)) {
    widget = new ListView(*this, list->kind, list->spec);
  } else if (const ViewInfo* info = view_info(id)) {
    const View v = info->view;
    auto* text_view = new TextView(info->spec, [this, v, id]() -> std::string {
      if (!d_) return {};
      if (id == 330) return stack_view_text(*d_);
      return view_text(*d_, v);
    });
    if (id == 310)
      new CycleEditor(text_view, [this](std::uint32_t cycles) {
        if (d_) d_->cpu.counters.time = cycles;
      });
    widget = text_view;
  } else {
    return nullptr;
  }
  QMdiSubWindow* sub = add_view(widget);
  views_[id] = sub;
  connect(sub, &QObject::destroyed, this, [this, id] {
    views_.erase(id);
    if (id == kCmdShowCommand) command_ = nullptr;
    sync_view_checks();
  });
  sub->setWindowIcon(id == kCmdShowCommand ? tool_icon(300, style())
                     : list_info(id)     ? style()->standardIcon(QStyle::SP_FileDialogListView)
                                         : tool_icon(id, style()));
  sub->setGeometry(default_place(id, mdi_area(), static_cast<int>(views_.size())));
  sub->show();
  if (auto* r = dynamic_cast<RefreshingView*>(widget)) r->refresh_view(true);
  apply_fonts();
  sync_view_checks();
  if (config_.tile != Tile::Free && config_.tile != Tile::Cascade) arrange(config_.tile);
  return sub;
}

void MainFrame::close_view(int id) {
  auto it = views_.find(id);
  if (it == views_.end()) return;
  QMdiSubWindow* sub = it->second;
  views_.erase(it);
  if (id == kCmdShowCommand) command_ = nullptr;
  QObject::disconnect(sub, &QObject::destroyed, this, nullptr);
  sub->close();
  sync_view_checks();
}

void MainFrame::toggle_view(int id) {
  if (views_.count(id))
    close_view(id);
  else
    open_view(id);
}

void MainFrame::sync_view_checks() {
  for (int id : {300, 310, 320, 330, 335, 336, 340})
    if (QAction* a = action(id)) a->setChecked(views_.count(id) != 0);
}

void MainFrame::arrange(Tile tile) {
  config_.tile = tile;
  const int id = tile == Tile::Horizontal ? 191 : tile == Tile::Vertical ? 192 : tile == Tile::Free ? 193 : 190;
  if (QAction* a = action(id)) a->setChecked(true);
  const auto windows = mdi_->subWindowList();
  if (windows.isEmpty()) return;
  const QSize area = mdi_->viewport()->size();
  switch (tile) {
    case Tile::Cascade: mdi_->cascadeSubWindows(); break;
    case Tile::Free: break;
    case Tile::Horizontal:
    case Tile::Vertical: {
      const int n = static_cast<int>(windows.size());
      for (int i = 0; i < n; ++i) {
        if (tile == Tile::Horizontal)
          windows[i]->setGeometry(0, i * area.height() / n, area.width(), area.height() / n);
        else
          windows[i]->setGeometry(i * area.width() / n, 0, area.width() / n, area.height());
      }
      break;
    }
  }
}

// -------------------------------------------------------------- running

void MainFrame::set_running(bool running) {
  running_ = running;
  auto grey = [running](QAction* a) {
    if (a->property("neverEnabled").toBool()) return;
    if (a->property("greyRunning").toBool()) a->setEnabled(!running);
  };
  for (QAction* a : menuBar()->actions()) grey(a);
  for (QMenu* m : menuBar()->findChildren<QMenu*>()) grey(m->menuAction());
  for (auto& [id, a] : actions_) grey(a);
  for (int id : kRunButtons)
    if (QAction* a = action(id)) a->setEnabled(!running);
  // The command item stays usable while its window is open.
  if (QAction* a = action(kCmdShowCommand)) a->setEnabled(!running || command_);
  action(kCmdStop)->setEnabled(running);
  if (running)
    QApplication::setOverrideCursor(Qt::BusyCursor);
  else
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

// ------------------------------------------------------------------ Host

bool MainFrame::pump_events() {
  if (d_ && d_->run.running != running_) set_running(d_->run.running);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return close_requested_;
}

void MainFrame::status(StatusField field, std::string_view text) {
  fields_[static_cast<int>(field)]->setText(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
}

void MainFrame::message_box(std::string_view title, std::string_view text) {
  const QString t = QString::fromLatin1(title.data(), static_cast<int>(title.size()));
  const QString m = QString::fromLatin1(text.data(), static_cast<int>(text.size())).trimmed();
  if (!modal_boxes_) {
    messages_.push_back((t + ": " + m).toStdString());
    status(StatusField::Middle, messages_.back());
    return;
  }
  QMessageBox::warning(this, t, m);
}

bool MainFrame::ask_yes_no(std::string_view title, std::string_view question) {
  if (!modal_boxes_) return false;
  return QMessageBox::question(this, QString::fromLatin1(title.data(), static_cast<int>(title.size())),
                               QString::fromLatin1(question.data(), static_cast<int>(question.size()))) ==
         QMessageBox::Yes;
}

void MainFrame::refresh_views(unsigned views) {
  if (views & (kViewAfterGo | kViewRegisters | kViewSource))
    if (TextView* v = view(310)) v->refresh();
  if (views & (kViewAfterGo | kViewStack | kViewSource))
    if (TextView* v = view(330)) v->refresh();
  auto refreshing = [this](int id) { return dynamic_cast<RefreshingView*>(view_widget(id)); };
  if (views & (kViewDisasm | kViewAfterGo | kViewSource | kViewMemory))
    if (RefreshingView* v = refreshing(320)) v->refresh_view(false);
  if (views & (kViewMonitors | kViewAfterGo | kViewVariables | kViewMemory))
    if (RefreshingView* v = refreshing(340)) v->refresh_view(false);
  if (views & (kViewAfterGo | kViewStopped)) follow_execution();
  if (views & (kViewSource | kViewAfterGo | kViewStopped | kViewDisasm))
    for (auto& [file, sub] : sources_)
      if (auto* source = dynamic_cast<SourceView*>(sub->widget())) source->refresh_view(false);
  // Memory written by a command (or a new program) repaints whole; a run's end
  // marks what changed since the previous stop.
  if (views & kViewMemory)
    for (MemoryView* m : memory_views_) m->refresh_view(!(views & kViewStopped));
  if (views & (kViewMemory | kViewDisasm | kViewAfterGo | kViewSource | kViewEvents))
    for (CodeView* m : code_memory_views_) m->refresh_view(!(views & kViewStopped));
  // A new program brings new files and functions; events change by commands.
  if (views & (kViewSource | kViewEvents))
    for (const ListInfo& l : kLists)
      if (RefreshingView* v = refreshing(l.id)) v->refresh_view(false);
  // Any command may have changed data or moved the current frame: the
  // browsers read again (a frozen one keeps what it shows); a run's end marks
  // the values it changed.
  if (views & (kViewSource | kViewAfterGo | kViewVariables | kViewMemory | kViewStack | kViewStopped)) {
    const bool full = !(views & kViewStopped);
    for (auto& [id, sub] : browsers_)
      if (auto* browser = dynamic_cast<VariableBrowser*>(sub->widget())) browser->refresh_view(full);
    for (int id : {kCmdShowLocals, kCmdShowGlobals})
      if (RefreshingView* v = refreshing(id)) v->refresh_view(full);
  }
}

void MainFrame::show_view(View v) {
  if (v == kViewVariables && d_) {
    if (VariableBrowser* view = variable_browser(kVarsCommandBrowser)) {
      show_vars_scope(*view);
      view->refresh_view(true);
      return mdi_->setActiveSubWindow(browsers_[kVarsCommandBrowser]);
    }
    return open_variable_browser(kVarsCommandBrowser);
  }
  for (const ViewInfo& info : kViews)
    if (info.view == v) {
      open_view(info.id);
      if (TextView* t = view(info.id)) t->refresh();
      return;
    }
}

void MainFrame::gauge_begin(std::string_view, std::uint32_t total) {
  gauge_total_ = total ? total : 1;
  gauge_done_ = 0;
  gauge_->setRange(0, 100);
  gauge_->setValue(0);
  gauge_->show();
}

void MainFrame::gauge_step(std::uint32_t amount) {
  gauge_done_ += amount;
  gauge_->setValue(static_cast<int>(std::min<std::uint64_t>(100, 100ull * gauge_done_ / gauge_total_)));
}

void MainFrame::gauge_end() { gauge_->hide(); }

void MainFrame::beep() { QApplication::beep(); }

bool MainFrame::command_window_exists() { return command_ != nullptr; }

void MainFrame::open_command_window() { open_view(kCmdShowCommand); }

void MainFrame::command_window_append(std::string_view text) {
  if (command_) command_->append_output(text);
}

bool MainFrame::read_input(std::string_view prompt, std::string& line, std::size_t max) {
  if (!modal_boxes_) return false;
  bool ok = false;
  const QString text = QInputDialog::getText(this, "Tav", QString::fromLatin1(prompt.data(), static_cast<int>(prompt.size())),
                                             QLineEdit::Normal, QString(), &ok);
  if (!ok) return false;
  line = text.left(static_cast<int>(max)).toStdString();
  return true;
}

void MainFrame::wait_key() {
  if (modal_boxes_) QMessageBox::information(this, "Tav", "Press a key to continue");
}

WindowLayout MainFrame::window_layout() {
  WindowLayout layout;
  layout.tile = config_.tile;
  const QRect frame = frameGeometry();
  layout.windows[kWinTav] = {true, frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1};
  layout.windows[kWinSource] = {true, -1, -1, mdi_->viewport()->width(), mdi_->viewport()->height()};
  if (auto it = views_.find(kCmdShowCommand); it != views_.end()) layout.windows[kWinCommand] = to_client(it->second->geometry());
  for (const ViewInfo& v : kViews)
    if (v.window >= 0)
      if (auto it = views_.find(v.id); it != views_.end()) layout.windows[static_cast<std::size_t>(v.window)] = to_client(it->second->geometry());
  return layout;
}

void MainFrame::apply_window_layout(const WindowLayout& layout) {
  const WindowPlace& tav = layout.windows[kWinTav];
  if (tav.open && tav.right > tav.left && tav.bottom > tav.top)
    setGeometry(QRect(QPoint(tav.left, tav.top), QPoint(tav.right - 1, tav.bottom - 1)));
  auto place = [this](int id, const WindowPlace& p) {
    if (!p.open) return close_view(id);
    if (QMdiSubWindow* sub = open_view(id)) sub->setGeometry(from_client(p));
  };
  place(kCmdShowCommand, layout.windows[kWinCommand]);
  for (const ViewInfo& v : kViews)
    if (v.window >= 0) place(v.id, layout.windows[static_cast<std::size_t>(v.window)]);
  config_.tile = layout.tile;
  if (layout.tile == Tile::Horizontal || layout.tile == Tile::Vertical) arrange(layout.tile);
  else if (QAction* a = action(layout.tile == Tile::Free ? 193 : 190)) a->setChecked(true);
}

// -------------------------------------------------------------- events

void MainFrame::save_configuration() {
  if (!d_) return;
  for (const ViewInfo& v : kViews) config_.views[v.layout_key] = views_.count(v.id) ? 'Y' : 'N';
  config_.views["Command"] = command_ ? 'Y' : 'N';
  if (!isMinimized()) config_.rects["TavWindow"] = geometry();
  for (const auto& [id, sub] : views_) {
    if (list_info(id)) continue;
    const ViewInfo* info = view_info(id);
    config_.rects[info ? info->rect_section : "CmdWindow"] = sub->geometry();
  }
  config_.write(d_->config_file);
  profile_write(d_->config_file, "Options", "Path", d_->source_path);
}

void MainFrame::closeEvent(QCloseEvent* event) {
  if (running_ || busy_) {  // a running target keeps the frame open
    if (!d_ || !d_->kernel.ending()) {
      event->ignore();
      return;
    }
  }
  if (d_) {
    if (config_.save_on_exit)
      save_configuration();
    else
      config_.write_keys(d_->config_file);
  }
  close_requested_ = true;
  event->accept();
}

void MainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  layout_status_bar();
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  if (key->key() == Qt::Key_Escape) {
    if (d_ && running_) d_->run.request_stop();
    return running_;
  }
  if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12) {
    const int k = key->key() - Qt::Key_F1;
    const int col = (key->modifiers() & Qt::ShiftModifier ? 1 : 0) | (key->modifiers() & Qt::ControlModifier ? 2 : 0);
    const int id = config_.keys[static_cast<std::size_t>(k)][static_cast<std::size_t>(col)];
    if (id == 0) return false;
    dispatch(id);
    return true;
  }
  return false;
}

}  // namespace tav::qt
