// SPDX-License-Identifier: MIT
// The settings file: defaults, number and yes/no readings, the keys as written, the
// password round trip, and saves that fail or are cut short.

#include "session/settings.h"
#include "settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "session/stored_password.h"
#include "temp_directory.h"

namespace {

struct SettingsFile : ::testing::Test {
  TempDirectory dir;
  std::string path = dir.File("vexmira.ini");

  Settings LoadFrom(const std::string& data) {
    WriteFile(path, "[DATA]\n" + data);
    return LoadSettings(path);
  }
  std::size_t FilesInDirectory() {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
  }
};

Settings Filled() {
  Settings s;
  s.UserId = "alice";
  s.SavePass = true;
  s.Pass = "wonderland";
  s.Time = 7;
  s.TimeEnabled = true;
  s.Headers = true;
  s.ProxyUser = "pu";
  s.SaveProxyPass = true;
  s.ProxyPass = "pp";
  s.ProxyHost = "127.0.0.1";
  s.ProxyPort = "3128";
  s.WavFile = "/home/alice/new mail.wav";
  s.UseProxy = true;
  s.WavPlay = true;
  s.StartAtLogin = true;
  s.DesktopNotify = true;
  return s;
}

}  // namespace

TEST_F(SettingsFile, AMissingFileGivesTheDefaults) {
  const Settings s = LoadSettings(path);
  EXPECT_EQ(s, Settings{});
  EXPECT_EQ(s.Time, 5);
  EXPECT_FALSE(s.TimeEnabled);
}

TEST_F(SettingsFile, NumbersAndYesNoValues) {
  EXPECT_EQ(LoadFrom("TIME=0x0A\n").Time, 10);
  EXPECT_EQ(LoadFrom("TIME=0X1f\n").Time, 31);
  EXPECT_EQ(LoadFrom("TIME=1\n").Time, 1);  // the window's field keeps it within 2..60
  EXPECT_EQ(LoadFrom("TIME=99\n").Time, 99);
  EXPECT_EQ(LoadFrom("TIME=-3\n").Time, -3);
  EXPECT_EQ(LoadFrom("TIME=+4\n").Time, 4);
  for (const char* bad : {"TIME=\n", "TIME=abc\n", "TIME=12abc\n", "TIME=0x\n", "TIME=0x-5\n", "TIME=99999999999\n"})
    EXPECT_EQ(LoadFrom(bad).Time, 5) << bad;

  EXPECT_TRUE(LoadFrom("TIMEENABLED=1\n").TimeEnabled);
  EXPECT_TRUE(LoadFrom("TIMEENABLED=0x01\n").TimeEnabled);
  for (const char* notYes : {"TIMEENABLED=2\n", "TIMEENABLED=-1\n", "TIMEENABLED=yes\n", "TIMEENABLED=\n"})
    EXPECT_FALSE(LoadFrom(notYes).TimeEnabled) << notYes;
  const Settings twos = LoadFrom("SAVEPASS=2\nHEADERS=2\nSAVEPASSP=2\nCHECKED=2\nWAVPLAY=2\n");
  EXPECT_FALSE(twos.SavePass || twos.Headers || twos.SaveProxyPass || twos.UseProxy || twos.WavPlay);

  // Files from before the login start was kept have the other keys only.
  EXPECT_FALSE(LoadFrom("USERID=alice\nCHECKED=1\nWAVPLAY=1\n").StartAtLogin);
  EXPECT_TRUE(LoadFrom("WAVPLAY=0\nSTARTATLOGIN=1\n").StartAtLogin);
}

TEST_F(SettingsFile, ASaveWritesTheKeysInOrderAndReadsBack) {
  Settings s = Filled();
  SaveSettings(path, s);
  EXPECT_EQ(ReadFile(path),
            "[DATA]\nUSERID=alice\nSAVEPASS=1\nPASS=" + EncodeStoredPassword("wonderland") +
                "\nTIME=7\nTIMEENABLED=1\nHEADERS=1\nPNAME=pu\nSAVEPASSP=1\nPROXYPASS=" + EncodeStoredPassword("pp") +
                "\nPROXY=127.0.0.1\nPORT=3128\nWAVFILE=/home/alice/new mail.wav\nCHECKED=1\nWAVPLAY=1\nKEYRING=\nSTARTATLOGIN=1\nNOTIFY=1\n");
  EXPECT_EQ(LoadSettings(path), s);

  // Unsaved passwords are written empty; the proxy settings stay without "Use Proxy".
  s.SavePass = s.SaveProxyPass = s.UseProxy = false;
  SaveSettings(path, s);
  const Settings back = LoadSettings(path);
  EXPECT_EQ(back.Pass, "");
  EXPECT_EQ(back.ProxyPass, "");
  EXPECT_EQ(back.ProxyHost, "127.0.0.1");
  EXPECT_EQ(back.ProxyUser, "pu");
  EXPECT_NE(ReadFile(path).find("\nPASS=\n"), std::string::npos);
}

TEST_F(SettingsFile, OtherSectionsKeysAndCommentsStay) {
  WriteFile(path,
            "; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Data]\r\n; my account\r\nuserid=old\r\n"
            "EXTRA=keep\r\n\r\n[Tail]\r\nZ=1\r\n");
  SaveSettings(path, Filled());
  const std::string text = ReadFile(path);
  EXPECT_TRUE(text.starts_with("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Data]\r\n; my account\r\n"
                               "USERID=alice\r\nEXTRA=keep\r\nSAVEPASS=1\r\n"))
      << text;
  EXPECT_TRUE(text.ends_with("WAVPLAY=1\r\nKEYRING=\r\nSTARTATLOGIN=1\r\nNOTIFY=1\r\n\r\n[Tail]\r\nZ=1\r\n")) << text;
  EXPECT_EQ(LoadSettings(path), Filled());
}

TEST_F(SettingsFile, EveryPasswordByteComesBack) {
  for (int first = 0; first < 256; first += 16) {
    std::string password;
    for (int b = first; b < first + 16; ++b) password += static_cast<char>(b);
    Settings s;
    s.SavePass = s.SaveProxyPass = true;
    s.Pass = password;
    s.ProxyPass = std::string(password.rbegin(), password.rend());
    SaveSettings(path, s);
    const Settings back = LoadSettings(path);
    EXPECT_EQ(back.Pass, s.Pass) << "bytes from " << first;
    EXPECT_EQ(back.ProxyPass, s.ProxyPass) << "bytes from " << first;
  }
  // Blanks at the ends and a "%" that looks like an escape.
  for (const std::string& password : {std::string("\xA0pw\xA0"), std::string("\x89"), std::string("\xA5" "41")}) {
    Settings s;
    s.SavePass = true;
    s.Pass = password;
    SaveSettings(path, s);
    EXPECT_EQ(LoadSettings(path).Pass, password);
  }
}

// A pasted line break or NUL in a text field cannot make the save fail: it is left out of the
// line; every other byte stays.
TEST_F(SettingsFile, AnyValueTheFieldsCanHoldIsSaved) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
  Settings s = Filled();
  s.UserId = "al\nice\r\n";
  s.ProxyUser = std::string("p\0u", 3);
  s.ProxyHost = "127.0.0.1\r";
  s.ProxyPort = "31\r\n28";
  s.WavFile = "x" + everyByte + "y";
  s.Pass = std::string("pw\r\n\0end", 9);
  ASSERT_NO_THROW(SaveSettings(path, s));

  const Settings back = LoadSettings(path);
  EXPECT_EQ(back.UserId, "alice");
  EXPECT_EQ(back.ProxyUser, "pu");
  EXPECT_EQ(back.ProxyHost, "127.0.0.1");
  EXPECT_EQ(back.ProxyPort, "3128");
  std::string oneLine = everyByte;
  std::erase(oneLine, '\r');
  std::erase(oneLine, '\n');
  EXPECT_EQ(back.WavFile, "x" + oneLine + "y");
  EXPECT_EQ(back.Pass, s.Pass);
  EXPECT_EQ(back.Time, 7);  // the keys after them are intact
  EXPECT_TRUE(back.WavPlay);
}

TEST(StoredPassword, PrintablePasswordsKeepTheShiftedForm) {
  std::string printable;
  for (char c = ' '; c <= '~'; ++c) printable += c;
  EXPECT_EQ(StoredPasswordText(printable), EncodeStoredPassword(printable));
  EXPECT_EQ(StoredPasswordText(std::string("a\x80\x8D\x8A", 4)), "\xE1%00%0D%0A");
  EXPECT_EQ(PasswordFromStoredText("%4"), DecodeStoredPassword("%4"));  // not an escape
}

TEST_F(SettingsFile, AnUnwritableDirectoryIsReportedAndNothingChanges) {
  WriteFile(dir.File("file"), "");
  const std::string unreachable = dir.File("file/vexmira.ini");  // a directory that is a file
  try {
    SaveSettings(unreachable, Filled());
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + unreachable + ": Not a directory");
  }
  EXPECT_EQ(ReadFile(dir.File("file")), "");
}

// The save is cut short by the file size limit while it writes: once by the signal that kills
// the process (a crash halfway), once as a failing write. The old file stays whole either way,
// and nothing of the cut save outlives the next one.
TEST_F(SettingsFile, ASaveCutShortLeavesTheOldFile) {
  SaveSettings(path, Filled());
  const std::string before = ReadFile(path);
  for (const bool crash : {false, true}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::signal(SIGXFSZ, crash ? SIG_DFL : SIG_IGN);
      const rlimit limit{40, 40};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      try {
        SaveSettings(path, Settings{});
      } catch (const SettingsWriteError&) {
        ::_exit(3);
      }
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (crash) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    } else {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
      EXPECT_EQ(FilesInDirectory(), 1u);  // the temporary file went away
    }
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(LoadSettings(path), Filled());
  }
  SaveSettings(path, Filled());
  EXPECT_EQ(FilesInDirectory(), 1u);
}
