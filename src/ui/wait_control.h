// SPDX-License-Identifier: MIT
// WaitControl: a small control that counts seconds down under a shrinking bar. Its modal wait keeps
// the application's messages flowing (so sockets and timers go on) while key presses and mouse
// clicks only beep. The socket component uses it, through WaitCountdown, for its waits outside
// MultiThreaded mode.
#pragma once

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "net/wait_countdown.h"
#include "platform/message_window.h"

class WaitControl;

using WaitEvent = std::function<void(WaitControl* Sender, std::int32_t Count)>;
using WaitNotifyEvent = std::function<void(WaitControl* Sender)>;

class WaitControl : public QWidget, public WaitCountdown, private win::MessageReceiver {
 public:
  enum : std::int32_t { mrNone = 0, mrStopped = 1, mrTimedOut = 2 };

  explicit WaitControl(QWidget* Owner = nullptr);
  ~WaitControl() override;

  // Counts down from Caption (15 when it holds no count); OnWaitStart.
  void Start() override;
  // Ends the count with ModalResult mrStopped and Caption back at the start count; OnWaitStop.
  void Stop() override;
  // Starts and dispatches messages until stopped or run out; input only beeps meanwhile.
  void RunModal() override;
  virtual void ResetCount();
  // One timer interval: one second less, or the end of the count (mrTimedOut, OnTimeout).
  void TimerTick();

  bool Running() const override { return FRunning; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) override;
  void SetVisible(bool Value) override { setVisible(Value); }
  std::uint16_t Interval() const { return FInterval; }
  void SetInterval(std::uint16_t Value);

  std::int32_t ModalResult = mrNone;
  WaitEvent OnWait;
  WaitNotifyEvent OnWaiting;
  WaitNotifyEvent OnWaitStart;
  WaitNotifyEvent OnWaitStop;
  WaitNotifyEvent OnTimeout;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
  void SetTimerEnabled(bool Enabled);

  QPen FPen;
  QFont FFont;
  QBrush FBrush;
  std::string FCaption = "60";
  std::int32_t InitialCount = 60;
  std::uint16_t FInterval = 1000;
  bool FRunning = false;
  // The countdown ticks arrive as WM_TIMER through the message queue, so an exception from an
  // event handler leaves the wait's message pump like any other.
  win::HWND FTimerWindow;
};
