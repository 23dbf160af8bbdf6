// SPDX-License-Identifier: MIT
#pragma once
// A file of the user's that was not read or written, with the reason in words for the user
// ("Is a directory", "the file is read-only", ...).

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace win {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace detail {

// The failure of the system call that set errno, in the system's words ("Is a directory").
[[noreturn]] inline void FailWithErrno() { throw FileError(std::generic_category().message(errno)); }

}  // namespace detail
}  // namespace win
