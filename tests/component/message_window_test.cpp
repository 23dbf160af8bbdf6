// SPDX-License-Identifier: MIT
// Hidden windows: delivery order, withdrawn messages, timers, and handler exceptions.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/message_window.h"
#include "test_support.h"

using testing_support::PumpUntil;

namespace {

struct Recorder : win::MessageReceiver {
  std::vector<std::pair<win::HWND, win::UINT>>* log;
  win::HWND window;
  win::UINT throwOn = 0;
  explicit Recorder(std::vector<std::pair<win::HWND, win::UINT>>* l) : log(l), window(win::CreateMessageWindow(*this)) {}
  ~Recorder() { win::DestroyMessageWindow(window); }
  void WindowProc(win::UINT message, win::WPARAM, win::LPARAM) override {
    log->push_back({window, message});
    if (message == throwOn) throw std::runtime_error("handler failed");
  }
};

TEST(MessageWindow, DeliversLaterInPostingOrderAcrossWindows) {
  std::vector<std::pair<win::HWND, win::UINT>> log;
  Recorder a(&log), b(&log);
  ASSERT_TRUE(win::PostMessage(a.window, 1, 0, 0));
  ASSERT_TRUE(win::PostMessage(b.window, 2, 0, 0));
  ASSERT_TRUE(win::PostMessage(a.window, 3, 0, 0));
  EXPECT_TRUE(log.empty());
  ASSERT_TRUE(PumpUntil([&] { return log.size() == 3; }));
  std::vector<std::pair<win::HWND, win::UINT>> expected{{a.window, 1}, {b.window, 2}, {a.window, 3}};
  EXPECT_EQ(log, expected);
}

TEST(MessageWindow, DropsMessagesOfDestroyedWindowsAndWithdrawnOnes) {
  std::vector<std::pair<win::HWND, win::UINT>> log;
  Recorder kept(&log);
  win::HWND gone;
  {
    Recorder doomed(&log);
    gone = doomed.window;
    win::PostMessage(doomed.window, 7, 0, 0);
  }
  EXPECT_FALSE(win::IsWindow(gone));
  EXPECT_FALSE(win::PostMessage(gone, 8, 0, 0));
  win::PostMessage(kept.window, 9, 0, 0, [] { return false; });
  win::PostMessage(kept.window, 10, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !log.empty(); }));
  testing_support::PumpFor(50);
  std::vector<std::pair<win::HWND, win::UINT>> expected{{kept.window, 10}};
  EXPECT_EQ(log, expected);
}

TEST(MessageWindow, TimerTicksUntilKilled) {
  std::vector<std::pair<win::HWND, win::UINT>> log;
  Recorder r(&log);
  ASSERT_TRUE(win::SetTimer(r.window, 5, 10));
  ASSERT_TRUE(PumpUntil([&] { return log.size() >= 3; }));
  EXPECT_EQ(log.front().second, win::WM_TIMER);
  EXPECT_TRUE(win::KillTimer(r.window, 5));
  EXPECT_FALSE(win::KillTimer(r.window, 5));
  std::size_t ticks = log.size();
  testing_support::PumpFor(60);
  EXPECT_EQ(log.size(), ticks);
}

TEST(MessageWindow, HandlerExceptionLeavesThePumpAndTheRestWaits) {
  std::vector<std::pair<win::HWND, win::UINT>> log;
  Recorder r(&log);
  r.throwOn = 2;
  win::PostMessage(r.window, 1, 0, 0);
  win::PostMessage(r.window, 2, 0, 0);
  win::PostMessage(r.window, 3, 0, 0);
  bool thrown = false;
  for (int i = 0; i < 100 && !thrown; ++i) {
    try {
      win::WaitMessages();
    } catch (const std::runtime_error& e) {
      thrown = true;
      EXPECT_STREQ(e.what(), "handler failed");
    }
  }
  ASSERT_TRUE(thrown);
  EXPECT_EQ(log.size(), 2u);
  ASSERT_TRUE(PumpUntil([&] { return log.size() == 3; }));
  EXPECT_EQ(log.back().second, 3u);
}

TEST(MessageWindow, PumpMessagesReturnsOnlyWithTheQueueEmpty) {
  // Each handler posts the next message, so every pass of the pump finds a new one queued.
  struct Chain : win::MessageReceiver {
    win::HWND window = win::CreateMessageWindow(*this);
    std::vector<win::UINT> seen;
    ~Chain() { win::DestroyMessageWindow(window); }
    void WindowProc(win::UINT message, win::WPARAM, win::LPARAM) override {
      seen.push_back(message);
      if (message < 5) win::PostMessage(window, message + 1, 0, 0);
    }
  } chain;
  win::PostMessage(chain.window, 1, 0, 0);
  win::PumpMessages();
  EXPECT_EQ(chain.seen, (std::vector<win::UINT>{1, 2, 3, 4, 5}));
}

}  // namespace
