// The word listing through the real binary: its columns at several terminal widths, and the
// plain lines it writes when standard output is a file or a pipe.
#include <gtest/gtest.h>

#include <sstream>

#include "convert/word_tables.h"
#include "run_binary.h"
#include "temp_dir.h"

namespace {

const std::string kHeading = "The following words are recognized by ORVELT\r\n\r\n";

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;) {
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  lines.emplace_back(text);
  return lines;
}

std::vector<std::string> Words(const std::vector<std::string>& lines) {
  std::vector<std::string> words;
  for (const auto& line : lines) {
    std::istringstream in(line);
    for (std::string word; in >> word;)
      words.push_back(word);
  }
  return words;
}

// The listing after the banner on a terminal `width` cells wide.
std::string ListingAt(unsigned short width, std::vector<std::string> args = {"-L"}) {
  TempDir dir;
  BinaryRun run{.args = std::move(args), .dir = dir.path(), .terminal = true, .width = width};
  const BinaryResult result = RunBinary(run);
  EXPECT_EQ(result.status, 0);
  const std::string shown = ShowColours(result.out);
  EXPECT_EQ(shown.substr(0, kBanner.size()), kBanner);
  return shown.substr(kBanner.size());
}

TEST(WordListing, LaysTheWordsOutInColumnsOfTwenty) {
  struct Case {
    unsigned short width;
    std::size_t columns;
  };
  for (const Case c : {Case{80, 4}, Case{100, 5}, Case{30, 1}, Case{276, 1}}) {
    SCOPED_TRACE(testing::Message() << "width " << c.width);
    const std::string listing = ListingAt(c.width);
    ASSERT_EQ(listing.substr(0, kHeading.size()), kHeading);
    ASSERT_EQ(listing.substr(listing.size() - 4), "\r\n" + kEnd);
    const std::vector<std::string> lines =
        Lines(listing.substr(kHeading.size(), listing.size() - kHeading.size() - 4));
    const std::vector<std::string> words = Words(lines);
    ASSERT_TRUE(std::ranges::equal(words, IdentTable));
    // The first line is one word short; every full line ends in a word padded to 19.
    const std::size_t full = c.columns * 20 - 1;
    EXPECT_EQ(lines.front().size(), c.columns == 1 ? 19 : full - 20);
    for (std::size_t i = 1; i + 1 < lines.size(); ++i)
      EXPECT_EQ(lines[i].size(), full) << i;
    // The last line holds the words left over, each padded to 20, and the final newline; one
    // column leaves it empty, after the last word's own newline.
    const std::size_t leftOver = (IdentTable.size() + 1) % c.columns;
    EXPECT_EQ(lines.back().size(), leftOver * 20);
  }
  EXPECT_EQ(Lines(ListingAt(80))[2], "Abs                 absolute            Addr               ");
  EXPECT_EQ(Lines(ListingAt(80))[3],
            "AH                  AL                  and                 AndPut             ");
}

TEST(WordListing, WritesOneWordPerLineWhereNoColumnFits) {
  const std::string listing = ListingAt(19);
  std::string expected = kHeading;
  for (std::string_view word : IdentTable)
    expected += std::string(word) + "\r\n";
  EXPECT_EQ(listing, expected + "\r\n" + kEnd);

  TempDir dir;
  BinaryRun run{.args = {"-l"}, .dir = dir.path()};
  const BinaryResult toFile = RunBinary(run);
  EXPECT_EQ(toFile.status, 0);
  EXPECT_EQ(toFile.out, expected + "\r\n" + kEnd);
}

TEST(WordListing, FollowsAConversion) {
  TempDir dir;
  dir.Write("prog.pas", "BEGIN");
  BinaryRun run{.args = {"-L", "prog", "-Q"}, .dir = dir.path(), .terminal = true, .width = 19};
  const BinaryResult result = RunBinary(run);
  EXPECT_EQ(result.status, 0);
  const std::string shown = ShowColours(result.out);
  const std::string start =
      kBanner + "Working...\b\b\b\b\b\b\b\b\b\bDone!     \r\n\r\n" + kHeading + "Abs\r\n";
  EXPECT_EQ(shown.substr(0, start.size()), start);
  EXPECT_EQ(dir.Read("prog.pas"), "begin");
}

}  // namespace
