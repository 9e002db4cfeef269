// The tool's own writer of the recording file. Every write leaves the file
// exactly as the system's INI writer would with code page 936, but costs the
// same at the 50,000th line as at the first: the file is held in memory
// between writes, a new line is appended to the end of the file, and the file
// is read again only when another program has changed it.
#pragma once

#include <string>

#include "capture/recording_format.h"
#include "platform/recording_disk.h"

struct RecordingWriter {
  std::string path;             // the file `document` belongs to; empty: nothing held
  bool holdsFile = false;       // `document` is the file as it was after our last look
  bool fileExists = false;
  bool hasByteOrderMark = false;  // UTF-8 file: texts are converted from GBK
  IniDocument document;
  RecordingFileStamp stamp;
  // The file holds exactly what the document writes out, so an addition at its
  // end can be appended; a file edited by hand is first rewritten in full.
  bool fileIsNormalized = false;
};

enum class RecordingWriteResult {
  Written,
  Unchanged,            // the key already held that value; the file was not touched
  Failed,               // the file could not be read or written; it is as it was
  UnsupportedEncoding,  // a UTF-16 file; left alone rather than mixed with GBK lines
};

// Sets `key` of `section` to `value` (GBK texts) in the file at `path` (a GBK path).
RecordingWriteResult writeRecordingValue(RecordingWriter& writer, const std::string& path,
                                         const std::string& section, const std::string& key,
                                         const std::string& value);
