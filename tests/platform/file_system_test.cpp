// Tests of the file layer on this machine's file system: the guards on
// inputs, and temporary files that replace their target whole or leave
// nothing behind, even when the program is killed.

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "test_support.h"

namespace {

FileSystem& files = SystemFileSystem();

TEST(FileSystem, OnlyRegularFilesAreOpenedForReading) {
  TempDir dir;
  WriteFile(dir / "table.dbf", "bytes");
  std::filesystem::create_directory(dir / "folder");
  struct Case {
    std::string path;
    OpenError::Reason reason;
    FileKind kind;
  };
  // clang-format off
  std::vector<Case> cases = {
      {dir / "table.dbf", OpenError::kNone, FileKind::kRegular},
      {dir / "folder", OpenError::kNotRegular, FileKind::kFolder},
      {dir / "missing", OpenError::kSystem, FileKind::kMissing},
#ifdef _WIN32
      {"NUL", OpenError::kNotRegular, FileKind::kDevice},
      {"COM1", OpenError::kNotRegular, FileKind::kDevice},
      {dir / "con.dbf", OpenError::kNotRegular, FileKind::kDevice},
#else
      {"/dev/null", OpenError::kNotRegular, FileKind::kDevice},
      {"/dev/zero", OpenError::kNotRegular, FileKind::kDevice},
      {dir / "fifo", OpenError::kNotRegular, FileKind::kDevice},
#endif
  };
  // clang-format on
#ifndef _WIN32
  // A pipe nobody writes to: opening it must not wait for a writer.
  ASSERT_EQ(0, mkfifo((dir / "fifo").c_str(), 0600));
#endif
  for (const Case& c : cases) {
    OpenError error;
    std::unique_ptr<InputFile> in = files.OpenForReading(c.path, &error);
    EXPECT_EQ(c.reason, error.reason) << c.path;
    EXPECT_EQ(c.kind, files.KindOf(c.path)) << c.path;
    EXPECT_EQ(c.reason == OpenError::kNone, in != nullptr) << c.path;
    if (c.reason == OpenError::kNotRegular) {
      EXPECT_EQ(c.kind, error.kind) << c.path;
    }
    if (c.reason == OpenError::kSystem) {
      EXPECT_NE(0, error.system.code) << c.path;
    }
  }
}

TEST(FileSystem, WholeFilesAreReadUpToALimit) {
  TempDir dir;
  WriteFile(dir / "small", std::string(100, 'a'));
  std::string bytes;
  OpenError error;
  EXPECT_TRUE(ReadWholeFile(files, dir / "small", 100, &bytes, &error));
  EXPECT_EQ(std::string(100, 'a'), bytes);
  EXPECT_FALSE(ReadWholeFile(files, dir / "small", 99, &bytes, &error));
  EXPECT_EQ(OpenError::kTooLarge, error.reason);
  EXPECT_EQ("", bytes);
}

TEST(FileSystem, ATemporaryFileReplacesItsTargetOnlyWhenCommitted) {
  TempDir dir;
  const std::string target = dir / "log.adi";
  WriteFile(target, "earlier");
  SystemError error;
  {
    std::unique_ptr<TemporaryFile> temporary =
        files.CreateTemporaryFor(target, &error);
    ASSERT_TRUE(temporary) << error.text;
    ASSERT_TRUE(temporary->Write("new", 3));
    EXPECT_EQ("earlier", ReadFile(target));
  }
  // Dropped without a commit: nothing of it is left.
  EXPECT_EQ("log.adi ", dir.Listing());
  EXPECT_EQ("earlier", ReadFile(target));

  std::unique_ptr<TemporaryFile> temporary =
      files.CreateTemporaryFor(target, &error);
  ASSERT_TRUE(temporary);
  ASSERT_TRUE(temporary->Write("new", 3));
  ASSERT_TRUE(temporary->Commit()) << temporary->Error().text;
  EXPECT_EQ("new", ReadFile(target));
  EXPECT_EQ("log.adi ", dir.Listing());
}

TEST(FileSystem, TheLongestLegalNameGetsATemporaryFile) {
  TempDir dir;
  const std::string target = dir / (std::string(251, 'n') + ".adi");
  SystemError error;
  std::unique_ptr<TemporaryFile> temporary =
      files.CreateTemporaryFor(target, &error);
  ASSERT_TRUE(temporary) << error.text;
  ASSERT_TRUE(temporary->Write("x", 1));
  ASSERT_TRUE(temporary->Commit()) << temporary->Error().text;
  EXPECT_EQ("x", ReadFile(target));
}

// What stands at the target decides what a replacement does: a read-only
// file is refused and kept; a symbolic link is followed, a dangling one too,
// so that the file it points to is written and the link stays a link.
TEST(FileSystem, AReplacementFollowsLinksAndRefusesReadOnlyFiles) {
  using std::filesystem::perms;
  const perms kReadOnly =
      perms::owner_read | perms::group_read | perms::others_read;
  const perms kWritable = kReadOnly | perms::owner_write;
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // name, target
    perms earlier_mode;   // of a file "earlier" holding "old"; none: no file
    int refused_with;     // 0: replaced
    const char* written;  // the file that gets the new bytes
    const char* listing;
    // clang-format off
  } cases[] = {
      {"a read-only file", {}, kReadOnly, kReadOnlyFileCode, "", "earlier "},
      {"a file only its owner may read", {}, perms::owner_read,
       kReadOnlyFileCode, "", "earlier "},
      {"a writable file", {}, kWritable, 0, "earlier", "earlier "},
#ifndef _WIN32
      {"a link to a read-only file", {{"out", "earlier"}}, kReadOnly,
       kReadOnlyFileCode, "", "earlier out "},
      {"a link to a writable file", {{"out", "earlier"}}, kWritable, 0,
       "earlier", "earlier out "},
      {"a dangling link", {{"out", "new.adi"}}, perms::none, 0, "new.adi",
       "new.adi out "},
      {"a chain of links into a folder, ending nowhere",
       {{"out", "next"}, {"next", "sub/new.adi"}}, perms::none, 0,
       "sub/new.adi", "next out sub "},
      {"a dangling link into a missing folder", {{"out", "gone/new.adi"}},
       perms::none, ENOENT, "", "out "},
      {"a loop of links", {{"out", "next"}, {"next", "out"}}, perms::none,
       ELOOP, "", "next out "},
#endif
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string earlier = dir / "earlier";
    if (c.earlier_mode != perms::none) {
      WriteFile(earlier, "old");
      std::filesystem::permissions(earlier, c.earlier_mode);
    }
    for (const auto& [name, to] : c.links)
      std::filesystem::create_symlink(to, dir / name);
    if (std::string(c.written).rfind("sub/", 0) == 0)
      std::filesystem::create_directory(dir / "sub");
    // Without links the earlier file itself is the target.
    const std::string target = c.links.empty() ? earlier : dir / "out";

    SystemError error;
    std::unique_ptr<TemporaryFile> temporary =
        files.CreateTemporaryFor(target, &error);
    if (c.refused_with) {
      EXPECT_FALSE(temporary);
      EXPECT_EQ(c.refused_with, error.code) << error.text;
    } else {
      ASSERT_TRUE(temporary) << error.text;
      ASSERT_TRUE(temporary->Write("new", 3));
      ASSERT_TRUE(temporary->Commit()) << temporary->Error().text;
      EXPECT_EQ("new", ReadFile(dir / c.written));
    }
    temporary.reset();
    if (c.earlier_mode != perms::none && c.refused_with) {
      EXPECT_EQ("old", ReadFile(earlier));
    }
    if (!c.links.empty()) {
      EXPECT_TRUE(std::filesystem::is_symlink(dir / "out"));
    }
    EXPECT_EQ(c.listing, dir.Listing());
    // Windows removes no read-only file, not even with its folder.
    std::error_code ignored;
    std::filesystem::permissions(earlier, kWritable, ignored);
  }
}

#ifndef _WIN32
TEST(FileSystem, AReplacementKeepsThePermissionsOwnerAndGroupItReplaces) {
  // Another owner can be given only by root; then the replacement made by
  // root must not take the file over.
  const bool root = geteuid() == 0;
  const struct {
    mode_t mode;
    uid_t owner;  // 0: the process's own
    gid_t group;
  } cases[] = {{0600, 0, 0},
               {0640, 0, 0},
               {0604, 0, 0},
               {0644, 1234, 5678},
               {0660, 0, 5678}};
  for (const auto& c : cases) {
    if ((c.owner || c.group) && !root) continue;
    TempDir dir;
    const std::string target = dir / "log.adi";
    WriteFile(target, "earlier");
    const uid_t owner = c.owner ? c.owner : geteuid();
    const gid_t group = c.group ? c.group : getegid();
    ASSERT_EQ(0, chown(target.c_str(), owner, group));
    ASSERT_EQ(0, chmod(target.c_str(), c.mode));
    SystemError error;
    std::unique_ptr<TemporaryFile> temporary =
        files.CreateTemporaryFor(target, &error);
    ASSERT_TRUE(temporary && temporary->Commit()) << error.text;
    struct stat s;
    ASSERT_EQ(0, stat(target.c_str(), &s));
    EXPECT_EQ(c.mode, s.st_mode & 07777) << c.mode;
    EXPECT_EQ(owner, s.st_uid) << c.mode;
    EXPECT_EQ(group, s.st_gid) << c.mode;
    EXPECT_EQ("", ReadFile(target));
  }
}

TEST(FileSystem, AFileThisProcessMayNotWriteIsNotReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // Another user's file in a folder everyone may write to.
  TempDir dir;
  ASSERT_EQ(0, chmod(dir.str().c_str(), 0777));
  const std::string target = dir / "log.adi";
  WriteFile(target, "earlier");
  ASSERT_EQ(0, chmod(target.c_str(), 0644));
  pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    SystemError error;
    std::unique_ptr<TemporaryFile> temporary =
        files.CreateTemporaryFor(target, &error);
    _exit(!temporary && error.code == EACCES ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ("earlier", ReadFile(target));
  EXPECT_EQ("log.adi ", dir.Listing());
}

TEST(FileSystem, AProgramEndedBySignalLeavesNoTemporaryFile) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    TempDir dir;
    WriteFile(dir / "log.adi", "earlier");
    pid_t child = fork();
    if (child == 0) {
      SystemError error;
      std::unique_ptr<TemporaryFile> temporary =
          files.CreateTemporaryFor(dir / "log.adi", &error);
      if (!temporary) _exit(2);
      temporary->Write(std::string(1 << 20, 'x').data(), 1 << 20);
      raise(signal_number);
      _exit(3);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status)) << signal_number;
    EXPECT_EQ(signal_number, WTERMSIG(status));
    EXPECT_EQ("log.adi ", dir.Listing()) << signal_number;
    EXPECT_EQ("earlier", ReadFile(dir / "log.adi"));
  }
}
#endif

// Every operation reaches a file by the name its path spells in the
// encoding chosen at start: UTF-8 for the command line, whose Cyrillic and
// Greek names lie outside a Western system's ANSI code page, and ANSI bytes
// for the window program (elsewhere a path is bytes either way).
TEST(FileSystem, NamesAreReachedInTheEncodingChosenAtStart) {
  const struct {
    PathEncoding encoding;
    const char* name;
    // clang-format off
  } cases[] = {
      {PathEncoding::kUtf8,
       "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB.dbf"},
      {PathEncoding::kUtf8,
       "\xCE\x97\xCE\xBC\xCE\xB5\xCF\x81\xCE\xBF\xCE\xBB\xCF\x8C"
       "\xCE\xB3\xCE\xB9\xCE\xBF.adi"},
      {PathEncoding::kAnsi, "A\xF1o 2005.dbf"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetPathEncoding(c.encoding);
    TempDir dir;
    // Joined as bytes: the standard library would read the name in a code
    // page of its own.
    const std::string folder = dir.str() + "/";
    const std::string path = folder + c.name;
    for (const char* bytes : {"first", "second"}) {
      SystemError error;
      std::unique_ptr<TemporaryFile> temporary =
          files.CreateTemporaryFor(path, &error);
      ASSERT_TRUE(temporary) << error.text;
      ASSERT_TRUE(temporary->Write(bytes, std::strlen(bytes)));
      ASSERT_TRUE(temporary->Commit()) << temporary->Error().text;
      std::string read;
      OpenError open_error;
      EXPECT_TRUE(ReadWholeFile(files, path, 100, &read, &open_error));
      EXPECT_EQ(bytes, read);
    }
    EXPECT_EQ(FileKind::kRegular, files.KindOf(path));
    EXPECT_TRUE(files.SameFile(path, path));
    std::vector<std::string> names = files.NamesInFolder(folder);
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), c.name));
    // The name on disk, seen by the standard library on its own.
    EXPECT_TRUE(c.encoding == PathEncoding::kUtf8
                    ? std::filesystem::exists(std::filesystem::u8path(path))
                    : ReadFile(path) == "second");
    SystemError error;
    EXPECT_TRUE(files.Remove(path, &error)) << error.text;
    EXPECT_EQ(FileKind::kMissing, files.KindOf(path));
  }
  SetPathEncoding(PathEncoding::kAnsi);
}

TEST(FileSystem, PathsSplitIntoFolderAndName) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
    // clang-format off
  } cases[] = {
      {"log.dbf", "", "log.dbf"},
      {"logs/q1", "logs/", "q1"},
      {"/a/b/c.dbf", "/a/b/", "c.dbf"},
      {"logs/", "logs/", ""},
#ifdef _WIN32
      {"C:log.dbf", "C:", "log.dbf"},
      {"C:\\logs\\q1.dbf", "C:\\logs\\", "q1.dbf"},
#endif
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(c.folder, FolderOf(c.path)) << c.path;
    EXPECT_EQ(c.name, NameOf(c.path)) << c.path;
  }
}

}  // namespace
