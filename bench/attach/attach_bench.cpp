// What one game read and one attach cost, each as a multiple of one plain
// ReadProcessMemory of the tool's own memory measured in the same run (no
// open, no close), and as a share of the period it runs in:
//   - readInt32 and readFloat of the tool's own memory (process id -1),
//   - readInt32 and readFloat of the simulated game (open, read, close),
//   - an attach tick that finds the first build, the last build, or an
//     unknown build (one or seven executable lookups and sizes, the label's
//     text and repaint, the closing process lookup),
//   - a tick that attaches nothing (one process snapshot).
// The simulated game runs as its own process, as the real game would.
// usage: attach_bench BUILDS_FOLDER (tools/fakegame/builds of the win64 build)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../median_time.h"
#include "app/shared_state.h"
#include "attach/attach_monitor.h"
#include "attach/build_table.h"
#include "process/game_memory.h"
#include "process/process_lookup.h"
#include "ui/main_window_win.h"

namespace {

template <typename Work>
double medianUs(int tries, Work work) {
  return 1000.0 * medianMs(tries, work);
}

double gBaselineUs = 0;

void report(const char* what, double us, double periodMs) {
  std::printf("%-46s %10.1f us  %8.1fx baseline  %6.2f%% of its %g ms period\n", what, us, us / gBaselineUs,
              100.0 * us / (periodMs * 1000.0), periodMs);
}

struct Game {
  PROCESS_INFORMATION info{};
};

bool startGame(const std::string& exe, Game& game) {
  std::string command = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &game.info))
    return false;
  // Ready to be measured once the lookups see its executable.
  for (int i = 0; i < 1000 && findExecutablePath(kGameExeName).empty(); ++i) Sleep(10);
  return !findExecutablePath(kGameExeName).empty();
}

void endGame(Game& game) {
  TerminateProcess(game.info.hProcess, 0);
  WaitForSingleObject(game.info.hProcess, 10000);
  CloseHandle(game.info.hThread);
  CloseHandle(game.info.hProcess);
}

// One attach of the game with this pid, as the first tick after it was seen.
double attachUs(int32_t pid, int tries) {
  SharedState& state = sharedState();
  return medianUs(tries, [&] {
    state.attachedPid = 0;
    storeRelaxed(state.gamePid, pid);
    attachTick();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: attach_bench BUILDS_FOLDER\n");
    return 2;
  }
  const std::string builds = argv[1];
  // The real window, so that an attach repaints the status label as it would.
  if (!createMainWindow(GetModuleHandleA(nullptr), false)) {
    std::fprintf(stderr, "attach_bench: no window\n");
    return 1;
  }

  // Own memory at a 32-bit address, as game addresses are.
  int32_t own = 0;
  for (uintptr_t candidate : {0x90000000u, 0xA0000000u, 0u}) {  // 0: the system's choice (32-bit build)
    void* block = VirtualAlloc(reinterpret_cast<void*>(candidate), 0x10000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    own = static_cast<int32_t>(reinterpret_cast<uintptr_t>(block));
    if (own != 0) break;
  }
  int32_t sink = 0;
  gBaselineUs = medianUs(2001, [&] {
    int32_t value = 0;
    ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(static_cast<uint32_t>(own))),
                      &value, sizeof value, nullptr);
    sink += value;
  });

  Game game;
  if (!startGame(builds + "\\row1\\Pal5.exe", game)) {
    std::fprintf(stderr, "attach_bench: cannot start the simulated game\n");
    return 1;
  }
  const int32_t pid = static_cast<int32_t>(game.info.dwProcessId);
  const int32_t list = kBuildTable[0].profile.dialogueListAddr;
  for (int i = 0; i < 1000 && readInt32(pid, list) <= 0; ++i) Sleep(10);  // until it is laid out
  if (readInt32(pid, list) <= 0) {
    std::fprintf(stderr, "attach_bench: the simulated game cannot be read\n");
    endGame(game);
    return 1;
  }
  double ownInt = medianUs(2001, [&] { sink += readInt32(kOwnProcess, own); });
  double ownFloat = medianUs(2001, [&] { sink += static_cast<int32_t>(readFloat(kOwnProcess, own)); });
  double gameInt = medianUs(501, [&] { sink += readInt32(pid, list + 8); });
  double gameFloat = medianUs(501, [&] { sink += static_cast<int32_t>(readFloat(pid, list + 8)); });
  double firstBuild = attachUs(pid, 11);
  SharedState& state = sharedState();
  double idle = medianUs(21, [&] { attachTick(); });  // attached, nothing to do but the lookup
  bool firstRight = state.dialogueListAddr == kBuildTable[0].profile.dialogueListAddr;
  endGame(game);

  if (!startGame(builds + "\\row7\\Pal5.exe", game)) return 1;
  double lastBuild = attachUs(static_cast<int32_t>(game.info.dwProcessId), 11);
  bool lastRight = state.dialogueListAddr == kBuildTable[6].profile.dialogueListAddr;
  endGame(game);

  if (!startGame(builds + "\\unknown\\Pal5.exe", game)) return 1;
  double unknown = attachUs(static_cast<int32_t>(game.info.dwProcessId), 11);
  bool unknownRight = state.dialogueListAddr == 0;
  endGame(game);

  std::printf("attach_bench: under this run's system; baseline = one ReadProcessMemory of the tool's own memory\n");
  std::printf("%-46s %10.1f us\n", "baseline", gBaselineUs);
  report("readInt32, own process (-1)", ownInt, 50);
  report("readFloat, own process (-1)", ownFloat, 50);
  report("readInt32, the game (open, read, close)", gameInt, 50);
  report("readFloat, the game (open, read, close)", gameFloat, 50);
  report("attach tick, first build (1 lookup)", firstBuild, 2000);
  report("attach tick, last build (7 lookups)", lastBuild, 2000);
  report("attach tick, unknown build (7 lookups)", unknown, 2000);
  report("attach tick with nothing to do (1 snapshot)", idle, 2000);
  if (!firstRight || !lastRight || !unknownRight) {
    std::fprintf(stderr, "attach_bench: an attach chose the wrong build\n");
    return 1;
  }
  return sink == 12345 ? 3 : 0;  // keeps the reads from being optimised away
}
