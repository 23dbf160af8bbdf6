#pragma once
// A main window with its Messages window over a private configuration directory, and the
// modal windows answered by the test.

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QTest>

#include <memory>

#include "modal_answerer.h"
#include "settings/temp_directory.h"
#include "ui/control_look.h"
#include "ui/main_window.h"
#include "ui/messages_window.h"

struct MainWindowTest : ::testing::Test {
  TempDirectory config;
  ModalAnswerer answerer;
  std::unique_ptr<TForm2> messages;
  std::unique_ptr<TForm1> form;

  void SetUp() override { UseConfigDirectory(config.Path()); }
  void UseConfigDirectory(const std::string& path) { ::setenv("XDG_CONFIG_HOME", path.c_str(), 1); }
  std::string SettingsFile() const { return config.File("vexmira.ini"); }
  void WriteSettings(const std::string& data) { WriteFile(SettingsFile(), "[DATA]\n" + data); }

  // The windows in the program's order; shown, which loads the settings.
  void Create() {
    form = std::make_unique<TForm1>();
    messages = std::make_unique<TForm2>();
    form->SetMessagesWindow(*messages);
  }
  void Open() {
    Create();
    form->show();
  }
  void Activate() {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  QStringList MessageLines() const {
    QStringList lines;
    for (int i = 0; i < messages->ListBox1->count(); ++i) lines << messages->ListBox1->item(i)->text();
    return lines;
  }
  const MailboxState& State() { return form->Session().State; }
};

// Whether a text field shows the grey of disabled fields.
inline bool LooksGrey(QWidget* field) {
  const QImage image = field->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2) == kDisabledFieldColour;
}
