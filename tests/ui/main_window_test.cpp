// The real main window under the offscreen platform: its resting state, the enabling rules, the
// account fields, the settings it loads and saves, and its accelerators.

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "main_window_fixture.h"
#include "session/settings.h"
#include "ui/filename_edit.h"
#include "ui/components/credits_panel.h"

namespace {

std::vector<QLineEdit*> ProxyFields(const TForm1& f) { return {f.nameEDIT, f.passpEDIT, f.proxyEDIT, f.portEDIT}; }

}  // namespace

TEST_F(MainWindowTest, WithoutASettingsFileTheWindowIsAtRest) {
  Open();
  EXPECT_EQ(form->windowTitle(), "Vexmira 1.6");
  EXPECT_EQ(form->size(), QSize(342, 200));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form->StatusBar1->currentMessage(), "Idle");
  EXPECT_EQ(form->PageControl->currentWidget(), form->TabSheet1);
  EXPECT_TRUE(form->startBUTTON->isEnabled());
  EXPECT_FALSE(form->stopBUTTON->isEnabled());
  EXPECT_FALSE(form->HeaderButton->isEnabled());
  EXPECT_FALSE(form->CheckTIME->isChecked());  // automatic checking is off without a file
  EXPECT_FALSE(form->tempoSpinEdit->isEnabled());
  EXPECT_EQ(form->tempoSpinEdit->value(), 5);
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 5 * 60000);
  EXPECT_FALSE(form->CheckSAVEPASSP->isEnabled());
  EXPECT_FALSE(form->FilenameEdit1->isEnabled());
  for (QLineEdit* field : ProxyFields(*form)) {
    EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_TRUE(LooksGrey(field)) << field->objectName().toStdString();
  }
  EXPECT_FALSE(LooksGrey(form->loginEDIT));
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
}

TEST_F(MainWindowTest, DependentControlsFollowTheirBoxes) {
  Open();
  form->CheckBox1->click();
  EXPECT_TRUE(form->CheckSAVEPASSP->isEnabled());
  for (QLineEdit* field : ProxyFields(*form)) {
    EXPECT_TRUE(field->isEnabled());
    EXPECT_FALSE(LooksGrey(field));
  }
  form->CheckBox1->click();
  EXPECT_FALSE(form->CheckSAVEPASSP->isEnabled());
  EXPECT_TRUE(LooksGrey(form->proxyEDIT));

  form->CheckBox2->click();
  EXPECT_TRUE(form->FilenameEdit1->isEnabled());
  EXPECT_FALSE(LooksGrey(form->FilenameEdit1->Edit()));
  form->CheckTIME->click();
  EXPECT_TRUE(form->tempoSpinEdit->isEnabled());
  form->CheckHeaders->click();
  EXPECT_TRUE(form->HeaderButton->isEnabled());
  form->CheckHeaders->click();
  EXPECT_FALSE(form->HeaderButton->isEnabled());

  form->PageControl->setCurrentWidget(form->TabSheet3);
  EXPECT_TRUE(form->SecretPanel1->Active());
  form->PageControl->setCurrentWidget(form->TabSheet2);
  EXPECT_FALSE(form->SecretPanel1->Active());
}

TEST_F(MainWindowTest, TypingIntoTheAccountFieldsResetsTheResultWithinSixteenCharacters) {
  Open();
  for (QLineEdit* field : {form->loginEDIT, form->passEDIT}) {
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
  EXPECT_EQ(form->passEDIT->displayText(), QString(16, '*'));
}

TEST_F(MainWindowTest, SavedSettingsComeBackThroughTheHandlersOnce) {
  WriteSettings("USERID=bob\nSAVEPASS=1\nPASS=" + StoredPasswordText("pw") +
                "\nTIME=0x0A\nTIMEENABLED=1\nHEADERS=1\nCHECKED=1\nPROXY=127.0.0.1\nWAVPLAY=1\nWAVFILE=/tmp/a.wav\n");
  Create();
  form->Session().State.Messages.AppendStatusLine("from an earlier check");
  form->show();
  EXPECT_EQ(form->loginEDIT->text(), "bob");
  EXPECT_EQ(form->passEDIT->text(), "pw");
  EXPECT_EQ(State().Messages.senders.size(), 1u);  // the loaded login is a change
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
  EXPECT_TRUE(form->CheckTIME->isChecked());
  EXPECT_TRUE(form->tempoSpinEdit->isEnabled());
  EXPECT_EQ(form->Timer1->interval(), 10 * 60000);
  EXPECT_TRUE(form->HeaderButton->isEnabled());
  EXPECT_TRUE(form->proxyEDIT->isEnabled());
  EXPECT_EQ(form->proxyEDIT->text(), "127.0.0.1");
  EXPECT_TRUE(form->FilenameEdit1->isEnabled());
  EXPECT_EQ(form->FilenameEdit1->FileName(), "/tmp/a.wav");

  WriteSettings("USERID=changed\n");
  form->hide();
  form->show();
  EXPECT_EQ(form->loginEDIT->text(), "bob");  // loaded at the first showing only
}

TEST_F(MainWindowTest, TheTimeFieldKeepsLoadedValuesInRange) {
  for (const auto& [stored, shown] : {std::pair{"1", 2}, std::pair{"99", 60}}) {
    WriteSettings(std::string("TIME=") + stored + "\n");
    Create();
    form->Session().State.Messages.AppendStatusLine("kept");
    form->show();
    EXPECT_EQ(form->tempoSpinEdit->value(), shown);
    EXPECT_EQ(form->Timer1->interval(), shown * 60000);
    EXPECT_EQ(State().Messages.senders.size(), 2u);  // an empty login is no change
  }
}

TEST_F(MainWindowTest, ClosingSavesTheFields) {
  Open();
  QTest::keyClicks(form->loginEDIT, "carol");
  QTest::keyClicks(form->passEDIT, "pw");
  form->CheckSavePass->click();
  form->tempoSpinEdit->setValue(7);
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(form->Closed());
  const Settings saved = LoadSettings(SettingsFile());
  EXPECT_EQ(saved.UserId, "carol");
  EXPECT_EQ(saved.Pass, "pw");
  EXPECT_EQ(saved.Time, 7);
  EXPECT_TRUE(answerer.seen.empty());
}

TEST_F(MainWindowTest, AFailedSaveIsShownAndKeepsTheWindowOpen) {
  WriteFile(config.File("file"), "");
  UseConfigDirectory(config.File("file/config"));  // under a file: cannot be made
  Open();
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->Closed());
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text.toStdString(), "Unable to write to " + config.File("file/config/vexmira.ini"));
  EXPECT_EQ(answerer.seen[0].title, "Vexmira 1.6");
}

TEST_F(MainWindowTest, TheHeadersAcceleratorShowsTheMessagesWindow) {
  Open();
  Activate();
  form->CheckHeaders->click();
  QTest::keyClick(form, Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.seen.empty(); }, 2000));
  EXPECT_EQ(answerer.seen[0].title, "Messages");
  EXPECT_EQ(answerer.seen[0].lines, QStringList{"Not Checked"});
}

TEST_F(MainWindowTest, TheBrowseButtonOffersWaveFiles) {
  Open();
  form->CheckBox2->click();
  QStringList filters;
  answerer.whileOpen = [&](QDialog* dialog) {
    if (auto* chooser = qobject_cast<QFileDialog*>(dialog)) filters = chooser->nameFilters();
  };
  form->FilenameEdit1->BrowseButton()->click();
  EXPECT_EQ(filters, QStringList{"Wave Files (*.wav)"});
  EXPECT_EQ(form->FilenameEdit1->FileName(), "");  // cancelled

  EXPECT_EQ(QtFileFilter("Sounds|*.wav;*.au|All|*"), "Sounds (*.wav *.au);;All (*)");
}
