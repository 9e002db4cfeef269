// Start-up and the window-created handler.
#pragma once

#include <string>

// The executable's full path (GBK) cut at its last backslash; empty when the
// path holds no backslash. "C:\Tools\x.exe" gives "C:\Tools", "C:\x.exe" "C:".
std::string runDirectoryOf(const std::string& executablePath);

// The run directory fixed at start-up.
std::string runDirectory();
void setRunDirectory(const std::string& directory);

// Runs once the window and its controls exist, before it is first shown.
void onWindowCreated();

// Text of the fatal report: the head, then, for a non-empty message, its
// prefix, the message and a line break.
std::string runtimeErrorReport(const std::string& message);

// The shutdown step, registered at start-up to run when the program ends
// normally: releases the texts SharedState holds.
void shutDown();
