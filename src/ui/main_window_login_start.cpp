// SPDX-License-Identifier: MIT
// The Options tab's "Start at login": the box and the desktop's autostart entry agree.

#include <QCheckBox>
#include <QCoreApplication>
#include <QSignalBlocker>

#include "platform/autostart_entry.h"
#include "ui/main_window.h"
#include "vexmira_version.h"

namespace {

constexpr const char* kAutostartName = "Vexmira";

}  // namespace

// Ticking writes the entry, which runs this program as it is installed now (the loaded setting
// writes it anew, so a program that has moved is found again); clearing removes it. When that
// fails the box goes back, so it never claims what the desktop will not do.
void MainWindow::StartAtLoginToggled() {
  const bool wanted = startAtLoginBox->isChecked();
  try {
    if (wanted) {
      win::WriteAutostartEntry(VEXMIRA_APP_ID, kAutostartName,
                               {QCoreApplication::applicationFilePath().toStdString(), "--minimized"});
    } else {
      win::RemoveAutostartEntry(VEXMIRA_APP_ID);
    }
  } catch (...) {
    const QSignalBlocker quiet(startAtLoginBox);
    startAtLoginBox->setChecked(!wanted);
    throw;
  }
}
