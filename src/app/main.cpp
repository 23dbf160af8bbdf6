// Vexmira: a notifier for one webmail account.

#include <QApplication>

#include "app/program_end.h"
#include "ui/message_boxes.h"
#include "ui/program_windows.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // No display name: the platform would append it to every caption ("Messages — ...").
  InstallErrorReports();

  // Created in this order and kept until the end; the main window's close ends the program.
  ProgramWindows windows;
  ProgramEnd programEnd(windows.mainWindow);

  windows.mainWindow.show();
  return QApplication::exec();
}
