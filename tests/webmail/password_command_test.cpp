// SPDX-License-Identifier: MIT
// The password command's time limit: one deadline for its output and its end, and nothing it
// started outlives it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "webmail/imap/password_source.h"

using webmail::FetchPassword;
using webmail::GatewayConfigError;
using webmail::PasswordSource;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::chrono::milliseconds kLimit{1000};
constexpr std::chrono::milliseconds kMargin{500};

// The commands' orphans come to this process, as to an init that reaps them, so that a killed
// one can be told from one that still runs.
struct AdoptOrphans {
  AdoptOrphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
  ~AdoptOrphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 0); }
  AdoptOrphans(const AdoptOrphans&) = delete;
  AdoptOrphans& operator=(const AdoptOrphans&) = delete;
};

// Where a command notes the ids of the processes it starts, one a line.
struct PidFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("password-command-" + std::to_string(::getpid()) + ".pids");
  PidFile() { std::filesystem::remove(path); }
  ~PidFile() { std::filesystem::remove(path); }

  std::vector<pid_t> Pids() const {
    std::vector<pid_t> pids;
    std::ifstream in(path);
    for (pid_t pid = 0; in >> pid;) pids.push_back(pid);
    return pids;
  }
};

// Whether `pid` is gone within a short while: reaped here as an adopted orphan, or by its
// parent before that parent ended. One that still runs is killed.
bool Ended(pid_t pid) {
  const auto until = Clock::now() + std::chrono::seconds(2);
  while (::waitpid(pid, nullptr, WNOHANG) == 0 || ::kill(pid, 0) == 0) {
    if (Clock::now() >= until) {
      ::kill(pid, SIGKILL);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

struct Outcome {
  std::string text;  // the password or the error
  Clock::duration took;
};

Outcome RunCommand(const std::string& command) {
  const auto started = Clock::now();
  std::string text;
  try {
    text = FetchPassword({PasswordSource::Kind::Command, command}, kLimit);
  } catch (const GatewayConfigError& e) {
    text = e.what();
  }
  return {text, Clock::now() - started};
}

}  // namespace

TEST(PasswordCommand, TheLimitEndsTheCommandAndAllItStarted) {
  const AdoptOrphans adopt;
  const PidFile file;
  const std::string note = " echo $! >>" + file.path.string() + ";";
  const std::string self = "echo $$ >>" + file.path.string() + ";";
  const std::vector<std::string> commands = {
      // output closed, then a wait for a child
      "echo secret; exec >&-; sleep 30 &" + note + " wait",
      // output held open by a pipeline
      "sh -c '" + self + " exec sleep 30' | sh -c '" + self + " exec cat'",
      // the shell gone, its background child holding the output
      "echo secret; sleep 30 &" + note,
  };
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const Outcome outcome = RunCommand(command);
    EXPECT_EQ(outcome.text, "The password command did not finish within 1 second");
    EXPECT_GE(outcome.took, kLimit - std::chrono::milliseconds(10));
    EXPECT_LT(outcome.took, kLimit + kMargin);
    const std::vector<pid_t> pids = file.Pids();
    EXPECT_FALSE(pids.empty());
    for (const pid_t pid : pids) EXPECT_TRUE(Ended(pid)) << pid;
    std::filesystem::remove(file.path);
  }
}

TEST(PasswordCommand, WhatAFinishedCommandLeftBehindIsEnded) {
  const AdoptOrphans adopt;
  const PidFile file;
  const Outcome outcome = RunCommand("echo secret; sleep 30 >/dev/null & echo $! >" + file.path.string());
  EXPECT_EQ(outcome.text, "secret");
  EXPECT_LT(outcome.took, kLimit);
  ASSERT_EQ(file.Pids().size(), 1u);
  EXPECT_TRUE(Ended(file.Pids()[0]));
}
