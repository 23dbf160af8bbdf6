// SPDX-License-Identifier: MIT
// The real program ended by SIGTERM or SIGINT saves its settings as the close box does, once:
// a save that fails ends it all the same, with the reason on stderr. It runs without core dumps.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "temp_directory.h"

namespace {

using namespace std::chrono_literals;

// Its stderr goes to `errors` when given.
pid_t StartProgram(const std::string& configHome, const std::string& errors = "") {
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vexmira-test-bus", 1);  // no keyring
    if (!errors.empty() && !std::freopen(errors.c_str(), "w", stderr)) ::_exit(126);
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

// Waits until the program catches `signal`; false if it does not start.
bool Started(pid_t pid, int signal) {
  for (int i = 0; i < 250; ++i) {
    if (Catches(pid, signal)) return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

std::string CoreLimit(pid_t pid) {
  std::ifstream limits("/proc/" + std::to_string(pid) + "/limits");
  for (std::string line; std::getline(limits, line);)
    if (line.starts_with("Max core file size")) return line;
  return "";
}

}  // namespace

TEST(ShutdownSignal, SavesTheSettingsAndEnds) {
  for (const int signal : {SIGTERM, SIGINT}) {
    TempDirectory config;
    const std::string path = config.File("vexmira.ini");
    WriteFile(path, "[Other]\nX=1\n[DATA]\nUSERID=bob\nTIME=0x0A\nTIMEENABLED=1\nSAVEPASS=0\nPASS=\xE1\n");
    const pid_t program = StartProgram(config.Path());
    ASSERT_GT(program, 0);
    ASSERT_TRUE(Started(program, signal)) << "the program did not start";
    EXPECT_EQ(CoreLimit(program), "Max core file size        0                    0                    bytes     ");
    ::kill(program, signal);
    EXPECT_EQ(WaitForExit(program, 10s), 0) << "signal " << signal;
    EXPECT_EQ(ReadFile(path),
              "[Other]\nX=1\n[DATA]\nUSERID=bob\nTIME=10\nTIMEENABLED=1\nSAVEPASS=0\nPASS=\n"
              "HEADERS=0\nPNAME=\nSAVEPASSP=0\nPROXYPASS=\nPROXY=\nPORT=\nWAVFILE=\nCHECKED=0\nWAVPLAY=0\nKEYRING=\nSTARTATLOGIN=0\nNOTIFY=0\n")
        << "signal " << signal;
  }
}

// A read-only file, and a directory in the file's place (reported in a box at start, which the
// signal finds open): one attempt, the reason on stderr, the end.
TEST(ShutdownSignal, ASaveThatFailsStillEndsTheProgram) {
  for (const bool readOnly : {true, false}) {
    TempDirectory home;
    const std::string config = home.File("config");
    const std::string path = config + "/vexmira.ini";
    ASSERT_EQ(::mkdir(config.c_str(), 0700), 0);
    if (readOnly) {
      WriteFile(path, "[DATA]\nUSERID=bob\n");
      ASSERT_EQ(::chmod(path.c_str(), 0400), 0);
    } else {
      ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    }
    const pid_t program = StartProgram(config, home.File("stderr.txt"));
    ASSERT_GT(program, 0);
    ASSERT_TRUE(Started(program, SIGTERM)) << "the program did not start";
    std::this_thread::sleep_for(300ms);  // showing its window
    ::kill(program, SIGTERM);
    EXPECT_EQ(WaitForExit(program, 10s), 1) << (readOnly ? "read-only" : "directory");
    const std::string reason = readOnly ? "the file is read-only" : "Is a directory";
    EXPECT_NE(ReadFile(home.File("stderr.txt")).find("Vexmira: Unable to write to " + path + ": " + reason + "\n"),
              std::string::npos)
        << ReadFile(home.File("stderr.txt"));
    if (readOnly) {
      EXPECT_EQ(ReadFile(path), "[DATA]\nUSERID=bob\n");
    }
  }
}
