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
#include <vector>

namespace win {

// The value of `key` in `section`, at most size - 1 bytes (size counts the closing zero of the
// original buffer); `defaultValue` when the file, the section or the key is missing or the file
// cannot be read.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t size,
                                    const std::string& fileName);

struct ProfileEntry {
  std::string key;
  std::string value;  // an empty value is written as "key="
};

// Writes every entry into `section` in one replacement of the file: a key that exists is
// rewritten in place, a new one goes after the section's last line, a new section at the end,
// so a new file gets the keys in the order given. The new content goes to a temporary file
// beside the old one (mode 0600, flushed to disk) that is then renamed over it, so a crash at
// any moment leaves either the old or the new file. False, with errno set and the file
// untouched, when the file cannot be read or replaced, or a name or value would break the
// file's lines (CR, LF or NUL anywhere, "=" or leading "[" or ";" in a key, "]" in a section).
bool WritePrivateProfileStrings(std::string_view section, const std::vector<ProfileEntry>& entries,
                                const std::string& fileName);

// The user's configuration directory, standing in for the Windows directory: $XDG_CONFIG_HOME
// when it is an absolute path, else ~/.config; created (mode 0700) when missing. No trailing
// slash.
std::string GetWindowsDirectory();

}  // namespace win
