#include "windows/gbk_files.h"

#include <windows.h>

#include <cstdio>

#include "platform/gbk_wide_win.h"

std::string readGbkNamedFile(const std::string& path) {
  std::string bytes;
  FILE* file = _wfopen(gbkToWide(path).c_str(), L"rb");
  if (file == nullptr) return bytes;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

bool gbkNamedFileExists(const std::string& path) {
  return GetFileAttributesW(gbkToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeGbkNamedFile(const std::string& path) { DeleteFileW(gbkToWide(path).c_str()); }

bool renameGbkNamedFile(const std::string& from, const std::string& to) {
  return MoveFileExW(gbkToWide(from).c_str(), gbkToWide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void emptyFolder(const std::string& folder) {
  const std::wstring wideFolder = gbkToWide(folder);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((wideFolder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      DeleteFileW((wideFolder + L"\\" + found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}
