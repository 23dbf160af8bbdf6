// SPDX-License-Identifier: MIT
// Hidden message windows on the Qt event loop.
//
// A window is a handle bound to a receiver. Messages posted to it are delivered later, on the
// thread that created the window, in posting order, by whatever runs that thread's event loop
// (QCoreApplication::exec, PumpMessages or WaitMessages). Posting is allowed from any thread.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace win {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using HWND = std::uintptr_t;  // 0 is no window
using UINT_PTR = std::uintptr_t;

constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;

constexpr std::uint16_t LOWORD(LPARAM l) { return static_cast<std::uint16_t>(l & 0xFFFF); }
constexpr std::uint16_t HIWORD(LPARAM l) { return static_cast<std::uint16_t>((l >> 16) & 0xFFFF); }
constexpr LPARAM MAKELONG(std::uint16_t low, std::uint16_t high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16));
}

class MessageReceiver {
 public:
  virtual void WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~MessageReceiver() = default;
};

// Creates a hidden window whose messages go to `receiver`. The receiver must outlive the window.
HWND CreateMessageWindow(MessageReceiver& receiver);
// Messages still queued for a destroyed window are dropped. Safe inside the window's own handler.
void DestroyMessageWindow(HWND window);
bool IsWindow(HWND window);

// Queues a message; false when the window does not exist.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Same, but `admit` runs on the window's thread just before delivery; false drops the message.
// Lets a sender withdraw a message that became stale while it waited in the queue.
using MessageAdmission = std::function<bool()>;
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, MessageAdmission admit);

// Removes the calling thread's next message when it is exactly this one and still admitted, so
// that its window can handle it at once: it is what the loop would deliver next anyway, so the
// order of messages is kept and a wake-up of the loop is saved. False when another message
// comes first, the queue is empty, or the message became stale.
bool TakeNextMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Delivers everything pending for the calling thread (posted messages, socket readiness, due
// timers), including what the handlers post meanwhile, until the queue is empty; never waits.
void PumpMessages();
// Sleeps until something arrives for the calling thread, then delivers everything pending.
void WaitMessages();

// Every `elapseMs` milliseconds the window receives WM_TIMER with wParam = id, until KillTimer.
// Setting an existing id restarts it with the new period. Call both on the window's thread.
bool SetTimer(HWND window, UINT_PTR id, UINT elapseMs);
bool KillTimer(HWND window, UINT_PTR id);

// An exception that leaves a window's handler propagates out of the PumpMessages or WaitMessages
// call that dispatched it; the messages behind it stay queued. When the dispatch came from
// QCoreApplication::exec instead, the exception goes to this handler (by default a warning on
// stderr) and the loop goes on.
void SetUncaughtExceptionHandler(std::function<void(std::exception_ptr)> handler);

// Milliseconds since an arbitrary start, wrapping at 2^32.
std::uint32_t GetTickCount();

}  // namespace win
