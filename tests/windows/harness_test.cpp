// The Wine session the Windows tests run in.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The tool's texts are code page 936 bytes; under the default test locale Wine
// must really run with that code page, or every text test would prove nothing.
TEST(WineSession, RunsWithTheCodePageOfItsLocale) {
  const char* locale = std::getenv("LANG");
  if (locale != nullptr && std::string(locale).rfind("zh_CN", 0) == 0) {
    EXPECT_EQ(GetACP(), 936u);
  } else if (locale != nullptr && std::string(locale).rfind("C.", 0) == 0) {
    // The other runs must really be under other code pages.
    EXPECT_EQ(GetACP(), 1252u);
  } else if (locale != nullptr && std::string(locale).rfind("ja_JP", 0) == 0) {
    EXPECT_EQ(GetACP(), 932u);
  } else {
    GTEST_SKIP() << "no code page known for this locale";
  }
}
