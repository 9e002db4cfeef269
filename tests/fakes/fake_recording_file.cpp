#include "capture/recording_file.h"
#include "fakes/fakes.h"

FakeRecordingFile& fakeRecordingFile() {
  static FakeRecordingFile file;
  return file;
}

void resetFakeRecordingFile() { fakeRecordingFile() = FakeRecordingFile(); }

bool writeRecordingKey(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
  fakeRecordingFile().writes.push_back({section, key, value, path});
  return !fakeRecordingFile().refuseWrites;
}
