// SPDX-License-Identifier: MIT
#pragma once
// SIGTERM, SIGINT and SIGHUP as calls on the event loop's thread. The signal handler only writes
// the signal's number into a pipe; the event loop reads it and runs the callback, so nothing of
// the program runs inside the handler, whichever thread the signal interrupts.

#include <QObject>

#include <functional>

class QSocketNotifier;

class StopSignals : public QObject {
 public:
  // One instance per process. Throws std::system_error when the pipe cannot be made.
  explicit StopSignals(std::function<void(int signal)> onSignal);
  ~StopSignals() override;
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  void ReadSignals();

  std::function<void(int)> onSignal_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};
