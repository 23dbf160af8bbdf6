// SPDX-License-Identifier: MIT
#pragma once
// The desktop's start at login: a desktop entry named after the program's id in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart, or ~/.config/autostart), which the session
// runs when the user logs in.

#include <stdexcept>
#include <string>
#include <vector>

namespace win {

// An entry that could not be written or removed; what was there before stays.
class AutostartError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string AutostartEntryPath(const std::string& appId);

// Writes (or replaces) the entry so that it runs `command`, the program's path first.
// Throws AutostartError, also for an argument that an entry cannot hold (a control character).
void WriteAutostartEntry(const std::string& appId, const std::string& name, const std::vector<std::string>& command);

// A missing entry is no error. Throws AutostartError.
void RemoveAutostartEntry(const std::string& appId);

// The Exec value that runs `command`: each argument in double quotes, with a backslash before
// each ", `, $ and backslash in it; then backslashes doubled and "%" written "%%", as the
// string values of a desktop entry need.
std::string DesktopExecLine(const std::vector<std::string>& command);

}  // namespace win
