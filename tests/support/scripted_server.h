// SPDX-License-Identifier: MIT
// A loopback HTTP peer on its own thread: it accepts connections one after the other, records
// each request as it arrived (header and, by Content-Length, body), and answers each with the
// next script of steps. It lets Get and Post block the test's thread as they do in the program.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httptest {

struct Step {
  enum Kind { Send, Pause, Close, Reset, Hold, Read } kind;
  std::string bytes;     // Send
  int ms = 0;            // Pause
  std::size_t count = 0;  // Read: up to this many bytes of what the client sends, not waiting
};

inline Step Send(std::string bytes) { return {Step::Send, std::move(bytes), 0}; }
inline Step Pause(int ms) { return {Step::Pause, {}, ms}; }
inline Step Hold() { return {Step::Hold, {}, 0}; }  // keep the connection open and silent
inline Step Read(std::size_t count) { return {Step::Read, {}, 0, count}; }

using Script = std::vector<Step>;

class ScriptedServer {
 public:
  // One script per expected connection; a connection beyond them is answered by closing. The
  // address is a loopback one ("another host" is 127.0.0.2); port 0 lets the system choose.
  explicit ScriptedServer(std::vector<Script> scripts, bool readRequest = true, const std::string& address = "127.0.0.1",
                          std::uint16_t port = 0);
  ~ScriptedServer();

  std::uint16_t Port() const { return port_; }
  std::string Url(const std::string& path = "/") const;
  std::string HostPort() const { return address_ + ":" + std::to_string(port_); }
  std::vector<std::string> Requests();  // the requests received so far
  int Connections() const { return connections_; }
  // Receive buffer of the connections accepted from now on; a small one keeps a large request
  // waiting on the client's side.
  void SetReceiveBuffer(int bytes);

 private:
  void Run(std::vector<Script> scripts);
  void Serve(int fd, const Script& script);

  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::string address_;
  std::uint16_t port_ = 0;
  bool readRequest_;
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Reads one request from fd: the header up to the empty line, then Content-Length bytes.
std::string ReadRequest(int fd);

}  // namespace httptest
