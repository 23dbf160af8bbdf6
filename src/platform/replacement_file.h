// SPDX-License-Identifier: MIT
#pragma once
// The new content of a file on its way in: a file in the target's directory, unnamed (O_TMPFILE)
// where the file system allows it, so that a process killed while writing leaves nothing behind.
// It gets a name only for the rename that puts it in place, or from the start where unnamed files
// are not supported; that name marks it as ours ("<target>.tmp-XXXXXX"), and the next
// replacement of the same target removes whatever an interrupted one left under such a name.

#include <string>

#include "platform/file_descriptor.h"

namespace win::detail {

class ReplacementFile {
 public:
  // Throws FileError when no file can be made in the target's directory.
  explicit ReplacementFile(std::string target);
  ~ReplacementFile();  // removes the named file if it was not put in place
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  int Descriptor() const { return fd_.Get(); }

  // Closes the finished (and flushed) file and renames it over the target, durably. Throws
  // FileError.
  void PutInPlace();

 private:
  void GiveName();

  std::string target_;
  FileDescriptor fd_;
  std::string name_;  // empty while the file is unnamed
  bool placed_ = false;
};

}  // namespace win::detail
