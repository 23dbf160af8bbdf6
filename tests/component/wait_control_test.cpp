// SPDX-License-Identifier: MIT
// WaitControl, the countdown control: counting, running out, early stop by the socket, input swallowed
// during the modal wait, and the bar it paints.
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "test_support.h"
#include "ui/wait_control.h"

using namespace testing_support;
using Clock = std::chrono::steady_clock;

namespace {

TEST(Countdown, StartWithoutACountCountsFromFifteen) {
  WaitControl wait;
  for (const char* caption : {"0", "", "abc"}) {
    wait.SetCaption(caption);
    wait.Start();
    EXPECT_EQ(wait.Caption(), "15") << '"' << caption << '"';
    EXPECT_TRUE(wait.Running());
    wait.Stop();
  }
  wait.SetCaption("  7 seconds");
  wait.Start();
  wait.TimerTick();
  EXPECT_EQ(wait.Caption(), "6");
  wait.Stop();
  EXPECT_FALSE(wait.Running());
  EXPECT_EQ(wait.ModalResult, WaitControl::mrStopped);
  EXPECT_EQ(wait.Caption(), "7") << "back at the start count";
}

TEST(Countdown, RunModalRunsOutAfterItsTicks) {
  WaitControl wait;
  std::vector<std::string> events;
  wait.OnWaitStart = [&](WaitControl*) { events.push_back("start"); };
  // OnWait comes before the caption moves on: the count left, then what was shown.
  wait.OnWait = [&](WaitControl* w, std::int32_t left) { events.push_back(std::to_string(left) + " of " + w->Caption()); };
  wait.OnTimeout = [&](WaitControl* w) { events.push_back("timeout " + w->Caption()); };
  wait.SetInterval(20);
  wait.SetCaption("5");
  const auto start = Clock::now();
  wait.RunModal();
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(95));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "4 of 5", "3 of 4", "2 of 3", "1 of 2", "0 of 1", "timeout 5"}));
  EXPECT_EQ(wait.ModalResult, WaitControl::mrTimedOut);
  EXPECT_FALSE(wait.Running());
}

// The socket's waits outside MultiThreaded mode, through the real control.
class SocketWait : public ::testing::Test {
 protected:
  void SetUp() override {
    socket.SetWaitCtrl(&wait);
    socket.SetAddr("127.0.0.1");
  }
  WaitControl wait;
  AsyncSocket socket;
};

TEST_F(SocketWait, ArrivingStateOrLineStopsTheCountEarly) {
  PosixListener listener;
  socket.SetPort(listener.PortText());
  socket.Connect();
  const auto start = Clock::now();
  EXPECT_TRUE(socket.Wait(5, wsConnected));
  EXPECT_EQ(wait.ModalResult, WaitControl::mrStopped);
  EXPECT_EQ(wait.Caption(), "5");
  EXPECT_FALSE(wait.isVisible());

  const int peer = listener.Accept();
  std::jthread late([peer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SendAll(peer, "a line\r\n");
  });
  std::string line;
  socket.ReadLine(5, line);
  EXPECT_EQ(line, "a line");
  EXPECT_EQ(wait.ModalResult, WaitControl::mrStopped);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  late.join();
  ::close(peer);
}

TEST_F(SocketWait, FailedConnectionEndsTheWaitAtOnce) {
  RefusingPort refusing;
  socket.SetPort(refusing.PortText());
  socket.Connect();
  const auto start = Clock::now();
  EXPECT_FALSE(socket.Wait(5, wsConnected));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(wait.ModalResult, WaitControl::mrStopped);
}

// Counts the presses and double clicks that reach a widget, by mouse button.
struct PressCounter : QObject {
  std::map<Qt::MouseButton, int> presses;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      ++presses[static_cast<QMouseEvent*>(event)->button()];
    }
    return false;
  }
};

// An active window with a text field, a button and a keyboard shortcut.
struct UserWindow {
  QWidget window;
  QLineEdit* edit = new QLineEdit;
  QPushButton* button = new QPushButton("Check");
  QAction* shortcut = new QAction(&window);
  PressCounter counter;
  int clicks = 0;
  int shortcuts = 0;
  UserWindow() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(button);
    shortcut->setShortcut(QKeySequence(Qt::Key_F9));
    window.addAction(shortcut);
    button->installEventFilter(&counter);
    QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
    QObject::connect(shortcut, &QAction::triggered, [this] { ++shortcuts; });
    window.show();
    window.activateWindow();
    edit->setFocus();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  void UseIt() {
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_F9);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseDClick(button, Qt::RightButton);
    QTest::mouseClick(button, Qt::MiddleButton);
  }
};

TEST(Countdown, KeysAndLeftOrRightClicksAreSwallowedDuringTheModalWait) {
  UserWindow user;
  WaitControl wait;
  wait.SetInterval(20);
  wait.SetCaption("3");
  bool used = false;
  wait.OnWait = [&](WaitControl* w, std::int32_t) {
    if (std::exchange(used, true)) return;
    user.UseIt();
    w->Stop();
  };
  wait.RunModal();
  ASSERT_TRUE(used);
  EXPECT_EQ(user.edit->text(), "");
  EXPECT_EQ(user.shortcuts, 0);
  EXPECT_EQ(user.clicks, 0);
  EXPECT_EQ(user.counter.presses[Qt::LeftButton], 0);
  EXPECT_EQ(user.counter.presses[Qt::RightButton], 0);
  EXPECT_EQ(user.counter.presses[Qt::MiddleButton], 1) << "middle clicks pass";

  user.UseIt();  // the filter is gone with the wait
  EXPECT_EQ(user.edit->text(), "a");
  EXPECT_EQ(user.shortcuts, 1);
  EXPECT_EQ(user.clicks, 1);
  EXPECT_GT(user.counter.presses[Qt::RightButton], 0);
}

TEST(Countdown, BarShrinksWithTheSecondsLeft) {
  WaitControl wait;  // 192 x 32, start count 60
  auto highlighted = [&](int x) {
    const QImage image = wait.grab().toImage();
    return image.pixelColor(x, 25) == wait.palette().color(QPalette::Highlight);
  };
  wait.SetCaption("60");
  EXPECT_TRUE(highlighted(186)) << "full inner width";
  wait.SetCaption("30");  // 30 * 185 / 60 = 92: the bar's border runs from x 3 to 94
  EXPECT_TRUE(highlighted(93));
  EXPECT_FALSE(highlighted(96));
  EXPECT_EQ(wait.grab().toImage().pixelColor(150, 16), QColor(Qt::white));
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
