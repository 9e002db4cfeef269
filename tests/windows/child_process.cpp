#include "windows/child_process.h"

#include <vector>

#include "platform/gbk_wide_win.h"

bool startChild(const std::string& commandLine, ChildProcess& child) {
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  // GBK like every text of the tool, whatever the system's code page.
  std::wstring wide = gbkToWide(commandLine);
  std::vector<wchar_t> line(wide.begin(), wide.end());
  line.push_back(L'\0');
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  child.process = info.hProcess;
  child.processId = info.dwProcessId;
  return true;
}

bool waitForChildExit(ChildProcess& child, DWORD timeoutMs, DWORD* exitCode) {
  if (child.process == nullptr) return false;
  if (WaitForSingleObject(child.process, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode != nullptr) GetExitCodeProcess(child.process, exitCode);
  return true;
}

void endChild(ChildProcess& child) {
  if (child.process == nullptr) return;
  if (WaitForSingleObject(child.process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(child.process, 1);
    WaitForSingleObject(child.process, 10000);
  }
  CloseHandle(child.process);
  child.process = nullptr;
  child.processId = 0;
}

static std::string windowsPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string builtProgram(const std::string& relativePath) {
  return windowsPath(std::string(TALLOWICK_BUILD_DIR) + "/" + relativePath);
}

std::string sourceFile(const std::string& relativePath) {
  return windowsPath(std::string(TALLOWICK_SOURCE_DIR) + "/" + relativePath);
}

std::string scratchFolder(const std::string& name) {
  std::string root = windowsPath(std::string(TALLOWICK_BUILD_DIR) + "/test-scratch");
  CreateDirectoryA(root.c_str(), nullptr);
  std::string folder = root + "\\" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string gbkFileBytes(const std::string& path) {
  HANDLE file = CreateFileW(gbkToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty() && !ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

bool gbkFileExists(const std::string& path) {
  return GetFileAttributesW(gbkToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeGbkFile(const std::string& path) { DeleteFileW(gbkToWide(path).c_str()); }

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

std::string startStandInGame(const std::string& folder, const std::string& exeName, ChildProcess& child) {
  std::string path = scratchFolder(folder) + "\\" + exeName;
  if (!CopyFileA(builtProgram("tools/driver/driver.exe").c_str(), path.c_str(), FALSE)) return std::string();
  if (!startChild("\"" + path + "\" idle 120000", child)) return std::string();
  return path;
}

ScopedEnvironment::ScopedEnvironment(const std::string& variable, const std::string& value) : name(variable) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironmentVariableA(name.c_str(), nullptr); }
