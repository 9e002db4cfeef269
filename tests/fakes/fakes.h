// Scripted stand-ins for the Windows layer, linked into logic_tests in place of
// the real controls, game memory and process lookup.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/controls.h"

// ---- Controls: remembers every value, and logs the calls in order.
struct FakeControls {
  std::map<ControlId, std::string> texts;      // edit texts and button captions
  std::map<ControlId, bool> enabled;
  std::map<ControlId, int32_t> timerPeriods;
  std::string statusText;
  uint32_t statusColour = 0xFF8800;
  std::vector<std::string> log;                // e.g. "colour 255", "status <bytes>"
};
FakeControls& fakeControls();
void resetFakeControls();  // the design-time values of the form

// ---- Game memory: a sparse byte map per process; every read is logged.
struct FakeRead {
  uint32_t address;
  size_t size;
  bool operator==(const FakeRead& other) const {
    return address == other.address && size == other.size;
  }
};
struct FakeGameMemory {
  int32_t pid = 0;                        // the one process that exists (0: none)
  std::map<uint32_t, uint8_t> bytes;      // readable bytes of that process
  std::vector<FakeRead> reads;            // every read made, in order
  void (*beforeRead)(uint32_t address) = nullptr;  // called before each read is served
};
FakeGameMemory& fakeGameMemory();
void resetFakeGameMemory();
void pokeInt32(uint32_t address, int32_t value);
void pokeFloat(uint32_t address, float value);
void unmapBytes(uint32_t address, size_t size);
// " <address in hex>/<size>" per read, for comparing read logs in a message.
std::string describeReads(const std::vector<FakeRead>& reads);

// ---- Processes and files for the attach monitor.
struct FakeProcess {
  std::string exeName;
  int32_t pid;
  std::string exePath;  // empty: its module cannot be read
};
struct FakeSystem {
  std::vector<FakeProcess> processes;          // in snapshot order
  std::map<std::string, int32_t> fileSizes;    // path -> size; absent: no file
  int findExecutablePathCalls = 0;
  int fileSizeCalls = 0;
  // Runs inside findExecutablePath, as the ticks that the real lookup's
  // message box lets through while it waits.
  std::function<void()> duringFindExecutablePath;
};
FakeSystem& fakeSystem();
void resetFakeSystem();

// ---- Recording file: logs every key written; refuses them all when asked.
struct FakeIniWrite {
  std::string section, key, value, path;
  bool operator==(const FakeIniWrite& other) const {
    return section == other.section && key == other.key && value == other.value && path == other.path;
  }
};
struct FakeRecordingFile {
  std::vector<FakeIniWrite> writes;
  bool refuseWrites = false;
};
FakeRecordingFile& fakeRecordingFile();
void resetFakeRecordingFile();
