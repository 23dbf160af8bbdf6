// SPDX-License-Identifier: MIT
// The tray icon on a real desktop, for tray_desktop_check.sh (not a test on its own):
//   tray_desktop_check DIRECTORY
// Puts the new-mail picture in the notification area with a menu like the main window's, prints
// every event the desktop's clicks raise, one a line, saves the open menu with the icon beside
// it as DIRECTORY/tray-menu.png, and ends when "C&lose" is chosen (or after 20 seconds).

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "output_directory.h"
#include "ui/components/letter_icons.h"
#include "ui/components/tray_icon.h"

namespace {

void Print(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

TrayMouseEvent Printer(const char* name) {
  return [name](TrayIcon*, MouseButton button, ShiftState shift, int, int) {
    Print(QStringLiteral("%1 %2 %3").arg(QLatin1String(name)).arg(button).arg(shift));
  };
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir directory = OutputDirectoryArgument(argc, argv);

  QMenu menu;
  QAction* restore = menu.addAction(QStringLiteral("&Restore"));
  menu.setDefaultAction(restore);
  menu.addAction(QStringLiteral("&Check Now"));
  QAction* enabled = menu.addAction(QStringLiteral("&Enabled"));
  enabled->setCheckable(true);
  enabled->setChecked(true);
  QAction* close = menu.addAction(QStringLiteral("C&lose"));
  QObject::connect(restore, &QAction::triggered, [] { Print(QStringLiteral("restore")); });
  QObject::connect(close, &QAction::triggered, &app, &QApplication::quit);
  QObject::connect(&menu, &QMenu::aboutToShow, [&] {
    QTimer::singleShot(300, [&] {
      // The menu with the icon just beside it.
      const QRect area = menu.geometry().adjusted(-40, -40, 40, 40) & menu.screen()->geometry();
      menu.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height())
          .save(directory.filePath(QStringLiteral("tray-menu.png")));
      Print(QStringLiteral("menu shown"));
    });
  });

  TrayIcon tray;
  tray.SetPopupMenu(&menu);
  tray.OnMouseDown = Printer("down");
  tray.OnClick = Printer("click");
  tray.OnMouseUp = Printer("up");
  tray.OnDblClick = [](TrayIcon*) { Print(QStringLiteral("dblclick")); };
  tray.SetIcon(NewMailIcon());
  tray.SetHint(QStringLiteral("1 new message|details"));

  // Until a notification area takes the icon, each change of the hint tries again.
  QTimer retry;
  int tries = 0;
  QObject::connect(&retry, &QTimer::timeout, [&] {
    if (tray.InTray()) {
      retry.stop();
      Print(QStringLiteral("in tray"));
    } else {
      tray.SetHint(QStringLiteral("1 new message (%1)").arg(++tries));
    }
  });
  retry.start(250);
  QTimer::singleShot(20000, &app, &QApplication::quit);
  return QApplication::exec();
}
