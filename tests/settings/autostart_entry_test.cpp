// SPDX-License-Identifier: MIT
// The start-at-login entry as real files under a private $XDG_CONFIG_HOME: written, replaced,
// accepted by desktop-file-validate, removed; the command quoted for the desktop; and failures
// that leave things as they were.

#include "platform/autostart_entry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "temp_directory.h"

namespace {

constexpr const char* kAppId = "example.test.Notifier";

struct AutostartEntry : ::testing::Test {
  TempDirectory config;
  std::string entry = config.File("autostart/example.test.Notifier.desktop");

  void SetUp() override { ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1); }
};

}  // namespace

TEST_F(AutostartEntry, IsWrittenReplacedAndRemoved) {
  EXPECT_EQ(win::AutostartEntryPath(kAppId), entry);
  win::WriteAutostartEntry(kAppId, "Notifier", {"/opt/old/notifier", "--minimized"});
  win::WriteAutostartEntry(kAppId, "Notifier", {"/usr/bin/notifier", "--minimized"});
  EXPECT_EQ(ReadFile(entry),
            "[Desktop Entry]\nType=Application\nName=Notifier\nTryExec=/usr/bin/notifier\n"
            "Exec=\"/usr/bin/notifier\" \"--minimized\"\n"
            "Icon=example.test.Notifier\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config.File("autostart")), {}), 1);  // no leftovers

  // The desktop's own validator accepts it, also with a path that needs quoting and escaping.
  win::WriteAutostartEntry(kAppId, "Notifier", {"/opt/my \"apps\"/100%/$x\\notifier", "--minimized"});
  EXPECT_EQ(std::system(("desktop-file-validate " + entry).c_str()), 0) << ReadFile(entry);
  EXPECT_NE(ReadFile(entry).find("\nTryExec=/opt/my \"apps\"/100%/$x\\\\notifier\n"), std::string::npos);

  win::RemoveAutostartEntry(kAppId);
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_NO_THROW(win::RemoveAutostartEntry(kAppId));  // already gone
}

// Quoting rules of the Exec key, then the escaping of every string value of a desktop entry.
TEST_F(AutostartEntry, TheCommandIsQuotedForTheDesktop) {
  EXPECT_EQ(win::DesktopExecLine({"/home/a b/notifier"}), "\"/home/a b/notifier\"");
  EXPECT_EQ(win::DesktopExecLine({"/x/\"q\"", "$HOME`id`"}), "\"/x/\\\\\"q\\\\\"\" \"\\\\$HOME\\\\`id\\\\`\"");
  EXPECT_EQ(win::DesktopExecLine({"/x/back\\slash"}), "\"/x/back\\\\\\\\slash\"");
  EXPECT_EQ(win::DesktopExecLine({"/x/100%/n"}), "\"/x/100%%/n\"");  // not a field code
}

TEST_F(AutostartEntry, FailuresAreReportedAndChangeNothing) {
  // A command that a desktop entry cannot hold writes nothing.
  EXPECT_THROW(win::WriteAutostartEntry(kAppId, "Notifier", {"/x/new\nline"}), win::AutostartError);
  EXPECT_FALSE(std::filesystem::exists(config.File("autostart")));

  // A file where the folder should be.
  WriteFile(config.File("autostart"), "not a folder");
  try {
    win::WriteAutostartEntry(kAppId, "Notifier", {"/usr/bin/notifier"});
    ADD_FAILURE() << "no error";
  } catch (const win::AutostartError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Unable to write to " + entry + ": ", 0), 0u) << error.what();
  }
  EXPECT_EQ(ReadFile(config.File("autostart")), "not a folder");

  // Something in the entry's place that cannot be removed as a file.
  std::filesystem::remove(config.File("autostart"));
  std::filesystem::create_directories(entry + "/inside");
  try {
    win::RemoveAutostartEntry(kAppId);
    ADD_FAILURE() << "no error";
  } catch (const win::AutostartError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Unable to remove " + entry + ": ", 0), 0u) << error.what();
  }
  EXPECT_TRUE(std::filesystem::exists(entry + "/inside"));
}
