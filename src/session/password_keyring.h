// SPDX-License-Identifier: MIT
#pragma once
// A desktop keyring that keeps saved passwords under a name. The settings put the passwords
// there when one runs; the implementation over the desktop's secret store lives outside this
// layer.

#include <stdexcept>
#include <string>

// Why the keyring could not do what was asked, in words for the user.
class KeyringError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PasswordKeyring {
 public:
  virtual ~PasswordKeyring() = default;

  // Whether a keyring runs now; asks nothing else of it (and starts none).
  virtual bool Available() = 0;
  // The password kept under `name`; empty when there is none. Throws KeyringError.
  virtual std::string Read(const std::string& name) = 0;
  // Keeps `password` (any bytes) under `name`, replacing what was there. Throws KeyringError.
  virtual void Write(const std::string& name, const std::string& password) = 0;
  // Nothing kept under `name` is no error. Throws KeyringError.
  virtual void Remove(const std::string& name) = 0;
};
