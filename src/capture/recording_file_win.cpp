#include <windows.h>

#include "capture/recording_file.h"

bool writeRecordingKey(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
  // An empty value is passed as "", never as a null pointer, which would delete the key.
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != 0;
}
