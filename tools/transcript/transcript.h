// Reading a recording file (GBK INI, one section per line number with keys
// "s" and "c") and writing it out as a UTF-8 transcript.
#pragma once

#include <string>
#include <vector>

struct RecordedLine {
  std::string section;  // the line number as written in the file
  std::string speaker;  // GBK
  std::string text;     // GBK
  bool isUtf8 = false;  // from a file saved as UTF-8 (with a byte order mark): texts are UTF-8
};

// The sections in file order, each once (its first place), with the values an
// INI reader would give for "s" and "c": the first such key of the section's
// first occurrence, letter case ignored, white space around it trimmed.
// A file saved as UTF-8 with a byte order mark is read as UTF-8.
std::vector<RecordedLine> parseRecording(const std::string& fileBytes);

enum class TranscriptFormat { Text, Csv, Json, Markdown };

// UTF-8 output; lines whose speaker and text are both empty (withdrawn with
// the "删除该句停止记录" button) are left out unless keepBlank. False when
// some text held bytes code page 936 has no character for (shown as U+FFFD).
bool formatTranscript(const std::vector<RecordedLine>& lines, TranscriptFormat format, bool keepBlank,
                      std::string& out);
