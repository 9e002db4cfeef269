#include "windows/fakegame_process.h"

#include <windows.h>

#include <fstream>

namespace {

constexpr DWORD kGuardMs = 60000;

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

template <typename Condition>
bool waitUntil(Condition done) {
  for (DWORD waited = 0; waited < kGuardMs && !done(); waited += 10) Sleep(10);
  return done();
}

}  // namespace

std::string fakeGameExe(const std::string& build) {
  return builtProgram("tools/fakegame/builds/" + build + "/Pal5.exe");
}

bool startFakeGame(const std::string& build, const std::string& folder, const std::string& scenario,
                   ChildProcess& game) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.waiting").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do DeleteFileA((folder + "\\" + found.cFileName).c_str());
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::string scene = folder + "\\scene.txt";
  std::ofstream(scene, std::ios::binary | std::ios::trunc) << scenario;
  return startChild("\"" + fakeGameExe(build) + "\" \"" + scene + "\"", game);
}

bool waitForHold(const std::string& folder, const std::string& name) {
  std::string waiting = folder + "\\" + name + ".waiting";
  return waitUntil([&] { return fileExists(waiting); });
}

bool releaseHold(const std::string& folder, const std::string& name) {
  std::string release = folder + "\\" + name;
  std::ofstream(release, std::ios::binary).put('\n');
  return waitUntil([&] { return !fileExists(release); });
}
