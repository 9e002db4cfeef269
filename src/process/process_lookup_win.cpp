#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

// Besides system_text_win.cpp, the one place that takes texts from the system:
// the tool-help records and the file search carry names and paths. The wide
// records are read and converted with code page 936, so names and paths do not
// depend on the system's code page.

#include "app/texts.h"
#include "platform/gbk_wide_win.h"
#include "platform/system_text_win.h"
#include "process/name_compare.h"
#include "process/process_lookup.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PROCESSENTRY32) == 296, "the 32-bit process entry is 296 bytes");
#endif

// A record's character field up to its first zero.
template <size_t N>
static std::wstring fieldWide(const wchar_t (&field)[N]) {
  size_t length = 0;
  while (length < N && field[length] != L'\0') ++length;
  return std::wstring(field, length);
}

// A record's name field taken as GBK text: up to the first zero, and at most
// the first 256 bytes of its GBK form (a character GBK cannot hold shows as "?",
// which no name the tool looks for contains).
template <size_t N>
static std::string fieldText(const wchar_t (&field)[N]) {
  std::string text = wideToGbk(fieldWide(field));
  if (text.size() > 256) text.resize(256);
  return text;
}

int32_t findProcessId(const std::string& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry;
  std::memset(&entry, 0, sizeof entry);
  entry.dwSize = sizeof entry;
  int32_t found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (exeNamesEqual(fieldText(entry.szExeFile), exeName, false)) {
      found = static_cast<int32_t>(entry.th32ProcessID);
      break;
    }
  }
  CloseHandle(snapshot);
  return found;
}

// The executable path of one process, from the first module of its module
// snapshot; empty when that cannot be read (access refused, process gone).
static std::string executablePathOf(DWORD processId) {
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (modules == INVALID_HANDLE_VALUE) return std::string();
  MODULEENTRY32W module;
  std::memset(&module, 0, sizeof module);
  module.dwSize = sizeof module;
  std::string path;
  // In a folder whose name GBK cannot hold, the path is a stand-in that the
  // file functions turn back into the real path.
  if (Module32FirstW(modules, &module) && !windowsPathToGbk(fieldWide(module.szExePath), path)) {
    path.clear();
  }
  CloseHandle(modules);
  return path;
}

std::string findExecutablePath(const std::string& exeName, bool exactCase) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    showMessageBox(nullptr, kSnapshotFailed, kInfoTitle, MB_OK | MB_TASKMODAL);
    return std::string();
  }
  PROCESSENTRY32W entry;
  std::memset(&entry, 0, sizeof entry);
  entry.dwSize = sizeof entry;
  std::string result;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == 0) continue;
    if (!exeNamesEqual(fieldText(entry.szExeFile), exeName, exactCase)) continue;
    // Only the matching process's own module is asked for, so a process whose
    // module cannot be read gives no path rather than an earlier process's.
    result = executablePathOf(entry.th32ProcessID);
    break;
  }
  CloseHandle(snapshot);
  return result;
}

int32_t executableFileSize(const std::string& path) {
  if (path.empty()) return -1;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(widePath(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  FindClose(search);
  return static_cast<int32_t>(found.nFileSizeLow);
}
