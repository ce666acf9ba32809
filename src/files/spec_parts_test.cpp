#include "files/spec_parts.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitSpec, SplitsDirectoryNameAndExtension) {
  struct Case {
    std::string_view spec, dir, name, ext;
  };
  const Case cases[] = {
      {"prog", "", "prog", ""},
      {"prog.inc", "", "prog", ".inc"},
      {"prog.", "", "prog", "."},
      {"src\\prog.pas", "src\\", "prog", ".pas"},
      {"src/prog", "src\\", "prog", ""},
      {"/abs/dir/Prog.PAS", "\\abs\\dir\\", "Prog", ".PAS"},
      {"C:prog", "C:", "prog", ""},
      {"C:\\src\\*.*", "C:\\src\\", "*", ".*"},
      {"a.b\\prog", "a.b\\", "prog", ""},
      {"a.b.c", "", "a.b", ".c"},
      {"dir\\", "dir\\", "", ""},
      {".pas", "", "", ".pas"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    const SpecParts parts = SplitSpec(c.spec);
    EXPECT_EQ(parts.Dir, c.dir) << c.spec;
    EXPECT_EQ(parts.Name, c.name) << c.spec;
    EXPECT_EQ(parts.Ext, c.ext) << c.spec;
  }
}

TEST(StemOfEntryName, DropsOnlyTheLastExtension) {
  EXPECT_EQ(StemOfEntryName("PROG.PAS"), "PROG");
  EXPECT_EQ(StemOfEntryName("a.b.pas"), "a.b");
  EXPECT_EQ(StemOfEntryName("prog"), "prog");
  EXPECT_EQ(StemOfEntryName("a:b.pas"), "a:b");
  EXPECT_EQ(StemOfEntryName("x\\y.pas"), "x\\y");
}

}  // namespace
