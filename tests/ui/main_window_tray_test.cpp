// The main window and its tray icon without the network: the tray menu, going to the tray and
// back on desktops with and without a notification area, and the Time field's countdown.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>

#include "main_window_fixture.h"

namespace {

using Command = RecordingTrayState::Command;

constexpr int kMinute = 60000;

qint64 PictureKey(const TForm1& form, int index) { return form.trayIcon.Icons().Icon(index).cacheKey(); }

QStringList Captions(const QMenu& menu) {
  QStringList captions;
  for (const QAction* item : menu.actions()) captions << item->text();
  return captions;
}

// Replaces the Time field's text by typing, as the user does.
void TypeTime(QSpinBox* field, const char* text) {
  field->setFocus();
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

}  // namespace

TEST_F(MainWindowTest, TheTrayMenuAndTheEnabledBoxKeepOneState) {
  Open(OnTrayDesktop());
  EXPECT_EQ(Captions(*form->PopupMenu1), (QStringList{"&Restore", "&Check Now", "&Enabled", "C&lose"}));
  EXPECT_EQ(form->PopupMenu1->defaultAction(), form->Restore1);
  EXPECT_TRUE(form->CheckNow1->isEnabled());
  EXPECT_FALSE(form->trayIcon.Active());  // nothing in the notification area before a minimise
  EXPECT_EQ(tray.Count(Command::Add), 0);
  EXPECT_FALSE(form->Enabled1->isChecked());  // as the loaded "Enabled" box

  form->CheckTIME->click();
  EXPECT_TRUE(form->Enabled1->isChecked());
  EXPECT_TRUE(form->tempoSpinEdit->isEnabled());

  form->Enabled1->trigger();
  EXPECT_FALSE(form->Enabled1->isChecked());
  EXPECT_FALSE(form->CheckTIME->isChecked());
  EXPECT_FALSE(form->tempoSpinEdit->isEnabled());
  EXPECT_TRUE(form->Timer1->isActive());  // it ticks on; the ticks look at the box

  form->Enabled1->trigger();
  EXPECT_TRUE(form->CheckTIME->isChecked());
  EXPECT_TRUE(form->tempoSpinEdit->isEnabled());
}

TEST_F(MainWindowTest, MinimisingGoesToTheTrayAndTheMenuOrADoubleClickBringsItBack) {
  Open(OnTrayDesktop());
  MailboxState& state = form->Session().State;
  state.TrayIconIndex = kIconNewMail;  // the picture of the last result is not the minimise's rule
  state.TrayHint = "No mail for you!";
  form->MailboxStateChanged();

  Minimise();
  EXPECT_TRUE(form->isHidden());
  EXPECT_TRUE(form->TrayActive());
  ASSERT_EQ(tray.Count(Command::Add), 1);
  EXPECT_TRUE(tray.shown);
  EXPECT_EQ(tray.Last().tip, "No mail for you!");
  EXPECT_EQ(tray.Last().iconKey, PictureKey(*form, kIconNoMail));  // NewMailCount is 0

  trayShell->Send(TrayMouse::LeftDown);  // a left click does nothing
  trayShell->Send(TrayMouse::LeftUp);
  EXPECT_TRUE(form->isHidden());
  trayShell->Send(TrayMouse::RightDown);
  trayShell->Send(TrayMouse::RightUp);
  ASSERT_EQ(tray.menusShown.size(), 1u);
  EXPECT_EQ(tray.menusShown[0].first, form->PopupMenu1);

  trayShell->Send(TrayMouse::LeftDouble);  // runs the default item, Restore
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());
  EXPECT_FALSE(form->trayIcon.Active());
  EXPECT_FALSE(tray.shown);
  EXPECT_FALSE(form->TrayActive());

  state.NewMailCount = 2;
  Minimise();
  EXPECT_TRUE(form->isHidden());
  EXPECT_EQ(tray.Count(Command::Add), 2);
  EXPECT_EQ(tray.Last().iconKey, PictureKey(*form, kIconNewMail));
  form->Restore1->trigger();
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(tray.shown);
}

// The offscreen platform, like a desktop without a notification area, refuses the icon.
TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingLeavesAMinimisedWindow) {
  Open();
  for (int round = 0; round < 2; ++round) {
    Minimise();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isMinimized());
    EXPECT_FALSE(form->trayIcon.Active());  // no retry of the icon behind the user's back
    EXPECT_FALSE(form->TrayActive());
    form->showNormal();
    EXPECT_FALSE(form->isMinimized());
  }
}

// Each change of the field's text restarts the countdown from its interval; leaving the field
// unchanged does not.
TEST_F(MainWindowTest, TheTimeFieldsTextSetsAndRestartsTheCountdown) {
  WriteSettings("TIME=3\nTIMEENABLED=1\n");
  Open();
  Activate();
  form->Timer1->setTimerType(Qt::PreciseTimer);  // minute intervals count whole seconds otherwise
  EXPECT_EQ(form->Timer1->interval(), 3 * kMinute);  // the first automatic check comes then
  EXPECT_GT(form->Timer1->remainingTime(), 3 * kMinute - 1000);

  QTest::qWait(200);
  QTest::keyClick(form->tempoSpinEdit, Qt::Key_Up);
  EXPECT_EQ(form->Timer1->interval(), 4 * kMinute);
  EXPECT_GT(form->Timer1->remainingTime(), 4 * kMinute - 100);

  TypeTime(form->tempoSpinEdit, "0");
  EXPECT_FALSE(form->Timer1->isActive());
  QTest::keyClick(form->tempoSpinEdit, Qt::Key_Backspace);
  EXPECT_EQ(form->Timer1->interval(), 2 * kMinute);  // an empty field counts as 2
  EXPECT_TRUE(form->Timer1->isActive());
  TypeTime(form->tempoSpinEdit, "2");
  TypeTime(form->tempoSpinEdit, "0");
  form->loginEDIT->setFocus();  // 0 becomes 2, which is the value already: no new value
  EXPECT_EQ(form->tempoSpinEdit->text(), "2");
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 2 * kMinute);

  QTest::qWait(200);
  form->tempoSpinEdit->setFocus();
  form->loginEDIT->setFocus();
  EXPECT_LT(form->Timer1->remainingTime(), 2 * kMinute - 150);

  TypeTime(form->tempoSpinEdit, "45");
  EXPECT_EQ(form->Timer1->interval(), 45 * kMinute);
  EXPECT_GT(form->Timer1->remainingTime(), 45 * kMinute - 100);
}
