// The recording file: an INI file with one section per line number and the
// keys "s" (speaker) and "c" (line text). Texts are GBK bytes, written as they are.
#pragma once

#include <string>

// Sets one key of one section; the file and the section are created when
// missing, an existing key keeps its place. False when the file refused it.
bool writeRecordingKey(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path);
