// SPDX-License-Identifier: MIT
// The settings file among real files of the user's and of others: an oversized file, files and
// folders that cannot be written, a full disk, owners and modes, symbolic links, and saves killed
// halfway.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "child_process.h"
#include "session/settings.h"
#include "settings_file.h"
#include "temp_directory.h"

namespace {

struct SettingsFileSafety : ::testing::Test {
  TempDirectory dir;
  std::string path = dir.File("vexmira.ini");

  // The error of a save, empty when it succeeded.
  static std::string SaveError(const std::string& file, const Settings& fields) {
    try {
      SaveSettings(file, fields);
      return "";
    } catch (const SettingsWriteError& e) {
      return e.what();
    }
  }
  static std::string LoadProblem(const std::string& file) {
    const LoadedSettings loaded = SettingsStore(file).Load();
    return loaded.problem ? loaded.problem->what() : "";
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

struct stat Status(const std::string& file) {
  struct stat info {};
  ::lstat(file.c_str(), &info);
  return info;
}

Settings Named(const std::string& user) {
  Settings s;
  s.UserId = user;
  s.SavePass = true;
  s.Pass = "secret";
  return s;
}

}  // namespace

TEST_F(SettingsFileSafety, AFileOverOneMebibyteIsLeftAloneAndTheDefaultsApply) {
  const std::string head = "[DATA]\nUSERID=bob\n";
  const std::string big = head + std::string((1 << 20) + 1 - head.size(), ';');
  WriteFile(path, big);
  SettingsStore file(path);
  const LoadedSettings loaded = file.Load();
  EXPECT_EQ(loaded.fields, Settings{});
  ASSERT_TRUE(loaded.problem);
  EXPECT_EQ(std::string(loaded.problem->what()),
            "Unable to read " + path + ": the file is larger than 1 MiB. The defaults are used and the file is left as it is.");
  EXPECT_EQ(SaveError(path, Named("carol")), "Unable to write to " + path + ": the file is larger than 1 MiB");
  EXPECT_EQ(ReadFile(path), big);

  WriteFile(path, big.substr(0, 1 << 20));  // at the limit: read, but not saved larger
  EXPECT_EQ(LoadSettings(path).UserId, "bob");
  EXPECT_EQ(SaveError(path, Named("carol")), "Unable to write to " + path + ": the file would be larger than 1 MiB");
  EXPECT_EQ(ReadFile(path), big.substr(0, 1 << 20));

  // Neither waited on (a FIFO has no writer) nor taken for settings.
  const std::string fifo = dir.File("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LoadProblem(fifo), "Unable to read " + fifo + ": it is not a regular file. The defaults are used and the file is left as it is.");
}

TEST_F(SettingsFileSafety, WhatCannotBeWrittenIsReportedAndLeftAsItWas) {
  // A directory in the file's place.
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
  EXPECT_EQ(SaveError(path, Named("carol")), "Unable to write to " + path + ": Is a directory");
  EXPECT_TRUE(S_ISDIR(Status(path).st_mode));
  ASSERT_EQ(::rmdir(path.c_str()), 0);

  // A read-only file is the user's decision, even for root, who could replace it.
  SaveSettings(path, Named("bob"));
  const std::string before = ReadFile(path);
  ASSERT_EQ(::chmod(path.c_str(), 0400), 0);
  EXPECT_EQ(SaveError(path, Named("carol")), "Unable to write to " + path + ": the file is read-only");
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(Status(path).st_mode & 07777, 0400u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"vexmira.ini"});
}

// Root writes into any folder, so the folder's owner tries.
TEST_F(SettingsFileSafety, AReadOnlyFolderIsReported) {
  const std::string folder = dir.File("config");
  const std::string file = folder + "/vexmira.ini";
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0711), 0);
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  SaveSettings(file, Named("bob"));
  ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
  const std::string before = ReadFile(file);
  EXPECT_EQ(InChild([&] { return BecomeNobody() ? SaveError(file, Named("carol")) : "<not nobody>"; }),
            "Unable to write to " + file + ": Permission denied");
  EXPECT_EQ(ReadFile(file), before);
}

// A small file system of its own, filled up, in a mount namespace of the child's.
TEST_F(SettingsFileSafety, AFullDiskIsReportedAndTheFileStays) {
  const std::string mountPoint = dir.File("small");
  ASSERT_EQ(::mkdir(mountPoint.c_str(), 0700), 0);
  const std::string file = mountPoint + "/vexmira.ini";
  const std::string report = InChild([&]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
      return "<no mount>";
    SaveSettings(file, Named("bob"));
    const std::string before = ReadFile(file);
    const int filler = ::open((mountPoint + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string block(4096, 'x');
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    ::close(filler);
    Settings bigger = Named("carol");
    bigger.WavFile = std::string(1000, 'w');
    const std::string error = SaveError(file, bigger);
    return error + (ReadFile(file) == before ? "|unchanged" : "|changed");
  });
  if (report == "<no mount>") GTEST_SKIP() << "no private mounts here";
  EXPECT_EQ(report, "Unable to write to " + file + ": No space left on device|unchanged");
}

TEST_F(SettingsFileSafety, AnExistingFileKeepsItsOwnerAndModeANewOneIsPrivate) {
  SaveSettings(path, Named("bob"));
  EXPECT_EQ(Status(path).st_mode & 07777, 0600u);

  ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  SaveSettings(path, Named("carol"));
  const struct stat after = Status(path);
  EXPECT_EQ(after.st_uid, kNobody);
  EXPECT_EQ(after.st_gid, kNobody);
  EXPECT_EQ(after.st_mode & 07777, 0644u);
  EXPECT_EQ(LoadSettings(path).UserId, "carol");

  // A user who cannot give the new file the old one's owner does not save.
  const std::string folder = dir.File("home");
  const std::string file = folder + "/vexmira.ini";
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0711), 0);
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
  SaveSettings(file, Named("bob"));
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);  // root's, writable by all
  EXPECT_EQ(InChild([&] { return BecomeNobody() ? SaveError(file, Named("carol")) : "<not nobody>"; }),
            "Unable to write to " + file + ": its owner and group cannot be kept");
  EXPECT_EQ(Status(file).st_uid, 0u);
  EXPECT_EQ(LoadSettings(file).UserId, "bob");
}

TEST_F(SettingsFileSafety, ALinkIsFollowedOnlyToAFileOfTheUsersOwn) {
  const std::string mine = dir.File("dotfiles.ini");
  SaveSettings(mine, Named("bob"));
  ASSERT_EQ(::symlink(mine.c_str(), path.c_str()), 0);
  EXPECT_EQ(LoadSettings(path).UserId, "bob");
  SaveSettings(path, Named("carol"));
  EXPECT_TRUE(S_ISLNK(Status(path).st_mode));
  EXPECT_EQ(LoadSettings(mine).UserId, "carol");
  ASSERT_EQ(::unlink(path.c_str()), 0);

  const std::string theirs = dir.File("theirs.ini");
  const std::string missing = dir.File("missing.ini");
  WriteFile(theirs, "[DATA]\nUSERID=mallory\nPROXY=127.0.0.2\n");
  ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNobody), 0);
  for (const std::string& target : {theirs, missing}) {
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    const std::string refusal = "it is a symbolic link to " + target + ", which is not one of this user's own files";
    EXPECT_EQ(LoadProblem(path), "Unable to read " + path + ": " + refusal + ". The defaults are used and the file is left as it is.");
    EXPECT_EQ(LoadSettings(path), Settings{});
    EXPECT_EQ(SaveError(path, Named("carol")), "Unable to write to " + path + ": " + refusal);
    EXPECT_TRUE(S_ISLNK(Status(path).st_mode));
    ASSERT_EQ(::unlink(path.c_str()), 0);
  }
  EXPECT_EQ(ReadFile(theirs), "[DATA]\nUSERID=mallory\nPROXY=127.0.0.2\n");
  EXPECT_EQ(Status(theirs).st_uid, kNobody);
  EXPECT_EQ(Status(missing).st_mode, 0u);  // not made
}

// Saves killed at random moments: the file is always one of the two versions, and whatever a
// killed save left is gone after the next one.
TEST_F(SettingsFileSafety, KilledSavesLeaveNothingBehindTheNextSave) {
  Settings small = Named("bob");
  Settings large = Named("carol");
  large.WavFile = std::string(1000, 'w');
  SaveSettings(path, small);
  for (int trial = 0; trial < 40; ++trial) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (bool flip = false;; flip = !flip) SaveSettings(path, flip ? large : small);
    }
    ::usleep(static_cast<useconds_t>(500 + (trial * 337) % 3000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const Settings now = LoadSettings(path);
    EXPECT_TRUE(now == small || now == large) << "trial " << trial;
  }
  SaveSettings(path, small);
  EXPECT_EQ(Entries(), std::vector<std::string>{"vexmira.ini"});
}

// Only our own leftovers go: the exact naming, regular files of this user's.
TEST_F(SettingsFileSafety, ASaveRemovesOnlyItsOwnStaleTemporaries) {
  SaveSettings(path, Named("bob"));
  WriteFile(dir.File("vexmira.ini.tmp-Ab12Cd"), "[DATA]\nPASS=stale\n");
  const std::vector<std::string> kept = {"other.ini.tmp-Ab12Cd", "vexmira.ini.backup", "vexmira.ini.tmp-Ab12C",
                                         "vexmira.ini.tmp-Lk00Lk", "vexmira.ini.tmp-Zz99Yy"};
  for (const std::string& name : kept) WriteFile(dir.File(name), "keep");
  ASSERT_EQ(::chown(dir.File("vexmira.ini.tmp-Zz99Yy").c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::unlink(dir.File("vexmira.ini.tmp-Lk00Lk").c_str()), 0);
  ASSERT_EQ(::symlink(dir.File("vexmira.ini.backup").c_str(), dir.File("vexmira.ini.tmp-Lk00Lk").c_str()), 0);

  SaveSettings(path, Named("carol"));
  std::vector<std::string> expected = kept;
  expected.push_back("vexmira.ini");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(), expected);
}
