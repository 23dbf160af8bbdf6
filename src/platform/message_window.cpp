// SPDX-License-Identifier: MIT
#include <QtGlobal>

#include <mutex>
#include <unordered_map>

#include "platform/message_dispatcher.h"
#include "platform/message_window_registry.h"

namespace win::detail {

WindowRegistry& Windows() {
  static WindowRegistry* registry = new WindowRegistry;  // posted to from worker threads until exit
  return *registry;
}

void Deliver(const QueuedMessage& message) {
  if (message.admit && !message.admit()) return;
  MessageReceiver* receiver = nullptr;
  {
    std::lock_guard lock(Windows().mutex);
    auto it = Windows().windows.find(message.window);
    if (it != Windows().windows.end()) receiver = it->second.receiver;
  }
  if (receiver) receiver->WindowProc(message.message, message.wParam, message.lParam);
}

namespace {

std::function<void(std::exception_ptr)>& UncaughtHandler() {
  static std::function<void(std::exception_ptr)> handler;
  return handler;
}

}  // namespace

void ReportUncaught(std::exception_ptr error) {
  if (UncaughtHandler()) {
    UncaughtHandler()(error);
    return;
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    qWarning("Unhandled exception in a message handler: %s", e.what());
  } catch (...) {
    qWarning("Unhandled exception in a message handler");
  }
}

}  // namespace win::detail

namespace win {

using detail::Windows;

HWND CreateMessageWindow(MessageReceiver& receiver) {
  detail::Dispatcher& dispatcher = detail::Dispatcher::ForCurrentThread();
  std::lock_guard lock(Windows().mutex);
  HWND handle = Windows().nextHandle++;
  Windows().windows.emplace(handle, detail::WindowRecord{&receiver, &dispatcher, {}});
  return handle;
}

void DestroyMessageWindow(HWND window) {
  std::unordered_map<UINT_PTR, int> timers;
  detail::Dispatcher* dispatcher = nullptr;
  {
    std::lock_guard lock(Windows().mutex);
    auto it = Windows().windows.find(window);
    if (it == Windows().windows.end()) return;
    timers = std::move(it->second.timers);
    dispatcher = it->second.dispatcher;
    Windows().windows.erase(it);
  }
  for (const auto& [id, timerId] : timers) detail::ForgetTimer(*dispatcher, timerId);
}

bool IsWindow(HWND window) {
  std::lock_guard lock(Windows().mutex);
  return Windows().windows.count(window) != 0;
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessage(window, message, wParam, lParam, nullptr);
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, MessageAdmission admit) {
  std::lock_guard lock(Windows().mutex);
  auto it = Windows().windows.find(window);
  if (it == Windows().windows.end()) return false;
  it->second.dispatcher->Enqueue({window, message, wParam, lParam, std::move(admit)});
  return true;
}

void SetUncaughtExceptionHandler(std::function<void(std::exception_ptr)> handler) {
  detail::UncaughtHandler() = std::move(handler);
}

}  // namespace win
