// The main frame as extensions see it: handles of its Qt objects, menu
// positions, toolbar buttons, window commands and arrangement, and the
// dialogs of the Extensions menu.
#include <dlfcn.h>
#include <link.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolBar>

#include "kernel/config.h"
#include "kernel/debugger.h"
#include "ui/qt/extension_dialogs.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/code_view.h"
#include "ui/qt/memory_view.h"
#include "ui/qt/source_view.h"
#include "ui/qt/menu_table.h"

namespace tav::qt {

namespace {

// System commands as extensions send them (the values of the Windows API).
enum SystemCommand { kMinimize = 0xF020, kMaximize = 0xF030, kClose = 0xF060, kRestore = 0xF120 };

int view_id(View view) {
  switch (view) {
    case kViewDisasm: return kCmdShowDisasm;
    case kViewRegisters: return kCmdShowRegisters;
    case kViewStack: return kCmdShowStack;
    default: return 0;
  }
}

// A bitmap named by an extension: a relative name is looked for beside its library.
QString bitmap_path(void* module, std::string_view bitmap) {
  const QString name = QString::fromLatin1(bitmap.data(), static_cast<int>(bitmap.size()));
  if (QFileInfo(name).isAbsolute() || !module) return name;
  link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return name;
  return QFileInfo(QString::fromLocal8Bit(map->l_name)).absolutePath() + "/" + name;
}

}  // namespace

void* MainFrame::frame_object(FrameObject which) {
  switch (which) {
    case FrameObject::Main: return static_cast<QMainWindow*>(this);
    case FrameObject::MdiClient: return mdi_;
    case FrameObject::Toolbar: return toolbar_;
    case FrameObject::FunctionPopup:
      if (!function_popup_) {
        function_popup_ = new QMenu(this);
        function_popup_->setObjectName("FUNCPOPUP");
      }
      return function_popup_;
    case FrameObject::VariablePopup:
      if (!variable_popup_) {
        variable_popup_ = new QMenu(this);
        variable_popup_->setObjectName("VARPOPUP");
      }
      return variable_popup_;
    case FrameObject::Font:
      command_font_ = config_.fonts[2].to_qfont();
      return &command_font_;
  }
  return nullptr;
}

int MainFrame::menu_position(std::string_view title) {
  const QString wanted = QString::fromLatin1(title.data(), static_cast<int>(title.size()));
  const auto menus = menuBar()->actions();
  for (int i = 0; i < menus.size(); ++i)
    if (menus[i]->text() == wanted) return i;
  return -1;
}

int MainFrame::extensions_menu_items() {
  QMenu* menu = findChild<QMenu*>("menuE&xtensions");
  return menu ? static_cast<int>(menu->actions().size()) : 0;
}

int MainFrame::add_toolbar_button(void* module, std::string_view bitmap) {
  QAction* a = new QAction(this);
  a->setObjectName(QString("cmd%1").arg(kCmdExtensionButton));
  a->setCheckable(true);
  a->setEnabled(true);
  const QPixmap image(bitmap_path(module, bitmap));
  if (!image.isNull()) {
    // The corner colour is the background, as with the program's own buttons.
    QPixmap clear = image;
    clear.setMask(image.createMaskFromColor(image.toImage().pixelColor(0, 0)));
    a->setIcon(QIcon(clear));
  }
  a->setText(QString::fromLatin1(bitmap.data(), static_cast<int>(bitmap.size())));
  connect(a, &QAction::triggered, this, [this] { dispatch(kCmdExtensionButton); });
  toolbar_->addAction(a);
  return 1;
}

void MainFrame::show_system_command(QWidget* window, int command) {
  switch (command & 0xFFF0) {
    case kMinimize: window->showMinimized(); break;
    case kMaximize: window->showMaximized(); break;
    case kRestore: window->showNormal(); break;
    case kClose: window->close(); break;
    default: break;
  }
}

void MainFrame::system_command(void* window, int command) {
  if (!window) return show_system_command(this, command);
  // Only a view of this frame: a stale or foreign handle is ignored.
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (sub == window) return show_system_command(sub, command);
}

int MainFrame::windows_style() {
  switch (config_.tile) {
    case Tile::Free: return 1;
    case Tile::Horizontal: return 3;
    case Tile::Vertical: return 4;
    default: return 2;
  }
}

void MainFrame::set_windows_style(int style) {
  static constexpr Tile kTiles[] = {Tile::Free, Tile::Cascade, Tile::Horizontal, Tile::Vertical};
  if (style >= 1 && style <= 4) arrange(kTiles[style - 1]);
}

void MainFrame::display_view(View view, bool on) {
  const int id = view_id(view);
  if (!id || views_.count(id) == static_cast<std::size_t>(on)) return;
  if (on)
    open_view(id);
  else
    close_view(id);
}

void MainFrame::view_command(View view, int command) {
  const auto it = views_.find(view_id(view));
  if (it != views_.end()) show_system_command(it->second, command);
}

void MainFrame::hide_command_window() { close_view(kCmdShowCommand); }

void MainFrame::close_view(void* view) {
  for (const auto& [id, sub] : views_)
    if (sub == view) return close_view(id);
  // Source and memory views are not in the Show menu: any view frame of ours closes.
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (sub == view) {
      sub->close();
      return;
    }
}

namespace {
void set_title(QMdiSubWindow* sub, std::string_view title) {
  if (sub && !title.empty()) sub->setWindowTitle(QString::fromLatin1(title.data(), static_cast<int>(title.size())));
}
}  // namespace

void* MainFrame::open_name_list(bool functions) { return open_view(functions ? 650 : 640); }

void* MainFrame::open_source_view(std::string_view file, int line) {
  const std::string name(file);
  open_source(name, line > 0 ? static_cast<unsigned>(line) : 0);
  // A file the source path does not find leaves an empty view: no handle then.
  SourceView* view = source_view(name);
  const auto it = sources_.find(name);
  return view && it != sources_.end() && view->model().state() == SourceModel::State::Open ? it->second : nullptr;
}

void* MainFrame::open_code_memory_view(std::string_view title, std::uint32_t address) {
  const std::size_t before = code_memory_views_.size();
  open_code_memory(address);
  if (code_memory_views_.size() == before) return nullptr;
  auto* sub = qobject_cast<QMdiSubWindow*>(code_memory_views_.back()->parentWidget());
  set_title(sub, title);
  return sub;
}

void* MainFrame::open_data_memory_view(std::string_view title, std::uint32_t address, int unit, int format,
                                       int columns, bool follow) {
  (void)follow;  // memory views are repainted after every stop anyway
  const std::size_t before = memory_views_.size();
  open_data_memory(address);
  if (memory_views_.size() == before) return nullptr;
  MemoryView* view = memory_views_.back();
  DataLineFormat shape;
  if (unit == 1 || unit == 2 || unit == 4) shape.unit = static_cast<unsigned>(unit);
  if (columns > 0 && columns <= 64) shape.bytes = static_cast<unsigned>(columns) * shape.unit;
  switch (format) {
    case 'b': case 'B': shape.base = NumberBase::Binary; break;
    case 'o': case 'O': shape.base = NumberBase::Octal; break;
    case 'd': case 'D': case 'u': case 'U': shape.base = NumberBase::Decimal; break;
    default: break;
  }
  view->set_format(shape);
  auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  set_title(sub, title);
  return sub;
}

void MainFrame::busy_cursor(bool on) {
  if (on)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else if (QApplication::overrideCursor())
    QApplication::restoreOverrideCursor();
}

void MainFrame::edit_extension_path() { extensions_dialog(kCmdExtensionPath); }

std::uint32_t MainFrame::colour(int index) {
  return index >= 0 && index < static_cast<int>(config_.colors.size()) ? config_.colors[static_cast<std::size_t>(index)]
                                                                       : Host::colour(index);
}

void MainFrame::function_key(int key) {
  if (key < 0 || key >= kFunctionKeys) return;
  if (const int id = config_.keys[static_cast<std::size_t>(key)][0]) dispatch(id);
}

bool MainFrame::select_name(bool functions, std::string& name) {
  if (!d_ || !modal_boxes_) return false;
  QStringList names;
  for (const FileEntry* f : d_->program.tables().files()) {
    if (!functions) {
      names << QString::fromLatin1(f->name.data(), static_cast<int>(f->name.size()));
      continue;
    }
    for (const FunctionBlock* fn : f->functions)
      if (!f->is_file_level(fn) && !fn->name.empty() && !fn->is_dot())
        names << QString::fromLatin1(fn->name.data(), static_cast<int>(fn->name.size()));
  }
  if (names.isEmpty()) return false;
  bool ok = false;
  const QString chosen = QInputDialog::getItem(this, functions ? "Functions" : "Files",
                                               functions ? "Function:" : "File:", names, 0, false, &ok);
  if (!ok || chosen.isEmpty()) return false;
  name = chosen.toStdString();
  return true;
}

void MainFrame::extensions_dialog(int id) {
  if (!d_ || !d_->extensions) return beep();
  const LineRunner run = [this](const std::string& line) { return run_line(line); };
  if (id == kCmdExtensionPath) {
    ExtensionPathDialog dialog(this, config_read(*d_, "Options", "ExtenPath", ""), [this] { beep(); },
                               [this](const QString& dir) { message_box("Not a directory", dir.toStdString()); });
    if (dialog.exec() == QDialog::Accepted) run_line("extpath \"" + dialog.path() + "\"");
    return;
  }
  if (id == kCmdAvailableExtensions) {
    auto items = d_->extensions->available();
    if (items.empty()) return message_box("Warning", "No avalaible extensions");
    AvailableExtensionsDialog dialog(this, std::move(items), run);
    dialog.exec();
    return;
  }
  auto items = d_->extensions->loaded();
  if (items.empty()) return message_box("Warning", "No Loaded Extensions");
  LoadedExtensionsDialog dialog(this, std::move(items), run);
  dialog.exec();
}

}  // namespace tav::qt
