// The recording file as the capture writes it: the exact bytes a
// transcript reader gets, and the failures that the capture must show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/texts.h"
#include "capture/recording_file.h"
#include "windows/child_process.h"

namespace {

class RecordingFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratchFolder("recording-file");
    path = folder + "\\run" + kRecordingSuffix;
    removeGbkFile(path);
  }
  void TearDown() override {
    removeGbkFile(path);
    RemoveDirectoryA(folder.c_str());
  }
  std::string fileBytes() { return gbkFileBytes(path); }
  void writeLine(const std::string& section, const std::string& speaker, const std::string& text) {
    ASSERT_TRUE(writeRecordingKey(section, "s", speaker, path));
    ASSERT_TRUE(writeRecordingKey(section, "c", text, path));
  }
  std::string folder, path;
};

TEST_F(RecordingFileTest, ANewFileHoldsTheSectionThenSpeakerThenText) {
  writeLine("50123", "A", "B");
  EXPECT_EQ(fileBytes(), "[50123]\r\ns=A\r\nc=B\r\n");
}

TEST_F(RecordingFileTest, ALineRecordedAgainKeepsItsPlaceAndGBKBytesStayAsTheyAre) {
  const std::string speaker = "\xC0\xEE\xCB\xC4";         // 李四
  const std::string text = "\xC4\xE3\xBA\xC3\xA3\xAC\x41";  // 你好，A
  writeLine("50001", "x", "first");
  writeLine("50002", speaker, text);
  writeLine("50001", speaker, "second");
  writeLine("50003", "", "");  // an empty name and text are empty values
  EXPECT_EQ(fileBytes(), "[50001]\r\ns=" + speaker + "\r\nc=second\r\n" +
                             "[50002]\r\ns=" + speaker + "\r\nc=" + text + "\r\n" +
                             "[50003]\r\ns=\r\nc=\r\n");
}

TEST_F(RecordingFileTest, WritesThatCannotReachAFileReportFailure) {
  EXPECT_FALSE(writeRecordingKey("50001", "s", "A", folder + "\\a|b" + kRecordingSuffix));
  EXPECT_FALSE(writeRecordingKey("50001", "s", "A", folder + "\\missing\\run" + kRecordingSuffix));
}

}  // namespace
