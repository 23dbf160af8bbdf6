// SPDX-License-Identifier: MIT
#include <chrono>

#include "platform/message_dispatcher.h"
#include "platform/message_window_registry.h"

namespace win::detail {

void ForgetTimer(Dispatcher& dispatcher, int timerId) {
  dispatcher.StopTimer(timerId);
  std::lock_guard lock(Windows().mutex);
  Windows().timers.erase(timerId);
}

// The tick is queued like any message so that it keeps its place among them; KillTimer before
// the delivery withdraws it.
void OnTimerTick(int timerId) {
  HWND window;
  UINT_PTR id;
  {
    std::lock_guard lock(Windows().mutex);
    auto it = Windows().timers.find(timerId);
    if (it == Windows().timers.end() || it->second.tickQueued) return;
    it->second.tickQueued = true;
    window = it->second.window;
    id = it->second.id;
  }
  auto admit = [timerId] {
    std::lock_guard lock(Windows().mutex);
    auto it = Windows().timers.find(timerId);
    if (it == Windows().timers.end()) return false;
    it->second.tickQueued = false;
    return true;
  };
  PostMessage(window, WM_TIMER, id, 0, admit);
}

}  // namespace win::detail

namespace win {

using detail::Windows;

bool SetTimer(HWND window, UINT_PTR id, UINT elapseMs) {
  KillTimer(window, id);
  detail::Dispatcher* dispatcher;
  {
    std::lock_guard lock(Windows().mutex);
    auto it = Windows().windows.find(window);
    if (it == Windows().windows.end()) return false;
    dispatcher = it->second.dispatcher;
  }
  int timerId = dispatcher->StartTimer(elapseMs);
  if (timerId == 0) return false;
  std::lock_guard lock(Windows().mutex);
  Windows().windows.at(window).timers[id] = timerId;
  Windows().timers[timerId] = {window, id, false};
  return true;
}

bool KillTimer(HWND window, UINT_PTR id) {
  detail::Dispatcher* dispatcher;
  int timerId;
  {
    std::lock_guard lock(Windows().mutex);
    auto it = Windows().windows.find(window);
    if (it == Windows().windows.end()) return false;
    auto timer = it->second.timers.find(id);
    if (timer == it->second.timers.end()) return false;
    dispatcher = it->second.dispatcher;
    timerId = timer->second;
    it->second.timers.erase(timer);
  }
  detail::ForgetTimer(*dispatcher, timerId);
  return true;
}

std::uint32_t GetTickCount() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace win
