// tav: the debugger's desktop host. "--screenshot FILE" writes a picture of
// the frame once start-up (and its start file) is done, then ends.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/standard_debugger.h"
#include "ext/api/api_binding.h"
#include "ext/loader/extension_loader.h"
#include "kernel/startup.h"
#include "ui/model/program_lookup.h"
#include "ui/qt/main_frame.h"

namespace {

QPixmap banner() {
  QPixmap pm(360, 140);
  pm.fill(QColor(30, 60, 110));
  QPainter p(&pm);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setPixelSize(34);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(0, 18, 360, 50), Qt::AlignCenter, "Tav");
  f.setPixelSize(13);
  f.setBold(false);
  p.setFont(f);
  p.drawText(QRect(0, 72, 360, 50), Qt::AlignCenter, "S12X and XGATE source-level debugger\nversion 0.1");
  return pm;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string screenshot;
  if (auto it = std::find(args.begin(), args.end(), "--screenshot"); it != args.end() && it + 1 != args.end()) {
    screenshot = *(it + 1);
    args.erase(it, it + 2);
  }
  std::string memory;
  if (auto it = std::find(args.begin(), args.end(), "--memory"); it != args.end() && it + 1 != args.end()) {
    memory = *(it + 1);
    args.erase(it, it + 2);
  }
  const bool no_banner = std::find(args.begin(), args.end(), "-b") != args.end();
  const bool minimized = std::find(args.begin(), args.end(), "-m") != args.end();

  QSplashScreen* splash = nullptr;
  if (!no_banner && screenshot.empty()) {
    splash = new QSplashScreen(banner());
    splash->show();
    QTimer::singleShot(2000, splash, [splash] { splash->close(); splash->deleteLater(); });
    app.processEvents();
  }

  tav::qt::MainFrame frame;
  tav::StandardDebugger debugger(frame);
  if (const int code = tav::xgate_startup(debugger, tav::executable_directory())) std::exit(code);
  frame.attach(debugger);
  // Extensions talk to this debugger; found beside tav and on the
  // configuration's extension path, closed when tav ends.
  const std::string program_dir = tav::executable_directory();
  tav::bind_extension_api(&debugger, program_dir + "/tav");
  tav::ExtensionLoader extensions(debugger, program_dir);
  extensions.startup_scan();
  if (minimized)
    frame.showMinimized();
  else
    frame.show();

  tav::startup(debugger, args);
  int result = 0;
  if (!debugger.kernel.ending()) {
    frame.ready();
    if (!memory.empty()) {
      if (const auto at = tav::address_of(debugger, memory)) frame.open_data_memory(*at);
    }
    if (!screenshot.empty()) {
      QTimer::singleShot(1000, &frame, [&frame, &screenshot, &app] {
        frame.grab().save(QString::fromStdString(screenshot));
        app.quit();
      });
    }
    result = app.exec();
  }
  tav::shutdown(debugger);
  extensions.close_all();
  tav::bind_extension_api(nullptr, {});
  return result;
}
