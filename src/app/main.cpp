// SPDX-License-Identifier: MIT
// Vexmira: a notifier for one webmail account.

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/display_choice.h"
#include "app/program_end.h"
#include "app/single_instance.h"
#include "platform/core_dumps.h"
#include "platform/profile_file.h"
#include "ui/components/letter_icons.h"
#include "ui/interface_language.h"
#include "ui/message_boxes.h"
#include "ui/program_windows.h"
#include "vexmira_version.h"

namespace {

// How long a second start waits for the running program to raise its window.
constexpr int kRaiseTimeoutMilliseconds = 5000;

}  // namespace

int main(int argc, char* argv[]) {
  if (!DisableCoreDumps()) std::fprintf(stderr, "Vexmira: core dumps could not be turned off\n");
  const auto commandLine = ReadCommandLine(argc, argv);
  if (const int* exitCode = std::get_if<int>(&commandLine)) return *exitCode;
  const StartOptions& options = std::get<StartOptions>(commandLine);

  if (!std::getenv("QT_QPA_PLATFORM")) {
    const DisplayChoice display = ChooseDisplay(CurrentDisplaySession());
    if (!display.problem.empty()) {
      std::fprintf(stderr, "vexmira: %s\n", display.problem.c_str());
      return 1;
    }
    ::setenv("QT_QPA_PLATFORM", display.platforms.c_str(), 1);
  }
  QApplication app(argc, argv);
  InstallInterfaceLanguage();  // before the first window; the command line above stays English
  // No display name: the platform would append it to every caption ("Messages — ...").
  QGuiApplication::setDesktopFileName(QStringLiteral(VEXMIRA_APP_ID));
  QCoreApplication::setApplicationName(QStringLiteral("Vexmira"));  // the tray item's title on D-Bus

  const auto instance = SingleInstance::ForProgram(QString::fromStdString(win::GetWindowsDirectory()));
  switch (instance->Claim(kRaiseTimeoutMilliseconds)) {
    case SingleInstance::Start::First:
      break;
    case SingleInstance::Start::Raised:
      return 0;
    case SingleInstance::Start::NoAnswer:
      std::fprintf(stderr, "vexmira: Vexmira is already running here but did not answer; try again later\n");
      return 1;
  }
  InstallErrorReports();

  // Created in this order and kept until the end; the main window's close ends the program.
  ProgramWindows windows;
  ProgramEnd programEnd(windows.mainWindow);
  instance->AnswerLaterStarts([&windows] { windows.mainWindow.RestoreFromTray(); });

  // The first showing may report a settings problem in a message box, and a stop signal during
  // it closes the window before the event loop runs: there is nothing left to run it for.
  if (options.minimized) {
    windows.mainWindow.showMinimized();
  } else {
    windows.mainWindow.show();
  }
  // The icon theme is searched once the window is up: the search costs a start a third of its time.
  QTimer::singleShot(0, [] {
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VEXMIRA_APP_ID), NewMailIcon()));
  });
  const int status = windows.mainWindow.Closed() ? 0 : QApplication::exec();
  return status == 0 && windows.mainWindow.SaveFailed() ? 1 : status;
}
