// SPDX-License-Identifier: MIT
// Saves pictures of the main window's three tabs, for checking the layout by eye; the About tab
// once its credits have scrolled into view:
//   main_window_screenshot DIRECTORY
// Reads the settings of $XDG_CONFIG_HOME like the program; point it at an empty directory for
// the design defaults.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>

#include "output_directory.h"
#include "ui/components/credits_panel.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir directory = OutputDirectoryArgument(argc, argv);
  MainWindow form;
  form.show();
  const char* names[] = {"main-window.png", "main-window-options.png", "about-tab.png"};
  for (int tab = 0; tab < 3; ++tab) {
    form.tabs->setCurrentIndex(tab);
    QApplication::processEvents();
    // The version line near the top with the credits below it, as the panel's own timer runs.
    const int creditsInView = 7 * form.creditsPanel->LineHeight();
    while (form.creditsPanel->Active() && form.creditsPanel->Offset() < creditsInView)
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const QString path = directory.filePath(QString::fromLatin1(names[tab]));
    if (!form.grab().save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
