// SPDX-License-Identifier: MIT
// The main window in a real notification area, for screenshots.sh (not a test):
//   main_window_tray_screenshot DIRECTORY
// Minimises the window to the tray as soon as the desktop has a notification area, saves the
// screen around the tray menu as DIRECTORY/tray-menu.png when the menu opens, and ends when the
// menu's "C&lose" is chosen (or after 30 seconds). Prints "in tray" and "menu shown" as it goes.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

#include "output_directory.h"
#include "ui/main_window.h"

namespace {

void Print(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir directory = OutputDirectoryArgument(argc, argv);
  MainWindow form;
  form.show();

  QTimer waitForTray;
  QObject::connect(&waitForTray, &QTimer::timeout, [&] {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    waitForTray.stop();
    form.showMinimized();
    Print(form.TrayActive() ? "in tray" : "not in tray");
  });
  waitForTray.start(250);

  QObject::connect(form.trayMenu, &QMenu::aboutToShow, [&] {
    QTimer::singleShot(300, [&] {
      QMenu& menu = *form.trayMenu;
      const QRect area = menu.geometry().adjusted(-40, -40, 40, 40) & menu.screen()->geometry();
      menu.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height())
          .save(directory.filePath(QStringLiteral("tray-menu.png")));
      Print("menu shown");
    });
  });
  QTimer::singleShot(30000, &form, [&] { form.close(); });
  return QApplication::exec();
}
