#pragma once
// SIGTERM, SIGINT and SIGHUP as calls on the GUI thread. The signal handler only writes the
// signal's number into a pipe; the event loop reads it and runs the callback, so nothing of the
// program runs inside the handler.

#include <QObject>

#include <functional>

class QSocketNotifier;

class ShutdownSignals : public QObject {
 public:
  // One instance per process. Throws std::system_error when the pipe cannot be made.
  explicit ShutdownSignals(std::function<void(int signal)> onSignal);
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

 private:
  void ReadSignals();

  std::function<void(int)> onSignal_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};
