// SPDX-License-Identifier: MIT
// Checks from the tray and the timer, and the new-mail sound, through a scripted proxy on
// loopback: what reaches the user, and how the program ends from the tray.

#include <QAction>
#include <QCheckBox>
#include <QTimer>

#include <cstdint>
#include <fstream>

#include "main_window_check_fixture.h"
#include "session/settings.h"
#include "settings_file.h"
#include "ui/filename_edit.h"

using httptest::Hold;
using httptest::Pause;
using httptest::Send;

namespace {

std::string LittleEndian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

// A tenth of a second of silence: 8 kHz, 16-bit mono PCM.
std::string SilentWave() {
  const std::string format = LittleEndian(1, 2) + LittleEndian(1, 2) + LittleEndian(8000, 4) +
                             LittleEndian(16000, 4) + LittleEndian(2, 2) + LittleEndian(16, 2);
  const std::string samples(1600, '\0');
  const std::string body = "WAVE" + ("fmt " + LittleEndian(16, 4) + format) +
                           ("data" + LittleEndian(samples.size(), 4) + samples);
  return "RIFF" + LittleEndian(body.size(), 4) + body;
}

struct MainWindowTrayCheck : MainWindowCheck {
  std::string WriteSound(const char* name, const std::string& content) {
    const std::string path = config.File(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  void PlaySound(const std::string& path) {
    form->playSoundBox->setChecked(true);
    form->soundFileEdit->SetFileName(QString::fromStdString(path));
  }
  // A tick of the automatic-check timer, without waiting minutes for it.
  void Tick() { QMetaObject::invokeMethod(form->autoCheckTimer, "timeout"); }
};

}  // namespace

// In the tray the result goes to the icon and the sound only: no box, no Messages window.
TEST_F(MainWindowTrayCheck, ACheckInTheTrayShowsNothingButThePictureTheHintAndTheSound) {
  OpenWithProxy({{Send(MailboxPage(2))}, {Send(Ok("bye"))}}, OnTrayDesktop());
  const std::string sound = WriteSound("new.wav", SilentWave());
  PlaySound(sound);
  form->showHeadersBox->setChecked(true);
  Minimise();
  ASSERT_TRUE(form->TrayActive());

  form->checkNowAction->trigger();
  EXPECT_TRUE(answerer.seen.empty());
  EXPECT_TRUE(form->isHidden());
  EXPECT_EQ(server->Requests().size(), 2u);
  EXPECT_EQ(tray.Last().command, RecordingTrayState::Modify);
  EXPECT_EQ(tray.Last().tip, kTwoNewMails);
  EXPECT_EQ(tray.Last().iconKey, form->trayIcon.Icons().Icon(kIconNewMail).cacheKey());
  EXPECT_TRUE(form->newMailSound.IsOpen());
  EXPECT_EQ(form->newMailSound.FileName(), sound);
  EXPECT_TRUE(AtRest());
  EXPECT_TRUE(form->checkNowAction->isEnabled());
}

// The device's error reaches the user through the general error report; the check goes on: its
// result is told, the session logged out, and the controls come to rest.
TEST_F(MainWindowTrayCheck, ASoundFileThatCannotBeOpenedIsShownAndTheCheckGoesOn) {
  OpenWithProxy({{Send(MailboxPage(2))}, {Send(Ok("bye"))}, {Send(MailboxPage(2))}, {Send(Ok("bye"))}});
  PlaySound(WriteSound("good.wav", SilentWave()));
  form->checkButton->click();
  EXPECT_EQ(answerer.Texts(), QStringList{kTwoNewMails});
  EXPECT_TRUE(form->newMailSound.IsOpen());

  const std::string notSound = WriteSound("notes.wav", "These are notes, not a sound.\n");
  PlaySound(notSound);
  form->showHeadersBox->setChecked(true);
  form->checkButton->click();
  ASSERT_EQ(answerer.seen.size(), 3u);
  EXPECT_EQ(answerer.seen[1].text.toStdString(), "The file is not a valid WAVE file: \"" + notSound + "\".");
  EXPECT_EQ(answerer.seen[1].title, "Vexmira 1.6");
  EXPECT_EQ(answerer.seen[2].title, "Messages");
  EXPECT_FALSE(form->newMailSound.IsOpen());  // the earlier sound was closed first
  ASSERT_EQ(server->Requests().size(), 4u);
  EXPECT_TRUE(server->Requests()[3].starts_with("GET http://192.0.2.20/cgi-bin/logout"));
  EXPECT_TRUE(AtRest());
  EXPECT_TRUE(form->checkNowAction->isEnabled());
}

// With the window hidden, the error box is the program's only window: closing it must not end
// the program. The tray's Close does, after saving.
TEST_F(MainWindowTrayCheck, InTheTrayAClosedErrorBoxKeepsTheProgramAndCloseEndsIt) {
  OpenWithProxy({{Send(MailboxPage(2))}, {Send(Ok("bye"))}}, OnTrayDesktop());
  PlaySound(WriteSound("cut.wav", "RIFF"));
  Minimise();
  EXPECT_FALSE(ProgramEndsAfter([&] { form->checkNowAction->trigger(); }, 300));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_NE(answerer.seen[0].text.indexOf("not a valid WAVE file"), -1);
  EXPECT_TRUE(form->isHidden());

  EXPECT_TRUE(ProgramEndsAfter([&] { form->closeAction->trigger(); }, 2000));
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(LoadSettings(SettingsFile()).UserId, "alice");
}

TEST_F(MainWindowTrayCheck, CloseFromTheTrayDuringARequestAbortsItSavesAndEnds) {
  OpenWithProxy({{Send("HTTP/1.0 200 OK\r\n"), Hold()}}, OnTrayDesktop());
  Minimise();
  const bool ended = ProgramEndsAfter(
      [&] {
        QTimer::singleShot(100, form, [&] { form->closeAction->trigger(); });
        form->checkNowAction->trigger();  // returns when the close has aborted the request
      },
      10000);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(answerer.seen.empty());
  EXPECT_EQ(LoadSettings(SettingsFile()).UserId, "alice");
}

// A tick starts a check only with automatic checking on, and never a second one while a check
// runs; Check Now is disabled meanwhile.
TEST_F(MainWindowTrayCheck, TimerTicksCheckOnlyWhenEnabledAndNeverTwiceAtOnce) {
  OpenWithProxy({{Pause(300), Send(MailboxPage(0))}, {Send(Ok("bye"))}});
  Tick();
  EXPECT_EQ(server->Connections(), 0);

  form->autoCheckAction->trigger();
  bool checkNowDuringTheCheck = true;
  QTimer::singleShot(100, form, [&] {
    checkNowDuringTheCheck = form->checkNowAction->isEnabled();
    Tick();
  });
  Tick();
  EXPECT_FALSE(checkNowDuringTheCheck);
  EXPECT_EQ(answerer.Texts(), QStringList{"No mail for you!"});
  EXPECT_EQ(server->Connections(), 2);
  EXPECT_TRUE(AtRest());
  EXPECT_TRUE(form->checkNowAction->isEnabled());
}
