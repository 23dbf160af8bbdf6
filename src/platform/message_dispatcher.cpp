// SPDX-License-Identifier: MIT
#include "platform/message_dispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>

namespace win::detail {
namespace {

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Keeps the pump depth right when a rethrown handler exception leaves RunPump.
struct DepthGuard {
  int& depth;
  explicit DepthGuard(int& d) : depth(d) { ++depth; }
  ~DepthGuard() { --depth; }
};

}  // namespace

Dispatcher& Dispatcher::ForCurrentThread() {
  // Never destroyed: worker threads may still post while the process shuts down.
  thread_local Dispatcher* dispatcher = new Dispatcher;
  return *dispatcher;
}

void Dispatcher::Enqueue(QueuedMessage message) {
  std::lock_guard lock(queueMutex_);
  queue_.push_back(std::move(message));
  PostWakeLocked();
}

void Dispatcher::PostWakeLocked() {
  if (wakePosted_) return;
  wakePosted_ = true;
  QCoreApplication::postEvent(this, new QEvent(kWakeEvent));
}

std::optional<QueuedMessage> Dispatcher::PopFront() {
  std::lock_guard lock(queueMutex_);
  if (queue_.empty()) return std::nullopt;
  QueuedMessage message = std::move(queue_.front());
  queue_.pop_front();
  return message;
}

std::optional<QueuedMessage> Dispatcher::PopFrontIf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(queueMutex_);
  if (pending_ || queue_.empty()) return std::nullopt;
  const QueuedMessage& front = queue_.front();
  if (front.window != window || front.message != message || front.wParam != wParam || front.lParam != lParam) {
    return std::nullopt;
  }
  QueuedMessage taken = std::move(queue_.front());
  queue_.pop_front();
  return taken;
}

bool Dispatcher::event(QEvent* e) {
  if (e->type() != kWakeEvent) return QObject::event(e);
  {
    std::lock_guard lock(queueMutex_);
    wakePosted_ = false;
  }
  Drain();
  return true;
}

// Delivers the messages that were queued when the drain started; later ones wait for the next
// wake, so a handler that keeps posting cannot starve sockets and timers.
void Dispatcher::Drain() {
  std::size_t budget;
  {
    std::lock_guard lock(queueMutex_);
    budget = pending_ ? 0 : queue_.size();
  }
  for (; budget > 0; --budget) {
    std::optional<QueuedMessage> message = PopFront();
    if (!message) break;
    try {
      Deliver(*message);
    } catch (...) {
      if (pumpDepth_ == 0) {
        ReportUncaught(std::current_exception());
        continue;
      }
      pending_ = std::current_exception();  // like a Win32 dispatch: the rest waits
      break;
    }
  }
  std::lock_guard lock(queueMutex_);
  if (!queue_.empty()) PostWakeLocked();
}

void Dispatcher::timerEvent(QTimerEvent* e) { OnTimerTick(e->timerId()); }

void Dispatcher::RunPump(bool mayWait) {
  {
    DepthGuard guard(pumpDepth_);
    QCoreApplication::processEvents(mayWait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
  }
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

// Messages that handlers post during a pass wait for the next wake; PumpMessages delivers them
// itself until none is left, as a PeekMessage loop does.
void Dispatcher::Pump() {
  RunPump(false);
  while (HasQueued()) {
    {
      DepthGuard guard(pumpDepth_);
      Drain();
    }
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
  }
}

bool Dispatcher::HasQueued() {
  std::lock_guard lock(queueMutex_);
  return !queue_.empty();
}
void Dispatcher::Wait() { RunPump(true); }

}  // namespace win::detail

namespace win {

bool TakeNextMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::optional<detail::QueuedMessage> next =
      detail::Dispatcher::ForCurrentThread().PopFrontIf(window, message, wParam, lParam);
  return next && (!next->admit || next->admit());
}

void PumpMessages() { detail::Dispatcher::ForCurrentThread().Pump(); }
void WaitMessages() { detail::Dispatcher::ForCurrentThread().Wait(); }

}  // namespace win
