// Programs that a Windows test starts: started with CreateProcess and always
// ended by the test itself, through their own process handle.
#pragma once

#include <windows.h>

#include <string>

struct ChildProcess {
  HANDLE process = nullptr;
  DWORD processId = 0;
};

// Starts `commandLine` (GBK; its first word is the program's path). False when the
// program could not be started.
bool startChild(const std::string& commandLine, ChildProcess& child);

// Waits up to `timeoutMs` for the child to end; true with its exit code then.
bool waitForChildExit(ChildProcess& child, DWORD timeoutMs, DWORD* exitCode);

// Ends the child if it still runs, waits for it and releases its handle. Safe
// to call more than once.
void endChild(ChildProcess& child);

// Ends the child when the test leaves its scope, whatever the outcome.
struct ChildGuard {
  ChildProcess& child;
  ~ChildGuard() { endChild(child); }
};

// Paths of the built programs and of a scratch folder (Windows paths).
std::string builtProgram(const std::string& relativePath);  // e.g. "Tallowick.exe"
std::string sourceFile(const std::string& relativePath);    // e.g. "samples/names.tsv"
std::string scratchFolder(const std::string& name);         // created if missing

// The bytes of the file at a GBK path (opened by its wide name, converted with
// code page 936, so under any system code page); empty when it cannot be read.
std::string gbkFileBytes(const std::string& path);
// The same for a file's presence and removal, and for emptying a folder of its
// files (not its subfolders).
bool gbkFileExists(const std::string& path);
void removeGbkFile(const std::string& path);
void emptyFolder(const std::string& folder);

// A stand-in for the game: a copy of the test driver named `exeName` in the
// scratch folder `folder`, idling until the test ends it. Its full path, or
// empty text when it could not be started.
std::string startStandInGame(const std::string& folder, const std::string& exeName, ChildProcess& child);

// Sets an environment variable that the children started meanwhile inherit,
// and removes it again at the end of the scope.
struct ScopedEnvironment {
  std::string name;
  ScopedEnvironment(const std::string& variable, const std::string& value);
  ~ScopedEnvironment();
};
