// Starting the simulated game (tools/fakegame) from a Windows test, stepping it
// through its holds, and ending it by its own handle.
#pragma once

#include <windows.h>

#include <string>

struct FakeGameProcess {
  PROCESS_INFORMATION info{};
  std::string folder;  // holds scene.txt and the hold files, with a trailing slash
};

// The padded copy for a build row ("row1" ... "row7", "unknown") or the plain
// exe ("plain").
std::string fakeGameExe(const std::string& build);

// Writes `scenario` to scene.txt in a fresh folder named `name` under the build
// tree and starts the game on it. `extraArguments` go before the scenario.
bool startFakeGame(FakeGameProcess& game, const std::string& build, const std::string& name,
                   const std::string& scenario, const std::string& extraArguments = "");

// Waits (up to a minute, a guard against hangs only) until the game waits at
// `hold NAME`: every line before it has been played.
bool waitForHold(const FakeGameProcess& game, const std::string& name);

// Lets the game go on past `hold NAME` and waits until it has taken the release.
bool releaseHold(const FakeGameProcess& game, const std::string& name);

// Ends the game (if it still runs) and waits until it has gone; idempotent.
void endFakeGame(FakeGameProcess& game);

// Waits for the game to end by itself; its exit code, or -1 on time-out.
int waitForFakeGameExit(FakeGameProcess& game);

// The folder of test files under the build tree (with a trailing slash).
std::string testScratchFolder(const std::string& name);
