// Another program using a table: takes the one-byte lock at OFFSET of FILE,
// optionally writes bytes under it, says so by creating READY, holds the lock
// for HOLD_MS milliseconds and releases it.
//   table_lock_holder FILE OFFSET HOLD_MS READY [WRITE_OFFSET HEX_BYTES]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/table_file.h"

int main(int argc, char** argv) {
  if (argc != 5 && argc != 7) {
    std::fprintf(stderr, "usage: table_lock_holder FILE OFFSET HOLD_MS READY [WRITE_OFFSET HEX]\n");
    return 2;
  }
  TableFile file;
  if (openTableFile(argv[1], file) != 0) return 3;
  int64_t offset = std::strtoll(argv[2], nullptr, 10);
  if (lockTableFileRange(file, offset, 1) != 0) return 4;
  if (argc == 7) {
    std::string hex = argv[6], bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
      bytes += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    }
    if (writeTableFile(file, std::strtoll(argv[5], nullptr, 10), bytes.data(),
                       static_cast<uint32_t>(bytes.size())) != 0) {
      return 5;
    }
  }
  std::FILE* ready = std::fopen(argv[4], "wb");
  if (ready == nullptr) return 6;
  std::fclose(ready);
  tableSleepMs(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));
  unlockTableFileRange(file, offset, 1);
  closeTableFile(file);
  return 0;
}
