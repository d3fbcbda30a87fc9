// The desktop views as a user works them: clicks on code addresses and
// source line numbers become event commands, the event dialogs show an event
// and make its command, code memory views start anywhere, a typed data unit is written,
// a monitor's format reaches its members, and every popup item produces its
// command.
#include <QInputDialog>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "commands/standard_debugger.h"
#include "kernel/debugger.h"
#include "ui/model/program_lookup.h"
#include "ui/qt/code_view.h"
#include "ui/qt/event_dialog.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/memory_view.h"
#include "ui/qt/menu_table.h"
#include "ui/qt/monitor_tree.h"
#include "ui/qt/list_view.h"
#include "ui/qt/popup_table.h"
#include "ui/qt/source_view.h"
#include "ui/qt/variable_tree.h"
#include "support/profile.h"

using namespace tav;
using namespace tav::qt;

namespace {

struct Rig {
  Rig() {
    qputenv("TAV_CONFIG_DIR", dir.path().toLocal8Bit());
    frame = std::make_unique<MainFrame>();
    d = std::make_unique<StandardDebugger>(*frame);
    frame->set_modal_boxes(false);
    frame->attach(*d);
    frame->resize(1100, 800);
    frame->show();
    frame->run_line(std::string("path \"") + TAV_EXAMPLES_SRC + "/demo\"");
    frame->run_line(std::string("load ") + TAV_EXAMPLES_OUT + "/demo.x12");
    QCoreApplication::processEvents();
  }
  ~Rig() {
    frame->config().save_on_exit = false;
    frame.reset();
    d.reset();
  }
  std::string last() const { return frame->sent_lines().back(); }
  QTemporaryDir dir;
  std::unique_ptr<MainFrame> frame;
  std::unique_ptr<Debugger> d;
};

// The centre of a character cell of a line view.
QPoint cell(LineView* v, int line, int column) { return v->cell_rect(line, column, 1).center(); }

// The item of that name among the children of `parent` (the top level when null).
QTreeWidgetItem* named(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& name) {
  const int n = parent ? parent->childCount() : tree->topLevelItemCount();
  for (int i = 0; i < n; ++i) {
    QTreeWidgetItem* item = parent ? parent->child(i) : tree->topLevelItem(i);
    if (item->text(0) == name) return item;
  }
  return nullptr;
}

// The action of a menu or of its submenus by its text.
QAction* item_of(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
    if (a->menu())
      if (QAction* s = item_of(a->menu(), text)) return s;
  }
  return nullptr;
}

QStringList texts(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    out << a->text();
    if (a->menu())
      for (QAction* s : a->menu()->actions()) out << "  " + s->text();
  }
  return out;
}

// Works the next modal dialog once it shows: `fill` sets its fields, then OK.
void answer(std::function<void(QDialog*)> fill, int tries = 200) {
  QTimer::singleShot(tries < 200 ? 10 : 0, [fill, tries] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      if (tries > 0) answer(fill, tries - 1);
      return;
    }
    fill(dialog);
    if (auto* box = dialog->findChild<QDialogButtonBox*>()) box->button(QDialogButtonBox::Ok)->click();
    if (dialog->isVisible()) dialog->reject();  // refused: the test sees no command
  });
}

// A field of a dialog as the user reads it.
QString field(QDialog* d, const char* name) {
  if (auto* e = d->findChild<QLineEdit*>(name)) return e->text();
  if (auto* c = d->findChild<QComboBox*>(name)) return c->currentText();
  if (auto* s = d->findChild<QSpinBox*>(name)) return s->text();
  if (auto* b = d->findChild<QCheckBox*>(name)) return b->isChecked() ? "on" : "off";
  return "?";
}

}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void code_address_click_sets_break_or_watch() {
    Rig rig;
    if (!rig.frame->view_widget(kCmdShowDisasm)) rig.frame->dispatch(kCmdShowDisasm);
    auto* code = dynamic_cast<CodeView*>(rig.frame->view_widget(kCmdShowDisasm));
    QVERIFY(code && code->shown().size() > 3);
    LineView* v = code->lines();
    char want[32];
    std::snprintf(want, sizeof want, "break @0x%x", code->shown()[1].address);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell(v, 1, 2));
    QCOMPARE(rig.last(), std::string(want));
    QVERIFY(code_event_at(rig.d->events, code->shown()[1].address));
    std::snprintf(want, sizeof want, "watch @0x%x", code->shown()[2].address);
    QTest::keyPress(v, Qt::Key_W);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell(v, 2, 0));
    QTest::keyRelease(v, Qt::Key_W);
    QCOMPARE(rig.last(), std::string(want));
    // On an address that has an event, Shift switches it off.
    std::snprintf(want, sizeof want, "break /s %d", code_event_at(rig.d->events, code->shown()[1].address)->number);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell(v, 1, 3));
    QCOMPARE(rig.last(), std::string(want));
    // Keys run the target.
    const std::size_t before = rig.frame->sent_lines().size();
    QTest::keyClick(v, Qt::Key_I);
    QCOMPARE(rig.last(), std::string("istep"));
    QTest::keyClick(v, Qt::Key_A);  // ignored
    QCOMPARE(rig.frame->sent_lines().size(), before + 1);
  }

  void list_views_open_files_functions_and_act_on_events() {
    Rig rig;
    rig.frame->run_line("break gcd");
    auto list = [&](int id) {
      rig.frame->dispatch(id);
      return dynamic_cast<ListView*>(rig.frame->view_widget(id));
    };
    auto index_of = [](ListView* v, const QString& text) {
      return static_cast<int>(v->text().split('\n').indexOf(text));
    };
    ListView* files = list(640);
    QVERIFY(files && files->edit()->objectName() == "LISTWIN");
    QCOMPARE(files->text(), QString("main.c\nmathx.c\ntypes.c\n"));
    files->activate(index_of(files, "mathx.c"));
    QVERIFY(rig.frame->source_view("mathx.c"));
    ListView* functions = list(650);
    const int gcd = index_of(functions, "  gcd()  0x7fc1ea");
    QVERIFY2(gcd > 0, qPrintable(functions->text()));
    functions->activate(gcd);
    QVERIFY(rig.frame->source_view("mathx.c")->model().line_count() > 0);
    ListView* events = list(621);
    QVERIFY2(events->text().startsWith("(1)"), qPrintable(events->text()));
    events->event_action(0, 0);
    QCOMPARE(rig.last(), std::string("break /s 1"));
    QVERIFY(events->text().contains("(off)"));  // the list follows the event table
    events->event_action(0, 1);
    QCOMPARE(rig.last(), std::string("del /e 1"));
    QCOMPARE(events->text(), QString());
    rig.frame->dispatch(621);  // a second time brings the same view forward
    QCOMPARE(rig.frame->view_widget(621), static_cast<QWidget*>(events));
  }

  void symbol_lists_map_and_source_browsers_go_where_they_show() {
    Rig rig;
    for (int id : {130, 625, 670, 671, 672}) QVERIFY2(rig.frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
    auto list = [&](int id) {
      rig.frame->dispatch(id);
      return dynamic_cast<ListView*>(rig.frame->view_widget(id));
    };
    // The line whose text holds `part`, -1 when none.
    auto line_of = [](ListView* v, const QString& part) {
      const QStringList lines = v->text().split('\n');
      for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(part)) return i;
      return -1;
    };
    auto hex = [](std::uint32_t a) { return QString("%1").arg(a, 6, 16, QChar('0')); };
    const std::uint32_t main_at = *address_of(*rig.d, "main"), stext = *address_of(*rig.d, "__stext");
    const std::uint32_t g_int = rig.d->program.symbols().rensym("_g_int")->value();

    ListView* by_address = list(671);
    QVERIFY(by_address && by_address->edit()->objectName() == "SYMBWIN");
    QVERIFY2(line_of(by_address, hex(main_at) + "  Func  _main  (main.c)") >= 0, qPrintable(by_address->text()));
    {  // a real double click on the line
      by_address->edit()->setTextCursor(QTextCursor(by_address->edit()->document()->findBlockByNumber(line_of(by_address, " _gcd "))));
      by_address->edit()->ensureCursorVisible();
      QTest::mouseDClick(by_address->edit()->viewport(), Qt::LeftButton, {}, by_address->edit()->cursorRect().center());
    }
    QVERIFY(rig.frame->source_view("mathx.c"));
    by_address->activate(line_of(by_address, " __stext"));
    QCOMPARE(dynamic_cast<CodeView*>(rig.frame->view_widget(kCmdShowDisasm))->first_address(), stext);
    by_address->activate(line_of(by_address, " _g_int"));
    QCOMPARE(rig.frame->memory_views().back()->model().start, g_int);
    // By name: the same symbols, "_add" before "_main" before "_scale".
    ListView* by_name = list(672);
    QVERIFY(by_name && by_name != by_address);
    QCOMPARE(by_name->text().split('\n').size(), by_address->text().split('\n').size());
    QVERIFY(line_of(by_name, " _add ") < line_of(by_name, " _main ") && line_of(by_name, " _main ") < line_of(by_name, " _scale "));

    ListView* map = list(130);
    QVERIFY(map && map->edit()->objectName() == "LISTWIN");
    const int text = line_of(map, ".text");
    QVERIFY2(text > 0 && map->text().split('\n')[text].contains("Code") &&
                 map->text().split('\n')[text].contains("main.c, mathx.c, types.c"),
             qPrintable(map->text()));
    const int data = line_of(map, ".data ");
    QVERIFY2(data > 0, qPrintable(map->text()));
    map->activate(data);
    QCOMPARE(rig.frame->memory_views().back()->model().start, rig.d->program.symbols().rensym("__data_start")->value());

    // Symbols: typing narrows the list; OK opens the function's source.
    rig.frame->source_view("mathx.c")->parentWidget()->close();
    QStringList offered;
    answer([&](QDialog* d) {
      QCOMPARE(d->objectName(), QString("SYMBOLSEL"));
      auto* filter = d->findChild<QLineEdit*>("filter");
      auto* symbols = d->findChild<QListWidget*>("symbols");
      // Down in the name field moves the choice through the list.
      filter->setText("_g_");
      QTest::keyClick(filter, Qt::Key_Down);
      QCOMPARE(symbols->currentRow(), 1);
      filter->setText("FACT");
      for (int i = 0; i < symbols->count(); ++i) offered << symbols->item(i)->text();
    });
    rig.frame->dispatch(670);
    QCOMPARE(offered.size(), 1);
    QVERIFY2(offered[0].endsWith("_factorial  (mathx.c)"), qPrintable(offered[0]));
    QVERIFY(rig.frame->source_view("mathx.c"));

    // Any Source: a file of the program opens under its own name; any other file too.
    for (const char* name : {"main.c", "demo.h"}) {
      const QString path = QString(TAV_EXAMPLES_SRC) + "/demo/" + name;
      QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog && dialog->objectName() == "ANYSOURCE");
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
      });
      rig.frame->dispatch(625);
      const std::string opened = name == std::string("main.c") ? "main.c" : path.toStdString();
      QVERIFY2(rig.frame->source_view(opened) && rig.frame->source_view(opened)->model().line_count() > 5, name);
    }
  }

  void event_dialogs_show_the_event_and_run_its_command() {
    Rig rig;
    rig.frame->run_line("break /C:2 main.c:15 {eval g_int}");
    rig.frame->open_source("main.c", 15);
    LineView* src = rig.frame->source_view("main.c")->lines();
    const std::uint32_t at = *address_of(*rig.d, "gcd") + 2;
    rig.frame->open_code_memory(at);
    LineView* mem = rig.frame->code_memory_views().back()->lines();
    char address[16];
    std::snprintf(address, sizeof address, "0x%x", at);
    using Fields = std::vector<std::pair<const char*, QString>>;
    struct Case {
      std::function<void()> open;
      const char* dialog;
      Fields shown;
      Fields typed;
      std::string want;  // the last line run; empty: the dialog refuses the fields
    } cases[] = {
        // Ctrl and Shift on the margin of a line with an event: its edit dialog.
        {[&] { QTest::mouseClick(src->viewport(), Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier, cell(src, 14, 1)); },
         "BKPTEDIT",
         {{"type", "Break"}, {"place", "File:Line"}, {"where", "main.c"}, {"first", "15"}, {"last", "none"},
          {"count", "2"}, {"commands", "eval g_int"}, {"active", "on"}},
         {{"count", "5"}, {"condition", "g_int > 1"}},
         "break /C:5 main.c:15 {if (g_int > 1) {eval g_int}}"},
        {[&] { rig.frame->dispatch(kCmdDataEvent); }, "BKPTDEDIT", {{"where", ""}, {"access", "Read or Write"}, {"size", "Whole variable"}},
         {{"where", "g_int"}, {"access", "Write"}, {"size", "Word"}}, "dbreak /T:w *(unsigned short*)&g_int"},
        {[&] { rig.frame->dispatch(kCmdCodeEvent); }, "BKPTEDIT", {{"place", "Function"}, {"count", "1"}},
         {{"where", "gcd"}, {"type", "Watch"}}, "watch gcd()"},
        {[&] { rig.frame->dispatch(kCmdCodeEvent); }, "BKPTEDIT", {}, {{"where", "ma in"}}, ""},
        // On the address of a code memory view line with an event.
        {[&] {
           QTest::mouseClick(mem->viewport(), Qt::LeftButton, {}, cell(mem, 0, 1));
           QTest::mouseClick(mem->viewport(), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, cell(mem, 0, 1));
         },
         "BKPTEDIT", {{"place", "Address"}, {"where", address}, {"active", "on"}}, {{"active", "off"}},
         "break /s 4"},  // the fourth event made here
    };
    for (const Case& c : cases) {
      QString seen;
      answer([&](QDialog* d) {
        seen = d->objectName();
        for (const auto& [name, value] : c.shown) seen += QString(" %1=%2").arg(name, field(d, name) == value ? "ok" : field(d, name));
        for (const auto& [name, value] : c.typed) {
          if (auto* e = d->findChild<QLineEdit*>(name)) e->setText(value);
          if (auto* b = d->findChild<QComboBox*>(name)) b->setCurrentText(value);
          if (auto* s = d->findChild<QSpinBox*>(name)) s->setValue(value.toInt());
          if (auto* b = d->findChild<QCheckBox*>(name)) b->setChecked(value == "on");
        }
      });
      const std::size_t before = rig.frame->sent_lines().size();
      c.open();
      QString want = c.dialog;
      for (const auto& [name, value] : c.shown) want += QString(" %1=ok").arg(name);
      QCOMPARE(seen, want);
      if (c.want.empty()) {
        QCOMPARE(rig.frame->sent_lines().size(), before);
        QVERIFY(rig.frame->messages().back().find("Illegal function name") != std::string::npos);
      } else {
        QCOMPARE(rig.last(), c.want);
      }
    }
    QVERIFY(!code_event_at(rig.d->events, at)->active);
  }

  void code_memory_view_starts_anywhere() {
    Rig rig;
    const std::uint32_t entry = *address_of(*rig.d, "main");
    rig.frame->show_code(entry + 1);
    auto* disasm = dynamic_cast<CodeView*>(rig.frame->view_widget(kCmdShowDisasm));
    QVERIFY(disasm && disasm->shown().size() > 4 && disasm->first_address() == entry);
    // Browse > Memory asks for the address and the kind.
    answer([](QDialog* d) {
      d->findChild<QLineEdit*>("address")->setText("main");
      d->findChild<QComboBox*>("kind")->setCurrentText("Code");
    });
    rig.frame->dispatch(360);
    QCOMPARE(rig.frame->code_memory_views().size(), std::size_t(1));
    CodeView* mem = rig.frame->code_memory_views().back();
    QCOMPARE(mem->first_address(), entry);
    QStringList strip;
    for (QAction* a : mem->findChild<QMenuBar*>("TAVMEMCODE")->actions()) strip << a->text();
    QCOMPARE(strip, (QStringList{"Address", "Dump"}));
    // From the second instruction on, the lines are those of the disassembly view.
    const std::uint32_t second = disasm->shown()[1].address;
    mem->show_address(second);
    for (std::size_t i = 0; i < 3; ++i) QCOMPARE(mem->shown().at(i).text(), disasm->shown().at(i + 1).text());
    char want[48];
    std::snprintf(want, sizeof want, "%06x ", second);
    QVERIFY(mem->text().rfind(want, 0) == 0);
    // One line down starts at the second line; a PC elsewhere does not move it.
    const std::uint32_t third = mem->shown()[1].address;
    mem->lines()->verticalScrollBar()->setValue(1);
    QCOMPARE(mem->first_address(), third);
    rig.frame->run_line("istep");
    QCOMPARE(mem->first_address(), third);
    std::snprintf(want, sizeof want, "break @0x%x", third);
    QTest::mouseClick(mem->lines()->viewport(), Qt::LeftButton, {}, cell(mem->lines(), 0, 3));
    QCOMPARE(rig.last(), std::string(want));
    QCOMPARE(mem->shown()[0].event, EventMark::On);
    // Memory written by a command shows at once.
    std::snprintf(want, sizeof want, "mm /b 0x%x 0xa7", third);
    rig.frame->run_line(want);
    QVERIFY(mem->shown()[0].instruction.rfind("nop", 0) == 0);
  }

  void source_line_number_double_click() {
    Rig rig;
    rig.frame->open_source("main.c", 15);
    SourceView* src = rig.frame->source_view("main.c");
    QVERIFY(src && src->model().line_count() > 30);
    LineView* v = src->lines();
    struct Case {
      int line;
      Qt::KeyboardModifiers mods;
      bool w;
      const char* want;
    } cases[] = {
        {15, {}, false, "break main.c:15"},
        {16, {}, true, "watch main.c:16"},
        {15, {}, false, "break /s 1"},  // the line's breakpoint goes off, no second one
        {19, Qt::ControlModifier, false, "go main.c:19"},
    };
    for (const Case& c : cases) {
      if (c.w) QTest::keyPress(v, Qt::Key_W);
      QTest::mouseDClick(v->viewport(), Qt::LeftButton, c.mods, cell(v, c.line - 1, 1));
      if (c.w) QTest::keyRelease(v, Qt::Key_W);
      QVERIFY2(rig.last() == c.want, (rig.last() + " for " + c.want).c_str());
    }
    const std::size_t before = rig.frame->sent_lines().size();
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell(v, 1, 1));  // no code on line 2
    QCOMPARE(rig.frame->sent_lines().size(), before);
    QCOMPARE(src->model().current_line(*rig.d), 19u);
  }

  void data_unit_edit_writes_it() {
    Rig rig;
    const std::uint32_t at = *address_of(*rig.d, "g_small");
    rig.frame->open_data_memory(at);
    MemoryView* mem = rig.frame->memory_views().back();
    LineView* v = mem->lines();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell(v, 0, 7));
    QVERIFY(mem->editor() && mem->editor()->isVisible());
    QTest::keyClicks(mem->editor(), "5a");
    QTest::keyClick(mem->editor(), Qt::Key_Return);
    char want[48];
    std::snprintf(want, sizeof want, "mm /b 0x%x 0x5a", at);
    QCOMPARE(rig.last(), std::string(want));
    QCOMPARE(int(rig.d->memory.ReadByte(at)), 0x5a);
    // The view shows the written value.
    QVERIFY(mem->model().plain(rig.d->memory, 1).at(0).substr(7, 2) == "5a");
  }

  void monitor_hexadecimal_reaches_every_member() {
    Rig rig;
    rig.frame->run_line("monit g_rec");
    auto* mon = dynamic_cast<MonitorTree*>(rig.frame->view_widget(kCmdShowMonitors));
    QVERIFY(mon);
    QTreeWidgetItem* top = mon->tree()->topLevelItem(0);
    QVERIFY(top && top->childCount() >= 5);
    QMenu* popup = mon->popup_for(0);
    QAction* hex = nullptr;
    for (QAction* a : popup->actions())
      if (a->menu())
        for (QAction* s : a->menu()->actions())
          if (s->text() == "&Hexadecimal") hex = s;
    QVERIFY(hex);
    hex->trigger();
    top = mon->tree()->topLevelItem(0);
    int leaves = 0;
    std::function<void(QTreeWidgetItem*)> check = [&](QTreeWidgetItem* item) {
      if (item->childCount() == 0) {
        ++leaves;
        const QString value = item->text(1);
        QVERIFY2(value.startsWith("0x") || value.startsWith("@0x"), qPrintable(item->text(0) + "=" + value));
      }
      for (int i = 0; i < item->childCount(); ++i) check(item->child(i));
    };
    check(top);
    QVERIFY(leaves >= 10);
    QCOMPARE(rig.d->monitor_list.list().at(0).letter, 'x');
  }

  void variable_browser_popup_format_status_and_save() {
    Rig rig;
    rig.frame->dispatch(kCmdVarsFunction);
    VariableBrowser* current = rig.frame->variable_browser(kCmdVarsFunction);
    QVERIFY(current && current->tree()->topLevelItemCount() == 1);
    QCOMPARE(current->tree()->topLevelItem(0)->text(0), QString("main()"));
    rig.frame->dispatch(kCmdVarsProgram);
    VariableBrowser* vars = rig.frame->variable_browser(kCmdVarsProgram);
    QVERIFY(vars);
    QCOMPARE(vars->windowTitle(), QString("Application Variables Browser"));
    QTreeWidget* tree = vars->tree();
    QCOMPARE(tree->objectName(), QString("VARTREE"));
    QTreeWidgetItem* types = named(tree, nullptr, "types.c");
    QVERIFY(types);
    QTreeWidgetItem* box = named(tree, types, "g_box");
    QVERIFY(box && box->childCount() == 0);  // read when opened
    box->setExpanded(true);
    QCOMPARE(box->childCount(), 3);

    struct Case {
      const char* item;
      const char* line;
    } cases[] = {{"&Monitor", "monit g_box"}, {"A&ccess Break", "dbreak /T:a g_box"},
                 {"&Read Break", "dbreak /T:r g_box"}, {"&Write Break", "dbreak /T:w g_box"},
                 {"&Evaluate", "eval g_box"}};
    for (const Case& c : cases) {
      item_of(vars->popup_for(box), c.item)->trigger();
      QCOMPARE(rig.last(), std::string(c.line));
    }
    QVERIFY(rig.frame->messages().back().rfind("Evaluate: g_box", 0) == 0);
    QVERIFY(!vars->popup_for(types));  // a file has no popup

    // Hexadecimal on the structure reaches its members, opened or not yet.
    item_of(vars->popup_for(box), "&Hexadecimal")->trigger();
    QCOMPARE(named(tree, box, "colour")->text(2), QString("0x3"));
    QTreeWidgetItem* br = named(tree, box, "br");
    br->setExpanded(true);
    QCOMPARE(named(tree, br, "x")->text(2), QString("0xb"));

    // The format menu reaches the open browsers and is kept for the next.
    rig.frame->dispatch(kCmdVarsFull);
    QVERIFY(!tree->isColumnHidden(3));
    QCOMPARE(profile_read(rig.d->config_file, "Options", "VarFormat", ""), std::string("Full"));
    rig.frame->dispatch(kCmdVarsBrief);
    QVERIFY(tree->isColumnHidden(2) && tree->isColumnHidden(3));
    rig.frame->dispatch(kCmdVarsStandard);

    // Frozen keeps the value an update changed; Auto Refresh shows it.
    QTreeWidgetItem* g_int = named(tree, types, "g_int");
    QCOMPARE(g_int->text(2), QString("-2"));
    item_of(vars->status_menu(), "Frozen")->trigger();
    QCOMPARE(vars->status_menu()->title(), QString("Frozen"));
    QTimer::singleShot(0, vars, [vars] {
      if (auto* dialog = vars->findChild<QInputDialog*>("WINVARUPDATE")) {
        dialog->setTextValue("99");
        dialog->accept();
      }
    });
    item_of(vars->popup_for(g_int), "&Update")->trigger();
    QCOMPARE(rig.last(), std::string("updat g_int=99"));
    QCOMPARE(named(tree, types, "g_int")->text(2), QString("-2"));
    item_of(vars->status_menu(), "Auto Refresh")->trigger();
    QCOMPARE(vars->status_menu()->title(), QString("Auto Refresh"));
    QCOMPARE(named(tree, types, "g_int")->text(2), QString("99"));

    const QString file = rig.dir.path() + "/vars.var";
    QVERIFY(vars->save_to(file));
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = saved.readAll();
    QVERIFY(text.startsWith("\n\t\tApplication Variables Browser\n\n"));
    QVERIFY2(text.contains("\n    br : struct point\n      x : int = 0xb\n"), qPrintable(text));
  }

  void locals_and_globals_views_follow_the_frame() {
    Rig rig;
    rig.frame->run_line("zero /r");  // at the reset vector: no function, the view says so
    rig.frame->dispatch(kCmdShowLocals);
    auto* locals = dynamic_cast<VariableBrowser*>(rig.frame->view_widget(kCmdShowLocals));
    QVERIFY(locals && rig.frame->action(kCmdShowLocals)->isChecked());
    QCOMPARE(locals->tree()->topLevelItemCount(), 1);
    QCOMPARE(locals->tree()->topLevelItem(0)->text(0), QString("Not in a function with debug information"));
    rig.frame->run_line("go main.c:15");
    rig.frame->run_line("step");  // into fib(5)
    rig.frame->run_line("ostep");  // past its entry
    QCOMPARE(locals->objectName(), QString("TAVLOCS"));
    QTreeWidget* tree = locals->tree();
    QCOMPARE(tree->objectName(), QString("LOCSTREE"));
    QCOMPARE(locals->windowTitle(), QString("Locals of fib()"));
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(named(tree, nullptr, "n")->text(2), QString("5"));
    QVERIFY(named(tree, nullptr, "n")->flags() & Qt::ItemIsEnabled);

    // A step that assigns `first` shows its new value in the changed colour.
    for (int i = 0; i < 2; ++i) rig.frame->run_line("ostep");  // to the line after first = fib(n - 1)
    const QColor changed = rig.frame->table_colour(10);
    QCOMPARE(named(tree, nullptr, "first")->text(2), QString("3"));
    QCOMPARE(named(tree, nullptr, "first")->foreground(2).color(), changed);
    QVERIFY(named(tree, nullptr, "n")->foreground(2).color() != changed);
    rig.frame->run_line("istep");  // changes neither: the mark goes
    QCOMPARE(locals->windowTitle(), QString("Locals of fib()"));
    QVERIFY(named(tree, nullptr, "first")->foreground(2).color() != changed);

    rig.frame->dispatch(kCmdShowGlobals);
    auto* globals = dynamic_cast<VariableBrowser*>(rig.frame->view_widget(kCmdShowGlobals));
    QVERIFY(globals && globals->tree()->objectName() == "GLOBSTREE");
    QVERIFY(named(globals->tree(), nullptr, "g_int") && named(globals->tree(), nullptr, "s_round"));

    // Kept in the layout; the menu item closes it again.
    rig.frame->save_configuration();
    QCOMPARE(profile_read(rig.d->config_file, "LayOut", "Locals", "").substr(0, 1), std::string("Y"));
    rig.frame->dispatch(kCmdShowLocals);
    QVERIFY(!rig.frame->view_widget(kCmdShowLocals) && !rig.frame->action(kCmdShowLocals)->isChecked());

    // The vars command opens a browser of the scope and format it names.
    rig.frame->run_line("vars /v types.c");
    VariableBrowser* vars = nullptr;
    for (VariableBrowser* b : rig.frame->findChildren<VariableBrowser*>())
      if (b->windowTitle() == "Variables of types.c") vars = b;
    QVERIFY(vars && vars->tree()->isColumnHidden(3) && !vars->tree()->isColumnHidden(2));
    QCOMPARE(named(vars->tree(), named(vars->tree(), nullptr, "types.c"), "g_int")->text(2), QString("-2"));
  }

  void popups_hold_their_items_and_commands() {
    QWidget parent;
    const PopupSubject s{"g_int", 0x1234, 3, true, "7"};
    struct Case {
      const char* popup;
      QStringList items;
    } cases[] = {
        {"CLINEPOPUP", {"&Set Breakpoint", "&On/Off", "&Delete", "&Edit", "Address &of"}},
        {"BKPTPOPUP", {"&On/Off", "&Delete", "&Edit", "&Show"}},
        {"RBKPTPOPUP", {"&On/Off", "&Delete", "&Edit"}},
        {"FUNCPOPUP", {"&Info"}},
        {"VARPOPUP", {"&Info", "&Evaluate", "&Monitor", "&Update", "A&ccess Break", "&Read Break", "&Write Break",
                      "&Format", "  &Character", "  &Binary", "  &Octal", "  &Decimal", "  &Unsigned", "  &Hexadecimal",
                      "  &String"}},
        {"MONPOPUP", {"Address &of", "&Delete", "Delete &All", "&Format", "  &Address of", "  &Character", "  &Binary",
                      "  &Octal", "  &Decimal", "  &Unsigned", "  &Hexadecimal", "  &String", "&Update"}},
        {"ASMPOPUP", {"Address &of", "&Evaluate as...", "  &Byte", "  &Word", "  &Long", "&Monitor as...", "  &Byte",
                      "  &Word", "  &Long", "&Update as...", "  &Byte", "  &Word", "  &Long", "Set &Breakpoint",
                      "Set &Watchpoint", "Show &Code", "Show &Data"}},
    };
    for (const Case& c : cases) {
      std::unique_ptr<QMenu> menu(build_popup(&parent, c.popup, [](const PopupItem&) {}));
      QCOMPARE(texts(menu.get()), c.items);
    }
    std::unique_ptr<QMenu> lbl(build_popup(&parent, "LBLPOPUP", [](const PopupItem&) {}));
    const QStringList lbl_items = texts(lbl.get());
    for (const char* item : {"Address &of", "&Evaluate as...", "&Monitor as...", "Set &Breakpoint", "Set &Watchpoint",
                             "D&ata Event...", "Show &Code", "Show &Data"})
      QVERIFY2(lbl_items.contains(item), item);

    // Each item with a command line, in each popup.
    std::map<std::string, std::vector<std::string>> commands;
    for (const char* name : {"CLINEPOPUP", "LBLPOPUP", "BKPTPOPUP", "ASMPOPUP", "MONPOPUP", "VARPOPUP"})
      for (const PopupItem& item : popup_items(name))
        if (item.command) commands[name].push_back(popup_command(item, s));
    using V = std::vector<std::string>;
    QCOMPARE(commands["CLINEPOPUP"], (V{"break g_int", "break /s 3", "del /e 3"}));
    QCOMPARE(commands["BKPTPOPUP"], (V{"break /s 3", "del /e 3"}));
    QCOMPARE(commands["VARPOPUP"], (V{"eval g_int", "monit g_int", "updat g_int=7", "dbreak /T:a g_int",
                                      "dbreak /T:r g_int", "dbreak /T:w g_int"}));
    QCOMPARE(commands["MONPOPUP"], (V{"eval &g_int", "updat g_int=7"}));
    QCOMPARE(commands["LBLPOPUP"].size(), std::size_t(18));
    QCOMPARE(commands["LBLPOPUP"].at(0), std::string("eval &g_int"));
    QCOMPARE(commands["LBLPOPUP"].at(9), std::string("dbreak /T:a *(unsigned char*)&g_int"));
    QCOMPARE(commands["LBLPOPUP"].back(), std::string("dbreak /T:w *(unsigned long*)&g_int"));
    QCOMPARE(commands["ASMPOPUP"].at(7), std::string("mm /b g_int 7"));
    QCOMPARE(popup_command(popup_items("RBKPTPOPUP")[0], {"", 0, 4, false, {}}), std::string("break /a 4"));
  }

  void popup_commands_run_against_the_program() {
    // Every command a variable popup produces is one the debugger takes.
    Rig rig;
    const PopupSubject s{"g_int", 0, 0, true, "7"};
    for (const char* name : {"LBLPOPUP", "VARPOPUP", "MONPOPUP"})
      for (const PopupItem& item : popup_items(name)) {
        if (!item.command) continue;
        rig.frame->run_line(popup_command(item, s));
        QVERIFY2(rig.frame->messages().empty(), (std::string(name) + ": " + popup_command(item, s) + " -> " +
                                                 (rig.frame->messages().empty() ? "" : rig.frame->messages().back())).c_str());
      }
  }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
