#pragma once
// SIGINT and SIGTERM as a request to stop, seen by the event loop. The signals are blocked and
// read from a signalfd, so no handler runs inside the signal at all.

#include <QSocketNotifier>

#include <memory>

namespace webmail {

class StopSignals {
 public:
  // Construct before any thread starts, so that every thread has the signals blocked.
  // Throws std::system_error.
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool Requested() const { return signal_ != 0; }
  int Signal() const { return signal_; }

 private:
  void Read();

  int fd_;
  int signal_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace webmail
