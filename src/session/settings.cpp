#include "session/settings.h"

#include <charconv>
#include <optional>
#include <vector>

#include "platform/profile_file.h"
#include "session/stored_password.h"

namespace {

constexpr std::size_t kReadBufferSize = 1024;  // values read are at most 1023 bytes

std::string ReadText(const std::string& path, const char* key) {
  return win::GetPrivateProfileString(kSettingsSection, key, "", kReadBufferSize, path);
}

std::optional<std::int32_t> ParseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
    if (text.starts_with('-')) return std::nullopt;  // a sign only counts before decimal digits
  } else if (text.starts_with('+') && text.size() > 1 && text[1] != '-') {
    text.remove_prefix(1);
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::int32_t ReadNumber(const std::string& path, const char* key, std::int32_t defaultValue) {
  return ParseNumber(ReadText(path, key)).value_or(defaultValue);
}

bool ReadYes(const std::string& path, const char* key) { return ReadNumber(path, key, 0) == 1; }

std::string YesNo(bool yes) { return yes ? "1" : "0"; }

bool NeedsEscape(unsigned char byte) { return byte <= ' ' || byte == 0x7F || byte == '%'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string StoredPasswordText(const std::string& password) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string stored;
  for (const char c : EncodeStoredPassword(password)) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsEscape(byte)) {
      stored += '%';
      stored += kHex[byte >> 4];
      stored += kHex[byte & 0xF];
    } else {
      stored += c;
    }
  }
  return stored;
}

std::string PasswordFromStoredText(const std::string& stored) {
  std::string encoded;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const int high = i + 2 < stored.size() ? HexValue(stored[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(stored[i + 2]) : -1;
    if (stored[i] == '%' && low >= 0) {
      encoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      encoded += stored[i];  // a "%" without two hex digits is a byte of an older file
    }
  }
  return DecodeStoredPassword(encoded);
}

std::string SettingsFilePath() { return win::GetWindowsDirectory() + "/" + kSettingsFileName; }

Settings LoadSettings(const std::string& path) {
  Settings s;
  s.UserId = ReadText(path, "USERID");
  s.SavePass = ReadYes(path, "SAVEPASS");
  s.Pass = PasswordFromStoredText(ReadText(path, "PASS"));
  s.Time = ReadNumber(path, "TIME", kDefaultCheckMinutes);
  s.TimeEnabled = ReadYes(path, "TIMEENABLED");
  s.ProxyUser = ReadText(path, "PNAME");
  s.SaveProxyPass = ReadYes(path, "SAVEPASSP");
  s.ProxyPass = PasswordFromStoredText(ReadText(path, "PROXYPASS"));
  s.ProxyHost = ReadText(path, "PROXY");
  s.ProxyPort = ReadText(path, "PORT");
  s.WavFile = ReadText(path, "WAVFILE");
  s.UseProxy = ReadYes(path, "CHECKED");
  s.WavPlay = ReadYes(path, "WAVPLAY");
  s.Headers = ReadYes(path, "HEADERS");
  s.StartAtLogin = ReadYes(path, "STARTATLOGIN");
  return s;
}

void SaveSettings(const std::string& path, const Settings& f) {
  const std::vector<win::ProfileEntry> entries = {
      {"USERID", f.UserId},
      {"SAVEPASS", YesNo(f.SavePass)},
      {"PASS", f.SavePass ? StoredPasswordText(f.Pass) : ""},
      {"TIME", std::to_string(f.Time)},
      {"TIMEENABLED", YesNo(f.TimeEnabled)},
      {"HEADERS", YesNo(f.Headers)},
      {"PNAME", f.ProxyUser},
      {"SAVEPASSP", YesNo(f.SaveProxyPass)},
      {"PROXYPASS", f.SaveProxyPass ? StoredPasswordText(f.ProxyPass) : ""},
      {"PROXY", f.ProxyHost},
      {"PORT", f.ProxyPort},
      {"WAVFILE", f.WavFile},
      {"CHECKED", YesNo(f.UseProxy)},
      {"WAVPLAY", YesNo(f.WavPlay)},
      {"STARTATLOGIN", YesNo(f.StartAtLogin)},
  };
  if (!win::WritePrivateProfileStrings(kSettingsSection, entries, path)) throw SettingsWriteError(path);
}
