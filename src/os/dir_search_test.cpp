#include "os/dir_search.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "os/io_codes.h"
#include "temp_dir.h"

namespace {

TEST(MatchesPattern, FollowsTheWildcardRules) {
  struct Case {
    std::string_view pattern, name;
    bool matches;
  };
  const Case cases[] = {
      {"prog.pas", "prog.pas", true},
      {"prog.pas", "PROG.PAS", true},
      {"PROG.pas", "Prog.Pas", true},
      {"prog.pas", "prog.pa", false},
      {"*.pas", "a.pas", true},
      {"*.pas", ".pas", true},
      {"*.pas", "a.pas.old", false},
      {"*.pas", "a.older.pas", true},
      {"*", "anything.at.all", true},
      {"*", "", true},
      {"?.pas", "a.pas", true},
      {"?.pas", "ab.pas", false},
      {"?.pas", ".pas", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*a*a*a*", "aaa", true},
      {"*.*", "noext", true},
      {"*.*", "a.b", true},
      {"prog.", "prog", true},
      {"prog.", "prog.pas", false},
      {"PROG.", "prog", true},
      {"*.", "noext", true},
      {"*.", "has.ext", false},
      {"p?og.", "prog", true},
      {"\xe9*.pas", "\xe9t\xe9.pas", true},
      {"\xc9.pas", "\xe9.pas", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
  }
}

std::string AllMatches(const std::string& pattern, int& firstCode) {
  std::string found, names;
  firstCode = StartSearch(pattern, found);
  for (int code = firstCode; code == IoOk; code = AdvanceSearch(found)) {
    names += (names.empty() ? "" : " ") + found;
  }
  return names;
}

TEST(DirSearch, YieldsMatchingRegularFilesInByteOrder) {
  TempDir dir;
  for (std::string_view name : {"b.pas", "A.PAS", "a.pas", "c.inc", ".hidden.pas", "ro.pas"}) {
    dir.Write(name, "x");
  }
  ::chmod((dir / "ro.pas").c_str(), 0444);
  ::mkdir((dir / "sub.pas").c_str(), 0755);
  ::mkfifo((dir / "fifo.pas").c_str(), 0644);
  ::symlink("b.pas", (dir / "link.pas").c_str());
  ::symlink("missing", (dir / "dangling.pas").c_str());
  ::symlink("sub.pas", (dir / "dirlink.pas").c_str());
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
  const std::string socketPath = dir / "sock.pas";
  if (socketPath.size() < sizeof address.sun_path) {
    socketPath.copy(address.sun_path, socketPath.size());
    ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  ::close(sock);

  int code;
  EXPECT_EQ(AllMatches(dir / "*.pas", code), "A.PAS a.pas b.pas link.pas ro.pas");
  EXPECT_EQ(code, IoOk);
  EXPECT_EQ(AllMatches(dir / "*.*", code), "A.PAS a.pas b.pas c.inc link.pas ro.pas");
  EXPECT_EQ(AllMatches(dir / "A.pas", code), "A.PAS a.pas");
}

TEST(DirSearch, ReportsMissingAndUnreadableDirectories) {
  TempDir dir;
  dir.Write("file", "x");
  std::string found;
  EXPECT_EQ(StartSearch(dir / "none.pas", found), IoNoFilenameMatch);
  EXPECT_EQ(StartSearch(dir / "missing/x.pas", found), IoPathNotFound);
  EXPECT_EQ(StartSearch(dir / "file/x.pas", found), IoPathNotFound);
  EXPECT_EQ(StartSearch(dir / "*/x.pas", found), IoPathNotFound);
  EXPECT_EQ(StartSearch(dir / std::string(256, 'n'), found), IoPathNotFound);
  EXPECT_EQ(AdvanceSearch(found), IoNoFilenameMatch);
  if (::geteuid() != 0) {  // root reads every directory
    ::mkdir((dir / "closed").c_str(), 0);
    EXPECT_EQ(StartSearch(dir / "closed/x.pas", found), IoAccessDenied);
  }
}

}  // namespace
