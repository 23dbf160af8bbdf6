// SPDX-License-Identifier: MIT
// Profile (INI) files and the Windows directory.
//
// A profile file is lines of bytes: "[section]" headers, "key=value" lines and anything else
// (comments, blank lines), which is kept as it is. Section and key names match without regard
// to ASCII case; names and values lose their surrounding blanks (spaces and tabs) when read.
// No encoding conversion: bytes are bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_error.h"

namespace win {

// One section of a profile file, read once for any number of look-ups.
class ProfileSection {
 public:
  // The value of the section's first `key`, at most size - 1 bytes (size counts the closing zero
  // of the original buffer); `defaultValue` when the key is missing.
  std::string GetString(std::string_view key, std::string_view defaultValue, std::size_t size) const;

 private:
  friend ProfileSection ReadProfileSection(std::string_view section, const std::string& fileName);
  std::vector<std::pair<std::string, std::string>> entries_;  // key and value, in file order
};

// Reads the file once and keeps `section`; a missing file or section reads as an empty section.
// Throws FileError when the file is there but cannot be read, is not a regular file, is larger
// than 1 MiB, or is a symbolic link to something that is not one of the user's own files.
ProfileSection ReadProfileSection(std::string_view section, const std::string& fileName);

struct ProfileEntry {
  std::string key;
  std::string value;  // an empty value is written as "key="
};

// Writes every entry into `section` in one replacement of the file: a key that exists is
// rewritten in place, a new one goes after the section's last line, a new section at the end,
// so a new file gets the keys in the order given. A crash at any moment leaves the old or the
// new file; an existing file keeps its owner and mode (a new one is 0600). Throws FileError, with
// the file untouched, when a name or value would break the file's lines (CR, LF or NUL anywhere,
// "=" or leading "[" or ";" in a key, "]" in a section), for whatever ReadProfileSection refuses,
// for a read-only file, and when the replacement cannot be written.
void WriteProfileStrings(std::string_view section, const std::vector<ProfileEntry>& entries,
                         const std::string& fileName);

// The user's configuration directory, standing in for the Windows directory: $XDG_CONFIG_HOME
// when it is an absolute path, else ~/.config; created (mode 0700) when missing. No trailing
// slash.
std::string GetWindowsDirectory();

}  // namespace win
