// Vexmira: a notifier for one webmail account.

#include <QApplication>

#include "app/program_end.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/messages_window.h"
#include "ui/preview_window.h"
#include "ui/status_panel.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
  InstallErrorReports();

  // Created in this order and kept until the end; the main window's close ends the program.
  TForm1 Form1;
  TForm2 Form2(Form1.Session(), Form1);
  TForm3 Form3;
  TForm4 Form4;
  Form1.SetMessagesWindow(Form2);
  Form2.SetOperationWindows(Form3, Form4);
  ProgramEnd programEnd(Form1);

  Form1.show();
  return QApplication::exec();
}
