// SPDX-License-Identifier: MIT
// The real main window under the offscreen platform: its resting state, the enabling rules, the
// account fields, the settings it loads and saves, and its accelerators.

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "main_window_fixture.h"
#include "session/settings.h"
#include "settings_file.h"
#include "ui/filename_edit.h"
#include "ui/components/credits_panel.h"

namespace {

std::vector<QLineEdit*> ProxyFields(const MainWindow& f) { return {f.proxyUserEdit, f.proxyPasswordEdit, f.proxyHostEdit, f.proxyPortEdit}; }

}  // namespace

TEST_F(MainWindowTest, WithoutASettingsFileTheWindowIsAtRest) {
  Open();
  EXPECT_EQ(form->windowTitle(), "Vexmira 1.6");
  EXPECT_EQ(form->size(), QSize(342, 200));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form->statusBar->currentMessage(), "Idle");
  EXPECT_EQ(form->tabs->currentWidget(), form->checkTab);
  EXPECT_TRUE(form->checkButton->isEnabled());
  EXPECT_FALSE(form->stopButton->isEnabled());
  EXPECT_FALSE(form->headersButton->isEnabled());
  EXPECT_FALSE(form->autoCheckBox->isChecked());  // automatic checking is off without a file
  EXPECT_FALSE(form->checkIntervalEdit->isEnabled());
  EXPECT_EQ(form->checkIntervalEdit->value(), 5);
  EXPECT_TRUE(form->autoCheckTimer->isActive());
  EXPECT_EQ(form->autoCheckTimer->interval(), 5 * 60000);
  EXPECT_FALSE(form->saveProxyPasswordBox->isEnabled());
  EXPECT_FALSE(form->soundFileEdit->isEnabled());
  for (QLineEdit* field : ProxyFields(*form)) {
    EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_TRUE(LooksGrey(field)) << field->objectName().toStdString();
  }
  EXPECT_FALSE(LooksGrey(form->loginEdit));
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
}

TEST_F(MainWindowTest, DependentControlsFollowTheirBoxes) {
  Open();
  form->useProxyBox->click();
  EXPECT_TRUE(form->saveProxyPasswordBox->isEnabled());
  for (QLineEdit* field : ProxyFields(*form)) {
    EXPECT_TRUE(field->isEnabled());
    EXPECT_FALSE(LooksGrey(field));
  }
  form->useProxyBox->click();
  EXPECT_FALSE(form->saveProxyPasswordBox->isEnabled());
  EXPECT_TRUE(LooksGrey(form->proxyHostEdit));

  form->playSoundBox->click();
  EXPECT_TRUE(form->soundFileEdit->isEnabled());
  EXPECT_FALSE(LooksGrey(form->soundFileEdit->Edit()));
  form->autoCheckBox->click();
  EXPECT_TRUE(form->checkIntervalEdit->isEnabled());
  form->showHeadersBox->click();
  EXPECT_TRUE(form->headersButton->isEnabled());
  form->showHeadersBox->click();
  EXPECT_FALSE(form->headersButton->isEnabled());

  form->tabs->setCurrentWidget(form->aboutTab);
  EXPECT_TRUE(form->creditsPanel->Active());
  form->tabs->setCurrentWidget(form->optionsTab);
  EXPECT_FALSE(form->creditsPanel->Active());
}

TEST_F(MainWindowTest, TypingIntoTheAccountFieldsResetsTheResultWithinSixteenCharacters) {
  Open();
  for (QLineEdit* field : {form->loginEdit, form->passwordEdit}) {
    MailboxState& state = form->Session().State;
    state.Messages.Clear();
    state.Messages.AppendStatusLine("Sender 1");
    state.TrayIconIndex = kIconNewMail;
    state.TrayHint = "You have 1 new mails in your Hotmail account!";
    state.MessageButtonsEnabled = true;
    form->MailboxStateChanged();

    QTest::keyClicks(field, "a");
    EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
    EXPECT_EQ(State().TrayIconIndex, kIconNoMail);
    EXPECT_EQ(State().TrayHint, "Not checked");
    EXPECT_FALSE(State().MessageButtonsEnabled);

    QTest::keyClicks(field, "bcdefghijklmnopqrstu");
    EXPECT_EQ(field->text(), "abcdefghijklmnop");
  }
  EXPECT_EQ(form->passwordEdit->displayText(), QString(16, '*'));
}

TEST_F(MainWindowTest, SavedSettingsComeBackThroughTheHandlersOnce) {
  WriteSettings("USERID=bob\nSAVEPASS=1\nPASS=" + StoredPasswordText("pw") +
                "\nTIME=0x0A\nTIMEENABLED=1\nHEADERS=1\nCHECKED=1\nPROXY=127.0.0.1\nWAVPLAY=1\nWAVFILE=/tmp/a.wav\n");
  Create();
  form->Session().State.Messages.AppendStatusLine("from an earlier check");
  form->show();
  EXPECT_EQ(form->loginEdit->text(), "bob");
  EXPECT_EQ(form->passwordEdit->text(), "pw");
  EXPECT_EQ(State().Messages.senders.size(), 1u);  // the loaded login is a change
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
  EXPECT_TRUE(form->autoCheckBox->isChecked());
  EXPECT_TRUE(form->checkIntervalEdit->isEnabled());
  EXPECT_EQ(form->autoCheckTimer->interval(), 10 * 60000);
  EXPECT_TRUE(form->headersButton->isEnabled());
  EXPECT_TRUE(form->proxyHostEdit->isEnabled());
  EXPECT_EQ(form->proxyHostEdit->text(), "127.0.0.1");
  EXPECT_TRUE(form->soundFileEdit->isEnabled());
  EXPECT_EQ(form->soundFileEdit->FileName(), "/tmp/a.wav");

  WriteSettings("USERID=changed\n");
  form->hide();
  form->show();
  EXPECT_EQ(form->loginEdit->text(), "bob");  // loaded at the first showing only
}

TEST_F(MainWindowTest, TheTimeFieldKeepsLoadedValuesInRange) {
  for (const auto& [stored, shown] : {std::pair{"1", 2}, std::pair{"99", 60}}) {
    WriteSettings(std::string("TIME=") + stored + "\n");
    Create();
    form->Session().State.Messages.AppendStatusLine("kept");
    form->show();
    EXPECT_EQ(form->checkIntervalEdit->value(), shown);
    EXPECT_EQ(form->autoCheckTimer->interval(), shown * 60000);
    EXPECT_EQ(State().Messages.senders.size(), 2u);  // an empty login is no change
  }
}

TEST_F(MainWindowTest, ClosingSavesTheFields) {
  Open();
  QTest::keyClicks(form->loginEdit, "carol");
  QTest::keyClicks(form->passwordEdit, "pw");
  form->savePasswordBox->click();
  form->checkIntervalEdit->setValue(7);
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(form->Closed());
  const Settings saved = LoadSettings(SettingsFile());
  EXPECT_EQ(saved.UserId, "carol");
  EXPECT_EQ(saved.Pass, "pw");
  EXPECT_EQ(saved.Time, 7);
  EXPECT_TRUE(answerer.seen.empty());
}

// The error is shown once and the window closes all the same: it could not be closed before.
TEST_F(MainWindowTest, AFailedSaveIsShownOnceAndTheWindowCloses) {
  WriteFile(config.File("file"), "");
  UseConfigDirectory(config.File("file/config"));  // under a file: cannot be made
  Open();
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(form->SaveFailed());
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text.toStdString(),
            "Unable to write to " + config.File("file/config/vexmira.ini") + ": Not a directory");
  EXPECT_EQ(answerer.seen[0].title, "Vexmira 1.6");
}

// A file that cannot be read is reported when the window first shows; the window runs on the
// defaults and leaves the file alone when it closes.
TEST_F(MainWindowTest, ASettingsFileThatCannotBeReadIsReportedAtStart) {
  const std::string big = "[DATA]\nUSERID=bob\n" + std::string(2 << 20, ';');
  WriteFile(SettingsFile(), big);
  Open();
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text.toStdString(), "Unable to read " + SettingsFile() +
                                                     ": the file is larger than 1 MiB. The defaults are used and the "
                                                     "file is left as it is.");
  EXPECT_EQ(form->loginEdit->text(), "");
  EXPECT_TRUE(form->autoCheckTimer->isActive());
  EXPECT_TRUE(form->close());
  EXPECT_EQ(ReadFile(SettingsFile()), big);
}

TEST_F(MainWindowTest, TheHeadersAcceleratorShowsTheMessagesWindow) {
  Open();
  Activate();
  form->showHeadersBox->click();
  QTest::keyClick(form, Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.seen.empty(); }, 2000));
  EXPECT_EQ(answerer.seen[0].title, "Messages");
  EXPECT_EQ(answerer.seen[0].lines, QStringList{"Not Checked"});
}

TEST_F(MainWindowTest, TheBrowseButtonOffersWaveFiles) {
  Open();
  form->playSoundBox->click();
  QStringList filters;
  answerer.whileOpen = [&](QDialog* dialog) {
    if (auto* chooser = qobject_cast<QFileDialog*>(dialog)) filters = chooser->nameFilters();
  };
  form->soundFileEdit->BrowseButton()->click();
  EXPECT_EQ(filters, QStringList{"Wave Files (*.wav)"});
  EXPECT_EQ(form->soundFileEdit->FileName(), "");  // cancelled

  EXPECT_EQ(QtFileFilter("Sounds|*.wav;*.au|All|*"), "Sounds (*.wav *.au);;All (*)");
}

// Any digits and signs stand while typing, and the timer follows them within 2 to 60 minutes (a
// number on its way to another never sets a few seconds or days); leaving the field reads the
// text as a whole number (2 when it is none) within 2 to 60, and that is saved.
TEST_F(MainWindowTest, TheTimeFieldTakesAnyNumberWhileTypingAndClampsOnLeaving) {
  Open();
  form->autoCheckBox->setChecked(true);
  Activate();
  auto* typing = form->checkIntervalEdit->findChild<QLineEdit*>();
  const std::vector<std::pair<QString, QString>> cases = {
      {"65", "60"}, {"100", "60"}, {"71583", "60"}, {"1", "2"}, {"-7", "2"}, {"+9", "9"}, {"", "2"}, {"-", "2"},
      {"7x", "7"}};
  for (const auto& [typed, left] : cases) {
    SCOPED_TRACE(typed.toStdString());
    form->checkIntervalEdit->setFocus();
    typing->selectAll();
    QTest::keyClick(typing, Qt::Key_Delete);
    QTest::keyClicks(typing, typed);
    EXPECT_EQ(typing->text(), typed == "7x" ? QString("7") : typed);  // "x" is refused
    if (typed == "65" || typed == "71583") {
      EXPECT_EQ(form->autoCheckTimer->interval(), 60 * 60000);
    }
    form->loginEdit->setFocus();
    EXPECT_EQ(typing->text(), left);
    EXPECT_EQ(form->checkIntervalEdit->value(), left.toInt());
    EXPECT_EQ(form->autoCheckTimer->interval(), left.toInt() * 60000);
  }
  form->checkIntervalEdit->setFocus();
  typing->selectAll();
  QTest::keyClicks(typing, "65");
  form->loginEdit->setFocus();
  ASSERT_TRUE(form->close());
  EXPECT_EQ(LoadSettings(SettingsFile()).Time, 60);
}

// The tab under the mouse is drawn lit; the others and the current one are not.
TEST_F(MainWindowTest, TheTabUnderTheMouseIsHighlighted) {
  Open();
  Activate();
  QTabBar* bar = form->tabs->tabBar();
  const QRect options = bar->tabRect(1);
  const QImage plain = bar->grab(options).toImage();
  QTest::mouseMove(bar, options.center());
  QTest::qWait(50);
  const QImage lit = bar->grab(options).toImage();
  EXPECT_NE(lit, plain);
  QTest::mouseMove(bar, bar->tabRect(0).center());
  QTest::qWait(50);
  EXPECT_EQ(bar->grab(options).toImage(), plain);
}
