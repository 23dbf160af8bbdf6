// The real program ended by SIGTERM or SIGINT saves its settings as the close box does.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "temp_directory.h"

namespace {

using namespace std::chrono_literals;

pid_t StartProgram(const std::string& configHome) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(VEXMIRA_BINARY, "vexmira", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return child;
}

// True once the program catches `signal`: it installs its handler after the settings are loaded.
bool Catches(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("SigCgt:")) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
  return false;
}

// The exit status, or -1 when the program is still running after `limit`.
int WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  for (auto waited = 0ms; waited < limit; waited += 20ms) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid)
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(20ms);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

}  // namespace

TEST(ShutdownSignal, SavesTheSettingsAndEnds) {
  for (const int signal : {SIGTERM, SIGINT}) {
    TempDirectory config;
    const std::string path = config.File("vexmira.ini");
    WriteFile(path, "[Other]\nX=1\n[DATA]\nUSERID=bob\nTIME=0x0A\nTIMEENABLED=1\nSAVEPASS=0\nPASS=\xE1\n");
    const pid_t program = StartProgram(config.Path());
    ASSERT_GT(program, 0);
    bool ready = false;
    for (int i = 0; i < 250 && !(ready = Catches(program, signal)); ++i) std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(ready) << "the program did not start";
    ::kill(program, signal);
    EXPECT_EQ(WaitForExit(program, 10s), 0) << "signal " << signal;
    EXPECT_EQ(ReadFile(path),
              "[Other]\nX=1\n[DATA]\nUSERID=bob\nTIME=10\nTIMEENABLED=1\nSAVEPASS=0\nPASS=\n"
              "HEADERS=0\nPNAME=\nSAVEPASSP=0\nPROXYPASS=\nPROXY=\nPORT=\nWAVFILE=\nCHECKED=0\nWAVPLAY=0\nSTARTATLOGIN=0\n")
        << "signal " << signal;
  }
}
