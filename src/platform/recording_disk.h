// File operations under the recording writer: the Windows file services in the
// product, POSIX ones in the native test build. Paths are GBK byte texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What tells one state of a file from another without reading it all.
struct RecordingFileStamp {
  uint64_t size = 0;
  uint64_t writeTime = 0;  // last write, in the system's own units
};

inline bool operator==(const RecordingFileStamp& a, const RecordingFileStamp& b) {
  return a.size == b.size && a.writeTime == b.writeTime;
}
inline bool operator!=(const RecordingFileStamp& a, const RecordingFileStamp& b) { return !(a == b); }

enum class RecordingFileProbe { Missing, Present, Failed };

// Looks at the file as it is now, without opening it. A file that cannot be
// written (read-only) fails here, before anything is changed.
RecordingFileProbe probeRecordingFile(const std::string& path, RecordingFileStamp& stamp);

// The whole file and its stamp.
bool readRecordingFile(const std::string& path, std::string& bytes, RecordingFileStamp& stamp);

enum class RecordingAppend { Appended, FileChanged, Failed };

// The stamps given back after a write are what the next probe will see.

// Adds `bytes` at the end of a file that must still be `expectedSize` long
// (FileChanged otherwise, nothing written). A write that fails part way (a full
// disk) is cut back off, so the file keeps its earlier content.
RecordingAppend appendToRecordingFile(const std::string& path, uint64_t expectedSize, const std::string& bytes,
                                      RecordingFileStamp& stamp);

// Makes `bytes` the file's whole content, safely: they are written to a new
// file beside it, flushed to the disk, and that file is then moved over the old
// one, so a crash or a full disk leaves either the old file or the new one.
bool replaceRecordingFile(const std::string& path, const std::string& bytes, RecordingFileStamp& stamp);
