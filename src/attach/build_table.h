// The builds of the game the tool knows, recognised by the exact size of the
// game's executable, each with the addresses where that build keeps what the
// capture reads. Compiled in: nothing is read from a file.
#pragma once

#include <cstddef>
#include <cstdint>

struct SharedState;

// Where one build keeps the data the capture reads. The first five are game
// addresses; rosterEntryOffset is a byte offset inside a character entry.
struct BuildProfile {
  int32_t dialogueListAddr;   // dialogue list header
  int32_t conversationAddr;   // holds the conversation object's address
  int32_t sceneWatchAddr;     // value whose change makes the speaker map stale
  int32_t rosterCountAddr;    // number of character-table entries
  int32_t rosterTableAddr;    // holds the address of the entry-pointer array
  int32_t rosterEntryOffset;  // name number's offset in an entry; the slot follows 4 bytes on
};

struct BuildRow {
  int32_t exeFileSize;        // exact size in bytes of the build's Pal5.exe
  const char* statusText;     // shown in the status label when attached (GBK)
  BuildProfile profile;
};

constexpr size_t kBuildCount = 7;

// In the order the attach monitor compares them; the first equal size wins.
extern const BuildRow kBuildTable[kBuildCount];

// The row whose size equals exeFileSize, or nullptr for an unknown build.
const BuildRow* findBuildRow(int32_t exeFileSize);

// Copies the profile into SharedState's six build-profile fields.
void applyBuildProfile(SharedState& state, const BuildProfile& profile);

// The six build-profile fields as SharedState holds them now.
BuildProfile currentBuildProfile(const SharedState& state);
