#include "fakegame_process.h"

#include <cstdio>

namespace {

constexpr DWORD kGuardMs = 60000;

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Polls until `done` holds or the guard runs out (only a guard: the tests'
// verdicts never depend on how long this took).
template <typename Condition>
bool waitUntil(Condition done) {
  for (DWORD waited = 0; waited < kGuardMs; waited += 10) {
    if (done()) return true;
    Sleep(10);
  }
  return done();
}

}  // namespace

std::string testScratchFolder(const std::string& name) {
  std::string folder = std::string(TALLOWICK_BUILD_DIR) + "\\test-scratch\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  folder += name + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  // Empty, so that no hold file of an earlier run can be taken for this one's.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return folder;
}

std::string fakeGameExe(const std::string& build) {
  std::string folder = std::string(TALLOWICK_BUILD_DIR) + "\\tools\\fakegame\\";
  return build == "plain" ? folder + "Pal5.exe" : folder + "builds\\" + build + "\\Pal5.exe";
}

bool startFakeGame(FakeGameProcess& game, const std::string& build, const std::string& name,
                   const std::string& scenario, const std::string& extraArguments) {
  game.folder = testScratchFolder(name);
  std::string scene = game.folder + "scene.txt";
  FILE* file = std::fopen(scene.c_str(), "wb");
  if (file == nullptr) return false;
  std::fwrite(scenario.data(), 1, scenario.size(), file);
  std::fclose(file);

  std::string commandLine = "\"" + fakeGameExe(build) + "\" " + extraArguments + " \"" + scene + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &game.info) != 0;
}

bool waitForHold(const FakeGameProcess& game, const std::string& name) {
  std::string waiting = game.folder + name + ".waiting";
  return waitUntil([&] { return fileExists(waiting); });
}

bool releaseHold(const FakeGameProcess& game, const std::string& name) {
  std::string release = game.folder + name;
  FILE* file = std::fopen(release.c_str(), "wb");
  if (file == nullptr) return false;
  std::fclose(file);
  return waitUntil([&] { return !fileExists(release); });
}

void endFakeGame(FakeGameProcess& game) {
  if (game.info.hProcess == nullptr) return;
  if (WaitForSingleObject(game.info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(game.info.hProcess, 1);
  WaitForSingleObject(game.info.hProcess, kGuardMs);
  CloseHandle(game.info.hThread);
  CloseHandle(game.info.hProcess);
  game.info = PROCESS_INFORMATION{};
}

int waitForFakeGameExit(FakeGameProcess& game) {
  if (WaitForSingleObject(game.info.hProcess, kGuardMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(game.info.hProcess, &code);
  return static_cast<int>(code);
}
