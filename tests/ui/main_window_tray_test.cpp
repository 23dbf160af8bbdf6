// SPDX-License-Identifier: MIT
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

qint64 PictureKey(const MainWindow& form, int index) { return form.trayIcon.Icons().Icon(index).cacheKey(); }

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
  EXPECT_EQ(Captions(*form->trayMenu), (QStringList{"&Restore", "&Check Now", "&Enabled", "C&lose"}));
  EXPECT_EQ(form->trayMenu->defaultAction(), form->restoreAction);
  EXPECT_TRUE(form->checkNowAction->isEnabled());
  EXPECT_FALSE(form->trayIcon.Active());  // nothing in the notification area before a minimise
  EXPECT_EQ(tray.Count(Command::Add), 0);
  EXPECT_FALSE(form->autoCheckAction->isChecked());  // as the loaded "Enabled" box

  form->autoCheckBox->click();
  EXPECT_TRUE(form->autoCheckAction->isChecked());
  EXPECT_TRUE(form->checkIntervalEdit->isEnabled());

  form->autoCheckAction->trigger();
  EXPECT_FALSE(form->autoCheckAction->isChecked());
  EXPECT_FALSE(form->autoCheckBox->isChecked());
  EXPECT_FALSE(form->checkIntervalEdit->isEnabled());
  EXPECT_TRUE(form->autoCheckTimer->isActive());  // it ticks on; the ticks look at the box

  form->autoCheckAction->trigger();
  EXPECT_TRUE(form->autoCheckBox->isChecked());
  EXPECT_TRUE(form->checkIntervalEdit->isEnabled());
}

TEST_F(MainWindowTest, MinimisingGoesToTheTrayAndTheMenuOrAClickBringsItBack) {
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

  trayShell->Send(TrayMouse::MiddleDown);  // a middle click does nothing
  trayShell->Send(TrayMouse::MiddleUp);
  EXPECT_TRUE(form->isHidden());
  trayShell->Send(TrayMouse::RightDown);
  trayShell->Send(TrayMouse::RightUp);
  ASSERT_EQ(tray.menusShown.size(), 1u);
  EXPECT_EQ(tray.menusShown[0].first, form->trayMenu);

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
  form->restoreAction->trigger();
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(tray.shown);

  // A single left click, for tray hosts that report no double clicks. A release whose press the
  // icon did not see is no click.
  Minimise();
  trayShell->Send(TrayMouse::LeftUp);
  EXPECT_TRUE(form->isHidden());
  trayShell->Send(TrayMouse::RightDown);
  trayShell->Send(TrayMouse::RightUp);
  EXPECT_TRUE(form->isHidden());
  trayShell->Send(TrayMouse::LeftDown);
  trayShell->Send(TrayMouse::LeftUp);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());
  EXPECT_FALSE(tray.shown);
  EXPECT_EQ(tray.menusShown.size(), 2u);
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
  form->autoCheckTimer->setTimerType(Qt::PreciseTimer);  // minute intervals count whole seconds otherwise
  EXPECT_EQ(form->autoCheckTimer->interval(), 3 * kMinute);  // the first automatic check comes then
  EXPECT_GT(form->autoCheckTimer->remainingTime(), 3 * kMinute - 1000);

  QTest::qWait(200);
  QTest::keyClick(form->checkIntervalEdit, Qt::Key_Up);
  EXPECT_EQ(form->autoCheckTimer->interval(), 4 * kMinute);
  EXPECT_GT(form->autoCheckTimer->remainingTime(), 4 * kMinute - 100);

  TypeTime(form->checkIntervalEdit, "0");
  EXPECT_FALSE(form->autoCheckTimer->isActive());
  QTest::keyClick(form->checkIntervalEdit, Qt::Key_Backspace);
  EXPECT_EQ(form->autoCheckTimer->interval(), 2 * kMinute);  // an empty field counts as 2
  EXPECT_TRUE(form->autoCheckTimer->isActive());
  TypeTime(form->checkIntervalEdit, "2");
  TypeTime(form->checkIntervalEdit, "0");
  form->loginEdit->setFocus();  // 0 becomes 2, which is the value already: no new value
  EXPECT_EQ(form->checkIntervalEdit->text(), "2");
  EXPECT_TRUE(form->autoCheckTimer->isActive());
  EXPECT_EQ(form->autoCheckTimer->interval(), 2 * kMinute);

  QTest::qWait(200);
  form->checkIntervalEdit->setFocus();
  form->loginEdit->setFocus();
  EXPECT_LT(form->autoCheckTimer->remainingTime(), 2 * kMinute - 150);

  TypeTime(form->checkIntervalEdit, "45");
  EXPECT_EQ(form->autoCheckTimer->interval(), 45 * kMinute);
  EXPECT_GT(form->autoCheckTimer->remainingTime(), 45 * kMinute - 100);
}
