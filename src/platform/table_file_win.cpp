// The tables' files on Windows. The two calls that take a path (GetFullPathNameW,
// CreateFileW) live here and nowhere else.
//
// Locks: LockFile locks belong to the handle. They are exclusive, never wait
// (a conflict fails at once with ERROR_LOCK_VIOLATION), conflict with every
// other handle of the file, in this process or another, and are mandatory:
// while another handle holds a byte, ReadFile and WriteFile through ours fail
// on it. The same handle locking a region it already holds fails as well, which
// is why the tables count their locks' nesting themselves. A lock must be
// released with exactly the offset and length it was taken with; the system
// drops what is left when the handle is closed, in no promised order, so every
// lock is released before the close.
#include "platform/table_file.h"

#include <windows.h>

#include "platform/gbk_wide_win.h"

static int32_t codeForError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return -3;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE: return -4;
    case ERROR_TOO_MANY_OPEN_FILES: return -5;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return -6;
    case ERROR_SHARING_VIOLATION: return -12;
    case ERROR_LOCK_VIOLATION: return -13;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return -14;
    case ERROR_HANDLE_EOF: return -15;
    default: return -1;
  }
}

static HANDLE asHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Paths are GBK whatever the system's code page is: converted with code page
// 936 here and given to the wide functions.
int32_t systemFullPath(const std::string& path, std::string& fullPath) {
  wchar_t buffer[MAX_PATH];
  DWORD length = GetFullPathNameW(widePath(path).c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0) return codeForError(GetLastError());
  if (length >= MAX_PATH) return -4;  // does not fit the 260-character buffer
  std::string gbk;
  windowsPathToGbk(std::wstring(buffer, length), gbk);
  if (gbk.size() >= MAX_PATH) return -4;
  fullPath = gbk;
  return 0;
}

int32_t systemOpenFile(const std::string& fullPath, intptr_t& handle) {
  HANDLE file = CreateFileW(widePath(fullPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return codeForError(GetLastError());
  handle = reinterpret_cast<intptr_t>(file);
  return 0;
}

void systemCloseFile(intptr_t handle) { CloseHandle(asHandle(handle)); }

static int32_t seekTo(HANDLE file, int64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER) {
    DWORD error = GetLastError();
    if (error != NO_ERROR) return codeForError(error);
  }
  return 0;
}

int32_t systemReadFile(intptr_t handle, int64_t offset, void* buffer, uint32_t size,
                       uint32_t& got) {
  got = 0;
  int32_t code = seekTo(asHandle(handle), offset);
  if (code != 0) return code;
  while (got < size) {
    DWORD count = 0;
    if (!ReadFile(asHandle(handle), static_cast<char*>(buffer) + got, size - got, &count,
                  nullptr)) {
      DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      return codeForError(error);
    }
    if (count == 0) break;  // end of file
    got += count;
  }
  return 0;
}

int32_t systemWriteFile(intptr_t handle, int64_t offset, const void* data, uint32_t size) {
  int32_t code = seekTo(asHandle(handle), offset);
  if (code != 0) return code;
  uint32_t done = 0;
  while (done < size) {
    DWORD count = 0;
    if (!WriteFile(asHandle(handle), static_cast<const char*>(data) + done, size - done, &count,
                   nullptr)) {
      return codeForError(GetLastError());
    }
    if (count == 0) return -1;
    done += count;
  }
  return 0;
}

int32_t systemFileLength(intptr_t handle, int64_t& length) {
  DWORD high = 0;
  DWORD low = GetFileSize(asHandle(handle), &high);
  if (low == INVALID_FILE_SIZE) {
    DWORD error = GetLastError();
    if (error != NO_ERROR) return codeForError(error);
  }
  length = (static_cast<int64_t>(high) << 32) | low;
  return 0;
}

int32_t systemSetFileLength(intptr_t handle, int64_t length) {
  int32_t code = seekTo(asHandle(handle), length);
  if (code != 0) return code;
  if (!SetEndOfFile(asHandle(handle))) return codeForError(GetLastError());
  return 0;
}

int32_t systemLockRange(intptr_t handle, int64_t offset, int64_t length) {
  if (!LockFile(asHandle(handle), static_cast<DWORD>(offset), static_cast<DWORD>(offset >> 32),
                static_cast<DWORD>(length), static_cast<DWORD>(length >> 32))) {
    return codeForError(GetLastError());
  }
  return 0;
}

int32_t systemUnlockRange(intptr_t handle, int64_t offset, int64_t length) {
  if (!UnlockFile(asHandle(handle), static_cast<DWORD>(offset), static_cast<DWORD>(offset >> 32),
                  static_cast<DWORD>(length), static_cast<DWORD>(length >> 32))) {
    return codeForError(GetLastError());
  }
  return 0;
}

uint32_t tableClockMs() { return GetTickCount(); }

void tableSleepMs(uint32_t milliseconds) { Sleep(milliseconds); }
