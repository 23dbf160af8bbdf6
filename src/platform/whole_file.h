// SPDX-License-Identifier: MIT
// Whole-file reads and atomic replacement of a file of the user's (internal to the platform
// layer). Every failure throws FileError with its reason.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_error.h"

namespace win::detail {

// Files of settings are small; a larger one is not what it claims to be and is left alone.
inline constexpr std::size_t kMaxWholeFileSize = std::size_t{1} << 20;

// The file that `path` names: the path itself, or, when it is a symbolic link, the link's target
// as long as that is a regular file owned by this user. A link to anything else is refused, so
// that a planted link can neither feed the program someone else's file nor have it rewritten.
std::string FileBehindPath(const std::string& path);

// The file's bytes; empty when there is no file (nor its directory). Refuses a file that cannot
// be read, is not a regular file or holds more than kMaxWholeFileSize bytes.
std::string ReadWholeFile(const std::string& file);

// Puts `content` in place of `file` (as FileBehindPath gives it) so that a crash at any moment
// leaves either the old or the new content and no partial copy: the content is written to a new
// file beside it, unnamed where the file system allows, flushed to disk and renamed over the old
// one. An existing file keeps its owner, group and mode; a new one is readable by its owner only.
// A file without write permission is the user's decision and is refused, and so is content
// over kMaxWholeFileSize, which could not be read back.
void ReplaceWholeFile(const std::string& file, std::string_view content);

}  // namespace win::detail
