// SPDX-License-Identifier: MIT
#pragma once
// Runs a step of a test in a child process (as another user, in its own mount namespace, or to be
// killed) and brings back what it reported.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

// Runs `body` in a child; returns the text it returned, or "<child failed>" when it did not end
// normally.
inline std::string InChild(const std::function<std::string()>& body) {
  int pipe[2];
  if (::pipe(pipe) != 0) return "<child failed>";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    const std::string report = body();
    [[maybe_unused]] const ssize_t written = ::write(pipe[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? report : "<child failed>";
}

// The unprivileged user that tests run as when root's rights would hide the fault.
inline constexpr uid_t kNobody = 65534;

inline bool BecomeNobody() { return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0; }
