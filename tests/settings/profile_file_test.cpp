// SPDX-License-Identifier: MIT
// Profile files: lookups, in-place edits that leave everything else alone, and the
// configuration directory.

#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>


#include "temp_directory.h"

using win::FileError;
using win::ReadProfileSection;
using win::WriteProfileStrings;

namespace {

struct ProfileFile : ::testing::Test {
  TempDirectory dir;
  std::string path = dir.File("test.ini");

  std::string Read(const char* section, const char* key, std::size_t size = 1024) {
    return ReadProfileSection(section, path).GetString(key, "<default>", size);
  }
};

}  // namespace

TEST_F(ProfileFile, LooksUpWithoutRegardToCaseAndTrimsBlanks) {
  WriteFile(path,
            "USERID=outside\n"
            "[Other]\nUSERID=other\n"
            "  [ data ]  \r\n"
            ";USERID=comment\r\n"
            "\t userid \t=  bob smith \t\r\n"
            "USERID=second\r\n"
            "EMPTY=\r\n"
            "noequals\r\n"
            "[DATA2]\nLATER=x");
  EXPECT_EQ(Read("DATA", "USERID"), "bob smith");
  EXPECT_EQ(Read("data", "UserId"), "bob smith");
  EXPECT_EQ(Read("DATA", "EMPTY"), "");
  EXPECT_EQ(Read("DATA", "LATER"), "<default>");
  EXPECT_EQ(Read("DATA", "noequals"), "<default>");
  EXPECT_EQ(Read("MISSING", "USERID"), "<default>");
  EXPECT_EQ(Read("DATA2", "LATER"), "x");  // last line without a line break
  EXPECT_EQ(ReadProfileSection("DATA", dir.File("none.ini")).GetString("USERID", "d", 1024), "d");
  EXPECT_EQ(ReadProfileSection("DATA", dir.File("none/none.ini")).GetString("USERID", "d", 1024), "d");
}

TEST_F(ProfileFile, ReadsAreLimitedToTheBuffer) {
  WriteFile(path, "[DATA]\nLONG=" + std::string(2000, 'x') + "\n");
  EXPECT_EQ(Read("DATA", "LONG"), std::string(1023, 'x'));
  EXPECT_EQ(Read("DATA", "LONG", 5), "xxxx");
}

TEST_F(ProfileFile, AWriteChangesOnlyItsKeys) {
  const std::string other = "; settings of two programs\r\n[Other]\r\nKEY=1\r\n\r\n";
  WriteFile(path, other + "[data]\r\nuserid=old\r\n; keep me\r\nTIME=5\r\n\r\n[Last]\r\nX=y");
  WriteProfileStrings("DATA", {{"USERID", "new"}, {"PASS", ""}, {"TIME", "7"}}, path);
  EXPECT_EQ(ReadFile(path), other +
                                "[data]\r\nUSERID=new\r\n; keep me\r\nTIME=7\r\nPASS=\r\n\r\n"
                                "[Last]\r\nX=y");

  WriteProfileStrings("NEW", {{"A", "1"}}, path);
  EXPECT_TRUE(ReadFile(path).ends_with("[Last]\r\nX=y\r\n[NEW]\r\nA=1\r\n"));
}

TEST_F(ProfileFile, ANewFileGetsTheKeysInOrderReadableByItsOwnerOnly) {
  WriteProfileStrings("DATA", {{"B", "2"}, {"A", "1"}, {"C", ""}}, path);
  EXPECT_EQ(ReadFile(path), "[DATA]\nB=2\nA=1\nC=\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ProfileFile, ALinkedFileIsReplacedAtItsTarget) {
  const std::string target = dir.File("kept-elsewhere.ini");
  WriteFile(target, "[DATA]\nA=1\n");
  ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
  WriteProfileStrings("DATA", {{"A", "2"}}, path);
  struct stat info {};
  ASSERT_EQ(::lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadFile(target), "[DATA]\nA=2\n");
}

TEST_F(ProfileFile, RefusesWhatWouldBreakTheFileAndLeavesItAlone) {
  WriteFile(path, "[DATA]\nA=1\n");
  for (const std::string& value : {std::string("two\nlines"), std::string("cr\r"), std::string("nul\0x", 5)})
    EXPECT_THROW(WriteProfileStrings("DATA", {{"A", "ok"}, {"B", value}}, path), FileError);
  EXPECT_THROW(WriteProfileStrings("DATA", {{"A=B", "1"}}, path), FileError);
  EXPECT_THROW(WriteProfileStrings("DA]TA", {{"A", "1"}}, path), FileError);
  EXPECT_EQ(ReadFile(path), "[DATA]\nA=1\n");

  // A file that is there but cannot be read is not replaced: its other sections would be lost.
  const std::string directory = dir.File("sub.ini");
  ASSERT_EQ(::mkdir(directory.c_str(), 0700), 0);
  EXPECT_THROW(WriteProfileStrings("DATA", {{"A", "1"}}, directory), FileError);
  EXPECT_THROW(ReadProfileSection("DATA", directory), FileError);
}

TEST(WindowsDirectory, IsTheConfigurationDirectoryCreatedWhenMissing) {
  TempDirectory dir;
  const std::string nested = dir.File("a/b/config");
  const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
  const char* savedHome = std::getenv("HOME");
  const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";

  ::setenv("XDG_CONFIG_HOME", (nested + "/").c_str(), 1);
  EXPECT_EQ(win::GetWindowsDirectory(), nested);
  struct stat info {};
  ASSERT_EQ(::stat(nested.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  ::setenv("HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(win::GetWindowsDirectory(), dir.File(".config"));

  savedXdg ? ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
  savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}
