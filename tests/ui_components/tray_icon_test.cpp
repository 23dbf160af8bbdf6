// SPDX-License-Identifier: MIT
// The tray icon's own rules, seen through the calls it makes on a recording notification area.

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "recording_tray_shell.h"
#include "ui/components/application_errors.h"
#include "ui/components/letter_icons.h"
#include "ui/components/tray_icon.h"

namespace {

using State = RecordingTrayState;

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() {
    auto shell = std::make_unique<RecordingTrayShell>(state);
    shellView = shell.get();
    tray = std::make_unique<TrayIcon>(std::move(shell));
  }

  // Every mouse event as one line: "down 0 8 100 200" is button, shift, x, y.
  void RecordEvents() {
    tray->OnMouseDown = [this](TrayIcon*, MouseButton b, ShiftState s, int x, int y) { Log("down", b, s, x, y); };
    tray->OnMouseUp = [this](TrayIcon*, MouseButton b, ShiftState s, int x, int y) { Log("up", b, s, x, y); };
    tray->OnClick = [this](TrayIcon*, MouseButton b, ShiftState s, int x, int y) { Log("click", b, s, x, y); };
    tray->OnDblClick = [this](TrayIcon*) { events.push_back("dblclick"); };
    tray->OnMouseMove = [this](TrayIcon*, ShiftState s, int x, int y) { Log("move", -1, s, x, y); };
  }
  void Log(const char* what, int button, int shift, int x, int y) {
    events.push_back(std::string(what) + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                     std::to_string(x) + " " + std::to_string(y));
  }
  void Send(std::initializer_list<TrayMouse> messages) {
    for (TrayMouse message : messages) shellView->Send(message);
  }

  State state;
  RecordingTrayShell* shellView = nullptr;
  std::unique_ptr<TrayIcon> tray;
  std::vector<std::string> events;
};

TEST_F(TrayIconTest, TipIsTheHintBeforeTheFirstBarCutTo63Characters) {
  tray->SetIcon(NewMailIcon());
  const QString seventy(70, QLatin1Char('a'));
  tray->SetHint(seventy);
  EXPECT_EQ(state.Last().tip, seventy.left(63));
  EXPECT_EQ(tray->Hint(), seventy);  // the property keeps the whole text

  tray->SetHint(QStringLiteral("new|") + seventy);
  EXPECT_EQ(state.Last().tip, QStringLiteral("new"));

  const auto callsBefore = state.calls.size();
  tray->SetHint(QStringLiteral("new|") + seventy);
  EXPECT_EQ(state.calls.size(), callsBefore) << "an unchanged hint must not reach the shell";

  // A character outside the BMP at the cut is dropped whole rather than split.
  const QString astral = QString(62, QLatin1Char('b')) + QString::fromUcs4(U"\U0001F4E7");
  EXPECT_EQ(TrayIcon::ShortHint(astral), QString(62, QLatin1Char('b')));
}

TEST_F(TrayIconTest, RepeatedActiveLeavesExactlyOneIcon) {
  tray->SetIcon(NewMailIcon());
  ASSERT_TRUE(tray->InTray());
  EXPECT_EQ(state.Count(State::Add), 1);

  tray->SetActive(true);  // already true: nothing happens
  EXPECT_EQ(state.Count(State::Add), 1);

  tray->SetActive(false);
  EXPECT_FALSE(tray->InTray());
  EXPECT_FALSE(state.shown);
  tray->SetActive(true);
  tray->SetActive(true);
  EXPECT_EQ(state.Count(State::Add), 2);
  // Each add removes any earlier icon first.
  ASSERT_GE(state.calls.size(), 2u);
  EXPECT_EQ(state.calls[state.calls.size() - 2].command, State::Delete);
  EXPECT_TRUE(state.shown);
  EXPECT_TRUE(tray->InTray());
}

TEST_F(TrayIconTest, NoIconWithoutAPictureAndSamePictureStillRefreshes) {
  tray->SetActive(false);
  tray->SetActive(true);
  EXPECT_EQ(state.Count(State::Add), 0);
  EXPECT_FALSE(tray->InTray());

  const QIcon picture = NoMailIcon();
  tray->SetIcon(picture);  // the first picture adds the icon
  EXPECT_EQ(state.Count(State::Add), 1);
  EXPECT_EQ(state.Last().iconKey, picture.cacheKey());

  tray->SetIcon(picture);
  EXPECT_EQ(state.Last().command, State::Modify);

  tray->SetIcon(QIcon());  // an empty picture takes the icon away
  EXPECT_EQ(state.Last().command, State::Delete);
  EXPECT_FALSE(tray->InTray());
  EXPECT_TRUE(tray->Active());
}

TEST_F(TrayIconTest, RefusedAddIsTriedAgainAtTheNextChange) {
  state.acceptAdd = false;
  tray->SetIcon(NewMailIcon());
  EXPECT_FALSE(tray->InTray());

  tray->SetHint(QStringLiteral("No mail for you!"));
  EXPECT_EQ(state.Count(State::Add), 2);
  EXPECT_FALSE(tray->InTray());

  state.acceptAdd = true;  // a notification area appeared
  tray->Icons().Add(NoMailIcon());  // a change of the list counts as well
  EXPECT_EQ(state.Count(State::Add), 3);
  EXPECT_TRUE(tray->InTray());
  EXPECT_EQ(state.Last().tip, QStringLiteral("No mail for you!"));

  tray->SetHint(QStringLiteral("Not checked"));
  EXPECT_EQ(state.Last().command, State::Modify);
  EXPECT_EQ(state.Count(State::Add), 3);
}

TEST_F(TrayIconTest, DestructionTakesTheIconAway) {
  tray->SetIcon(NewMailIcon());
  ASSERT_TRUE(state.shown);
  tray.reset();
  EXPECT_FALSE(state.shown);
}

TEST_F(TrayIconTest, ClicksRaiseDownClickUpWithButtonKeysAndCursor) {
  tray->SetIcon(NewMailIcon());
  RecordEvents();
  state.keys = ssShift | ssCtrl;
  Send({TrayMouse::Move, TrayMouse::LeftDown, TrayMouse::LeftUp, TrayMouse::MiddleDown, TrayMouse::MiddleUp});
  EXPECT_EQ(events, (std::vector<std::string>{"move -1 5 100 200", "down 0 13 100 200", "click 0 13 100 200",
                                              "up 0 13 100 200", "down 2 37 100 200", "up 2 37 100 200"}));
}

TEST_F(TrayIconTest, ReleaseWithoutItsPressMakesNoClick) {
  tray->SetIcon(NewMailIcon());
  RecordEvents();
  Send({TrayMouse::LeftDown});
  tray->SetActive(false);  // every remove and add forgets the presses
  tray->SetActive(true);
  Send({TrayMouse::LeftUp});
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 8 100 200", "up 0 8 100 200"}));
}

TEST_F(TrayIconTest, RightClickOpensTheMenuInsteadOfRaisingClick) {
  tray->SetIcon(NewMailIcon());
  RecordEvents();
  Send({TrayMouse::RightDown, TrayMouse::RightUp});  // no menu yet
  EXPECT_EQ(events[1], "click 1 16 100 200");
  EXPECT_TRUE(state.menusShown.empty());

  auto menu = std::make_unique<QMenu>();
  menu->addAction(QStringLiteral("&Restore"));
  tray->SetPopupMenu(menu.get());
  events.clear();
  state.cursor = {640, 470};
  Send({TrayMouse::RightDown, TrayMouse::RightUp});
  EXPECT_EQ(events, (std::vector<std::string>{"down 1 16 640 470", "up 1 16 640 470"}));
  ASSERT_EQ(state.menusShown.size(), 1u);
  EXPECT_EQ(state.menusShown[0].first, menu.get());
  EXPECT_EQ(state.menusShown[0].second, QPoint(640, 470));

  menu.reset();  // a destroyed menu is forgotten, and the click comes back
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  events.clear();
  Send({TrayMouse::RightDown, TrayMouse::RightUp});
  EXPECT_EQ(events[1], "click 1 16 640 470");
}

TEST_F(TrayIconTest, DoubleClickRunsTheEnabledDefaultItemElseRaisesDblClick) {
  tray->SetIcon(NewMailIcon());
  RecordEvents();
  QMenu menu;
  QAction* restore = menu.addAction(QStringLiteral("&Restore"));
  menu.addAction(QStringLiteral("C&lose"));
  menu.setDefaultAction(restore);
  tray->SetPopupMenu(&menu);
  int restored = 0;
  QObject::connect(restore, &QAction::triggered, [&] { ++restored; });

  // What a desktop sends for a double click: a click, then the double click.
  Send({TrayMouse::LeftDown, TrayMouse::LeftUp, TrayMouse::LeftDouble});
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 8 100 200", "click 0 8 100 200", "up 0 8 100 200",
                                              "down 0 64 100 200"}));

  restore->setEnabled(false);
  events.clear();
  Send({TrayMouse::LeftDouble});
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"dblclick", "down 0 64 100 200"}));

  restore->setEnabled(true);
  tray->SetActive(false);  // an inactive icon runs no menu item
  events.clear();
  Send({TrayMouse::LeftDouble});
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(events.front(), "dblclick");
}

TEST_F(TrayIconTest, HandlerErrorGoesToTheApplicationReport) {
  std::string reported;
  SetApplicationErrorReport([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported = e.what();
    }
  });
  tray->SetIcon(NewMailIcon());
  tray->OnClick = [](TrayIcon*, MouseButton, ShiftState, int, int) { throw std::runtime_error("cannot restore"); };
  EXPECT_NO_THROW(Send({TrayMouse::LeftDown, TrayMouse::LeftUp}));
  SetApplicationErrorReport(nullptr);
  EXPECT_EQ(reported, "cannot restore");
}

// Without a notification area (the offscreen platform has none) the desktop's shell refuses the
// icon, and the component stays usable.
TEST(QtTrayShellTest, NoNotificationAreaLeavesTheIconOutOfTheTray) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this desktop has a notification area";
  TrayIcon tray;
  tray.SetIcon(NewMailIcon());
  tray.SetHint(QStringLiteral("Not checked"));
  EXPECT_TRUE(tray.Active());
  EXPECT_FALSE(tray.InTray());
}

}  // namespace
