// SPDX-License-Identifier: MIT
#include "platform/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t signalPipe = -1;

void OnSignal(int signal) {
  const int savedErrno = errno;
  const auto number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(signalPipe, &number, 1);  // full pipe: one is queued
  errno = savedErrno;
}

void SetDisposition(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

StopSignals::StopSignals(std::function<void(int signal)> onSignal) : onSignal_(std::move(onSignal)) {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
  signalPipe = pipe_[1];
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadSignals(); });
  SetDisposition(OnSignal);
}

StopSignals::~StopSignals() {
  SetDisposition(SIG_DFL);
  signalPipe = -1;
  delete notifier_;  // before its descriptor goes
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void StopSignals::ReadSignals() {
  unsigned char number = 0;
  while (::read(pipe_[0], &number, 1) == 1) onSignal_(number);
}
