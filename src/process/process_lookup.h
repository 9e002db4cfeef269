// Finding the game among the running processes by its executable's name.
#pragma once

#include <cstdint>
#include <string>

constexpr char kGameExeName[] = "Pal5.exe";

// Process id of the first process (in snapshot order) whose executable name
// equals exeName without regard to ASCII case; 0 when there is none.
int32_t findProcessId(const std::string& exeName);

// Full path of the first matching process's executable; empty when there is
// none or its path cannot be had.
std::string findExecutablePath(const std::string& exeName, bool exactCase = false);

// Low 32 bits of the file's size as its directory entry gives it; -1 when there
// is no such file (an empty path included).
int32_t executableFileSize(const std::string& path);
