// Reading a recording file (GBK INI, one section per line number with keys
// "s" and "c") and writing it out as a UTF-8 transcript.
#pragma once

#include <string>
#include <vector>

struct RecordedLine {
  std::string section;  // the line number as written in the file
  std::string speaker;  // GBK
  std::string text;     // GBK
};

// The sections in file order, each once (its first place), with the values an
// INI reader would give for "s" and "c": the first such key of the section's
// first occurrence, letter case ignored, white space around it trimmed.
std::vector<RecordedLine> parseRecording(const std::string& fileBytes);

enum class TranscriptFormat { Text, Csv, Json, Markdown };

// UTF-8 output; lines whose speaker and text are both empty (withdrawn with
// the "删除该句停止记录" button) are left out unless keepBlank. False when
// some text held bytes code page 936 has no character for (shown as U+FFFD).
bool formatTranscript(const std::vector<RecordedLine>& lines, TranscriptFormat format, bool keepBlank,
                      std::string& out);
