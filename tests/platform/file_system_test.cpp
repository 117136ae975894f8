// Tests of the file layer on this machine's file system: the guards on
// inputs, and temporary files that replace their target whole or leave
// nothing behind, even when the program is killed.

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

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

#ifndef _WIN32
TEST(FileSystem, AReplacementKeepsThePermissionsOfTheFileItReplaces) {
  TempDir dir;
  for (mode_t mode : {0600, 0640, 0604}) {
    const std::string target = dir / "log.adi";
    WriteFile(target, "earlier");
    ASSERT_EQ(0, chmod(target.c_str(), mode));
    SystemError error;
    std::unique_ptr<TemporaryFile> temporary =
        files.CreateTemporaryFor(target, &error);
    ASSERT_TRUE(temporary && temporary->Commit());
    struct stat s;
    ASSERT_EQ(0, stat(target.c_str(), &s));
    EXPECT_EQ(mode, s.st_mode & 07777);
  }
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

TEST(FileSystem, PathsSplitIntoFolderAndName) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
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
  for (const auto& c : cases) {
    EXPECT_EQ(c.folder, FolderOf(c.path)) << c.path;
    EXPECT_EQ(c.name, NameOf(c.path)) << c.path;
  }
}

}  // namespace
