// SPDX-License-Identifier: MIT
// The program's modal windows and what goes on while one is open: the tray icon's own window
// (here a stand-in top-level window) stays usable, the automatic check waits, and the Headers
// button follows its rule around a check.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <utility>

#include "main_window_check_fixture.h"
#include "ui/message_boxes.h"

using httptest::Send;

namespace {

// Counts the presses that reach a window, as the tray icon's window would get the user's clicks.
struct PressCounter : QObject {
  int presses = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) ++presses;
    return false;
  }
};

struct ModalWindows : MainWindowCheck {
  void Tick() { QMetaObject::invokeMethod(form->autoCheckTimer, "timeout"); }
};

}  // namespace

// A box and the Messages window block the main window, not the program's other windows.
TEST_F(ModalWindows, ABoxAndTheMessagesWindowLeaveTheTrayWindowUsable) {
  Open();
  QWidget trayStandIn;
  trayStandIn.setGeometry(700, 10, 24, 24);
  trayStandIn.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&trayStandIn));
  PressCounter trayPresses, checkPresses;
  trayStandIn.installEventFilter(&trayPresses);
  form->checkButton->installEventFilter(&checkPresses);
  answerer.whileOpen = [&](QDialog*) {
    QTest::mouseClick(trayStandIn.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    const QPoint check = form->checkButton->mapTo(form, form->checkButton->rect().center());
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, check);
  };
  ShowMessage(QStringLiteral("a box"));
  form->showHeadersBox->setChecked(true);
  form->headersButton->click();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(trayPresses.presses, 2);
  EXPECT_EQ(checkPresses.presses, 0);
}

// Minimised, the modal Messages window would lock the user out of the program.
TEST_F(ModalWindows, TheMessagesWindowCannotBeMinimised) {
  Open();
  bool minimisedAfterwards = true, tried = false;
  answerer.whileOpen = [&](QDialog* window) {
    if (std::exchange(tried, true)) return;  // shown again by coming back
    window->showMinimized();
    QTest::qWait(50);
    minimisedAfterwards = window->isMinimized();
  };
  form->ShowMessagesWindow();
  EXPECT_TRUE(tried);
  EXPECT_FALSE(minimisedAfterwards);
}

// Ticks while the Messages window is open make no request then, and one check once it closes.
TEST_F(ModalWindows, ATickWhileAModalWindowIsOpenChecksOnceItHasClosed) {
  OpenWithProxy({{Send(MailboxPage(0))}, {Send(Ok("bye"))}});
  form->autoCheckBox->setChecked(true);
  form->showHeadersBox->setChecked(true);
  int connectionsWhileOpen = -1;
  answerer.whileOpen = [&](QDialog* window) {
    if (window != messages) return;
    Tick();
    Tick();
    QTest::qWait(200);
    connectionsWhileOpen = server->Connections();
  };
  form->headersButton->click();
  EXPECT_EQ(connectionsWhileOpen, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.seen.size() == 2 && server->Requests().size() == 2 && AtRest(); }, 5000));
  EXPECT_EQ(answerer.seen[1].text, "No mail for you!");
  QTest::qWait(100);
  EXPECT_EQ(server->Connections(), 2);
}

// A check waiting for the Messages window never starts once the program has closed.
TEST_F(ModalWindows, AWaitingCheckDoesNotStartAfterTheClose) {
  OpenWithProxy({{Send(MailboxPage(0))}, {Send(Ok("bye"))}});
  form->autoCheckBox->setChecked(true);
  answerer.whileOpen = [&](QDialog*) {
    Tick();
    form->close();
  };
  form->ShowMessagesWindow();
  QTest::qWait(200);
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(server->Connections(), 0);
}

// Headers is enabled exactly when Show Headers is checked and no check runs, also after Stop
// has aborted the logout.
TEST_F(ModalWindows, HeadersFollowsItsRuleAroundAStoppedLogout) {
  OpenWithProxy({{Send(MailboxPage(0))}, {httptest::Hold()}}, OnTrayDesktop());
  form->showHeadersBox->setChecked(true);
  Minimise();
  bool headersWhileRunning = true;
  QTimer::singleShot(200, form, [&] {
    form->showHeadersBox->setChecked(false);
    form->showHeadersBox->setChecked(true);
    headersWhileRunning = form->headersButton->isEnabled();
    form->stopButton->click();
  });
  form->checkNowAction->trigger();
  EXPECT_FALSE(headersWhileRunning);
  EXPECT_TRUE(AtRest());
  EXPECT_TRUE(form->headersButton->isEnabled());
}
