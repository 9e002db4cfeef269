#include "platform/table_file.h"

#include <cstring>

int32_t tableFullPath(const std::string& path, std::string& fullPath) {
  return systemFullPath(path, fullPath);
}

int32_t openTableFile(const std::string& fullPath, TableFile& file) {
  file = TableFile();
  return systemOpenFile(fullPath, file.handle);
}

TableFile memoryTableFile(std::string& bytes) {
  TableFile file;
  file.memory = &bytes;
  return file;
}

bool tableFileIsOpen(const TableFile& file) {
  return file.memory != nullptr || file.handle != -1;
}

void closeTableFile(TableFile& file) {
  if (file.memory == nullptr && file.handle != -1) systemCloseFile(file.handle);
  file = TableFile();
}

int32_t readTableFile(TableFile& file, int64_t offset, void* buffer, uint32_t size,
                      uint32_t& got) {
  got = 0;
  if (offset < 0) return -1;
  if (file.memory == nullptr) return systemReadFile(file.handle, offset, buffer, size, got);
  const std::string& bytes = *file.memory;
  if (static_cast<uint64_t>(offset) >= bytes.size()) return 0;
  uint64_t available = bytes.size() - static_cast<uint64_t>(offset);
  got = static_cast<uint32_t>(available < size ? available : size);
  if (got > 0) std::memcpy(buffer, bytes.data() + offset, got);
  return 0;
}

int32_t writeTableFile(TableFile& file, int64_t offset, const void* data, uint32_t size) {
  if (offset < 0) return -1;
  if (file.memory == nullptr) return systemWriteFile(file.handle, offset, data, size);
  std::string& bytes = *file.memory;
  uint64_t end = static_cast<uint64_t>(offset) + size;
  if (end > bytes.size()) bytes.resize(end, '\0');
  if (size > 0) std::memcpy(&bytes[offset], data, size);
  return 0;
}

int32_t tableFileLength(TableFile& file, int64_t& length) {
  if (file.memory == nullptr) return systemFileLength(file.handle, length);
  length = static_cast<int64_t>(file.memory->size());
  return 0;
}

int32_t setTableFileLength(TableFile& file, int64_t length) {
  if (length < 0) return -1;
  if (file.memory == nullptr) return systemSetFileLength(file.handle, length);
  file.memory->resize(static_cast<size_t>(length), '\0');
  return 0;
}

int32_t lockTableFileRange(TableFile& file, int64_t offset, int64_t length) {
  if (file.memory != nullptr) return 0;
  return systemLockRange(file.handle, offset, length);
}

int32_t unlockTableFileRange(TableFile& file, int64_t offset, int64_t length) {
  if (file.memory != nullptr) return 0;
  return systemUnlockRange(file.handle, offset, length);
}
