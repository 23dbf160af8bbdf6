// SPDX-License-Identifier: MIT
#pragma once
// The program's four windows over a private configuration directory, and the modal windows
// answered by the test.

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "modal_answerer.h"
#include "settings/temp_directory.h"
#include "ui/check_list_box.h"
#include "ui/control_look.h"
#include "ui/minutes_spin_box.h"
#include "ui/program_windows.h"
#include "ui_components/recording_tray_shell.h"

struct MainWindowTest : ::testing::Test {
  TempDirectory config;
  ModalAnswerer answerer;
  RecordingTrayState tray;  // the notification area of OnTrayDesktop(); outlives the windows
  const RecordingTrayShell* trayShell = nullptr;
  std::unique_ptr<ProgramWindows> windows;
  MainWindow* form = nullptr;
  MessagesWindow* messages = nullptr;
  StatusPanel* status = nullptr;
  PreviewWindow* preview = nullptr;

  void SetUp() override { UseConfigDirectory(config.Path()); }
  void UseConfigDirectory(const std::string& path) { ::setenv("XDG_CONFIG_HOME", path.c_str(), 1); }
  std::string SettingsFile() const { return config.File("vexmira.ini"); }
  void WriteSettings(const std::string& data) { WriteFile(SettingsFile(), "[DATA]\n" + data); }

  // A notification area that takes the icon (the offscreen platform has none), for Create().
  std::unique_ptr<TrayShell> OnTrayDesktop() {
    auto shell = std::make_unique<RecordingTrayShell>(tray);
    trayShell = shell.get();
    return shell;
  }

  // The windows in the program's order; shown, which loads the settings. Without a shell the
  // tray icon uses the desktop's notification area, which the offscreen platform lacks.
  void Create(std::unique_ptr<TrayShell> shell = nullptr) {
    windows = std::make_unique<ProgramWindows>(std::move(shell));
    form = &windows->mainWindow;
    messages = &windows->messagesWindow;
    status = &windows->statusPanel;
    preview = &windows->previewWindow;
  }
  void Open(std::unique_ptr<TrayShell> shell = nullptr) {
    Create(std::move(shell));
    form->show();
  }
  // The user's minimise, and what follows it once it has ended.
  void Minimise() {
    form->showMinimized();
    QCoreApplication::processEvents();
  }
  void Activate() {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  }

  QStringList MessageLines() const {
    QStringList lines;
    for (int i = 0; i < messages->senders->count(); ++i) lines << messages->senders->item(i)->text();
    return lines;
  }
  const MailboxState& State() { return form->Session().State; }
};

// Whether a text field shows the grey of disabled fields.
inline bool LooksGrey(QWidget* field) {
  const QImage image = field->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2) == kDisabledFieldColour;
}

inline constexpr int kStillRunning = 77;

// Runs the application's event loop as the program does; `step` runs first, from within it.
// Returns whether the program ended (its main window's close quits the loop) before `ms` had
// passed after the step.
inline bool ProgramEndsAfter(const std::function<void()>& step, int ms) {
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(kStillRunning); });
  QTimer::singleShot(0, &limit, [&] {
    step();
    limit.start(ms);
  });
  return QApplication::exec() != kStillRunning;
}
