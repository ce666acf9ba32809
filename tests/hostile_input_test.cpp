// Hostile sources and names through the real binary: binary files, control bytes and escape
// sequences reach the terminal only as glyphs, huge lines and words convert in full, and odd
// names (spaces, hyphens, bytes that are not UTF-8, 255 bytes, long paths, entries that are no
// regular files, a source swapped for a fifo while the run goes on) never lose a byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

#include "console_capture.h"
#include "convert/reference_scanner.h"
#include "pascal_text.h"
#include "private_mount.h"
#include "run_binary.h"
#include "temp_dir.h"

namespace {

// What the reference conversion shows on the terminal, up to the line end after the file loop.
std::string ExpectedEcho(std::string_view input) {
  ConsoleCapture console;
  ConvertByCharacters(input, {});
  ConsoleNewLine();
  return ShowColours(console.Take());
}

// Whether `terminal` holds nothing that a terminal acts on beyond the program's own colours and
// cursor moves: no escape sequence, no control byte but CR, LF, BS and TAB, and only UTF-8.
testing::AssertionResult TerminalSafe(std::string_view terminal) {
  const std::string shown = ShowColours(terminal);
  if (shown.find("<?>") != std::string::npos) return testing::AssertionFailure() << "escape";
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const unsigned char c = shown[i];
    if ((c < 32 && c != '\r' && c != '\n' && c != '\b' && c != '\t') || c == 127) {
      return testing::AssertionFailure() << "control byte " << int(c) << " at " << i;
    }
    if (c < 128) continue;
    const std::size_t length = c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    bool valid = length != 0 && c < 0xF0 && i + length <= shown.size();
    for (std::size_t k = 1; valid && k < length; ++k)
      valid = (static_cast<unsigned char>(shown[i + k]) & 0xC0) == 0x80;
    if (!valid) return testing::AssertionFailure() << "not UTF-8 at " << i;
    i += length - 1;
  }
  return testing::AssertionSuccess();
}

std::string RandomBytes(std::size_t size, std::uint64_t seed, bool withEndOfText) {
  std::mt19937_64 engine(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(engine() & 0xFF);
    if (c == 26 && !withEndOfText) c = 27;
  }
  return bytes;
}

TEST(HostileInput, ConvertsAnyBytesAndShowsThemOnlyAsGlyphs) {
  struct Case {
    const char* what;
    std::string input;
  };
  std::string binaryWithEnd = RandomBytes(50000, 2, false);
  binaryWithEnd[30000] = 26;
  const Case cases[] = {
      {"binary", RandomBytes(64 << 10, 1, false)},
      {"binary with Ctrl-Z", binaryWithEnd},
      {"NUL bytes", std::string("BEGIN\0END\0\0writeln\0", 19)},
      {"escape sequences",
       "\x1b[2J\x1b]0;pwned\a\x1b[31mBEGIN\x9b"
       "31m\x1b"
       "c\x1bP+q\x1b\\ END\x90\x9d\r\n"},
      {"control bytes", "\x01\x02\x03\x04\x05\x06\a\b\t\v\f\x0e\x0f\x7f BEGIN\x11\x13\x18"},
      {"unbalanced quote", "Writeln('unterminated BEGIN\r\nEND {x} BEGIN"},
      {"unbalanced brace", "BEGIN { open comment\r\nEND 'x' } END } BEGIN {"},
      {"generated", GeneratePascalText(256 << 10, 8, /*hostile=*/true)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.Write("prog.pas", c.input);
    const BinaryResult result = RunBinary({.args = {"prog"}, .dir = dir.path(), .terminal = true});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(dir.Read("prog.old"), c.input);
    EXPECT_EQ(dir.Read("prog.pas"), ExpectedFile(c.input));
    EXPECT_TRUE(TerminalSafe(result.out));
    EXPECT_EQ(ShowColours(result.out), kBanner + ExpectedEcho(c.input) + kEnd);
  }
}

// Parts of a big file, each one piece repeated: written and checked a few MiB at a time, so that
// the test holds no string of the file's size (touching that much memory costs seconds).
struct Repeated {
  std::string_view piece;
  std::size_t copies;
};

// Calls `take` with the bytes of `parts`, in order, in chunks of about a MiB.
void ForEachChunk(std::initializer_list<Repeated> parts,
                  const std::function<bool(std::string_view)>& take) {
  for (const Repeated& part : parts) {
    const std::size_t perChunk = std::max<std::size_t>(1, (1 << 20) / part.piece.size());
    std::string chunk;
    for (std::size_t i = 0; i < std::min(perChunk, part.copies); ++i)
      chunk += part.piece;
    for (std::size_t done = 0; done < part.copies; done += perChunk) {
      const std::size_t copies = std::min(perChunk, part.copies - done);
      if (!take(std::string_view(chunk).substr(0, copies * part.piece.size()))) return;
    }
  }
}

void WriteRepeated(const std::string& path, std::initializer_list<Repeated> parts) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  ForEachChunk(parts, [&](std::string_view chunk) {
    return ::write(fd, chunk.data(), chunk.size()) == static_cast<ssize_t>(chunk.size());
  });
  ::close(fd);
}

testing::AssertionResult HoldsRepeated(const std::string& path,
                                       std::initializer_list<Repeated> parts) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return testing::AssertionFailure() << "cannot open " << path;
  std::string got;
  std::size_t at = 0;
  bool same = true;
  ForEachChunk(parts, [&](std::string_view chunk) {
    got.resize(chunk.size());
    std::size_t filled = 0;
    for (ssize_t count;
         filled < got.size() && (count = ::read(fd, got.data() + filled, got.size() - filled)) > 0;)
      filled += static_cast<std::size_t>(count);
    same = filled == chunk.size() && got == chunk;
    at += same ? chunk.size() : 0;
    return same;
  });
  char extra;
  if (same && ::read(fd, &extra, 1) != 0) same = false;
  ::close(fd);
  if (same) return testing::AssertionSuccess();
  return testing::AssertionFailure() << path << " differs in the MiB after byte " << at;
}

TEST(HostileInput, ConvertsA64MiBLineAndA16MiBWordWhole) {
  // In memory where a tmpfs can be mounted: the files of this test come to 160 MiB.
  TempDir dir;
  const PrivateTmpfs memory(dir.path(), "size=256m");
  {
    // Balanced quotes and braces, so that the piece converts the same wherever it stands.
    const std::string piece = "BEGIN writeln('It''s {', X1) {'} TEXTCOLOR(yellow); End ";
    const std::string converted = ExpectedFile(piece);
    const std::size_t copies = (64u << 20) / piece.size() + 1;
    WriteRepeated(dir / "line.pas", {{piece, copies}});
    const BinaryResult result = RunBinary({.args = {"line"}, .dir = dir.path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(HoldsRepeated(dir / "line.old", {{piece, copies}}));
    EXPECT_TRUE(HoldsRepeated(dir / "line.pas", {{converted, copies}}));
    ::unlink((dir / "line.old").c_str());
    ::unlink((dir / "line.pas").c_str());
  }
  {
    const std::size_t length = 16 << 20;
    WriteRepeated(dir / "word.pas", {{"BEGIN ", 1}, {"a", length}, {" END\r\n", 1}});
    // The echo of a long word is the scanner tests' business; here it is the file.
    const BinaryResult result = RunBinary({.args = {"-F", "word"}, .dir = dir.path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(HoldsRepeated(dir / "word.old", {{"BEGIN ", 1}, {"a", length}, {" END\r\n", 1}}));
    EXPECT_TRUE(
        HoldsRepeated(dir / "word.pas", {{"begin A", 1}, {"a", length - 1}, {" end\r\n", 1}}));
  }
}

const std::string kSource = "PROGRAM Demo;\r\nBEGIN textcolor(Yellow) END.\r\n";
const std::string kConverted = "program Demo;\r\nbegin TextColor(Yellow) end.\r\n";

TEST(HostileNames, ConvertOrAreRefusedWithoutLosingAByte) {
  struct Case {
    const char* what;
    std::string file;  // written with kSource
    std::vector<std::string> args;
    int status;
    std::string backup;  // empty when the file must stay as it is
    std::string err = "";
  };
  const std::string long251(251, 'a'), long253(253, 'b'), long255(255, 'c');
  const Case cases[] = {
      {"a space: two parameters", "my prog.pas", {"my prog"}, 2, ""},
      {"a hyphen: an option", "my-prog.pas", {"my-prog"}, 1, ""},
      {"a hyphen through a wildcard", "my-prog.pas", {"my?prog"}, 0, "my-prog.old"},
      {"UTF-8", "gr\u00f6\u00dfe.pas", {"gr\u00f6\u00dfe"}, 0, "gr\u00f6\u00dfe.old"},
      {"not UTF-8", "\xff\xfe\x80.pas", {"\xff\xfe\x80"}, 0, "\xff\xfe\x80.old"},
      {"255 bytes", long251 + ".pas", {"*.pas"}, 0, long251 + ".old"},
      {"255 bytes, backup too long",
       long253 + ".p",
       {"*.p"},
       217,
       "",
       "ORVELT: run-time error: rename " + long253 + ".p to " + long253 +
           ".old failed: Path not found (3)\n"},
      {"255 bytes without extension, backup too long",
       long255,
       {"*."},
       217,
       "",
       "ORVELT: run-time error: rename " + long255 + " to " + long255 +
           ".old failed: Path not found (3)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    dir.Write(c.file, kSource);
    const BinaryResult result = RunBinary({.args = c.args, .dir = dir.path(), .terminal = true});
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.err, c.err);
    EXPECT_TRUE(TerminalSafe(result.out));
    if (c.backup.empty()) {
      EXPECT_EQ(dir.Listing(), c.file);
      EXPECT_EQ(dir.Read(c.file), kSource);
    } else {
      EXPECT_EQ(dir.Read(c.backup), kSource);
      EXPECT_EQ(dir.Read(c.file), kConverted);
    }
  }
}

TEST(HostileNames, NamesInNoticesReachTheTerminalAsGlyphs) {
  TempDir dir;
  dir.Write("\x1b]0;pwned\a\x1b[2J.old", kSource);
  const BinaryResult result = RunBinary({.args = {"*.*"}, .dir = dir.path(), .terminal = true});
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(TerminalSafe(result.out));
  EXPECT_EQ(ShowColours(result.out), kBanner +
                                         "<14>\rORVELT: Skipping over \u2190]0;pwned\u2190[2J.old"
                                         "\r\n<7>\r\n" +
                                         kEnd);
}

// The run-time report on standard error names files too, and standard error is the terminal as
// often as not: control characters (C0, DEL, C1 raw or in UTF-8) and bytes that are no UTF-8 show
// as \xNN there, while UTF-8 stays readable.
TEST(HostileNames, NamesInRunTimeReportsCannotDriveTheTerminal) {
  TempDir dir;
  const std::string name =
      "\x1b]0;pwned\a\x1b[2J\xc2\x9b\x9b\xff\xc3\xb6\xe2\x82\xac\xed\xa0\x80\xf0\x9f\x98\x80";
  const std::string shown =
      "\\x1b]0;pwned\\x07\\x1b[2J\\xc2\\x9b\\x9b\\xff\xc3\xb6\xe2\x82\xac\\xed\\xa0\\x80"
      "\xf0\x9f\x98\x80";
  dir.Write(name + ".pas", kSource);
  ::mkdir((dir / (name + ".old")).c_str(), 0755);
  dir.Write(name + ".old/keep", "x");
  const BinaryResult result = RunBinary({.args = {"*.pas"}, .dir = dir.path()});
  EXPECT_EQ(result.status, 217);
  EXPECT_EQ(result.err, "ORVELT: run-time error: rename " + shown + ".pas to " + shown +
                            ".old failed: Access denied (5)\n");
  EXPECT_EQ(dir.Read(name + ".pas"), kSource);
}

TEST(HostileNames, LongDirectoryPaths) {
  TempDir dir;
  std::string path;
  for (int level = 0; level < 5; ++level) {
    path += std::string(59, char('p' + level)) + "/";
    ASSERT_EQ(::mkdir((dir / path).c_str(), 0755), 0);
  }
  dir.Write(path + "prog.pas", kSource);
  // Over 255 characters the parameter line is cut, also the space after the specification:
  // no parameter is left, and the usage screen shows.
  BinaryResult result = RunBinary({.args = {path + "prog"}, .dir = dir.path(), .terminal = true});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(ShowColours(result.out).substr(0, kBanner.size() + 13), kBanner + "<15>Usage:<7>");
  EXPECT_EQ(dir.Read(path + "prog.pas"), kSource);
  EXPECT_FALSE(dir.Exists(path + "prog.old"));
  // From inside, the same file is found and converted.
  result = RunBinary({.args = {"prog"}, .dir = dir / path});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(dir.Read(path + "prog.pas"), kConverted);
  EXPECT_EQ(dir.Read(path + "prog.old"), kSource);
}

// Makes `name` in `dir` an entry of the given kind that no run may open or wait on.
void MakeNonRegular(const TempDir& dir, const std::string& name, const std::string& kind) {
  const std::string path = dir / name;
  if (kind == "fifo") {
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  } else if (kind == "socket") {
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(sock);
  } else if (kind == "link to a fifo") {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("fifo", path.c_str()), 0);
  } else {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
  }
}

TEST(HostileNames, EntriesThatAreNoRegularFilesAreNeverOpened) {
  for (const std::string kind : {"fifo", "socket", "link to a fifo"}) {
    SCOPED_TRACE(kind);
    TempDir dir;
    MakeNonRegular(dir, "prog.pas", kind);
    const BinaryResult result =
        RunBinary({.args = {"prog"}, .dir = dir.path(), .terminal = true, .timeLimit = 20});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(ShowColours(result.out), kBanner + "\rERROR 18: No filename match\r\n\r\n" + kEnd);
    EXPECT_FALSE(dir.Exists("prog.old"));
  }
}

// The search lists the directory once; a source swapped for something else before its turn is
// opened without waiting and refused as no regular file, and the run ends there.
TEST(HostileNames, ASourceReplacedAfterTheSearchIsRefusedWithCode5) {
  const std::string big = GeneratePascalText(512 << 10, 21);
  for (const std::string kind : {"fifo", "link to a fifo", "directory"}) {
    SCOPED_TRACE(kind);
    TempDir dir;
    dir.Write("a.pas", big);
    dir.Write("b.pas", kSource);
    BinaryRun run{.args = {"*.pas"}, .dir = dir.path(), .terminal = true, .timeLimit = 20};
    bool replaced = false;
    run.watch = [&](pid_t, std::string_view shown) {
      // The echo of a.pas has begun; the terminal's buffer holds the run back long before b.pas.
      if (replaced || shown.size() < kBanner.size() + 1000) return;
      ::unlink((dir / "b.pas").c_str());
      MakeNonRegular(dir, "b.pas", kind);
      replaced = true;
    };
    const BinaryResult result = RunBinary(run);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(result.status, 5);
    const std::string shown = ShowColours(result.out);
    const std::string end = "\rERROR 5: Access denied\r\n" + kEnd;
    EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), end.size())), end);
    EXPECT_EQ(dir.Read("a.old"), big);
    EXPECT_TRUE(dir.Read("a.pas") == ExpectedFile(big));
    EXPECT_FALSE(dir.Exists("b.old"));
  }
}

}  // namespace
