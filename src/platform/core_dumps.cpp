// SPDX-License-Identifier: MIT
#include "platform/core_dumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

bool DisableCoreDumps() {
  const rlimit none{0, 0};
  const bool limited = ::setrlimit(RLIMIT_CORE, &none) == 0;
  return ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0 && limited;
}
