// Whole-file reads and atomic replacement (internal to the platform layer).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace win::detail {

// The file's bytes; empty when the file does not exist; nullopt (errno set) when it exists but
// cannot be read.
std::optional<std::string> ReadFileIfPresent(const std::string& path);

// Puts `content` in place of the file so that a crash at any moment leaves either the old or
// the new content: a temporary file beside it (mode 0600) is written, flushed to disk and renamed
// over it. A symbolic link is followed, so the link stays. False (errno set) when any step fails;
// the old file is then untouched and the temporary file removed.
bool ReplaceFileContent(const std::string& fileName, std::string_view content);

}  // namespace win::detail
