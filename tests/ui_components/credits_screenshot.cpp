// SPDX-License-Identifier: MIT
// Saves pictures of the About tab's credits panel at a few points of its scroll, for checking
// by eye (not a test):   credits_screenshot DIRECTORY

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

#include "output_directory.h"
#include "ui/components/about_credits.h"
#include "ui/components/credits_panel.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QDir directory = OutputDirectoryArgument(argc, argv);
  QWidget tab;
  tab.resize(326, 146);
  CreditsPanel panel(&tab);
  SetUpAboutCredits(panel);
  panel.move(8, 46);
  tab.show();
  panel.SetActive(true);
  const int h = panel.LineHeight();
  // The version line rising, the version at the top with the credits below, the credits leaving.
  for (int offset : {3 * h + 6, 7 * h, 9 * h + 5}) {
    while (panel.Offset() < offset) panel.ScrollStep();
    QApplication::processEvents();
    const QString path = directory.filePath(QStringLiteral("credits-panel-%1.png").arg(offset));
    if (!tab.grab(panel.geometry().adjusted(-8, -8, 8, 8)).save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
