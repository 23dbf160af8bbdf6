// SPDX-License-Identifier: MIT
#pragma once
// How the program was asked to start, from its command line.

struct StartOptions {
  // --minimized: start in the notification area, or minimised where there is none.
  bool minimized = false;
};
