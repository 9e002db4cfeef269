#include <cstdio>
#include <cstring>

#include "fakes/fakes.h"
#include "process/game_memory.h"

FakeGameMemory& fakeGameMemory() {
  static FakeGameMemory memory;
  return memory;
}

void resetFakeGameMemory() { fakeGameMemory() = FakeGameMemory(); }

void pokeInt32(uint32_t address, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (uint32_t i = 0; i < 4; ++i) fakeGameMemory().bytes[address + i] = static_cast<uint8_t>(bits >> (8 * i));
}

void pokeFloat(uint32_t address, float value) {
  int32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  pokeInt32(address, bits);
}

void unmapBytes(uint32_t address, size_t size) {
  for (size_t i = 0; i < size; ++i) fakeGameMemory().bytes.erase(static_cast<uint32_t>(address + i));
}

std::string describeReads(const std::vector<FakeRead>& reads) {
  std::string text;
  for (const FakeRead& read : reads) {
    char item[32];
    std::snprintf(item, sizeof item, " %X/%zu", read.address, read.size);
    text += item;
  }
  return text;
}

bool readGameMemory(int32_t pid, uint32_t address, void* buffer, size_t size) {
  FakeGameMemory& memory = fakeGameMemory();
  memory.reads.push_back({address, size});
  if (memory.beforeRead != nullptr) memory.beforeRead(address);
  if (pid == 0 || pid != memory.pid) return false;
  auto* out = static_cast<uint8_t*>(buffer);
  for (size_t i = 0; i < size; ++i) {
    auto byte = memory.bytes.find(static_cast<uint32_t>(address + i));  // wraps like the game's
    if (byte == memory.bytes.end()) return false;                        // partial: a failure
    out[i] = byte->second;
  }
  return true;
}
