// SPDX-License-Identifier: MIT
#pragma once
// The program's event loop as a mail store sees it: a store that works on threads of its own
// hands its results back through it, and bounds the wait for them with its timers.

#include <chrono>
#include <functional>

namespace webmail {

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Runs `task` on the event loop's thread; may be called from any thread.
  virtual void Post(std::function<void()> task) = 0;

  // Runs `task` on the event loop after `delay`; called from the event loop's thread.
  virtual void Later(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

}  // namespace webmail
