// SPDX-License-Identifier: MIT
// The live hidden windows and their timers (internal to the platform layer).
#pragma once

#include <mutex>
#include <unordered_map>

#include "platform/message_window.h"

namespace win::detail {

class Dispatcher;

struct WindowRecord {
  MessageReceiver* receiver;
  Dispatcher* dispatcher;  // of the thread that created the window
  std::unordered_map<UINT_PTR, int> timers;  // timer id -> Qt timer id
};

struct TimerRecord {
  HWND window;
  UINT_PTR id;
  bool tickQueued;  // like Win32, at most one WM_TIMER of a timer waits in the queue
};

struct WindowRegistry {
  std::mutex mutex;
  std::unordered_map<HWND, WindowRecord> windows;
  std::unordered_map<int, TimerRecord> timers;  // by Qt timer id
  HWND nextHandle = 1;
};

WindowRegistry& Windows();
// Stops a Qt timer and drops its record (message_timer.cpp).
void ForgetTimer(Dispatcher& dispatcher, int timerId);

}  // namespace win::detail
