// What one capture tick costs, against the 50 ms between ticks: the simulated
// game runs as its own process (so every read crosses processes as with the
// real game), the line table has 100,000 records and the character table 200
// entries. Measured in one run:
//   - a tick with no new line (the tracker's reads and the rescan check),
//   - a tick that records a line found at the line table's current record,
//   - a tick whose line is missing from the table (two whole-table searches),
//     both writing the line into a recording file of their own (a file the
//     line is already in with the same texts would not be touched at all),
//   - a speaker scan of the 200 entries (1,201 reads; it runs on a worker),
// each the median of several tries, printed with its share of the tick.
// usage: capture_bench PAL5_EXE (the simulated game padded as the first build)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../median_time.h"
#include "app/shared_state.h"
#include "app/texts.h"
#include "attach/build_table.h"
#include "capture/capture_handlers.h"
#include "capture/speaker_scan.h"
#include "lookup/lookup_table.h"
#include "platform/gbk_wide_win.h"
#include "process/game_memory.h"
#include "tabletool/tabletool.h"

namespace {

constexpr double kTickMs = 50.0;
constexpr int kLineRecords = 100000;
constexpr int kCharacters = 200;
constexpr int32_t kMissingLine = 300000;

// Also in game reads measured in the same run, a figure that the load of a
// shared machine moves less than the time itself.
void report(const char* what, double ms, double readMs) {
  std::printf("%-52s %9.3f ms  %7.1f%% of the 50 ms tick  %7.0f reads\n", what, ms, 100.0 * ms / kTickMs,
              ms / readMs);
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Steps the game's scenario: waits for it at hold `name`, then lets it go on.
bool waitAtHold(const std::string& folder, const std::string& name) {
  for (int i = 0; i < 3000 && !fileExists(folder + "\\" + name + ".waiting"); ++i) Sleep(10);
  return fileExists(folder + "\\" + name + ".waiting");
}
void releaseHold(const std::string& folder, const std::string& name) {
  // Renamed into place, so the game never finds it still open here.
  std::ofstream(folder + "\\" + name + ".new").put('\n');
  MoveFileA((folder + "\\" + name + ".new").c_str(), (folder + "\\" + name).c_str());
  for (int i = 0; i < 3000 && fileExists(folder + "\\" + name); ++i) Sleep(10);
}

bool buildTables(const std::string& folder) {
  std::ofstream lines(folder + "\\lines.tsv", std::ios::binary | std::ios::trunc);
  for (int i = 0; i < kLineRecords; ++i) lines << 50001 + i << "\tline " << 50001 + i << "\n";
  lines.close();
  std::ofstream names(folder + "\\names.tsv", std::ios::binary | std::ios::trunc);
  for (int i = 1; i <= 400; ++i) names << i << "\tname " << i << "\n";
  names.close();
  std::string out, err;
  if (runTabletool({"build", folder + "\\" + kLineTableFile, folder + "\\lines.tsv"}, out, err) != 0 ||
      runTabletool({"build", folder + "\\" + kNameTableFile, folder + "\\names.tsv"}, out, err) != 0) {
    std::fprintf(stderr, "capture_bench: %s", err.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: capture_bench PAL5_EXE\n");
    return 2;
  }
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "tallowick-capture-bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  if (!buildTables(folder)) return 1;

  // The game: 200 characters, one line from the middle of the table on screen,
  // then one the table does not hold.
  std::ofstream scenario(folder + "\\bench.txt", std::ios::binary | std::ios::trunc);
  scenario << "roster";
  for (int i = 1; i <= kCharacters; ++i) scenario << " " << 100 + i << " " << i;
  scenario << "\nscene 1\nconversation 1\nsay " << 50001 + kLineRecords / 2 << " 7\nhold missing\n"
           << "say " << kMissingLine << " 8\nhold end\nexit\n";
  scenario.close();
  std::string command = std::string("\"") + argv[1] + "\" \"" + folder + "\\bench.txt\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION game{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &game)) {
    std::fprintf(stderr, "capture_bench: cannot start %s\n", argv[1]);
    return 1;
  }
  CloseHandle(game.hThread);
  int status = 1;
  if (waitAtHold(folder, "missing")) {
    SharedState& state = sharedState();
    applyBuildProfile(state, kBuildTable[0].profile);
    storeRelaxed(state.gamePid, static_cast<int32_t>(game.dwProcessId));
    openTable(folder + "\\" + kLineTableFile, "a");
    openTable(folder + "\\" + kNameTableFile, "b");
    state.recordingIniPath = folder + "\\bench0" + kRecordingSuffix;
    DeleteFileW(gbkToWide(state.recordingIniPath).c_str());
    const int32_t pid = loadRelaxed(state.gamePid);

    double read = medianMs(201, [&] { readInt32(pid, state.sceneWatchAddr); });
    double scan = medianMs(5, [] { scanSpeakerTable(); });
    state.sceneWatchValue = readInt32(pid, state.sceneWatchAddr);
    storeRelaxed(state.rosterCountSeen, readInt32(pid, loadRelaxed(state.rosterCountAddr)));
    state.lastLineId = -1;
    trackerTick();  // records the line on screen; the table stands at its record now
    double idle = medianMs(51, [] { trackerTick(); });
    int recordings = 0;
    // The same line counts as new again (found at the current record), and
    // goes into a file of its own so that it is really written.
    auto recordAgain = [&] {
      state.lastLineId = -1;
      state.recordingIniPath = folder + "\\bench" + std::to_string(++recordings) + kRecordingSuffix;
      trackerTick();
    };
    double nearby = medianMs(51, recordAgain);
    releaseHold(folder, "missing");
    waitAtHold(folder, "end");
    double missing = medianMs(11, recordAgain);
    for (int i = 0; i <= recordings; ++i) {
      DeleteFileW(gbkToWide(folder + "\\bench" + std::to_string(i) + kRecordingSuffix).c_str());
    }

    std::printf("capture_bench: the simulated game as its own process, %d-record line table, %d characters\n",
                kLineRecords, kCharacters);
    report("one game read (open, read, close)", read, read);
    report("tick, no new line", idle, read);
    report("tick recording a line found at the current record", nearby, read);
    report("tick recording a line missing from the table", missing, read);
    report("speaker scan of 200 entries (on its worker)", scan, read);
    status = state.currentLineId == kMissingLine ? 0 : 1;
    closeAllTables();
    releaseHold(folder, "end");
  }
  if (WaitForSingleObject(game.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(game.hProcess, 1);
  CloseHandle(game.hProcess);
  return status;
}
