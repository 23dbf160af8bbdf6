// SPDX-License-Identifier: MIT
#pragma once
// The few lines two starts of the program exchange over a Unix socket in the user's private
// runtime directory: a listener that answers each request line, and a request that waits for
// its answer within a deadline. Plain sockets: the program needs no network library for this.

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/file_descriptor.h"

class LocalListener : public QObject {
 public:
  // answer(request line) gives the answer line, or an empty string to close without one; it
  // runs before the answer is sent, so what it starts is best queued.
  using Answer = std::function<std::string(const std::string& line)>;

  LocalListener() = default;
  ~LocalListener() override;

  // Replaces what a program that died left at `path`; the socket is the user's alone. Throws
  // std::runtime_error with the reason.
  void Listen(const std::string& path, Answer answer);

 private:
  struct Client {
    win::detail::FileDescriptor fd;
    std::unique_ptr<QSocketNotifier> notifier;
    std::string received;
  };
  void Accept();
  void Read(int fd);

  std::string path_;
  win::detail::FileDescriptor server_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::map<int, Client> clients_;
  Answer answer_;
};

// Sends `line` to the listener at `path` and returns its answer line; empty when nobody listens
// there or no whole answer came within `timeoutMilliseconds`.
std::string AskLocalListener(const std::string& path, const std::string& line, int timeoutMilliseconds);
