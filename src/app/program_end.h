// SPDX-License-Identifier: MIT
#pragma once
// How the program ends besides the close box: SIGTERM, SIGINT, SIGHUP and the end of the
// desktop session close the main window as the close box does (a running request aborted, the
// settings saved once). After a signal nobody may be there to answer a message box, so errors
// go to stderr from then on, the save's among them; the close ends the program either way. A
// further signal while that close still waits (for a keyring that is slow to answer) ends the
// program at once.

#include <QObject>

#include "platform/stop_signals.h"

class QSessionManager;
class MainWindow;

class ProgramEnd : public QObject {
 public:
  explicit ProgramEnd(MainWindow& mainWindow);

 private:
  void OnSignal(int signal);
  void SaveBeforeQuit();

  MainWindow& mainWindow_;
  StopSignals signals_;
  bool closeRequested_ = false;
};
