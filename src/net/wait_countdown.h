// SPDX-License-Identifier: MIT
// What the socket needs of a visible countdown control for its modal waits. The control itself
// is a widget of the user interface layer; the socket only sees this interface.
#pragma once

#include <string>
#include <vector>

class AsyncSocketBase;

class WaitCountdown {
 public:
  WaitCountdown() = default;
  WaitCountdown(const WaitCountdown&) = delete;
  WaitCountdown& operator=(const WaitCountdown&) = delete;
  // Every socket that still uses the control forgets it.
  virtual ~WaitCountdown();

  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  // Counts down while dispatching messages; returns once stopped or run out.
  virtual void RunModal() = 0;
  virtual bool Running() const = 0;

 private:
  friend class AsyncSocketBase;
  std::vector<AsyncSocketBase*> FUsers;
};
