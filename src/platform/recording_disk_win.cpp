#include "platform/recording_disk.h"

#include <windows.h>

namespace {

// Paths are GBK whatever the system's code page is, so they are converted
// here and the wide functions are used.
bool widePath(const std::string& path, std::wstring& wide) {
  int length = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (length <= 0) return false;
  wide.assign(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), &wide[0], length);
  return true;
}

HANDLE openExisting(const std::wstring& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool stampOf(HANDLE file, RecordingFileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return false;
  stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp.writeTime = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool seekTo(HANDLE file, uint64_t offset) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != 0;
}

bool readAt(HANDLE file, uint64_t offset, size_t length, std::string& bytes) {
  bytes.assign(length, '\0');
  if (!seekTo(file, offset)) return false;
  size_t done = 0;
  while (done < length) {
    DWORD chunk = length - done > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length - done);
    DWORD got = 0;
    if (!ReadFile(file, &bytes[done], chunk, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

bool writeAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = bytes.size() - done > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size() - done);
    DWORD put = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

}  // namespace

RecordingFileProbe probeRecordingFile(const std::string& path, size_t tailLength, RecordingFileStamp& stamp,
                                      std::string& tail) {
  std::wstring wide;
  if (!widePath(path, wide)) return RecordingFileProbe::Failed;
  HANDLE file = openExisting(wide, GENERIC_READ | GENERIC_WRITE);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? RecordingFileProbe::Missing : RecordingFileProbe::Failed;
  }
  bool ok = stampOf(file, stamp);
  if (ok) {
    size_t length = stamp.size < tailLength ? static_cast<size_t>(stamp.size) : tailLength;
    ok = readAt(file, stamp.size - length, length, tail);
  }
  CloseHandle(file);
  return ok ? RecordingFileProbe::Present : RecordingFileProbe::Failed;
}

bool readRecordingFile(const std::string& path, std::string& bytes, RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!widePath(path, wide)) return false;
  HANDLE file = openExisting(wide, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = stampOf(file, stamp) && stamp.size < SIZE_MAX &&
            readAt(file, 0, static_cast<size_t>(stamp.size), bytes);
  CloseHandle(file);
  return ok;
}

RecordingAppend appendToRecordingFile(const std::string& path, uint64_t expectedSize, const std::string& bytes,
                                      RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!widePath(path, wide)) return RecordingAppend::Failed;
  HANDLE file = openExisting(wide, GENERIC_READ | GENERIC_WRITE);
  if (file == INVALID_HANDLE_VALUE) return RecordingAppend::Failed;
  RecordingFileStamp before;
  if (!stampOf(file, before)) {
    CloseHandle(file);
    return RecordingAppend::Failed;
  }
  if (before.size != expectedSize) {
    CloseHandle(file);
    return RecordingAppend::FileChanged;
  }
  bool ok = seekTo(file, expectedSize) && writeAll(file, bytes);
  if (!ok && seekTo(file, expectedSize)) SetEndOfFile(file);  // keep the file as it was
  if (ok) ok = stampOf(file, stamp);
  CloseHandle(file);
  return ok ? RecordingAppend::Appended : RecordingAppend::Failed;
}

bool replaceRecordingFile(const std::string& path, const std::string& bytes, RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!widePath(path, wide)) return false;
  const std::wstring newPath = wide + L".new";
  HANDLE file = CreateFileW(newPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = writeAll(file, bytes) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (ok) {
    ok = MoveFileExW(newPath.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) {
    DeleteFileW(newPath.c_str());
    return false;
  }
  file = openExisting(wide, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) return false;
  ok = stampOf(file, stamp);
  CloseHandle(file);
  return ok;
}
