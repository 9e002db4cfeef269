// The simulated game's memory: one block of bytes at a fixed place in its own
// address space, holding at a build's addresses everything the tool reads, and
// a small heap for the objects those addresses point to. Every address is a
// 32-bit game address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "attach/build_table.h"
#include "fakegame/scenario.h"

constexpr uint32_t kDialogueRecordSize = 24;   // +0 kind, +4 line, +12 slot, +16 slot, +20 name
constexpr uint32_t kConversationWordOffset = 796;
constexpr uint32_t kDialogueCapacity = 65536;  // entries in the dialogue list's array
constexpr uint32_t kRosterCapacity = 4096;     // entries in the character table's pointer array

struct GameImage {
  uint8_t* bytes;        // the block itself
  uint32_t base;         // its game address
  uint32_t size;
  uint32_t heapNext;     // bump allocator for the pointed-to objects
  BuildProfile layout;   // where this game keeps its words (in the heap for an unknown build)
  uint32_t dialogueArray;      // the list's entry array
  uint32_t conversationObject;
  uint32_t rosterArray;        // the character table's array of entry pointers
};

// Lays out an empty game (no lines, no characters, every word 0) at the
// addresses of `profile`, or, with no profile, at addresses no build uses.
// Fails with a reason when the block does not hold every build's addresses.
bool layOutGame(GameImage& image, uint8_t* bytes, uint32_t base, uint32_t size, const BuildProfile* profile,
                std::string& error);

// Carries out one scenario command that changes memory (not wait, hold or
// exit). Fails with a reason when the command does not fit the game's memory.
bool applyCommand(GameImage& image, const Command& command, std::string& error);

int32_t peekInt32(const GameImage& image, uint32_t address);
