// The files beneath the lookup tables: a table file or its side file, opened
// for reading and writing with reading and writing shared, read and written at
// explicit offsets, and locked by byte ranges. A file is either a system file
// (Windows handle, or a POSIX descriptor in the native build) or an in-memory
// one, so the format steps can run over plain bytes (fuzzing, tabletool check).
// Every call returns 0 or a negative table reason code.
#pragma once

#include <cstdint>
#include <string>

struct TableFile {
  intptr_t handle = -1;           // the system's handle or descriptor; -1: none
  std::string* memory = nullptr;  // the bytes of an in-memory file instead
};

// The region of the lock that covers a whole file while it is checked at open.
constexpr int64_t kWholeFileLockLength = 0x7FFFFFFF;

// Paths are GBK byte texts. These two are the only calls that take a path.
// tableFullPath makes a path absolute without needing the file to exist.
int32_t tableFullPath(const std::string& path, std::string& fullPath);
// Opens an existing file for reading and writing, sharing both with others.
int32_t openTableFile(const std::string& fullPath, TableFile& file);

// An in-memory file over `bytes`, which must outlive it. Its locks never conflict.
TableFile memoryTableFile(std::string& bytes);

bool tableFileIsOpen(const TableFile& file);
void closeTableFile(TableFile& file);

// Reads up to `size` bytes at `offset`; `got` says how many came (fewer at the end).
int32_t readTableFile(TableFile& file, int64_t offset, void* buffer, uint32_t size,
                      uint32_t& got);
// Writes all `size` bytes at `offset`.
int32_t writeTableFile(TableFile& file, int64_t offset, const void* data, uint32_t size);
int32_t tableFileLength(TableFile& file, int64_t& length);
int32_t setTableFileLength(TableFile& file, int64_t length);

// Exclusive byte-range locks that another open of the file (in this process or
// another) cannot take at the same time; a conflict gives -13 at once.
int32_t lockTableFileRange(TableFile& file, int64_t offset, int64_t length);
int32_t unlockTableFileRange(TableFile& file, int64_t offset, int64_t length);

// The clock and pause of the lock retry: milliseconds that wrap like GetTickCount.
uint32_t tableClockMs();
void tableSleepMs(uint32_t milliseconds);

// ---- The system side, implemented in table_file_win.cpp / table_file_posix.cpp.
int32_t systemFullPath(const std::string& path, std::string& fullPath);
int32_t systemOpenFile(const std::string& fullPath, intptr_t& handle);
void systemCloseFile(intptr_t handle);
int32_t systemReadFile(intptr_t handle, int64_t offset, void* buffer, uint32_t size,
                       uint32_t& got);
int32_t systemWriteFile(intptr_t handle, int64_t offset, const void* data, uint32_t size);
int32_t systemFileLength(intptr_t handle, int64_t& length);
int32_t systemSetFileLength(intptr_t handle, int64_t length);
int32_t systemLockRange(intptr_t handle, int64_t offset, int64_t length);
int32_t systemUnlockRange(intptr_t handle, int64_t offset, int64_t length);
