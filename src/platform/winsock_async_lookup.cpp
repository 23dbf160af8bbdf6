// SPDX-License-Identifier: MIT
// WSAAsyncGetHostByName: getaddrinfo on a worker thread, the reply posted to the requester.
//
// The request stays pending until its reply is delivered. Cancelling removes it, and the
// reply's admission check then finds nothing and drops the message, so a cancelled or
// destroyed requester never sees a reply and its entry is never written.
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/winsock_internal.h"

namespace ws {
namespace {

struct PendingLookups {
  std::mutex mutex;
  std::map<HANDLE, HostEntry*> requests;  // handle -> where the requester wants the entry
  HANDLE nextHandle = 1;
};

PendingLookups& Pending() {
  static PendingLookups* pending = new PendingLookups;  // workers may outlive static destruction
  return *pending;
}

// Runs on the requester's thread just before the reply is delivered.
bool ClaimReply(HANDLE handle, const detail::Resolution& resolution) {
  std::lock_guard lock(Pending().mutex);
  auto it = Pending().requests.find(handle);
  if (it == Pending().requests.end()) return false;
  if (resolution.error == 0) *it->second = resolution.entry;
  Pending().requests.erase(it);
  return true;
}

void Forget(HANDLE handle) {
  std::lock_guard lock(Pending().mutex);
  Pending().requests.erase(handle);
}

void Resolve(HANDLE handle, HWND window, UINT message, const std::string& name) {
  auto resolution = std::make_shared<const detail::Resolution>(detail::ResolveIpv4(name));
  LPARAM reply = win::MAKELONG(0, static_cast<std::uint16_t>(resolution->error));
  bool posted = win::PostMessage(window, message, handle, reply,
                                 [handle, resolution] { return ClaimReply(handle, *resolution); });
  if (!posted) Forget(handle);  // the window is gone
}

}  // namespace

HANDLE WSAAsyncGetHostByName(HWND window, UINT message, const char* name, HostEntry* entry) {
  int refused = !detail::Started() ? WSANOTINITIALISED
                : (name == nullptr || entry == nullptr || !win::IsWindow(window)) ? WSAEFAULT
                                                                                  : 0;
  if (refused != 0) {
    detail::Fail(refused);
    return 0;
  }
  HANDLE handle;
  {
    std::lock_guard lock(Pending().mutex);
    handle = Pending().nextHandle++;
    Pending().requests[handle] = entry;
  }
  try {
    std::thread(Resolve, handle, window, message, std::string(name)).detach();
  } catch (const std::system_error&) {
    Forget(handle);
    detail::Fail(WSAENOBUFS);
    return 0;
  }
  return handle;
}

int WSACancelAsyncRequest(HANDLE task) {
  std::lock_guard lock(Pending().mutex);
  if (Pending().requests.erase(task) != 0) return 0;
  // A handle that was handed out has completed (or was cancelled) already.
  return detail::Fail(task != 0 && task < Pending().nextHandle ? WSAEALREADY : WSAEINVAL);
}

}  // namespace ws
