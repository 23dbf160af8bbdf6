// SPDX-License-Identifier: MIT
#include "session/settings.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <random>
#include <vector>

#include "platform/profile_file.h"
#include "session/stored_password.h"

namespace {

constexpr std::size_t kReadBufferSize = 1024;  // values read are at most 1023 bytes
constexpr const char* kPasswordKeys[] = {"PASS", "PROXYPASS"};

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

// The section's values as the settings read them.
class SettingsReader {
 public:
  explicit SettingsReader(const win::ProfileSection& data) : data_(data) {}
  std::string Text(const char* key) const { return data_.GetString(key, "", kReadBufferSize); }
  std::int32_t Number(const char* key, std::int32_t defaultValue) const {
    return ParseNumber(Text(key)).value_or(defaultValue);
  }
  bool Yes(const char* key) const { return Number(key, 0) == 1; }

 private:
  const win::ProfileSection& data_;
};

std::string YesNo(bool yes) { return yes ? "1" : "0"; }

// A line of the file cannot hold a line break or a NUL, and no field means one: they are left out
// rather than let a pasted value make every save fail.
std::string OneLine(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
  return text;
}

// KEYRING's value: keys separated by commas.
bool Listed(std::string_view list, std::string_view key) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    while (item.starts_with(' ')) item.remove_prefix(1);
    while (item.ends_with(' ')) item.remove_suffix(1);
    if (item == key) return true;
    list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
  }
  return false;
}

bool NeedsEscape(unsigned char byte) { return byte <= ' ' || byte == 0x7F || byte == '%'; }

// 128 random bits: a name no other settings file gets.
std::string NewKeyringId() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device random;
  std::string id;
  for (int i = 0; i < 32; ++i) id += kHex[random() & 0xF];
  return id;
}

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

// The keyring while it works: asked whether one runs the first time it is needed, and dropped at
// its first failure, so that a keyring that does not answer costs one wait, not one per password.
class SettingsStore::KeyringUse {
 public:
  explicit KeyringUse(PasswordKeyring* keyring) : keyring_(keyring) {}
  PasswordKeyring* Get() {
    if (!asked_ && keyring_ && !keyring_->Available()) keyring_ = nullptr;
    asked_ = true;
    return keyring_;
  }
  void Failed() { keyring_ = nullptr; }

 private:
  PasswordKeyring* keyring_;
  bool asked_ = false;
};

SettingsStore::SettingsStore(std::string path, PasswordKeyring* keyring) : path_(std::move(path)), keyring_(keyring) {}

std::string SettingsStore::KeyringName(Password which) {
  if (keyringId_.empty()) keyringId_ = NewKeyringId();
  return kPasswordKeys[which] + (" " + keyringId_);
}

// Where this file's password may be kept, its own name first. Entries written before KEYRINGID
// existed are named after the file's path as spelled then: most likely as it is spelled now, or
// the file's real path.
std::vector<std::string> SettingsStore::KeyringNames(Password which) const {
  const std::string key = kPasswordKeys[which];
  std::vector<std::string> names;
  if (!keyringId_.empty()) names.push_back(key + " " + keyringId_);
  names.push_back(key + " " + path_);
  std::error_code error;
  const std::string real = std::filesystem::weakly_canonical(path_, error).string();
  if (!error && real != path_) names.push_back(key + " " + real);
  return names;
}

LoadedSettings SettingsStore::Load() {
  LoadedSettings loaded;
  passwords_ = {};
  win::ProfileSection data;
  try {
    data = win::ReadProfileSection(kSettingsSection, path_);
  } catch (const win::FileError& e) {
    loaded.problem.emplace("Unable to read " + path_ + ": " + e.what() +
                           ". The defaults are used and the file is left as it is.");
    return loaded;
  }
  const SettingsReader read(data);
  Settings& s = loaded.fields;
  s.UserId = read.Text("USERID");
  s.SavePass = read.Yes("SAVEPASS");
  s.Pass = PasswordFromStoredText(read.Text("PASS"));
  s.Time = read.Number("TIME", kDefaultCheckMinutes);
  s.TimeEnabled = read.Yes("TIMEENABLED");
  s.ProxyUser = read.Text("PNAME");
  s.SaveProxyPass = read.Yes("SAVEPASSP");
  s.ProxyPass = PasswordFromStoredText(read.Text("PROXYPASS"));
  s.ProxyHost = read.Text("PROXY");
  s.ProxyPort = read.Text("PORT");
  s.WavFile = read.Text("WAVFILE");
  s.UseProxy = read.Yes("CHECKED");
  s.WavPlay = read.Yes("WAVPLAY");
  s.Headers = read.Yes("HEADERS");
  s.StartAtLogin = read.Yes("STARTATLOGIN");
  s.DesktopNotify = read.Yes("NOTIFY");
  keyringId_ = read.Text(kKeyringIdKey);
  try {
    ReadKeyringPasswords(read.Text(kKeyringKey), s);
  } catch (const KeyringError& e) {
    loaded.problem.emplace(std::string("Unable to read the saved passwords from the keyring: ") + e.what());
  }
  return loaded;
}

// A listed password whose "Save Password" is off is one whose removal from the keyring failed at
// the last save: it is not read, and the next save tries again.
void SettingsStore::ReadKeyringPasswords(const std::string& listed, Settings& fields) {
  const bool saved[kPasswordCount] = {fields.SavePass, fields.SaveProxyPass};
  std::string* const texts[kPasswordCount] = {&fields.Pass, &fields.ProxyPass};
  bool wanted = false;
  for (int p = 0; p < kPasswordCount; ++p) {
    passwords_[p].inKeyring = Listed(listed, kPasswordKeys[p]);
    passwords_[p].unread = passwords_[p].inKeyring && saved[p];
    if (passwords_[p].inKeyring) texts[p]->clear();
    wanted = wanted || passwords_[p].unread;
  }
  if (!wanted) return;
  if (!keyring_ || !keyring_->Available()) throw KeyringError("no keyring is running");
  bool missing = false;
  for (int p = 0; p < kPasswordCount; ++p) {
    if (!passwords_[p].unread) continue;
    *texts[p] = ReadFromKeyring(static_cast<Password>(p));
    passwords_[p].unread = texts[p]->empty();  // so that the next save does not overwrite it
    missing = missing || passwords_[p].unread;
  }
  if (missing) throw KeyringError("the keyring holds no password saved for this account");
}

std::string SettingsStore::ReadFromKeyring(Password which) {
  const std::vector<std::string> names = KeyringNames(which);
  for (const std::string& name : names) {
    std::string password = keyring_->Read(name);
    if (password.empty()) continue;
    if (keyringId_.empty() || name != names.front()) passwords_[which].oldName = name;
    return password;
  }
  return {};
}

SettingsStore::StoredPassword SettingsStore::Store(Password which, bool save, const std::string& password,
                                                 KeyringUse& keyring) {
  const PasswordState& now = passwords_[which];
  if (save && now.unread && password.empty()) return {"", now};  // not typed again: stays in the keyring
  if (!save || password.empty()) {
    if (!now.inKeyring) return {};
    if (PasswordKeyring* k = keyring.Get()) {
      try {
        for (const std::string& name : KeyringNames(which)) k->Remove(name);
        return {};
      } catch (const KeyringError&) {
        keyring.Failed();
      }
    }
    return {"", {true, false, now.oldName}};  // still there: listed, so that the next save removes it
  }
  if (PasswordKeyring* k = keyring.Get()) {
    try {
      k->Write(KeyringName(which), password);
      return {"", {true, false}, now.oldName};
    } catch (const KeyringError&) {
      keyring.Failed();
    }
  }
  return {StoredPasswordText(password), {}};
}

void SettingsStore::Save(const Settings& f) {
  KeyringUse keyring(keyring_);
  const StoredPassword pass = Store(kAccount, f.SavePass, f.Pass, keyring);
  const StoredPassword proxyPass = Store(kProxy, f.SaveProxyPass, f.ProxyPass, keyring);
  std::string listed;
  for (const auto& [stored, key] : {std::pair{&pass, "PASS"}, std::pair{&proxyPass, "PROXYPASS"}})
    if (stored->state.inKeyring) listed += (listed.empty() ? "" : ",") + std::string(key);
  std::vector<win::ProfileEntry> entries = {
      {"USERID", OneLine(f.UserId)},
      {"SAVEPASS", YesNo(f.SavePass)},
      {"PASS", pass.fileText},
      {"TIME", std::to_string(f.Time)},
      {"TIMEENABLED", YesNo(f.TimeEnabled)},
      {"HEADERS", YesNo(f.Headers)},
      {"PNAME", OneLine(f.ProxyUser)},
      {"SAVEPASSP", YesNo(f.SaveProxyPass)},
      {"PROXYPASS", proxyPass.fileText},
      {"PROXY", OneLine(f.ProxyHost)},
      {"PORT", OneLine(f.ProxyPort)},
      {"WAVFILE", OneLine(f.WavFile)},
      {"CHECKED", YesNo(f.UseProxy)},
      {"WAVPLAY", YesNo(f.WavPlay)},
      {kKeyringKey, listed},
      {"STARTATLOGIN", YesNo(f.StartAtLogin)},
      {"NOTIFY", YesNo(f.DesktopNotify)},
  };
  if (!keyringId_.empty()) entries.push_back({kKeyringIdKey, keyringId_});
  try {
    win::WriteProfileStrings(kSettingsSection, entries, path_);
  } catch (const win::FileError& e) {
    throw SettingsWriteError(path_, e.what());
  }
  passwords_[kAccount] = pass.state;
  passwords_[kProxy] = proxyPass.state;
  // Only now that the file names the new entries may the old ones go. One that cannot go is an
  // orphan holding a password the new entry holds too; nothing is lost.
  for (const std::string* old : {&pass.replaced, &proxyPass.replaced}) {
    if (PasswordKeyring* k = old->empty() ? nullptr : keyring.Get()) try {
        k->Remove(*old);
      } catch (const KeyringError&) {
        keyring.Failed();
      }
  }
}
