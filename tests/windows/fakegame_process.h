// The simulated game (tools/fakegame) in a Windows test: started on a scenario,
// stepped through the scenario's holds, ended like any child (child_process.h).
#pragma once

#include <string>

#include "windows/child_process.h"

// The padded copy for a build row ("row1" ... "row7") or of an unknown size
// ("unknown").
std::string fakeGameExe(const std::string& build);

// Writes `scenario` to scene.txt in `folder` and starts that copy of the game
// on it. Hold markers an earlier run left in the folder are removed first, so
// that none is taken for this run's.
bool startFakeGame(const std::string& build, const std::string& folder, const std::string& scenario,
                   ChildProcess& game);

// Waits until the game waits at `hold NAME`, that is, until every line before
// it has been played. The wait is bounded only as a guard against hangs.
bool waitForHold(const std::string& folder, const std::string& name);

// Lets the game go on past `hold NAME` and waits until it has taken the release.
bool releaseHold(const std::string& folder, const std::string& name);
