#include "platform/recording_disk.h"

#include <windows.h>

#include "platform/gbk_wide_win.h"

namespace {

// Paths are GBK whatever the system's code page is: a path with bytes that
// are no GBK text is refused rather than guessed at.
bool checkedWidePath(const std::string& path, std::wstring& wide) {
  if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()), nullptr, 0) <= 0) {
    return false;
  }
  wide = ::widePath(path);
  return true;
}

HANDLE openExisting(const std::wstring& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
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

// By path, without opening the file: an open and close costs far more under
// Wine, and this runs twice for every recorded line.
RecordingFileProbe probeWide(const std::wstring& path, RecordingFileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? RecordingFileProbe::Missing : RecordingFileProbe::Failed;
  }
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return RecordingFileProbe::Failed;
  stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.writeTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                    data.ftLastWriteTime.dwLowDateTime;
  return RecordingFileProbe::Present;
}

}  // namespace

RecordingFileProbe probeRecordingFile(const std::string& path, RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!checkedWidePath(path, wide)) return RecordingFileProbe::Failed;
  return probeWide(wide, stamp);
}

bool readRecordingFile(const std::string& path, std::string& bytes, RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!checkedWidePath(path, wide)) return false;
  // The stamp first: a change made while reading shows at the next probe.
  RecordingFileStamp before;
  if (probeWide(wide, before) == RecordingFileProbe::Failed) return false;
  HANDLE file = openExisting(wide, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) && static_cast<uint64_t>(size.QuadPart) < SIZE_MAX &&
            readAt(file, 0, static_cast<size_t>(size.QuadPart), bytes);
  CloseHandle(file);
  if (ok) stamp = before;
  return ok;
}

RecordingAppend appendToRecordingFile(const std::string& path, uint64_t expectedSize, const std::string& bytes,
                                      RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!checkedWidePath(path, wide)) return RecordingAppend::Failed;
  HANDLE file = openExisting(wide, GENERIC_READ | GENERIC_WRITE);
  if (file == INVALID_HANDLE_VALUE) return RecordingAppend::Failed;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return RecordingAppend::Failed;
  }
  if (static_cast<uint64_t>(size.QuadPart) != expectedSize) {
    CloseHandle(file);
    return RecordingAppend::FileChanged;
  }
  bool ok = seekTo(file, expectedSize) && writeAll(file, bytes);
  if (!ok && seekTo(file, expectedSize)) SetEndOfFile(file);  // keep the file as it was
  CloseHandle(file);
  if (ok) ok = probeWide(wide, stamp) == RecordingFileProbe::Present;
  return ok ? RecordingAppend::Appended : RecordingAppend::Failed;
}

bool replaceRecordingFile(const std::string& path, const std::string& bytes, RecordingFileStamp& stamp) {
  std::wstring wide;
  if (!checkedWidePath(path, wide)) return false;
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
  return probeWide(wide, stamp) == RecordingFileProbe::Present;
}
