// SPDX-License-Identifier: MIT
#include "platform/autostart_entry.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <filesystem>

#include "platform/profile_file.h"
#include "platform/whole_file.h"

namespace win {
namespace {

std::string QuotedArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (const char c : argument) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      throw AutostartError("A start at login cannot run a command with a control character: " + argument);
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// A desktop entry's plain string value: only the backslash is special (control bytes never reach
// here, QuotedArgument refused them before).
std::string DesktopString(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\') escaped += c;
    escaped += c;
  }
  return escaped;
}

}  // namespace

std::string AutostartEntryPath(const std::string& appId) {
  return GetWindowsDirectory() + "/autostart/" + appId + ".desktop";
}

std::string DesktopExecLine(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& argument : command) {
    if (!line.empty()) line += ' ';
    for (const char c : QuotedArgument(argument)) {
      if (c == '\\' || c == '%') line += c == '%' ? '%' : '\\';
      line += c;
    }
  }
  return line;
}

void WriteAutostartEntry(const std::string& appId, const std::string& name, const std::vector<std::string>& command) {
  const std::string path = AutostartEntryPath(appId);
  // TryExec: once the program is gone (its package removed), the desktop skips the entry
  // instead of failing to start it at every login.
  const std::string exec = DesktopExecLine(command);
  const std::string content = "[Desktop Entry]\nType=Application\nName=" + name + "\nTryExec=" +
                              DesktopString(command.front()) + "\nExec=" + exec + "\nIcon=" + appId +
                              "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (error) throw AutostartError("Unable to write to " + path + ": " + error.message());
  try {
    detail::ReplaceWholeFile(detail::FileBehindPath(path), content);
  } catch (const FileError& e) {
    throw AutostartError("Unable to write to " + path + ": " + e.what());
  }
}

void RemoveAutostartEntry(const std::string& appId) {
  const std::string path = AutostartEntryPath(appId);
  if (std::remove(path.c_str()) != 0 && errno != ENOENT)
    throw AutostartError("Unable to remove " + path + ": " + std::generic_category().message(errno));
}

}  // namespace win
