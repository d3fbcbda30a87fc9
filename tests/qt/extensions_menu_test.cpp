// The Extensions menu and the frame as extensions see it: the dialogs list
// what the loader reports and turn the user's clicks into extload, extclose
// and extpath lines; the exported window and menu functions act on the frame.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <functional>
#include <memory>

#include "commands/standard_debugger.h"
#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"
#include "ui/qt/extension_dialogs.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/memory_view.h"
#include "ui/qt/text_view.h"

using namespace tav;
using namespace tav::qt;

namespace {

// The loader as the frame sees it, recording what it is asked.
class FakeExtensions : public ExtensionControl {
 public:
  std::vector<Item> avail, loaded_items;
  std::vector<std::string> log;
  std::vector<Item> available() const override { return avail; }
  std::vector<Item> loaded() const override { return loaded_items; }
  bool load(const std::string& name, std::string&) override {
    log.push_back("load " + name);
    return true;
  }
  bool close(const std::string& name, std::string&) override {
    log.push_back("close " + name);
    return true;
  }
  void scan_path() override { log.push_back("scan"); }
};

ExtensionControl::Item item(const char* description, const char* path, const char* version = "") {
  ExtensionControl::Item i;
  i.description = description;
  i.path = path;
  i.help = std::string("help of ") + description;
  i.version = version;
  return i;
}

struct Rig {
  explicit Rig(const QString& config_dir) {
    qputenv("TAV_CONFIG_DIR", config_dir.toLocal8Bit());
    frame = std::make_unique<MainFrame>();
    d = std::make_unique<StandardDebugger>(*frame);
    d->extensions = &extensions;
    frame->set_modal_boxes(false);
    frame->attach(*d);
    frame->show();
    QCoreApplication::processEvents();
  }
  ~Rig() {
    frame->config().save_on_exit = false;
    frame.reset();
    d.reset();
  }
  // Triggers a menu item whose dialog is modal; `act` runs inside the dialog.
  template <class Dialog>
  void in_dialog(int id, std::function<void(Dialog&)> act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
      seen = dialog != nullptr;
      if (!dialog) return;
      act(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    frame->dispatch(id);
    QVERIFY(seen);
  }
  FakeExtensions extensions;
  std::unique_ptr<MainFrame> frame;
  std::unique_ptr<Debugger> d;
};

}  // namespace

class ExtensionsMenuTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private Q_SLOTS:
  void empty_lists_only_warn() {
    Rig rig(dir_.path());
    rig.frame->dispatch(1351);
    rig.frame->dispatch(1352);
    const auto& m = rig.frame->messages();
    QCOMPARE(m.size(), std::size_t{2});
    QCOMPARE(m[0], std::string("Warning: No avalaible extensions"));
    QCOMPARE(m[1], std::string("Warning: No Loaded Extensions"));
  }

  void available_extensions_load_by_command_line() {
    Rig rig(dir_.path());
    rig.extensions.avail = {item("First", "/x/a.so", "1.2"), item("Second", "/x/b c.so")};
    rig.in_dialog<AvailableExtensionsDialog>(1351, [&](AvailableExtensionsDialog& dlg) {
      QCOMPARE(dlg.windowTitle(), QString("Extensions"));
      QCOMPARE(dlg.list()->count(), 2);
      QCOMPARE(dlg.list()->item(1)->text(), QString("Second"));
      dlg.load_selected();  // nothing selected: nothing happens
      QVERIFY(rig.extensions.log.empty());
      dlg.list()->setCurrentRow(0);
      QCOMPARE(dlg.help()->toPlainText(), QString("help of First"));
      QCOMPARE(dlg.version()->text(), QString("Version 1.2"));
      dlg.list()->setCurrentRow(1);
      QCOMPARE(dlg.version()->text(), QString("Version Unknown"));
      dlg.tabs()->setCurrentIndex(1);
      QCOMPARE(dlg.list()->viewMode(), QListView::ListMode);
      dlg.findChild<QPushButton*>("load")->click();
      QVERIFY(dlg.isVisible());
      dlg.findChild<QPushButton*>("loadDone")->click();
      QVERIFY(!dlg.isVisible());
    });
    QCOMPARE(rig.extensions.log, (std::vector<std::string>{"load /x/b c.so", "load /x/b c.so"}));
    QCOMPARE(rig.frame->sent_lines().back(), std::string("extload \"/x/b c.so\""));
  }

  void loaded_extensions_show_calls_and_close() {
    Rig rig(dir_.path());
    ExtensionControl::Item automatic = item("Auto", "/x/auto.so");
    automatic.autoloaded = true;
    automatic.has_close = true;
    ExtensionControl::Item routed = item("Routed", "/x/routed.so");
    routed.command = "rt";
    routed.options = "on|off";
    routed.has_entry = routed.has_close = true;
    routed.calls = {"rt on", "rt off"};
    rig.extensions.loaded_items = {routed, automatic};
    rig.in_dialog<LoadedExtensionsDialog>(1352, [&](LoadedExtensionsDialog& dlg) {
      QCOMPARE(dlg.windowTitle(), QString("Loaded Extensions"));
      dlg.list()->setCurrentRow(1);
      QVERIFY(dlg.autoload()->isChecked());
      QVERIFY(dlg.close_button()->isHidden());
      QVERIFY(dlg.show_calls_button()->isHidden());
      QCOMPARE(dlg.command_line()->text(), QString("Command Line: "));
      dlg.list()->setCurrentRow(0);
      QVERIFY(!dlg.autoload()->isChecked());
      QCOMPARE(dlg.command_line()->text(), QString("Command Line: rt"));
      QCOMPARE(dlg.options()->text(), QString("Options: on|off"));
      QVERIFY(!dlg.show_calls_button()->isHidden());
      QVERIFY(!dlg.close_button()->isHidden());
      dlg.close_selected();
      QCOMPARE(dlg.list()->count(), 1);
      QVERIFY(dlg.close_button()->isHidden());
      QCOMPARE(dlg.help()->toPlainText(), QString());
    });
    QCOMPARE(rig.extensions.log, (std::vector<std::string>{"close /x/routed.so"}));
  }

  void path_editor_checks_directories_and_sets_the_path() {
    const QString a = dir_.path() + "/a", b = dir_.path() + "/b";
    QDir().mkpath(a);
    QDir().mkpath(b);
    int beeps = 0;
    QStringList refused;
    ExtensionPathDialog dlg(nullptr, (a + "|").toStdString(), [&] { ++beeps; },
                            [&](const QString& d) { refused << d; });
    QCOMPARE(dlg.list()->count(), 1);
    QVERIFY(!dlg.button(102)->isEnabled());
    dlg.directory()->setText(a);
    QVERIFY(dlg.button(102)->isEnabled());
    QVERIFY(!dlg.button(103)->isEnabled());  // nothing selected
    dlg.add(102);
    QCOMPARE(beeps, 1);
    dlg.directory()->setText(dir_.path() + "/nothing");
    dlg.add(102);
    QCOMPARE(refused, QStringList{dir_.path() + "/nothing"});
    dlg.directory()->setText(b);
    dlg.list()->setCurrentRow(0);
    QVERIFY(dlg.button(103)->isEnabled());
    dlg.add(103);
    QCOMPARE(dlg.path(), (b + "|" + a).toStdString());
    dlg.list()->setCurrentRow(1);
    dlg.button(105)->click();
    QCOMPARE(dlg.path(), b.toStdString());

    // Through the menu: OK sets the path and searches it.
    Rig rig(dir_.path());
    rig.in_dialog<ExtensionPathDialog>(1350, [&](ExtensionPathDialog& editor) {
      QCOMPARE(editor.windowTitle(), QString("Path Editor"));
      editor.directory()->setText(a);
      editor.add(102);
      editor.button(109)->click();
    });
    QCOMPARE(rig.frame->sent_lines().back(), "extpath \"" + a.toStdString() + "\"");
    QCOMPARE(rig.extensions.log, (std::vector<std::string>{"scan"}));
  }

  void exported_frame_functions_act_on_the_frame() {
    Rig rig(dir_.path());
    MainFrame& f = *rig.frame;
    bind_extension_api(rig.d.get(), "/x/tav");
    QCOMPARE(GetTavMainWindow(), static_cast<void*>(static_cast<QMainWindow*>(&f)));
    QVERIFY(qobject_cast<QMdiArea*>(static_cast<QObject*>(GetTavMDIWindow())));
    QVERIFY(GetTavFontObject() != nullptr);
    QVERIFY(static_cast<QMenu*>(GetFunctionPopupMenu()) != nullptr);
    QCOMPARE(GetMenuPosition("E&xtensions"), GetExtensionsMenuPosition());
    QCOMPARE(GetMenuPosition("&Help"), GetHelpMenuPosition());
    QCOMPARE(GetMenuPosition("Extensions"), -1);
    QCOMPARE(GetExtensionsMenuInsertPos(), 3);
    // A button with command 1000, checkable; the bitmap may be missing.
    auto* bar = static_cast<QToolBar*>(GetTavBtnBarWindow());
    const auto before = bar->actions().size();
    QCOMPARE(AddButtonToBar(nullptr, "missing.bmp"), 1);
    QCOMPARE(bar->actions().size(), before + 1);
    QVERIFY(bar->actions().back()->isCheckable());
    QCOMPARE(bar->actions().back()->objectName(), QString("cmd1000"));
    // Arrangement, views and their system commands.
    SetTavWindowsStyle(4);
    QCOMPARE(GetTavWindowsStyle(), 4);
    QVERIFY(f.action(192)->isChecked());
    SetTavWindowsStyle(7);
    QCOMPARE(GetTavWindowsStyle(), 4);
    StackDisplay(1);
    QVERIFY(f.view(330));
    SetStackWindow(0xF020);
    QVERIFY(f.view(330)->parentWidget()->isMinimized());
    SetTavSubWindow(reinterpret_cast<TavHandle>(0x1234), 0xF060);  // not a view: ignored
    StackDisplay(0);
    QVERIFY(!f.view(330));
    CommandDisplay(0);
    QVERIFY(!f.command_window());
    CommandDisplay(1);
    QVERIFY(f.command_window());
    QCOMPARE(GetTavColor(25), GetTavColor(1));
    // Browsers are view frames: titled as asked, closed through their handle.
    auto* data = static_cast<QMdiSubWindow*>(CreateMemoryDataBrowser("ring", 0x2000, 2, 'd', 8, 0));
    QVERIFY(data);
    QCOMPARE(data->windowTitle(), QString("ring"));
    QCOMPARE(f.memory_views().back()->model().format.unit, 2u);
    const auto views = f.memory_views().size();
    DeleteMemoryBrowser(data);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.memory_views().size(), views - 1);
    QVERIFY(CreateMemoryCodeBrowser("code", 0x4000) != nullptr);
    QCOMPARE(BrowseFile("no_such_file.c", 3), nullptr);
    void* files = CreateFileBrowser();
    QVERIFY(files && files == CreateFileBrowser());
    DeleteFileBrowser(files);
    bind_extension_api(nullptr, {});
  }
};

QTEST_MAIN(ExtensionsMenuTest)
#include "extensions_menu_test.moc"
