// SPDX-License-Identifier: MIT
// WSAAsyncSelect: socket readiness from QSocketNotifier turned into posted notifications.
//
// Each notifier stays disabled from the moment its notification is posted until the call that
// WinSock names as re-enabling it (recv, accept, a blocked send), so one readiness never
// floods the queue and the waits sleep while nothing happens.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/winsock_internal.h"

namespace ws::detail {
namespace {

void Enable(const std::unique_ptr<QSocketNotifier>& notifier, bool on) {
  if (notifier) notifier->setEnabled(on);
}

bool ReadWatchable(const SocketEntry& entry) {
  return !entry.closeNotified && !entry.connecting && (entry.connected || entry.listening || entry.datagram);
}

// Stream socket readable with nothing buffered: the peer has closed or reset the connection.
void OnStreamDrained(SocketEntry& entry) {
  char byte;
  ssize_t peeked = ::recv(entry.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (peeked > 0) {
    PostEvent(entry, FD_READ, 0);
    return;
  }
  if (peeked < 0 && (errno == EWOULDBLOCK || errno == EINTR)) {
    entry.reader->setEnabled(true);  // nothing after all
    return;
  }
  entry.closeNotified = true;
  PostEvent(entry, FD_CLOSE, peeked == 0 ? 0 : FromErrno(errno));
}

void OnReadable(SOCKET s) {
  SocketEntry* entry = FindSocket(s);
  if (!entry) return;
  entry->reader->setEnabled(false);
  if (entry->listening) {
    PostEvent(*entry, FD_ACCEPT, 0);
    return;
  }
  int pending = 0;
  if (entry->datagram || (::ioctl(entry->fd, FIONREAD, &pending) == 0 && pending > 0)) {
    PostEvent(*entry, FD_READ, 0);
    return;
  }
  OnStreamDrained(*entry);
}

void OnWritable(SOCKET s) {
  SocketEntry* entry = FindSocket(s);
  if (!entry) return;
  entry->writer->setEnabled(false);
  if (!entry->connecting) {
    PostEvent(*entry, FD_WRITE, 0);
    return;
  }
  entry->connecting = false;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(entry->fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0) error = errno;
  PostEvent(*entry, FD_CONNECT, FromErrno(error));
  if (error != 0) return;
  entry->connected = true;
  PostEvent(*entry, FD_WRITE, 0);
  ArmRead(*entry);
}

std::unique_ptr<QSocketNotifier> MakeNotifier(SOCKET s, QSocketNotifier::Type type, void (*handler)(SOCKET)) {
  auto notifier = std::make_unique<QSocketNotifier>(static_cast<qintptr>(s), type);
  notifier->setEnabled(false);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [s, handler] { handler(s); });
  return notifier;
}

}  // namespace

void PostEvent(SocketEntry& entry, long event, int error) {
  if ((entry.mask & event) == 0) return;
  win::PostMessage(entry.window, entry.message, entry.fd, WSAMAKESELECTREPLY(event, error), WhileOpen(entry));
}

void ArmRead(SocketEntry& entry) { Enable(entry.reader, ReadWatchable(entry)); }

void ArmWrite(SocketEntry& entry) { Enable(entry.writer, (entry.mask & FD_WRITE) != 0); }

void StartConnectWatch(SocketEntry& entry) {
  entry.connecting = true;
  Enable(entry.reader, false);
  Enable(entry.writer, true);
}

}  // namespace ws::detail

namespace ws {

int WSAAsyncSelect(SOCKET s, HWND window, UINT message, long mask) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return detail::Fail(WSAENOTSOCK);
  if (mask != 0 && !win::IsWindow(window)) return detail::Fail(WSAEINVAL);
  int flags = ::fcntl(entry->fd, F_GETFL);
  if (flags < 0 || ::fcntl(entry->fd, F_SETFL, flags | O_NONBLOCK) < 0) return detail::Fail(detail::FromErrno(errno));
  entry->nonBlocking = true;
  entry->window = window;
  entry->message = message;
  entry->mask = mask;
  entry->reader.reset();
  entry->writer.reset();
  if (mask == 0) return 0;
  entry->reader = detail::MakeNotifier(s, QSocketNotifier::Read, detail::OnReadable);
  entry->writer = detail::MakeNotifier(s, QSocketNotifier::Write, detail::OnWritable);
  if (entry->connecting) {
    detail::StartConnectWatch(*entry);
  } else {
    detail::ArmRead(*entry);
    if (entry->connected || entry->datagram) detail::ArmWrite(*entry);
  }
  return 0;
}

bool PostSocketNotification(SOCKET s, HWND window, UINT message, LPARAM lParam) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return false;
  return win::PostMessage(window, message, s, lParam, WhileOpen(*entry));
}

}  // namespace ws
