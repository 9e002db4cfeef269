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
    // The second run must really be under another code page.
    EXPECT_EQ(GetACP(), 1252u);
  } else {
    GTEST_SKIP() << "neither a zh_CN nor a C locale";
  }
}
