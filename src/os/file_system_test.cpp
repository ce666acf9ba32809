#include "os/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "os/io_codes.h"
#include "temp_dir.h"

namespace {

TEST(IoCodes, MapErrnoValuesAndNameEveryCode) {
  struct Case {
    int error;
    IoDirection direction;
    int code;
  };
  const Case cases[] = {
      {ENOENT, IoDirection::Other, 2},       {ENOTDIR, IoDirection::Other, 3},
      {ENAMETOOLONG, IoDirection::Other, 3}, {ELOOP, IoDirection::Other, 3},
      {EACCES, IoDirection::Other, 5},       {EPERM, IoDirection::Other, 5},
      {EEXIST, IoDirection::Other, 5},       {ENOTEMPTY, IoDirection::Other, 5},
      {EISDIR, IoDirection::Other, 5},       {EBUSY, IoDirection::Other, 5},
      {ETXTBSY, IoDirection::Other, 5},      {EBADF, IoDirection::Other, 6},
      {ENOMEM, IoDirection::Other, 8},       {EIO, IoDirection::Reading, 100},
      {EIO, IoDirection::Other, 101},        {ENOSPC, IoDirection::Other, 101},
      {EDQUOT, IoDirection::Other, 101},     {EFBIG, IoDirection::Other, 101},
      {EROFS, IoDirection::Other, 150},      {EMFILE, IoDirection::Other, EMFILE},
      {1000, IoDirection::Other, 255},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IoCodeFromErrno(c.error, c.direction), c.code) << c.error;
  EXPECT_EQ(IoMessage(2), "File not found");
  EXPECT_EQ(IoMessage(18), "No filename match");
  EXPECT_EQ(IoMessage(101), "Disk write error");
  EXPECT_EQ(IoMessage(155), "Bad drive request structure length");
  EXPECT_EQ(IoMessage(162), "Hardware failure");
  EXPECT_EQ(IoMessage(24), "Unknown error");
  EXPECT_EQ(IoMessage(0), "Unknown error");
}

TEST(HostPath, TurnsTheProgramsSeparatorsIntoSlashesInTheDirectoryOnly) {
  EXPECT_EQ(HostPath("src\\sub\\", "a.pas"), "src/sub/a.pas");
  EXPECT_EQ(HostPath("C:\\src\\"), "C//src/");
  EXPECT_EQ(HostPath("dir\\", "odd\\name:1.pas"), "dir/odd\\name:1.pas");
}

TEST(FileSystem, OutputsAndRenamesNeverReplaceAnything) {
  TempDir dir;
  dir.Write("source", "original", 0640);
  dir.Write("taken", "keep me");
  int fd = -1;
  FileIdentity identity;
  ASSERT_EQ(OpenForReading(dir / "source", fd, identity), IoOk);
  EXPECT_EQ(identity.permissions, 0640u);
  ASSERT_EQ(CloseFile(fd), IoOk);

  EXPECT_EQ(RenameNoReplace(dir / "source", dir / "taken"), IoAccessDenied);
  EXPECT_EQ(CreateExclusive(dir / "taken", identity, fd), IoAccessDenied);
  ::symlink("elsewhere", (dir / "link").c_str());
  EXPECT_EQ(CreateExclusive(dir / "link", identity, fd), IoAccessDenied);
  EXPECT_FALSE(dir.Exists("elsewhere"));
  EXPECT_EQ(dir.Read("taken"), "keep me");

  const mode_t oldMask = ::umask(077);
  ASSERT_EQ(CreateExclusive(dir / "new", identity, fd), IoOk);
  ::umask(oldMask);
  ASSERT_EQ(WriteBlock(fd, "converted"), IoOk);
  ASSERT_EQ(CloseFile(fd), IoOk);
  struct stat status;
  ASSERT_EQ(::stat((dir / "new").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_EQ(dir.Read("new"), "converted");
  EXPECT_EQ(RenameNoReplace(dir / "source", dir / "moved"), IoOk);
  EXPECT_EQ(dir.Read("moved"), "original");
}

TEST(FileSystem, ReadsOnlyRegularFilesAndNeverBlocks) {
  TempDir dir;
  ::mkfifo((dir / "fifo").c_str(), 0644);
  ::mkdir((dir / "sub").c_str(), 0755);
  int fd = -1;
  FileIdentity identity;
  EXPECT_EQ(OpenForReading(dir / "fifo", fd, identity), IoAccessDenied);
  EXPECT_EQ(OpenForReading(dir / "sub", fd, identity), IoAccessDenied);
  EXPECT_EQ(OpenForReading(dir / "missing", fd, identity), IoFileNotFound);
  EXPECT_EQ(OpenForReading(dir / "missing/x", fd, identity), IoFileNotFound);
  EXPECT_EQ(OpenForReading(dir / std::string(300, 'n'), fd, identity), IoPathNotFound);
  EXPECT_EQ(fd, -1);
}

TEST(FileSystem, KnowsWhenAPathIsTheLastNameOfAnOpenFile) {
  TempDir dir;
  dir.Write("file", "x");
  dir.Write("other", "y");
  int fd = -1;
  FileIdentity identity;
  ASSERT_EQ(OpenForReading(dir / "file", fd, identity), IoOk);
  EXPECT_TRUE(IsLastNameOf(dir / "file", fd));
  EXPECT_FALSE(IsLastNameOf(dir / "other", fd));
  EXPECT_FALSE(IsLastNameOf(dir / "missing", fd));
  ::symlink("file", (dir / "link").c_str());
  EXPECT_FALSE(IsLastNameOf(dir / "link", fd));
  ::link((dir / "file").c_str(), (dir / "hard").c_str());
  EXPECT_FALSE(IsLastNameOf(dir / "hard", fd));  // deleting one of two names loses nothing
  EXPECT_EQ(CloseFile(fd), IoOk);
}

TEST(FileSystem, APendingCodeRefusesTheNextOperationOnce) {
  TempDir dir;
  dir.Write("file", "x");
  SetPendingIoCode(IoFileNotFound);
  EXPECT_EQ(DeleteFile(dir / "file"), IoFileNotFound);
  EXPECT_TRUE(dir.Exists("file"));
  EXPECT_EQ(DeleteFile(dir / "file"), IoOk);
  EXPECT_EQ(DeleteFile(dir / "file"), IoFileNotFound);
  EXPECT_EQ(TakePendingIoCode(), IoOk);
}

}  // namespace
