#pragma once
// How the program ends besides the close box: SIGTERM, SIGINT, SIGHUP and the end of the
// desktop session close the main window as the close box does (a running request aborted, the
// settings saved). When that close was refused because the save failed, a further signal ends
// the program anyway; the save is tried once more on the way out, its error going to stderr.

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
