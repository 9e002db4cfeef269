// findProcessId and findExecutablePath against real running processes: copies
// of the test driver idling under the game's executable name.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "process/process_lookup.h"
#include "windows/child_process.h"

namespace {

// Waits until the process shows in a snapshot (it may take a moment to start).
bool appearsInSnapshot(DWORD processId) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
      found = entry.th32ProcessID == processId;
    }
    CloseHandle(snapshot);
    if (found) return true;
    Sleep(50);
  }
  return false;
}

// The first process named like `exeName` (any ASCII case) in a fresh snapshot.
DWORD firstInSnapshot(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  DWORD first = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && first == 0; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, exeName) == 0) first = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return first;
}

TEST(ProcessLookup, UpperCaseNameMatchesAndGivesItsExecutablePath) {
  ChildProcess game;
  ChildGuard guard{game};
  std::string path = startStandInGame("upper-case", "PAL5.EXE", game);
  ASSERT_FALSE(path.empty());
  ASSERT_TRUE(appearsInSnapshot(game.processId));

  EXPECT_EQ(findProcessId("Pal5.exe"), static_cast<int32_t>(game.processId));
  EXPECT_EQ(lstrcmpiA(findExecutablePath("Pal5.exe").c_str(), path.c_str()), 0) << findExecutablePath("Pal5.exe");
  EXPECT_EQ(findExecutablePath("Pal5.exe", true), "");  // exact case does not match capitals
}

TEST(ProcessLookup, OfTwoMatchingProcessesTheFirstInTheSnapshotIsChosen) {
  ChildProcess one, two;
  ChildGuard guardOne{one};
  ChildGuard guardTwo{two};
  std::string pathOne = startStandInGame("first", "Pal5.exe", one);
  std::string pathTwo = startStandInGame("second", "Pal5.exe", two);
  ASSERT_FALSE(pathOne.empty());
  ASSERT_FALSE(pathTwo.empty());
  ASSERT_TRUE(appearsInSnapshot(one.processId));
  ASSERT_TRUE(appearsInSnapshot(two.processId));

  DWORD first = firstInSnapshot("Pal5.exe");
  ASSERT_TRUE(first == one.processId || first == two.processId);
  EXPECT_EQ(findProcessId("Pal5.exe"), static_cast<int32_t>(first));
  const std::string& firstPath = first == one.processId ? pathOne : pathTwo;
  EXPECT_EQ(lstrcmpiA(findExecutablePath("Pal5.exe").c_str(), firstPath.c_str()), 0);
}

// A game installed in a folder whose name GBK cannot hold (Korean here): its
// path is still found, in a form that names the same file, so its build can
// be told by its size.
TEST(ProcessLookup, GameInAFolderGbkCannotNameIsStillMeasured) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::wstring directory;
  for (const char* c = base; *c; ++c) directory += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  directory += L"\uD55C\uAE00-" + std::to_wstring(GetCurrentProcessId());  // 한글
  CreateDirectoryW(directory.c_str(), nullptr);
  const std::wstring exePath = directory + L"\\Pal5.exe";
  const std::string driver = builtProgram("tools/driver/driver.exe");
  ASSERT_TRUE(CopyFileW(std::wstring(driver.begin(), driver.end()).c_str(), exePath.c_str(), FALSE));

  std::wstring commandLine = L"\"" + exePath + L"\" idle 120000";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  CloseHandle(info.hThread);
  ChildProcess game{info.hProcess, info.dwProcessId};
  ChildGuard guard{game};
  ASSERT_TRUE(appearsInSnapshot(game.processId));

  const std::string path = findExecutablePath("Pal5.exe");
  ASSERT_FALSE(path.empty());
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(exePath.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(executableFileSize(path), static_cast<int32_t>(data.nFileSizeLow)) << path;

  endChild(game);
  DeleteFileW(exePath.c_str());
  RemoveDirectoryW(directory.c_str());
}

TEST(ProcessLookup, NoMatchGivesZeroAndEmptyTextWithoutAMessage) {
  // Returning at all shows no message box was waiting for an answer.
  EXPECT_EQ(findProcessId("NoSuchGame.exe"), 0);
  EXPECT_EQ(findExecutablePath("NoSuchGame.exe"), "");
  // (An empty name is no "no match" case: a process listed without a name
  // rightly equals it, and Wine was seen to list one now and then.)
}

}  // namespace
