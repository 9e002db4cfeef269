#include "process/game_memory.h"

#include <cmath>
#include <cstring>

int32_t readInt32(int32_t pid, int32_t address, int32_t fallback) {
  unsigned char bytes[4];
  if (!readGameMemory(pid, static_cast<uint32_t>(address), bytes, sizeof bytes)) return fallback;
  uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                   static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  return static_cast<int32_t>(value);
}

int64_t readInt64(int32_t pid, int32_t address, int64_t fallback) {
  unsigned char bytes[8];
  if (!readGameMemory(pid, static_cast<uint32_t>(address), bytes, sizeof bytes)) return fallback;
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];  // little-endian: low half first
  return static_cast<int64_t>(value);
}

float readFloat(int32_t pid, int32_t address, float fallback) {
  unsigned char bytes[4];
  if (!readGameMemory(pid, static_cast<uint32_t>(address), bytes, sizeof bytes)) return fallback;
  uint32_t bits = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                  static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  float value;
  std::memcpy(&value, &bits, sizeof value);  // bit for bit: NaN payloads and denormals kept
  return value;
}

int32_t truncateGameFloat(float value) {
  if (std::isnan(value) || std::fabs(value) >= 9223372036854775808.0f) return 0;
  int64_t whole = static_cast<int64_t>(value);  // truncates toward zero
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole)));
}
