// SPDX-License-Identifier: MIT
#pragma once
// The main window's fields kept between runs in "vexmira.ini" (section DATA) in the user's
// configuration directory. Read once when the window first shows, written when it closes.
// Saved passwords go to the desktop keyring when one runs; the key KEYRING, after the fourteen
// keys of the fields, lists the keys whose password is kept there ("PASS,PROXYPASS"), and those
// keys are written empty; KEYRINGID, written once a password went there, names this file's entries
// so that they are found again however the file's path is spelled. Without a keyring they stay
// in the file in their shifted form, which only obscures them.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "session/password_keyring.h"

inline constexpr const char* kSettingsFileName = "vexmira.ini";
inline constexpr const char* kSettingsSection = "DATA";
inline constexpr const char* kKeyringKey = "KEYRING";
inline constexpr const char* kKeyringIdKey = "KEYRINGID";
inline constexpr std::int32_t kDefaultCheckMinutes = 5;

// A save that failed; the file is as it was before. The reason follows the path.
class SettingsWriteError : public std::runtime_error {
 public:
  SettingsWriteError(const std::string& path, const std::string& reason)
      : std::runtime_error("Unable to write to " + path + ": " + reason) {}
};

// What a load could not read; the program runs on the defaults of what is missing.
class SettingsReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The fields as the window holds them; the defaults are those of a missing file. The passwords
// are the fields' texts: whether they reach the file is up to SavePass and SaveProxyPass.
struct Settings {
  std::string UserId;         // USERID, loginEdit
  bool SavePass = false;      // SAVEPASS, savePasswordBox
  std::string Pass;           // PASS, passwordEdit
  std::int32_t Time = kDefaultCheckMinutes;  // TIME, checkIntervalEdit (the field clamps it)
  bool TimeEnabled = false;   // TIMEENABLED, autoCheckBox
  bool Headers = false;       // HEADERS, showHeadersBox
  std::string ProxyUser;      // PNAME, proxyUserEdit
  bool SaveProxyPass = false; // SAVEPASSP, saveProxyPasswordBox
  std::string ProxyPass;      // PROXYPASS, proxyPasswordEdit
  std::string ProxyHost;      // PROXY, proxyHostEdit
  std::string ProxyPort;      // PORT, proxyPortEdit
  std::string WavFile;        // WAVFILE, soundFileEdit
  bool UseProxy = false;      // CHECKED, useProxyBox
  bool WavPlay = false;       // WAVPLAY, playSoundBox
  bool StartAtLogin = false;  // STARTATLOGIN, startAtLoginBox; a file without it: off
  bool DesktopNotify = false; // NOTIFY, notifyBox; a file without it: off

  bool operator==(const Settings&) const = default;
};

// "<configuration directory>/vexmira.ini"; creates the directory when missing.
std::string SettingsFilePath();

// What a load gives the window: the fields, with the defaults for what could not be read, and
// what the user is to be told about that.
struct LoadedSettings {
  Settings fields;
  std::optional<SettingsReadError> problem;
};

// The settings file of one path, with the keyring for its passwords. It remembers between load
// and save which saved passwords the keyring could not give, so that a keyring that is locked or
// gone at start does not cost them: one the user has not typed again stays where it is.
class SettingsStore {
 public:
  // Without a keyring the passwords stay in the file.
  explicit SettingsStore(std::string path = {}, PasswordKeyring* keyring = nullptr);

  const std::string& Path() const { return path_; }

  // Missing file, section or key: the default. Yes/no keys are yes only for 1; numbers are
  // decimal or "0x" hexadecimal, anything else is the default. A file that cannot be read (not a
  // regular file, over 1 MiB, a link to what is not the user's own) gives the defaults and a
  // problem, and is left as it is.
  LoadedSettings Load();

  // Writes all fourteen keys, KEYRING, STARTATLOGIN, NOTIFY and (once there is one) KEYRINGID in one
  // replacement of the file (other sections and keys stay), so a failed save changes nothing in
  // the file. Any value the fields can hold can be saved. An empty password is never put in the
  // keyring: read back, it could not be told from one the keyring lost. Throws SettingsWriteError.
  void Save(const Settings& fields);

 private:
  enum Password { kAccount, kProxy, kPasswordCount };
  struct PasswordState {
    bool inKeyring = false;  // as the file lists it
    bool unread = false;     // listed, but the keyring could not give it
    std::string oldName;     // the name it was found under, when not this file's own
  };
  struct StoredPassword {
    std::string fileText;  // PASS or PROXYPASS as written
    PasswordState state;   // once the file is written
    std::string replaced;  // an entry under an old name, to go once the file names the new one
  };
  class KeyringUse;

  void ReadKeyringPasswords(const std::string& listed, Settings& fields);
  StoredPassword Store(Password which, bool save, const std::string& password, KeyringUse& keyring);
  std::string ReadFromKeyring(Password which);
  std::vector<std::string> KeyringNames(Password which) const;
  std::string KeyringName(Password which);

  std::string path_;
  PasswordKeyring* keyring_;
  std::string keyringId_;  // KEYRINGID; made when the first password goes to the keyring
  std::array<PasswordState, kPasswordCount> passwords_{};
};

// The stored form of a password. Plain printable passwords get EncodeStoredPassword's form
// (bytes 160 to 254). Any byte that form leaves below 32, a space, DEL and "%" are written as
// "%XX" (upper-case hex) so that no stored byte ends the line, is lost to the trimming of
// values, or is mistaken for an escape; plain printable passwords never contain one.
std::string StoredPasswordText(const std::string& password);
std::string PasswordFromStoredText(const std::string& stored);
