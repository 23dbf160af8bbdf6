// SPDX-License-Identifier: MIT
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/profile_file.h"

namespace win {
namespace {

bool Absolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); Absolute(home)) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      Absolute(found->pw_dir))
    return found->pw_dir;
  return "/";
}

// Failures are left to the first write into the directory, which reports them.
void MakeDirectories(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0700);
  ::mkdir(path.c_str(), 0700);
}

}  // namespace

std::string GetWindowsDirectory() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::string directory = Absolute(configHome) ? std::string(configHome) : HomeDirectory() + "/.config";
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  MakeDirectories(directory);
  return directory;
}

}  // namespace win
