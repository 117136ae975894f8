// output_fault_test.cpp: the output cannot be written: the disk fills up,
// the device is full, the folder is read-only or missing, or a folder stands
// in the output's place. Every case runs the command line as a real process
// and checks: exit code 1, one error line naming the file and the cause, no
// completion text, an earlier output file unchanged, no temporary file left.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "fault_support.h"
#include "sample_tables.h"

namespace faults {
namespace {

const std::string kBin = LOGWEAVE_BIN;
const std::string kEarlier = "an earlier conversion, to be kept\r\n";
constexpr std::size_t kPage = 4096;

std::vector<std::string> Convert(const std::string& input,
                                 const std::string& output,
                                 const std::string& language = "en") {
  return {kBin, "convert", input, "--auto", "--lang", language, "-o", output};
}

struct DiskFullCase {
  const char* name;
  int records;
  std::size_t free_pages;  // room left beside the earlier output
  std::size_t inodes;      // 0: no limit
  const char* language;
  const char* message;  // what the error line must say
};

void PrintTo(const DiskFullCase& c, std::ostream* os) { *os << c.name; }

class DiskFull : public ::testing::TestWithParam<DiskFullCase> {};

TEST_P(DiskFull, FailsCleanlyAndKeepsTheEarlierOutput) {
  const DiskFullCase& c = GetParam();
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(c.records))));
  std::string disk = dir / "disk";
  ASSERT_EQ(mkdir(disk.c_str(), 0777), 0);
  Mount mount;
  MOUNT_OR_SKIP(
      mount.Tmpfs(disk, (c.free_pages + 1) * kPage,
                  c.inodes ? "nr_inodes=" + std::to_string(c.inodes) : ""),
      mount);
  std::string output = disk + "/log.adi";
  ASSERT_TRUE(WriteFile(output, kEarlier));

  RunResult run = RunProgram(Convert(input, output, c.language));
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(run.out, "") << "no completion text on a failure";
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(output), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(std::string(c.language) == "en"
                             ? "No space left on device"
                             : "No queda espacio en el dispositivo"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Count(run.err, "\n"), 1u) << "one error line: " << run.err;
  EXPECT_EQ(ReadFile(output), kEarlier);
  EXPECT_EQ(Listing(disk), "log.adi") << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskFull,
    ::testing::Values(
        // Not even the header fits: the failure shows when the file is
        // closed.
        DiskFullCase{"NoRoomAtAll", 50, 0, 0, "en", "Cannot write"},
        // The header and the first lines fit.
        DiskFullCase{"RoomForAFewRecords", 400, 1, 0, "en", "Cannot write"},
        // A table of several megabytes on a disk with one megabyte free: the
        // first blocks are written, a later one fails.
        DiskFullCase{"MidWayThroughALargeTable", 40000, 256, 0, "en",
                     "Cannot write"},
        DiskFullCase{"SpanishMessage", 400, 1, 0, "es", "No se puede escribir"},
        // No room for one more file: the temporary file cannot be made.
        DiskFullCase{"NoFreeFileEntry", 10, 4, 2, "en", "Cannot create"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiskFull, SucceedsWhenThereIsRoomAndReplacesTheEarlierOutput) {
  // The same set-up with enough room: the failures above come from the
  // full disk, not from the set-up.
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(400))));
  std::string disk = dir / "disk";
  ASSERT_EQ(mkdir(disk.c_str(), 0777), 0);
  Mount mount;
  MOUNT_OR_SKIP(mount.Tmpfs(disk, 64 * kPage), mount);
  std::string output = disk + "/log.adi";
  ASSERT_TRUE(WriteFile(output, kEarlier));
  RunResult run = RunProgram(Convert(input, output));
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("converted to"), std::string::npos);
  EXPECT_EQ(Count(ReadFile(output), "<EOR>\r\n"), 400u);
  EXPECT_EQ(Listing(disk), "log.adi");
}

TEST(FullDevice, WritingToDevFullIsAnError) {
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(20))));
  RunResult run = RunProgram(Convert(input, "/dev/full"));
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("Cannot write /dev/full"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("No space left on device"), std::string::npos)
      << run.err;
  struct stat s;
  ASSERT_EQ(stat("/dev/full", &s), 0);
  EXPECT_TRUE(S_ISCHR(s.st_mode)) << "the device was replaced";
  EXPECT_EQ(Listing(dir.str()), "log.dbf");
}

TEST(FullDevice, StandardOutputOnDevFullIsAnError) {
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(20))));
  RunOptions options;
  options.stdout_path = "/dev/full";
  RunResult run = RunProgram(Convert(input, "-"), options);
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_NE(run.err.find("Cannot write standard output"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("converted to"), std::string::npos) << run.err;
}

TEST(FullDevice, ListingToDevFullIsAnError) {
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(20))));
  RunOptions options;
  options.stdout_path = "/dev/full";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{kBin, "fields", input},
        std::vector<std::string>{kBin, "catalogue"}}) {
    RunResult run = RunProgram(args, options);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              "logweave: Cannot write standard output: No space left on "
              "device\n");
  }
}

TEST(ReadOnlyFolder, OutputInAReadOnlyFolderIsRefused) {
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(20))));
  std::string folder = dir / "folder";
  std::string shown = dir / "readonly";
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  ASSERT_EQ(mkdir(shown.c_str(), 0777), 0);
  ASSERT_TRUE(WriteFile(folder + "/log.adi", kEarlier));
  Mount mount;
  MOUNT_OR_SKIP(mount.ReadOnlyBind(folder, shown), mount);
  std::string output = shown + "/log.adi";

  for (const char* language : {"en", "es"}) {
    RunResult run = RunProgram(Convert(input, output, language));
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(std::string(language) == "en" ? "Cannot create"
                                                         : "No se puede crear"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(output), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(std::string(language) == "en"
                               ? "Read-only file system"
                               : "Sistema de ficheros de solo lectura"),
              std::string::npos)
        << run.err;
  }
  EXPECT_EQ(ReadFile(output), kEarlier);
  EXPECT_EQ(Listing(folder), "log.adi");
}

TEST(ReadOnlyFolder, InputOnAReadOnlyMediumWithTheDerivedOutput) {
  // A table on a read-only medium (a CD, a write-protected floppy) converted
  // to the default output beside it.
  TempDir dir;
  std::string folder = dir / "folder";
  std::string medium = dir / "medium";
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  ASSERT_EQ(mkdir(medium.c_str(), 0777), 0);
  std::string table = BuildTable(SampleLog(20));
  ASSERT_TRUE(WriteFile(folder + "/LOG.DBF", table));
  Mount mount;
  MOUNT_OR_SKIP(mount.ReadOnlyBind(folder, medium), mount);
  RunResult run = RunProgram({kBin, "convert", medium + "/LOG.DBF", "--auto"});
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("Cannot create " + medium + "/LOG.ADI"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(folder + "/LOG.DBF"), table);
  EXPECT_EQ(Listing(folder), "LOG.DBF");
}

// What stands at the output decides how it is replaced, through the real
// program: a read-only file is refused in both languages and kept with its
// permissions; a dangling link gets the file it points to; the owner and
// group of a replaced file stay (root may give them, and the test runs as
// root only for those rows).
TEST(Replacement, ReadOnlyFilesLinksAndOwners) {
  const struct {
    const char* name;
    const char* language;
    mode_t earlier_mode;  // of log.adi holding kEarlier; 0: none
    bool dangling_link;   // -o names out.adi, a link to kept/log.adi
    uid_t owner;          // of log.adi, 0: the test's own
    int exit_code;
    const char* error;  // the whole of standard error, OUT for -o
    const char* listing;
    // clang-format off
  } cases[] = {
      {"read-only", "en", 0444, false, 0, 1,
       "logweave: Cannot create OUT: it is read-only\n", "log.adi log.dbf"},
      {"read-only, Spanish", "es", 0444, false, 0, 1,
       "logweave: No se puede crear OUT: es de solo lectura\n",
       "log.adi log.dbf"},
      {"readable by its owner only", "en", 0400, false, 0, 1,
       "logweave: Cannot create OUT: it is read-only\n", "log.adi log.dbf"},
      {"a dangling link", "en", 0, true, 0, 0, "", "kept log.dbf out.adi"},
      {"another owner's file", "en", 0640, false, 1234, 0, "",
       "log.adi log.dbf"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.owner && geteuid() != 0) continue;
    TempDir dir;
    std::string input = dir / "log.dbf";
    ASSERT_TRUE(WriteFile(input, BuildTable(SampleLog(5))));
    std::string output = dir / "log.adi";
    if (c.earlier_mode) {
      ASSERT_TRUE(WriteFile(output, kEarlier));
      ASSERT_EQ(chown(output.c_str(), c.owner ? c.owner : geteuid(),
                      c.owner ? 5678 : getegid()),
                0);
      ASSERT_EQ(chmod(output.c_str(), c.earlier_mode), 0);
    }
    if (c.dangling_link) {
      ASSERT_EQ(mkdir((dir / "kept").c_str(), 0777), 0);
      ASSERT_EQ(symlink("kept/log.adi", (dir / "out.adi").c_str()), 0);
      output = dir / "out.adi";
    }
    RunResult run = RunProgram(Convert(input, output, c.language));
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
    std::string error = c.error;
    if (error.find("OUT") != std::string::npos)
      error.replace(error.find("OUT"), 3, output);
    EXPECT_EQ(run.err, error);
    EXPECT_EQ(Listing(dir.str()), c.listing);
    struct stat s;
    if (c.exit_code != 0) {
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(ReadFile(output), kEarlier);
    } else {
      const std::string written =
          c.dangling_link ? dir / "kept/log.adi" : output;
      EXPECT_EQ(Count(ReadFile(written), "<EOR>\r\n"), 5u);
      EXPECT_EQ(lstat(output.c_str(), &s), 0);
      EXPECT_EQ(S_ISLNK(s.st_mode), c.dangling_link);
    }
    if (c.earlier_mode) {
      ASSERT_EQ(stat(output.c_str(), &s), 0);
      EXPECT_EQ(s.st_mode & 07777, c.earlier_mode);
      EXPECT_EQ(s.st_uid, c.owner ? c.owner : geteuid());
      EXPECT_EQ(s.st_gid, c.owner ? 5678u : getegid());
    }
  }
}

struct BadOutputCase {
  const char* name;
  const char* output;   // relative to the test folder
  const char* message;  // part of the error line
};

void PrintTo(const BadOutputCase& c, std::ostream* os) { *os << c.name; }

class BadOutput : public ::testing::TestWithParam<BadOutputCase> {};

TEST_P(BadOutput, IsRefusedAndNothingChanges) {
  const BadOutputCase& c = GetParam();
  TempDir dir;
  std::string input = dir / "log.dbf";
  std::string table = BuildTable(SampleLog(20));
  ASSERT_TRUE(WriteFile(input, table));
  // A folder with a file in it where an output could go.
  ASSERT_EQ(mkdir((dir / "log.ADI").c_str(), 0777), 0);
  ASSERT_TRUE(WriteFile(dir / "log.ADI/inside", kEarlier));
  ASSERT_EQ(mkdir((dir / "taken").c_str(), 0777), 0);
  // Links that lead nowhere a file could be made.
  ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
  ASSERT_EQ(symlink("gone/log.adi", (dir / "astray").c_str()), 0);
  std::string before = Listing(dir.str());

  std::vector<std::string> args = {kBin, "convert", input, "--auto"};
  if (*c.output) {
    args.push_back("-o");
    args.push_back(dir / c.output);
  }
  RunResult run = RunProgram(args);
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
  EXPECT_EQ(Listing(dir.str()), before);
  EXPECT_EQ(ReadFile(dir / "log.ADI/inside"), kEarlier);
  EXPECT_EQ(Listing(dir / "taken"), "");
  EXPECT_EQ(ReadFile(input), table);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadOutput,
    ::testing::Values(
        // The derived output name is taken by a folder.
        BadOutputCase{"DerivedNameIsAFolder", "", "it is a folder"},
        BadOutputCase{"NamedOutputIsAFolder", "taken", "it is a folder"},
        BadOutputCase{"NamedOutputIsAFolderWithASlash", "taken/",
                      "it is a folder"},
        BadOutputCase{"FolderDoesNotExist", "missing/log.adi",
                      "No such file or directory"},
        BadOutputCase{"FolderIsAFile", "log.dbf/log.adi", "Not a directory"},
        BadOutputCase{"LinkLoop", "loop", "Too many levels of symbolic links"},
        BadOutputCase{"LinkIntoAMissingFolder", "astray",
                      "No such file or directory"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace faults
