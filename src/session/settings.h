#pragma once
// The main window's fields kept between runs in "vexmira.ini" (section DATA) in the user's
// configuration directory. Read once when the window first shows, written when it closes.

#include <cstdint>
#include <stdexcept>
#include <string>

inline constexpr const char* kSettingsFileName = "vexmira.ini";
inline constexpr const char* kSettingsSection = "DATA";
inline constexpr std::int32_t kDefaultCheckMinutes = 5;

// A save that failed; the file is as it was before.
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::string& path) : std::runtime_error("Unable to write to " + path) {}
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

  bool operator==(const Settings&) const = default;
};

// "<configuration directory>/vexmira.ini"; creates the directory when missing.
std::string SettingsFilePath();

// Missing file, section or key: the default. Yes/no keys are yes only for 1; numbers are
// decimal or "0x" hexadecimal, anything else is the default.
Settings LoadSettings(const std::string& path);

// Writes all fifteen keys in one replacement of the file (other sections and keys stay), so a
// failed save changes nothing. Throws SettingsWriteError.
void SaveSettings(const std::string& path, const Settings& fields);

// The stored form of a password. Plain printable passwords get EncodeStoredPassword's form
// (bytes 160 to 254). Any byte that form leaves below 32, a space, DEL and "%" are written as
// "%XX" (upper-case hex) so that no stored byte ends the line, is lost to the trimming of
// values, or is mistaken for an escape; plain printable passwords never contain one.
std::string StoredPasswordText(const std::string& password);
std::string PasswordFromStoredText(const std::string& stored);
