// SPDX-License-Identifier: MIT
// check_cycle_soak PROXY_PORT CYCLES [LOGIN PASSWORD]
// Runs whole check cycles with Show Headers on (login POST, scan, logout) through a proxy on
// 127.0.0.1 (the webmail emulator) and prints the time per cycle and the process's resident
// memory and open descriptors before and after, to show that nothing grows.

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "session/check_cycle.h"

namespace {

// The windows of a user who wants headers and closes every box at once.
class HeadlessView : public MainView {
 public:
  HeadlessView(std::string port, std::string login, std::string password)
      : port_(std::move(port)), login_(std::move(login)), password_(std::move(password)) {}
  std::string LoginText() const override { return login_; }
  std::string PasswordText() const override { return password_; }
  bool UseProxyChecked() const override { return true; }
  std::string ProxyUserText() const override { return ""; }
  std::string ProxyPasswordText() const override { return ""; }
  std::string ProxyHostText() const override { return "127.0.0.1"; }
  std::string ProxyPortText() const override { return port_; }
  bool ShowHeadersChecked() const override { return true; }
  bool PlaySoundChecked() const override { return false; }
  void SetStatusText(const std::string&) override {}
  void SetCheckEnabled(bool) override {}
  void SetStopEnabled(bool) override {}
  void SetHeaderButtonEnabled(bool) override {}
  void MailboxStateChanged() override {}
  bool TrayActive() const override { return false; }
  void ShowMessage(const std::string& text) override { lastMessage = text; }
  void ShowMessagesWindow() override { ++windowsShown; }
  void ShowError(std::exception_ptr) override {}
  void PlayNewMailSound() override {}
  void NotifyNewMail(const std::string&) override {}

  std::string lastMessage;
  long windowsShown = 0;

 private:
  std::string port_, login_, password_;
};

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

long OpenDescriptors() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator{});
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: check_cycle_soak PROXY_PORT CYCLES [LOGIN PASSWORD]\n");
    return 2;
  }
  const long cycles = std::stol(argv[2]);
  HeadlessView view(argv[1], argc > 3 ? argv[3] : "alice", argc > 4 ? argv[4] : "wonderland");
  WebmailSession session(view);
  session.RunCheckCycle();  // warm-up: first allocations, look-up tables
  const long rssBefore = ResidentKiB(), fdsBefore = OpenDescriptors();
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < cycles; ++i) session.RunCheckCycle();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const bool failed = view.windowsShown != cycles + 1 || session.State.NewMailCount <= 0;
  std::printf("cycles %ld  %.3f ms/cycle  rss %ld -> %ld KiB  fds %ld -> %ld  %s\n", cycles,
              1000 * seconds / static_cast<double>(cycles), rssBefore, ResidentKiB(), fdsBefore, OpenDescriptors(),
              failed ? ("FAILED: " + view.lastMessage).c_str() : "every cycle showed the new mail");
  return failed ? 1 : 0;
}
