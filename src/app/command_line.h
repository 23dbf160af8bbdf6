// SPDX-License-Identifier: MIT
#pragma once
// The command line, read before the GUI starts, so that --help and --version answer on a
// terminal without a display. Qt's own GUI options (-platform, -style, -session for a session
// restart, ...) are accepted and left for QApplication, which takes them out of argv.

#include <variant>

#include "ui/start_options.h"

// The start options; or, when the program ends here, its exit status: 0 after --help or
// --version (printed on stdout), 2 after a usage error (printed on stderr).
std::variant<StartOptions, int> ReadCommandLine(int argc, char* argv[]);
