// SPDX-License-Identifier: MIT
// The yardstick for the program's start: a bare Qt window of the main window's size with a tray
// icon, nothing else. bench/start_compare.py starts it beside the program.

#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  window.setFixedSize(342, 200);
  QPixmap picture(16, 16);
  picture.fill(Qt::darkBlue);
  QSystemTrayIcon icon{QIcon(picture)};
  icon.show();
  window.show();
  return QApplication::exec();
}
