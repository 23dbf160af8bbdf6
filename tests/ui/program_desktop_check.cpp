// SPDX-License-Identifier: MIT
// The program's windows on a real desktop, for program_desktop_check.sh (not a test on its own):
//   program_desktop_check
// Opens the Messages window from the main window with the status panel over it and prints both
// window ids ("messages ID status ID"); after 4 seconds closes them, goes to the tray, opens a
// box and prints "box open". It ends when the tray menu's Close is chosen (exit code 0), or with
// code 3 after 25 seconds.

#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "ui/message_boxes.h"
#include "ui/program_windows.h"

namespace {

void Print(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  InstallErrorReports();
  ProgramWindows windows;
  MainWindow& mainWindow = windows.mainWindow;
  MessagesWindow& messagesWindow = windows.messagesWindow;
  mainWindow.show();

  QTimer::singleShot(1000, &mainWindow, [&] {
    QTimer::singleShot(500, &messagesWindow, [&] {
      messagesWindow.ShowStatus("Retrieving mail");
      Print(QStringLiteral("messages %1 status %2").arg(messagesWindow.winId()).arg(windows.statusPanel.winId()));
      QTimer::singleShot(4000, &messagesWindow, [&] {
        messagesWindow.HideStatus();
        messagesWindow.accept();
      });
    });
    mainWindow.ShowMessagesWindow();
    mainWindow.showMinimized();
    QTimer::singleShot(1500, &mainWindow, [&] {
      Print(mainWindow.TrayActive() ? QStringLiteral("in tray") : QStringLiteral("not in tray"));
      QTimer::singleShot(300, [] { Print(QStringLiteral("box open")); });
      ShowMessage(QStringLiteral("A box in front of the tray"));
    });
  });
  QTimer::singleShot(25000, &app, [] { QCoreApplication::exit(3); });
  return QApplication::exec();
}
