// SharedState: the one record of process-wide state. Every handler of the tool
// reads and writes it; it is created zero-filled at start-up and lives until
// the process ends. Nothing in it is saved between runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/worker_thread.h"

// Slots 1 to 9999 have an entry; index 0 is unused so that slot s is entry s.
constexpr int32_t kSpeakerSlotCount = 9999;

struct SharedState {
  // Fields of the window thread.
  int32_t currentLineRecord = 0;   // game address of the dialogue record watched this tick
  std::atomic<int32_t> gamePid{0};           // read by the scan worker too
  int32_t dialogueListAddr = 0;    // build profile: dialogue list header
  uint8_t resetLatch = 0;          // tracker reset latch, 0 or 1
  int32_t conversationAddr = 0;    // build profile: holds the conversation object's address
  uint8_t trackState = 0;          // tracker state, 0, 1 or 2
  int32_t heldIndex = 0;           // 1-based list position remembered on entering state 1
  int32_t currentLineId = 0;       // line number read this tick
  int32_t lastLineId = 0;          // line last recorded; -1 = none since recording started
  std::string lineText;            // GBK text of the last resolved line
  int32_t speakerNumber = 0;       // name number used for the name lookup
  // Speaker slot -> name number. Filled by the scan worker while the window
  // thread reads it; each entry is written whole (relaxed atomics, no lock).
  std::atomic<int32_t> speakerMap[kSpeakerSlotCount + 1] = {};
  std::string speakerName;         // GBK text of the last resolved speaker name
  std::string recordingIniPath;    // full path of the recording file
  int32_t sceneWatchValue = 0;     // last value read at sceneWatchAddr
  int32_t sceneWatchAddr = 0;      // build profile: value whose change makes the map stale
  std::atomic<int32_t> rosterCountSeen{0};   // count the map was built for; -1 = stale
  std::atomic<int32_t> rosterCountAddr{0};   // build profile: character-table entry count
  std::atomic<uint8_t> scanRunning{0};       // a speaker-map scan is in progress
  WorkerThread scanThread;                   // last scan worker started
  std::atomic<int32_t> rosterTableAddr{0};   // build profile: holds the entry-pointer array's address
  std::atomic<int32_t> rosterEntryOffset{0}; // build profile: name number's offset in an entry
  int32_t attachedPid = 0;         // process a build profile was last chosen for, 0 if none
  // Scan generation: starting a scan makes any earlier worker stop at its next
  // read and write nothing more (in place of killing the thread).
  std::atomic<uint32_t> scanGeneration{0};
};

// The process's one SharedState.
SharedState& sharedState();

// Puts every field back to its start-up value (start-up, and tests).
void resetSharedState();

// Relaxed loads and stores: the fields shared with the scan worker only need to
// be written whole, there is no ordering between them to protect.
inline int32_t loadRelaxed(const std::atomic<int32_t>& field) {
  return field.load(std::memory_order_relaxed);
}
inline void storeRelaxed(std::atomic<int32_t>& field, int32_t value) {
  field.store(value, std::memory_order_relaxed);
}
