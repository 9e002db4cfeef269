// Executable-name comparison and the run-directory rule.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "process/name_compare.h"

namespace {

struct NameCase {
  const char* label;
  std::string a, b;
  bool exactCase;
  bool equal;
};

TEST(ExeNameComparison, FollowsTheByteRules) {
  const NameCase cases[] = {
      {"same name", "Pal5.exe", "Pal5.exe", false, true},
      {"ASCII case ignored", "PAL5.EXE", "Pal5.exe", false, true},
      {"exact case refuses capitals", "PAL5.EXE", "Pal5.exe", true, false},
      {"exact case, same bytes", "Pal5.exe", "Pal5.exe", true, true},
      {"length differs", "Pal5.exe ", "Pal5.exe", false, false},
      {"prefix only", "Pal5", "Pal5.exe", false, false},
      {"empty equals empty", "", "", false, true},
      {"empty is not a name", "", "Pal5.exe", false, false},
      // 0x81 0x41 and 0x81 0x61: the trail byte of a two-byte character is not lower-cased.
      {"trail byte keeps its case", "\x81\x41.exe", "\x81\x61.exe", false, false},
      {"two-byte character equal", "\xC8\xCB.EXE", "\xC8\xCB.exe", false, true},
      // A lead byte that ends the text is copied unchanged.
      {"lead byte at the end", "PAL\x81", "pal\x81", false, true},
      {"full-width letters keep case", "\xA3\xC1", "\xA3\xE1", false, false},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(exeNamesEqual(c.a, c.b, c.exactCase), c.equal) << c.label;
  }
}

TEST(ExeNameComparison, LowerCasingStepsOverTwoByteCharacters) {
  EXPECT_EQ(lowerAsciiGbk("AB\x81" "CD"), "ab\x81" "Cd");
  EXPECT_EQ(lowerAsciiGbk("X\xC8"), "x\xC8");
}

TEST(RunDirectory, IsThePathCutAtItsLastBackslash) {
  EXPECT_EQ(runDirectoryOf("C:\\Tools\\x.exe"), "C:\\Tools");
  EXPECT_EQ(runDirectoryOf("C:\\x.exe"), "C:");
  EXPECT_EQ(runDirectoryOf("x.exe"), "");
  // 0x5C as the trail byte of a two-byte character is no backslash.
  EXPECT_EQ(runDirectoryOf("C:\\\x95\\dir\\x.exe"), "C:\\\x95\\dir");
  EXPECT_EQ(runDirectoryOf("C:\\\x95\\x.exe"), "C:");
}

}  // namespace
