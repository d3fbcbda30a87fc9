// The desktop host as a user drives it: menu items, toolbar buttons and
// function keys produce their command lines, the frame greys what cannot run
// while the target runs, and configuration, session and layout files come
// back as they were written.
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "commands/standard_debugger.h"
#include "kernel/debugger.h"
#include "support/profile.h"
#include "ui/qt/command_window.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/menu_table.h"
#include "ui/qt/text_view.h"

using namespace tav;
using namespace tav::qt;

namespace {

const std::string kDemo = std::string(TAV_EXAMPLES_OUT) + "/demo.x12";

// A frame and its debugger over a configuration directory of their own.
struct Rig {
  explicit Rig(const QString& config_dir, const std::string& ini = {}) {
    qputenv("TAV_CONFIG_DIR", config_dir.toLocal8Bit());
    if (!ini.empty()) {
      FILE* f = std::fopen((config_dir.toStdString() + "/ZUZU12Z.INI").c_str(), "w");
      std::fputs(ini.c_str(), f);
      std::fclose(f);
    }
    frame = std::make_unique<MainFrame>();
    d = std::make_unique<StandardDebugger>(*frame);
    frame->set_modal_boxes(false);
    frame->attach(*d);
    frame->show();
    QCoreApplication::processEvents();
  }
  ~Rig() {
    frame->config().save_on_exit = false;
    frame.reset();  // the views first; the debugger outlives nothing that asks it
    d.reset();
  }
  void load_demo_with_stop() {
    frame->run_line("load " + kDemo);
    frame->run_line("break main.c:31");  // inside main's endless loop
  }
  std::unique_ptr<MainFrame> frame;
  std::unique_ptr<Debugger> d;
};

QString window_text(MainFrame& f) { return f.command_window()->toPlainText(); }

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private Q_SLOTS:
  void menu_items_and_toolbar_buttons_run_their_command_lines() {
    Rig rig(dir_.path());
    rig.load_demo_with_stop();
    // Every menu item with a command line, through its action.
    for (const MenuEntry& e : menu_table()) {
      if (!e.command) continue;
      QAction* a = rig.frame->findChild<QAction*>(QString("cmd%1").arg(e.id));
      QVERIFY2(a && a->isEnabled(), e.text);
      a->trigger();
      QCOMPARE(QString::fromStdString(rig.frame->sent_lines().back()), QString(e.command));
    }
    rig.frame->dispatch(208);
    const auto& sent = rig.frame->sent_lines();
    QCOMPARE(sent[sent.size() - 2], std::string("zero /r"));
    QCOMPARE(sent.back(), std::string("go"));
    // The toolbar's buttons are clicked like a user clicks them.
    auto* toolbar = rig.frame->findChild<QToolBar*>("TOOLBAR");
    QCOMPARE(toolbar->actions().size(), 26);
    const std::pair<int, const char*> buttons[] = {{201, "go"}, {203, "step"}, {204, "istep"}, {205, "ostep"}};
    for (const auto& [id, line] : buttons) {
      QWidget* button = toolbar->widgetForAction(rig.frame->action(id));
      QVERIFY(button);
      QTest::mouseClick(button, Qt::LeftButton);
      QCOMPARE(rig.frame->sent_lines().back(), std::string(line));
    }
    // The view buttons open and close their views.
    QTest::mouseClick(toolbar->widgetForAction(rig.frame->action(310)), Qt::LeftButton);
    QVERIFY(!rig.frame->view(310));
    QVERIFY(!rig.frame->action(310)->isChecked());
    QTest::mouseClick(toolbar->widgetForAction(rig.frame->action(310)), Qt::LeftButton);
    QVERIFY(rig.frame->view(310));
    QVERIFY(rig.frame->findChild<QWidget*>("REGWIN"));
  }

  void cycle_counter_is_edited_in_place() {
    Rig rig(dir_.path());
    rig.d->cpu.counters.time = 1234;
    TextView* regs = rig.frame->view(310);
    regs->refresh();
    QPlainTextEdit* edit = regs->edit();
    QTextBlock line = edit->document()->begin();
    while (line.isValid() && line.text().trimmed() != "Cycles:") line = line.next();
    line = line.next();
    QVERIFY(line.text().startsWith(" 0000001234"));
    // Click on the ninth digit, type three digits: the third wraps to the first.
    QTextCursor cell(line);
    cell.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 9);
    const QPoint at = edit->cursorRect(cell).center() + QPoint(2, 0);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClicks(edit, "561");
    QCOMPARE(rig.d->cpu.counters.time, 1000001256u);
  }

  void function_keys_follow_the_key_bindings() {
    QTemporaryDir dir;
    Rig rig(dir.path(), "[KeyBindings]\n<F5>=201,0,203,0\n<F7>=0,0,0,204\n");
    rig.load_demo_with_stop();
    QVERIFY(rig.frame->action(201)->text().endsWith("\t<F5>"));
    QVERIFY(rig.frame->action(203)->text().endsWith("\t<Ctrl><F5>"));
    QVERIFY(rig.frame->action(204)->text().endsWith("\t<Shift><Ctrl><F7>"));
    QWidget* target = rig.frame->command_window();
    QTest::keyClick(target, Qt::Key_F5);
    QCOMPARE(rig.frame->sent_lines().back(), std::string("go"));
    QTest::keyClick(target, Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(rig.frame->sent_lines().back(), std::string("step"));
    QTest::keyClick(target, Qt::Key_F7, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rig.frame->sent_lines().back(), std::string("istep"));
    const auto count = rig.frame->sent_lines().size();
    QTest::keyClick(target, Qt::Key_F6);  // unbound
    QCOMPARE(rig.frame->sent_lines().size(), count);
    // Rebinding relabels: the old item loses its key.
    rig.frame->bind_key(4, 0, 205);
    QVERIFY(!rig.frame->action(201)->text().contains("<F5>"));
    QVERIFY(rig.frame->action(205)->text().endsWith("\t<F5>"));
  }

  void menus_grey_while_the_target_runs_and_stop_ends_the_run() {
    Rig rig(dir_.path());
    rig.frame->run_line("load " + kDemo);
    MainFrame& f = *rig.frame;
    QVERIFY(!f.action(kCmdStop)->isEnabled());
    // Looked at while "go" runs; the run ends only with Stop, so nothing here may return early.
    std::vector<bool> while_running;
    // The frame pumps events before the run starts too: wait for the run itself.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &f, [&] {
      if (!f.running()) return;
      poll.stop();
      while_running = {f.running(),
                       !f.action(201)->isEnabled(),
                       !f.action(101)->isEnabled(),
                       !f.action(805)->isEnabled(),
                       !f.findChild<QMenu*>("menu&File")->menuAction()->isEnabled(),
                       !f.findChild<QMenu*>("menu&Debug")->menuAction()->isEnabled(),
                       f.action(310)->isEnabled(),
                       !f.run_line("x 1"),  // a second command while one runs is refused
                       f.action(kCmdStop)->isEnabled()};
      f.action(kCmdStop)->trigger();
    });
    poll.start(0);
    QVERIFY(f.run_line("go"));  // main counts forever: only Stop ends it
    QCOMPARE(while_running, std::vector<bool>(9, true));
    QVERIFY(!f.running());
    QVERIFY(f.action(201)->isEnabled());
    QVERIFY(f.findChild<QMenu*>("menu&File")->menuAction()->isEnabled());
    QVERIFY(!f.action(kCmdStop)->isEnabled());
  }

  void status_fields_follow_the_width() {
    Rig rig(dir_.path());
    for (int width : {640, 800, 1001, 1280}) {
      rig.frame->resize(width, 600);
      QCoreApplication::processEvents();
      const int p = (rig.frame->width() - 20 - 120) / 3;
      QCOMPARE(status_field_edges(rig.frame->width()), (std::array<int, 3>{p, 2 * p - 20, 3 * p}));
      QCOMPARE(rig.frame->findChild<QLabel*>("status0")->width(), p);
      QCOMPARE(rig.frame->findChild<QLabel*>("status1")->width(), p - 20);
      QCOMPARE(rig.frame->findChild<QLabel*>("status2")->width(), p + 20);
    }
    QCOMPARE(rig.frame->status_text(0), QString("Command"));
    // Menu help texts show in the status bar.
    QCOMPARE(rig.frame->action(101)->statusTip(), QString(" Load Program "));
    QCOMPARE(rig.frame->action(kCmdStop)->statusTip(), QString(" Stop Program Execution "));
  }

  void command_window_prompt_history_and_clear_rule() {
    Rig rig(dir_.path());
    CommandWindow& w = *rig.frame->command_window();
    w.enter("x 6*7");
    QVERIFY(window_text(*rig.frame).contains("= 42"));
    QVERIFY(window_text(*rig.frame).endsWith("\nTav>"));
    w.enter("Tav>x 5+5");  // a pasted prompt is dropped
    QCOMPARE(rig.frame->sent_lines().back(), std::string("x 5+5"));
    for (int i = 0; i < 21; ++i) w.enter("rem " + std::to_string(i));
    QCOMPARE(w.history().size(), std::size_t(20));
    QCOMPARE(w.history().front(), std::string("rem 20"));
    QCOMPARE(w.history().back(), std::string("rem 1"));
    QTest::keyClick(&w, Qt::Key_Up);
    QTest::keyClick(&w, Qt::Key_Up);
    QVERIFY(w.document()->lastBlock().text() == "Tav>rem 19");
    QTest::keyClick(&w, Qt::Key_Down);
    QVERIFY(w.document()->lastBlock().text() == "Tav>rem 20");
    // Backspace stops at the prompt.
    w.enter("");
    QTest::keyClick(&w, Qt::Key_Backspace);
    QVERIFY(w.document()->lastBlock().text() == "Tav>");
    // 53249 characters since the last clear: the next line clears first.
    const std::string block(1000, 'a');
    for (int i = 0; i < 54; ++i) w.append_output(block + "\n");
    w.append_output("after\n");
    QVERIFY(w.toPlainText().size() < 2000);
    QVERIFY(w.toPlainText().startsWith("after"));
  }

  void output_opens_the_command_window_with_autocmd() {
    QTemporaryDir dir;
    Rig rig(dir.path());
    rig.frame->dispatch(kCmdShowCommand);
    QVERIFY(!rig.frame->command_window());
    rig.frame->run_line("x 1");  // dropped: no window, AUTOCMD off
    QVERIFY(!rig.frame->command_window());
    rig.d->output.open_on_output = true;
    rig.frame->run_line("x 2+2");
    QVERIFY(rig.frame->command_window());
    QVERIFY(window_text(*rig.frame).contains("= 4"));
  }

  void configuration_round_trip() {
    QTemporaryDir dir;
    FrameConfig written;
    {
      Rig rig(dir.path(), "[Options]\nTile=horizontal\n[TavWindow]\nLeft=0\nTop=0\nRight=100\nBottom=100\n");
      QCOMPARE(rig.frame->config().tile, Tile::Horizontal);
      QVERIFY(rig.frame->width() >= 300);  // at least half of the offscreen screen
      FrameConfig& c = rig.frame->config();
      c.keys[4] = {201, 0, 203, 0};
      c.colors[5] = 0x123456;
      c.extra_colors[1] = 0x0000FF;
      c.fonts[2].take(QFont("DejaVu Sans Mono", 11, QFont::Bold, true));
      c.add_recent("/p/one.x12");
      c.add_recent("/p/two.x12");
      rig.frame->dispatch(330);  // close the stack view
      rig.frame->save_configuration();
      written = c;
    }
    FrameConfig read;
    read.read(dir.path().toStdString() + "/ZUZU12Z.INI");
    QCOMPARE(read.keys, written.keys);
    QCOMPARE(read.colors, written.colors);
    QCOMPARE(read.extra_colors, written.extra_colors);
    for (std::size_t i = 0; i < read.fonts.size(); ++i) QCOMPARE(read.fonts[i].text(), written.fonts[i].text());
    QCOMPARE(read.recent, (std::vector<std::string>{"/p/two.x12", "/p/one.x12"}));
    QCOMPARE(read.views, written.views);
    QCOMPARE(read.views["Stack"], 'N');
    QCOMPARE(read.tile, Tile::Horizontal);
    QCOMPARE(read.rects.size(), written.rects.size());
    const QFont font = read.fonts[2].to_qfont();
    QVERIFY(font.bold() && font.italic());
    // Defaults of a file without sections; "x" is cascade.
    FrameConfig fresh;
    const std::string odd = dir.path().toStdString() + "/odd.ini";
    profile_write(odd, "Options", "Tile", "x");
    fresh.read(odd);
    QCOMPARE(fresh.tile, Tile::Cascade);
    QCOMPARE(fresh.default_int_format, 'D');
    QCOMPARE(fresh.keys[0][0], 13001);
  }

  void layout_and_session_round_trips() {
    QTemporaryDir dir;
    Rig rig(dir.path());
    MainFrame& f = *rig.frame;
    const std::string lyt = dir.path().toStdString() + "/x.lyt";
    const std::string ssn = dir.path().toStdString() + "/x.ssn";
    f.dispatch(193);  // free arrangement
    f.view(310)->parentWidget()->setGeometry(30, 40, 300, 200);
    const QRect regs = f.view(310)->parentWidget()->geometry();
    f.run_line("layout " + lyt);
    QCOMPARE(QString::fromStdString(profile_read(lyt, "Options", "Tile", "")), QString("FREE"));
    QCOMPARE(QString::fromStdString(profile_read(lyt, "Windows", "Registers", "")), QString("YES,29,39,330,240"));
    f.dispatch(310);
    f.dispatch(191);
    QVERIFY(!f.view(310));
    f.run_line("layout /l " + lyt);
    QVERIFY(f.view(310));
    QCOMPARE(f.view(310)->parentWidget()->geometry(), regs);
    QVERIFY(f.action(193)->isChecked());

    // A session with a program, events and monitors; its program file gone.
    rig.load_demo_with_stop();
    f.run_line("break /i /C:2 fib {x n}");
    f.run_line("monit /x g_total");
    f.run_line("session " + ssn);
    QCOMPARE(QString::fromStdString(profile_read(ssn, "Events", "2", "")), QString("break /i /C:2 fib {x n}"));
    QCOMPARE(QString::fromStdString(profile_read(ssn, "Monitors", "1", "")), QString("monit /x g_total"));
    profile_write(ssn, "Load", "File", dir.path().toStdString() + "/gone.x12");
    f.dispatch(310);
    f.run_line("del *");
    f.run_line("session /l " + ssn);
    const auto& m = f.messages();  // the loader's error
    QVERIFY(std::any_of(m.begin(), m.end(), [](const std::string& s) { return s.find("gone.x12") != s.npos; }));
    QVERIFY(f.view(310));                            // the windows still come back
    QCOMPARE(f.view(310)->parentWidget()->geometry(), regs);
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
