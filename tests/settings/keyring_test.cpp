// SPDX-License-Identifier: MIT
// Saved passwords in a real desktop keyring (gnome-keyring in a private D-Bus session, set up by
// with_private_keyring.sh): out of the file, every byte back, removed when no longer saved, and a
// keyring that stops answering costs a bounded wait and no password. Without any keyring
// (WithoutKeyring, run with an unreachable session bus) the file keeps them as it always has.

#include "keyring/secret_service_keyring.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <chrono>
#include <cstdio>
#include <thread>

#include "session/settings.h"
#include "session/stored_password.h"
#include "temp_directory.h"

namespace {

using namespace std::chrono_literals;

std::string EveryByte() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

Settings WithPasswords(const std::string& pass, const std::string& proxyPass) {
  Settings s;
  s.UserId = "alice";
  s.SavePass = s.SaveProxyPass = true;
  s.Pass = pass;
  s.ProxyPass = proxyPass;
  return s;
}

// What `secret-tool` finds under our service and `name`, seen from outside the program.
bool KeyringHolds(const std::string& name) {
  const std::string command = "secret-tool lookup server Vexmira user '" + name + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

std::string Line(const std::string& text, const std::string& key) {
  const std::size_t start = text.find("\n" + key + "=");
  if (start == std::string::npos) return "<missing>";
  return text.substr(start + 1, text.find('\n', start + 1) - start - 1);
}

// The name the file's entries are kept under, as the file says.
std::string KeyringId(const std::string& path) { return Line(ReadFile(path), "KEYRINGID").substr(10); }

// Counts what is asked of the keyring it passes everything on to.
struct CountingKeyring : PasswordKeyring {
  explicit CountingKeyring(PasswordKeyring& inner) : inner(inner) {}
  bool Available() override { return inner.Available(); }
  std::string Read(const std::string& name) override { return inner.Read(name); }
  void Write(const std::string& name, const std::string& password) override {
    ++writes;
    inner.Write(name, password);
  }
  void Remove(const std::string& name) override { inner.Remove(name); }
  PasswordKeyring& inner;
  int writes = 0;
};

struct KeyringSettings : ::testing::Test {
  TempDirectory dir;
  std::string path = dir.File("vexmira.ini");
  SecretServiceKeyring keyring{1500ms};
};

// Stops the keyring's process, so that it holds its bus name but answers nothing, until the end.
class StoppedKeyring {
 public:
  StoppedKeyring() : pid_(QDBusConnection::sessionBus().interface()->servicePid("org.freedesktop.secrets").value()) {
    ::kill(static_cast<pid_t>(pid_), SIGSTOP);
  }
  ~StoppedKeyring() { ::kill(static_cast<pid_t>(pid_), SIGCONT); }
  bool Valid() const { return pid_ > 0; }

 private:
  uint pid_;
};

}  // namespace

TEST_F(KeyringSettings, PasswordsGoToTheKeyringAndEveryByteComesBack) {
  ASSERT_TRUE(keyring.Available());
  const Settings saved = WithPasswords(EveryByte(), "proxy \xE9");
  SettingsStore(path, &keyring).Save(saved);

  const std::string text = ReadFile(path);
  EXPECT_EQ(Line(text, "PASS"), "PASS=");
  EXPECT_EQ(Line(text, "PROXYPASS"), "PROXYPASS=");
  EXPECT_TRUE(text.find("\nWAVPLAY=0\nKEYRING=PASS,PROXYPASS\nSTARTATLOGIN=0\nNOTIFY=0\nKEYRINGID=") != std::string::npos) << text;
  EXPECT_EQ(KeyringId(path).size(), 32u);
  EXPECT_TRUE(KeyringHolds("PASS " + KeyringId(path)));
  EXPECT_TRUE(KeyringHolds("PROXYPASS " + KeyringId(path)));

  const LoadedSettings loaded = SettingsStore(path, &keyring).Load();
  EXPECT_FALSE(loaded.problem) << loaded.problem->what();
  EXPECT_EQ(loaded.fields, saved);
}

TEST_F(KeyringSettings, APasswordNoLongerSavedLeavesTheKeyring) {
  SettingsStore file(path, &keyring);
  file.Save(WithPasswords("one", "two"));
  Settings s = file.Load().fields;
  s.SavePass = false;
  file.Save(s);
  EXPECT_FALSE(KeyringHolds("PASS " + KeyringId(path)));
  EXPECT_TRUE(KeyringHolds("PROXYPASS " + KeyringId(path)));
  EXPECT_EQ(Line(ReadFile(path), "KEYRING"), "KEYRING=PROXYPASS");
  EXPECT_EQ(Line(ReadFile(path), "PASS"), "PASS=");
  EXPECT_EQ(SettingsStore(path, &keyring).Load().fields.ProxyPass, "two");
}

// An entry written under the path as it was spelled then is found through another spelling (a
// link to the folder), moves to the file's own name at the next save, and is gone from the old
// one; after that any spelling finds it.
TEST_F(KeyringSettings, TheEntriesAreFoundHoweverThePathIsSpelledAndOldOnesMove) {
  const std::string linked = dir.File("linked");
  ASSERT_EQ(::symlink(dir.Path().c_str(), linked.c_str()), 0);
  const std::string viaLink = linked + "/vexmira.ini";
  WriteFile(path, "[DATA]\nUSERID=alice\nSAVEPASS=1\nPASS=\nKEYRING=PASS\n");
  keyring.Write("PASS " + path, "old secret");

  SettingsStore file(viaLink, &keyring);
  LoadedSettings loaded = file.Load();
  EXPECT_FALSE(loaded.problem);
  EXPECT_EQ(loaded.fields.Pass, "old secret");
  file.Save(loaded.fields);
  EXPECT_TRUE(KeyringHolds("PASS " + KeyringId(path)));
  EXPECT_FALSE(KeyringHolds("PASS " + path));
  EXPECT_EQ(SettingsStore(path, &keyring).Load().fields.Pass, "old secret");
}

// A listed password the keyring does not hold is said so, and is neither stored empty nor
// dropped from the list: a keyring that comes back later still gives it. An empty password is
// not put in the keyring at all.
TEST_F(KeyringSettings, AMissingEntryIsToldAndNeverOverwrittenWithNothing) {
  WriteFile(path, "[DATA]\nUSERID=alice\nSAVEPASS=1\nPASS=\nKEYRING=PASS\nKEYRINGID=0123\n");
  SettingsStore file(path, &keyring);
  LoadedSettings loaded = file.Load();
  ASSERT_TRUE(loaded.problem);
  EXPECT_EQ(std::string(loaded.problem->what()),
            "Unable to read the saved passwords from the keyring: the keyring holds no password saved for this account");
  file.Save(loaded.fields);
  EXPECT_EQ(Line(ReadFile(path), "KEYRING"), "KEYRING=PASS");
  EXPECT_FALSE(KeyringHolds("PASS 0123"));

  keyring.Write("PASS 0123", "back");
  SettingsStore again(path, &keyring);
  EXPECT_EQ(again.Load().fields.Pass, "back");
  again.Save(WithPasswords("", "proxy"));
  EXPECT_FALSE(KeyringHolds("PASS 0123"));
  EXPECT_EQ(Line(ReadFile(path), "KEYRING"), "KEYRING=PROXYPASS");
}

// Each step waits at most the keyring's limit, once per load or save however many passwords
// there are; a password that could not be read is not overwritten by the empty field.
TEST_F(KeyringSettings, AKeyringThatStopsAnsweringCostsABoundedWaitAndNoPassword) {
  SettingsStore(path, &keyring).Save(WithPasswords("account", "proxy"));
  {
    StoppedKeyring stopped;
    ASSERT_TRUE(stopped.Valid());
    SettingsStore file(path, &keyring);
    auto started = std::chrono::steady_clock::now();
    LoadedSettings loaded = file.Load();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    ASSERT_TRUE(loaded.problem);
    EXPECT_EQ(std::string(loaded.problem->what()),
              "Unable to read the saved passwords from the keyring: the keyring did not answer in time");
    EXPECT_EQ(loaded.fields.Pass, "");

    started = std::chrono::steady_clock::now();
    file.Save(loaded.fields);  // nothing typed: both stay in the keyring
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(Line(ReadFile(path), "KEYRING"), "KEYRING=PASS,PROXYPASS");

    loaded.fields.Pass = "typed again";
    started = std::chrono::steady_clock::now();
    file.Save(loaded.fields);  // the new one falls back to the file
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    const std::string text = ReadFile(path);
    EXPECT_EQ(Line(text, "KEYRING"), "KEYRING=PROXYPASS");
    EXPECT_EQ(Line(text, "PASS"), "PASS=" + EncodeStoredPassword("typed again"));

    // Both typed again: the keyring that failed for the first is not asked for the second.
    CountingKeyring counting(keyring);
    loaded.fields.ProxyPass = "proxy again";
    SettingsStore(path, &counting).Save(loaded.fields);
    EXPECT_EQ(counting.writes, 1);
    EXPECT_EQ(Line(ReadFile(path), "PROXYPASS"), "PROXYPASS=" + EncodeStoredPassword("proxy again"));
  }
  const LoadedSettings after = SettingsStore(path, &keyring).Load();
  EXPECT_FALSE(after.problem);
  EXPECT_EQ(after.fields.Pass, "typed again");
  EXPECT_EQ(after.fields.ProxyPass, "proxy again");
}

// The real program, started while the keyring answers nothing, ends at once when asked to, and
// the settings file and the stored password stay as they were.
TEST_F(KeyringSettings, AStopDuringAFrozenKeyringEndsAtOnceAndLosesNothing) {
  Settings saved = WithPasswords("account", "proxy");
  saved.UserId = "carol";
  saved.ProxyHost = "127.0.0.1";
  saved.Time = 7;
  SettingsStore(path, &keyring).Save(saved);
  const std::string before = ReadFile(path);
  int status = -1;
  auto waited = 0ms;
  {
    StoppedKeyring stopped;
    ASSERT_TRUE(stopped.Valid());
    const pid_t child = ::fork();
    if (child == 0) {
      ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      if (!std::freopen("/dev/null", "w", stderr)) ::_exit(126);
      ::execl(VEXMIRA_BINARY, "vexmira", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(2s);  // the window has shown and waits for the keyring
    ::kill(child, SIGTERM);
    for (; waited < 10s && ::waitpid(child, &status, WNOHANG) != child; waited += 20ms) std::this_thread::sleep_for(20ms);
    if (waited >= 10s) ::kill(child, SIGKILL), ::waitpid(child, &status, 0);
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_LT(waited, 2s);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(SettingsStore(path, &keyring).Load().fields.Pass, "account");
}

TEST(WithoutKeyring, PasswordsStayInTheFileAsBefore) {
  TempDirectory dir;
  const std::string path = dir.File("vexmira.ini");
  SecretServiceKeyring keyring(1500ms);
  EXPECT_FALSE(keyring.Available());
  const Settings saved = WithPasswords("wonderland", "pp");
  SettingsStore(path, &keyring).Save(saved);
  EXPECT_EQ(ReadFile(path),
            "[DATA]\nUSERID=alice\nSAVEPASS=1\nPASS=" + EncodeStoredPassword("wonderland") +
                "\nTIME=5\nTIMEENABLED=0\nHEADERS=0\nPNAME=\nSAVEPASSP=1\nPROXYPASS=" + EncodeStoredPassword("pp") +
                "\nPROXY=\nPORT=\nWAVFILE=\nCHECKED=0\nWAVPLAY=0\nKEYRING=\nSTARTATLOGIN=0\nNOTIFY=0\n");
  EXPECT_EQ(SettingsStore(path, &keyring).Load().fields, saved);

  // Written where a keyring ran: the user is told, and the passwords are not lost by the save.
  WriteFile(path, "[DATA]\nUSERID=alice\nSAVEPASS=1\nPASS=\nSAVEPASSP=0\nPROXYPASS=\nKEYRING=PASS\n");
  SettingsStore file(path, &keyring);
  const LoadedSettings loaded = file.Load();
  ASSERT_TRUE(loaded.problem);
  EXPECT_EQ(std::string(loaded.problem->what()),
            "Unable to read the saved passwords from the keyring: no keyring is running");
  file.Save(loaded.fields);
  EXPECT_EQ(Line(ReadFile(path), "KEYRING"), "KEYRING=PASS");
}
