// SPDX-License-Identifier: MIT
// A crash of the program leaves no core dump: it would hold the passwords.

#include "platform/core_dumps.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "temp_directory.h"

namespace {

// Status of a child that allows core files of any size, optionally turns dumps off (and then
// checks the limit and the flag), and aborts in `directory`, where a dump would land.
int AbortedChild(const std::string& directory, bool disableDumps) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_CORE, &unlimited);
    rlimit limit{};
    if (::chdir(directory.c_str()) != 0) ::_exit(2);
    if (disableDumps && !(DisableCoreDumps() && ::getrlimit(RLIMIT_CORE, &limit) == 0 && limit.rlim_cur == 0 &&
                          limit.rlim_max == 0 && ::prctl(PR_GET_DUMPABLE) == 0))
      ::_exit(3);
    std::abort();
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

}  // namespace

TEST(CoreDumps, AreOffOnceDisabled) {
  TempDirectory withDumps, withoutDumps;
  const int notDumped = AbortedChild(withoutDumps.Path(), true);
  ASSERT_TRUE(WIFSIGNALED(notDumped)) << "exit status " << WEXITSTATUS(notDumped);
  EXPECT_FALSE(WCOREDUMP(notDumped));
  EXPECT_TRUE(std::filesystem::is_empty(withoutDumps.Path()));
  if (!WCOREDUMP(AbortedChild(withDumps.Path(), false))) GTEST_SKIP() << "this system writes no core dumps at all";
}
