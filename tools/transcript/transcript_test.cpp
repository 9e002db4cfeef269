#include <gtest/gtest.h>

#include "transcript/transcript.h"

namespace {

// 人 and 你好 in code page 936, and their UTF-8.
const std::string kPersonGbk = "\xC8\xCB", kHelloGbk = "\xC4\xE3\xBA\xC3";
const std::string kPersonUtf8 = "\xE4\xBA\xBA", kHelloUtf8 = "\xE4\xBD\xA0\xE5\xA5\xBD";

TEST(Transcript, ReadsSectionsInFileOrderAsAnIniReaderWould) {
  const std::string file =
      "; edited by hand\r\n"
      "[50002]\r\n"
      "s=" + kPersonGbk + "\r\n"
      "c=" + kHelloGbk + "\r\n"
      "\r\n"
      "[50001]\r\n"
      "  C = second first  \r\n"   // key case and spaces as a hand edit leaves them
      "S=A\r\n"
      "s=ignored, the first s counts\r\n"
      "[-1]\r\n"
      "s=\r\n"
      "c=\r\n"
      "[50002]\r\n"                 // a reader never looks at a repeated section
      "s=late\n";
  std::vector<RecordedLine> lines = parseRecording(file);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].section, "50002");
  EXPECT_EQ(lines[0].speaker, kPersonGbk);
  EXPECT_EQ(lines[0].text, kHelloGbk);
  EXPECT_EQ(lines[1].section, "50001");
  EXPECT_EQ(lines[1].speaker, "A");
  EXPECT_EQ(lines[1].text, "second first");
  EXPECT_EQ(lines[2].section, "-1");
  EXPECT_EQ(lines[2].speaker, "");
}

TEST(Transcript, ReadsGbkCharactersWholeAndUtf8FilesAsUtf8) {
  // 丂 is 0x81 0x5D: its second byte is ']' but does not close the header.
  std::vector<RecordedLine> lines = parseRecording("[a\x81]]\rs=\x81]\r[b]\ns=x\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].section, "a\x81]");
  EXPECT_EQ(lines[0].speaker, "\x81]");
  EXPECT_EQ(lines[1].section, "b");

  lines = parseRecording("\xEF\xBB\xBF[50001]\r\ns=" + kPersonUtf8 + "\r\nc=" + kHelloUtf8 + "\r\n");
  std::string out;
  EXPECT_TRUE(formatTranscript(lines, TranscriptFormat::Text, false, out));
  EXPECT_EQ(out, kPersonUtf8 + "\xEF\xBC\x9A" + kHelloUtf8 + "\n");
}

TEST(Transcript, WritesEachFormatInUtf8AndLeavesBlankedLinesOut) {
  const std::vector<RecordedLine> lines = {
      {"50001", kPersonGbk, kHelloGbk},
      {"50002", "", ""},                        // withdrawn with the discard button
      {"50003", "", "a \"quoted\", | line"},   // no speaker: still a line
  };
  struct Case {
    TranscriptFormat format;
    bool keepBlank;
    std::string expected;
  };
  const Case cases[] = {
      {TranscriptFormat::Text, false,
       kPersonUtf8 + "\xEF\xBC\x9A" + kHelloUtf8 + "\n" + "\xEF\xBC\x9A" "a \"quoted\", | line\n"},
      {TranscriptFormat::Text, true,
       kPersonUtf8 + "\xEF\xBC\x9A" + kHelloUtf8 + "\n\xEF\xBC\x9A\n\xEF\xBC\x9A" "a \"quoted\", | line\n"},
      {TranscriptFormat::Csv, false,
       "line,speaker,text\r\n50001," + kPersonUtf8 + "," + kHelloUtf8 + "\r\n50003,,\"a \"\"quoted\"\", | line\"\r\n"},
      {TranscriptFormat::Json, false,
       "[\n  {\"line\": 50001, \"speaker\": \"" + kPersonUtf8 + "\", \"text\": \"" + kHelloUtf8 +
           "\"},\n  {\"line\": 50003, \"speaker\": \"\", \"text\": \"a \\\"quoted\\\", | line\"}\n]\n"},
      {TranscriptFormat::Markdown, false,
       "| line | speaker | text |\n|---:|---|---|\n| 50001 | " + kPersonUtf8 + " | " + kHelloUtf8 +
           " |\n| 50003 |  | a \"quoted\", \\| line |\n"},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_TRUE(formatTranscript(lines, c.format, c.keepBlank, out));
    EXPECT_EQ(out, c.expected) << static_cast<int>(c.format) << " keepBlank=" << c.keepBlank;
  }
}

TEST(Transcript, ReportsBytesThatAreNotGbkAndKeepsTheRest) {
  std::string out;
  EXPECT_FALSE(formatTranscript({{"7", "\xFF", kHelloGbk}}, TranscriptFormat::Text, false, out));
  EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBC\x9A" + kHelloUtf8 + "\n");
  EXPECT_TRUE(formatTranscript({}, TranscriptFormat::Json, false, out));
  EXPECT_EQ(out, "[]\n");
}

}  // namespace
