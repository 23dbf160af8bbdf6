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
      : Form1(std::move(trayShell)), Form2(Form1.Session(), Form1) {
    Form1.SetMessagesWindow(Form2);
    Form2.SetOperationWindows(Form3, Form4);
  }

  TForm1 Form1;
  TForm2 Form2;
  TForm3 Form3;
  TForm4 Form4;
};
