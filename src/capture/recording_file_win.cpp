#include "capture/recording_file.h"

#include "capture/recording_writer.h"

bool writeRecordingKey(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
  // The tool's own writer, in place of WritePrivateProfileStringA: the same
  // file, byte for byte, at a cost that does not grow with the recording, and
  // without passing the GBK texts and the path through the system's code page.
  // It keeps the file it writes in memory between lines (window thread only).
  static RecordingWriter writer;
  RecordingWriteResult result = writeRecordingValue(writer, path, section, key, value);
  return result == RecordingWriteResult::Written || result == RecordingWriteResult::Unchanged;
}
