// Reads of the game's memory. Every value the tool takes from the game comes
// through readInt32, readInt64 or readFloat; each call opens the process, reads
// once and closes it again, so no handle is ever held on the game.
#pragma once

#include <cstddef>
#include <cstdint>

// The tool's own process, for readInt32 and friends.
constexpr int32_t kOwnProcess = -1;

// The one seam below the typed reads: copies `size` bytes at the game address
// into `buffer`; true only when every byte was read. The Windows side opens the
// process for reading only; tests link a scripted memory that logs each read.
bool readGameMemory(int32_t pid, uint32_t address, void* buffer, size_t size);

// A failed read (no such process, access refused, any byte unreadable) gives
// the fallback, which is -1 (-1.0) unless the caller names another.
int32_t readInt32(int32_t pid, int32_t address, int32_t fallback = -1);
int64_t readInt64(int32_t pid, int32_t address, int64_t fallback = -1);
float readFloat(int32_t pid, int32_t address, float fallback = -1.0f);

// Game addresses are 32 bits; sums keep the low 32 bits of the exact result.
inline int32_t gameAddressPlus(int32_t address, int64_t offset) {
  return static_cast<int32_t>(static_cast<uint32_t>(address) + static_cast<uint32_t>(offset));
}

// Address of 1-based entry `position` of an array of 32-bit words at `array`
// (position 0 is the word just before the array).
inline int32_t gameArrayEntry(int32_t array, int32_t position) {
  return gameAddressPlus(array, 4 * static_cast<int64_t>(position) - 4);
}

// A game float taken as a number: truncated toward zero through a 64-bit
// integer, keeping its low 32 bits; NaN and magnitudes of 2^63 or more give 0.
int32_t truncateGameFloat(float value);
