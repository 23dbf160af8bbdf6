// Saves pictures of the main window's three tabs, for checking the layout by eye:
//   main_window_screenshot DIRECTORY
// Reads the settings of $XDG_CONFIG_HOME like the program; point it at an empty directory for
// the design defaults.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>

#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const QDir directory(QString::fromLocal8Bit(argv[1]));
  TForm1 form;
  form.show();
  const char* names[] = {"main-window.png", "main-window-options.png", "main-window-about.png"};
  for (int tab = 0; tab < 3; ++tab) {
    form.PageControl->setCurrentIndex(tab);
    QApplication::processEvents();
    const QString path = directory.filePath(QString::fromLatin1(names[tab]));
    if (!form.grab().save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
