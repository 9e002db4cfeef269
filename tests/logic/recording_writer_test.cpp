// The recording writer against real files in a scratch directory. The expected
// files are what the system's INI writer made from the same starting files and
// writes, measured under Wine with code page 936.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "capture/recording_writer.h"
#include "fakes/scratch_files.h"

namespace {

struct ScratchDirectory {
  std::string path = scratchDirectory();
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

ino_t inodeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_ino;
}

struct Write {
  const char* section;
  const char* key;
  std::string value;
};

struct Case {
  const char* what;
  bool fileExists;
  std::string before;
  std::vector<Write> writes;
  std::string after;
};

const std::vector<Case> kCases = {
    {"a new file holds the section and its two keys", false, "",
     {{"50123", "s", "A"}, {"50123", "c", "B"}},
     "[50123]\r\ns=A\r\nc=B\r\n"},
    {"GBK texts are written as their bytes", false, "",
     {{"50001", "s", "\xC0\xEE\xE5\xD0\xD2\xA3"}, {"50001", "c", "\xC4\xE3\xBA\xC3\xA3\xA1"}},
     "[50001]\r\ns=\xC0\xEE\xE5\xD0\xD2\xA3\r\nc=\xC4\xE3\xBA\xC3\xA3\xA1\r\n"},
    {"a line recorded again keeps its place; a new section goes to the end", true,
     "[1]\r\ns=a\r\nc=b\r\n[2]\r\ns=c\r\nc=d\r\n",
     {{"1", "s", "x"}, {"1", "c", "y"}, {"3", "s", "e"}, {"3", "c", "f"}},
     "[1]\r\ns=x\r\nc=y\r\n[2]\r\ns=c\r\nc=d\r\n[3]\r\ns=e\r\nc=f\r\n"},
    {"the first of duplicated sections and keys is the one set", true,
     "[1]\r\ns=1\r\ns=2\r\n[1]\r\nc=3\r\n", {{"1", "s", "x"}, {"1", "c", "y"}},
     "[1]\r\ns=x\r\ns=2\r\nc=y\r\n[1]\r\nc=3\r\n"},
    {"blanking keeps both keys with empty values", true, "[1]\r\ns=1\r\nc=2\r\n",
     {{"1", "s", ""}, {"1", "c", ""}}, "[1]\r\ns=\r\nc=\r\n"},
    {"a key without '=' gets one", true, "[1]\r\ns\r\n", {{"1", "s", ""}}, "[1]\r\ns=\r\n"},
    {"an unchanged value leaves even an untidy file untouched", true, "[1]\ns=1\n\n[2]\nc=3\n",
     {{"2", "c", "3"}, {"1", "S", "1"}}, "[1]\ns=1\n\n[2]\nc=3\n"},
    {"any write tidies a hand-edited file", true,
     "\r\n; note\r\n  [ 1 ]  \r\n\r\n S = A \r\n\tc\t=\tB\t\r\n\n[2]\rc=3\r",
     {{"2", "c", "4"}}, "; note\r\n[1]\r\nS=A\r\nc=B\r\n[2]\r\nc=4\r\n"},
    {"names match with letter case and blanks ignored; the key keeps its case", true,
     "[1]\r\n S = A \r\n", {{" 1 ", " s ", " x "}}, "[1]\r\nS=x \r\n"},
    {"blanks trimmed are tab, VT, FF, space and Ctrl-Z, not others", true,
     "[1]\r\ns=\t\x0b\x0c\x1a A\x1c\xA1\xA1 \x1a\r\n", {{"1", "c", "q"}},
     "[1]\r\ns=A\x1c\xA1\xA1\r\nc=q\r\n"},
    {"a header's name is trimmed and what follows its last ']' dropped", true,
     "[ a b ]\r\n[\t1\x1a]xx\r\n[a]b]\r\n", {{"1", "s", "x"}, {"a]b", "c", "y"}},
     "[a b]\r\n[1]\r\ns=x\r\n[a]b]\r\nc=y\r\n"},
    {"a GBK trail byte ']' neither closes nor is a header's end", true,
     "[\x81]\r\nk=v\r\n[a\x81]]\r\n", {{"a\x81]", "s", "x"}, {"1", "s", "y"}},
     "[\x81]\r\nk=v\r\n[a\x81]]\r\ns=x\r\n[1]\r\ns=y\r\n"},
    {"'[7' without ']' and other lines without '=' are kept as keys", true,
     "[7\r\nx=1\r\n[]\r\nk=v\r\n", {{"7", "s", "x"}},
     "[7\r\nx=1\r\nk=v\r\n[7]\r\ns=x\r\n"},
    {"a second key line with an empty name in a row is dropped", true,
     "=v\r\n=w\r\nk\r\n=z\r\n[1]\r\n=a\r\n=b\r\n[2]\r\n=c\r\n", {{"1", "c", "x"}},
     "=v\r\nk\r\n=z\r\n[1]\r\n=a\r\nc=x\r\n[2]\r\n=c\r\n"},
    {"a value with a line break is written raw and read back as two lines", false, "",
     {{"1", "s", "x\r\ny"}, {"1", "s", "x\r\ny"}, {"1", "c", "q"}},
     "[1]\r\ns=x\r\ny\r\ny\r\nc=q\r\n"},
    {"a UTF-8 file with a byte order mark gets UTF-8 texts", true, "\xEF\xBB\xBF[1]\r\ns=1\r\n",
     {{"1", "s", "\xC4\xE3"}, {"2", "c", "\xC4\xE3"}},
     "\xEF\xBB\xBF[1]\r\ns=\xE4\xBD\xA0\r\n[2]\r\nc=\xE4\xBD\xA0\r\n"},
};

TEST(RecordingWriter, WritesFilesAsTheSystemWriterDoes) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ScratchDirectory directory;
    const std::string path = directory.path + "/rec-\xCC\xE1\xC8\xA1.ini";
    if (c.fileExists) writeFileBytes(path, c.before);
    RecordingWriter writer;
    for (const Write& w : c.writes) {
      RecordingWriteResult result = writeRecordingValue(writer, path, w.section, w.key, w.value);
      EXPECT_NE(result, RecordingWriteResult::Failed);
    }
    EXPECT_EQ(readFileBytes(path), c.after);
  }
}

TEST(RecordingWriter, AppendsNewLinesAndRewritesReplacementsWholeAndSafely) {
  ScratchDirectory directory;
  const std::string path = directory.path + "/r.ini";
  RecordingWriter writer;
  ASSERT_EQ(writeRecordingValue(writer, path, "50001", "s", "A"), RecordingWriteResult::Written);
  ASSERT_EQ(writeRecordingValue(writer, path, "50001", "c", "B"), RecordingWriteResult::Written);
  const ino_t created = inodeOf(path);
  ASSERT_EQ(writeRecordingValue(writer, path, "50002", "s", "C"), RecordingWriteResult::Written);
  ASSERT_EQ(writeRecordingValue(writer, path, "50002", "c", "D"), RecordingWriteResult::Written);
  EXPECT_EQ(inodeOf(path), created) << "a new line is appended to the same file";

  EXPECT_EQ(writeRecordingValue(writer, path, "50001", "c", "B"), RecordingWriteResult::Unchanged);
  EXPECT_EQ(inodeOf(path), created);
  ASSERT_EQ(writeRecordingValue(writer, path, "50001", "c", "E"), RecordingWriteResult::Written);
  EXPECT_NE(inodeOf(path), created) << "a replacement is a new file moved over the old one";
  EXPECT_EQ(access((path + ".new").c_str(), F_OK), -1);
  EXPECT_EQ(readFileBytes(path), "[50001]\r\ns=A\r\nc=E\r\n[50002]\r\ns=C\r\nc=D\r\n");
}

TEST(RecordingWriter, TidiesAHandEditedFileOnceThenAppends) {
  ScratchDirectory directory;
  const std::string path = directory.path + "/r.ini";
  writeFileBytes(path, "[1]\n s = A \n\n");
  RecordingWriter writer;
  ASSERT_EQ(writeRecordingValue(writer, path, "2", "s", "B"), RecordingWriteResult::Written);
  const ino_t tidied = inodeOf(path);
  ASSERT_EQ(writeRecordingValue(writer, path, "2", "c", "C"), RecordingWriteResult::Written);
  ASSERT_EQ(writeRecordingValue(writer, path, "3", "s", "D"), RecordingWriteResult::Written);
  EXPECT_EQ(inodeOf(path), tidied);
  EXPECT_EQ(readFileBytes(path), "[1]\r\ns=A\r\n[2]\r\ns=B\r\nc=C\r\n[3]\r\ns=D\r\n");
}

TEST(RecordingWriter, WorksFromTheFileAsAnotherProgramLeftIt) {
  ScratchDirectory directory;
  const std::string path = directory.path + "/r.ini";
  RecordingWriter writer;
  ASSERT_EQ(writeRecordingValue(writer, path, "1", "s", "A"), RecordingWriteResult::Written);

  // Grown by another program.
  writeFileBytes(path, readFileBytes(path) + "[9]\r\nc=Z\r\n");
  ASSERT_EQ(writeRecordingValue(writer, path, "1", "c", "B"), RecordingWriteResult::Written);
  EXPECT_EQ(readFileBytes(path), "[1]\r\ns=A\r\nc=B\r\n[9]\r\nc=Z\r\n");

  // Changed in place to the same size: the write time tells.
  struct stat before {};
  stat(path.c_str(), &before);
  writeFileBytes(path, "[1]\r\ns=A\r\nc=B\r\n[9]\r\nc=Y\r\n");
  struct timespec times[2] = {before.st_atim, before.st_mtim};
  times[1].tv_sec += 2;
  utimensat(AT_FDCWD, path.c_str(), times, 0);
  ASSERT_EQ(writeRecordingValue(writer, path, "9", "s", "W"), RecordingWriteResult::Written);
  EXPECT_EQ(readFileBytes(path), "[1]\r\ns=A\r\nc=B\r\n[9]\r\nc=Y\r\ns=W\r\n");

  // Deleted: the next write starts a new file.
  unlink(path.c_str());
  ASSERT_EQ(writeRecordingValue(writer, path, "2", "s", "C"), RecordingWriteResult::Written);
  EXPECT_EQ(readFileBytes(path), "[2]\r\ns=C\r\n");
}

TEST(RecordingWriter, FailuresAreReportedAndLeaveFilesAlone) {
  ScratchDirectory directory;
  RecordingWriter writer;
  EXPECT_EQ(writeRecordingValue(writer, directory.path + "/missing/r.ini", "1", "s", "A"),
            RecordingWriteResult::Failed);

  const std::string utf16 = directory.path + "/u.ini";
  const std::string wide("\xFF\xFE[\0001\0]\0", 8);
  writeFileBytes(utf16, wide);
  EXPECT_EQ(writeRecordingValue(writer, utf16, "1", "s", "A"), RecordingWriteResult::UnsupportedEncoding);
  EXPECT_EQ(readFileBytes(utf16), wide);

  // A failure does not stop later writes to a file that works again.
  const std::string path = directory.path + "/later/r.ini";
  EXPECT_EQ(writeRecordingValue(writer, path, "1", "s", "A"), RecordingWriteResult::Failed);
  mkdir((directory.path + "/later").c_str(), 0755);
  EXPECT_EQ(writeRecordingValue(writer, path, "1", "s", "A"), RecordingWriteResult::Written);
  EXPECT_EQ(readFileBytes(path), "[1]\r\ns=A\r\n");
}

}  // namespace
