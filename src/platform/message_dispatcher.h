// SPDX-License-Identifier: MIT
// Per-thread message queue behind the hidden windows (internal to the platform layer).
//
// Every message of a thread goes through one FIFO, so delivery keeps posting order across all
// windows of the thread. Qt only carries a "wake" event that makes the dispatcher drain the
// FIFO; socket notifiers and timers never run user code themselves, they post messages too.
#pragma once

#include <QObject>

#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/message_window.h"

namespace win::detail {

struct QueuedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  MessageAdmission admit;
};

class Dispatcher : public QObject {
 public:
  // The dispatcher of the calling thread, created on first use and kept for the process.
  static Dispatcher& ForCurrentThread();

  void Enqueue(QueuedMessage message);  // any thread
  // The front message, when it is this one (TakeNextMessage).
  std::optional<QueuedMessage> PopFrontIf(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Pump();                          // PumpMessages
  void Wait();                          // WaitMessages

  // Qt timers of the thread's windows; each tick becomes a queued WM_TIMER (OnTimerTick). Precise:
  // a coarse Qt timer may tick up to 5 % early, and time limits must not end a request early.
  int StartTimer(UINT elapseMs) { return startTimer(static_cast<int>(elapseMs), Qt::PreciseTimer); }
  void StopTimer(int timerId) { killTimer(timerId); }

 protected:
  bool event(QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
  Dispatcher() = default;
  void Drain();
  void PostWakeLocked();
  std::optional<QueuedMessage> PopFront();
  void RunPump(bool mayWait);
  bool HasQueued();

  std::mutex queueMutex_;
  std::deque<QueuedMessage> queue_;
  bool wakePosted_ = false;
  int pumpDepth_ = 0;
  std::exception_ptr pending_;  // thrown by a handler, rethrown by the pump that dispatched it
};

// Delivers one message to its window's receiver (message_window.cpp).
void Deliver(const QueuedMessage& message);
// Turns a Qt timer tick into a WM_TIMER message (message_timer.cpp).
void OnTimerTick(int timerId);
// Handles an exception that left a handler while no pump was running (message_window.cpp).
void ReportUncaught(std::exception_ptr error);

}  // namespace win::detail
