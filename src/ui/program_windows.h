// SPDX-License-Identifier: MIT
#pragma once
// The program's four windows, created in their order and connected to each other. They live as
// long as this object; the program, its tests and its picture tools all start from it.

#include <memory>

#include "ui/main_window.h"
#include "ui/messages_window.h"
#include "ui/preview_window.h"
#include "ui/status_panel.h"

struct ProgramWindows {
  // Without a shell the tray icon uses the desktop's notification area.
  explicit ProgramWindows(std::unique_ptr<TrayShell> trayShell = nullptr)
      : mainWindow(std::move(trayShell)), messagesWindow(mainWindow.Session(), mainWindow) {
    mainWindow.SetMessagesWindow(messagesWindow);
    messagesWindow.SetOperationWindows(statusPanel, previewWindow);
  }

  MainWindow mainWindow;
  MessagesWindow messagesWindow;
  StatusPanel statusPanel;
  PreviewWindow previewWindow;
};
