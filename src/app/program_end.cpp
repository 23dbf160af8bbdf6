// SPDX-License-Identifier: MIT
#include "app/program_end.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <exception>

#include "ui/components/application_errors.h"
#include "ui/main_window.h"

ProgramEnd::ProgramEnd(MainWindow& mainWindow)
    : mainWindow_(mainWindow), signals_([this](int signal) { OnSignal(signal); }) {
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { mainWindow_.close(); });
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { SaveBeforeQuit(); });
}

void ProgramEnd::OnSignal(int signal) {
  if (closeRequested_ && !mainWindow_.Closed()) {
    std::fprintf(stderr, "vexmira: signal %d again, ending\n", signal);
    QCoreApplication::exit(1);
    return;
  }
  closeRequested_ = true;
  SetApplicationErrorReport({});  // stderr
  // Queued: the close may open a message box, which should not run inside the signal's reader.
  QMetaObject::invokeMethod(&mainWindow_, [this] { mainWindow_.close(); }, Qt::QueuedConnection);
}

// Any other way out of the event loop still saves; there is no window left to show an error in.
void ProgramEnd::SaveBeforeQuit() {
  if (mainWindow_.Closed()) return;
  try {
    mainWindow_.SaveSettingsOnClose();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vexmira: %s\n", e.what());
  }
}
