// The attach monitor against scripted processes, file sizes and controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shared_state.h"
#include "app/texts.h"
#include "attach/attach_monitor.h"
#include "attach/build_table.h"
#include "fakes/fakes.h"

namespace {

const char kGamePath[] = "C:\\Games\\Pal5\\Pal5.exe";

std::string statusEntry(const char* text) { return std::string("status ") + text; }
std::string colourEntry(uint32_t colour) { return "colour " + std::to_string(colour); }

class AttachMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSharedState();
    resetFakeControls();
    resetFakeSystem();
  }

  // The game process as the snapshot shows it, with its executable's size.
  void runGame(int32_t pid, int32_t exeFileSize, const std::string& path = kGamePath) {
    fakeSystem().processes.push_back({"Pal5.exe", pid, path});
    fakeSystem().fileSizes[path] = exeFileSize;
  }
  void endGames() { fakeSystem().processes.clear(); }

  // As the window-created handler leaves things for the game already running.
  void seeGame(int32_t pid) { storeRelaxed(sharedState().gamePid, pid); }

  // Disables 按钮1 and clears the log, as the window-created handler leaves it.
  void startWindow() {
    fakeControls().enabled[ControlId::按钮1] = false;
    fakeControls().log.clear();
  }

  static std::vector<std::string>& log() { return fakeControls().log; }
};

struct KnownBuild {
  int32_t exeFileSize;
  const char* statusText;
  BuildProfile profile;
  int rowsCompared;
};

// Typed out here apart from the product's table, so a slip in either shows.
const KnownBuild kKnownBuilds[] = {
    {17010688, kBuild100, {0x9B81EC, 0x9385A0, 0x9B90BC, 0x9384A0, 0x938494, 0x4E0}, 1},
    {16977920, kBuild101, {0xA7128C, 0x9305A0, 0x930FEC, 0x9304A0, 0x930494, 0x500}, 2},
    {17002496, kBuild102, {0xA722AC, 0x9315C0, 0x93200C, 0x9314C0, 0x9314B4, 0x500}, 3},
    {17272832, kBuild103, {0xA7428C, 0x9335A4, 0x933FEC, 0x9334A0, 0x933494, 0x500}, 4},
    {17293312, kBuild104, {0xA752CC, 0x9345E4, 0x93502C, 0x9344A0, 0x934494, 0x508}, 5},
    // The last two share every address and differ only in the label's text.
    {17285120, kBuild105, {0xA762CC, 0x9355E4, 0x93602C, 0x93549C, 0x935490, 0x508}, 6},
    {17305600, kBuild106, {0xA762CC, 0x9355E4, 0x93602C, 0x93549C, 0x935490, 0x508}, 7},
};

void expectProfile(const BuildProfile& expected, const std::string& label) {
  BuildProfile actual = currentBuildProfile(sharedState());
  EXPECT_EQ(actual.dialogueListAddr, expected.dialogueListAddr) << label;
  EXPECT_EQ(actual.conversationAddr, expected.conversationAddr) << label;
  EXPECT_EQ(actual.sceneWatchAddr, expected.sceneWatchAddr) << label;
  EXPECT_EQ(actual.rosterCountAddr, expected.rosterCountAddr) << label;
  EXPECT_EQ(actual.rosterTableAddr, expected.rosterTableAddr) << label;
  EXPECT_EQ(actual.rosterEntryOffset, expected.rosterEntryOffset) << label;
}

TEST_F(AttachMonitor, EachKnownSizeSelectsItsRowAndShowsItsText) {
  for (const KnownBuild& build : kKnownBuilds) {
    SetUp();
    std::string label = "size " + std::to_string(build.exeFileSize);
    runGame(4242, build.exeFileSize);
    seeGame(4242);
    startWindow();

    attachTick();

    expectProfile(build.profile, label);
    EXPECT_EQ(sharedState().attachedPid, 4242) << label;
    // A known build leaves the label's colour alone.
    EXPECT_EQ(log(), (std::vector<std::string>{statusEntry(build.statusText), "enable"})) << label;
    EXPECT_TRUE(fakeControls().enabled[ControlId::按钮1]) << label;
    // The executable is looked up and measured afresh for each row compared.
    EXPECT_EQ(fakeSystem().findExecutablePathCalls, build.rowsCompared) << label;
    EXPECT_EQ(fakeSystem().fileSizeCalls, build.rowsCompared) << label;
  }
}

TEST_F(AttachMonitor, UnknownBuildIsRedZeroesTheAddressesAndKeepsTheEntryOffset) {
  struct UnknownCase {
    const char* label;
    std::string path;
    bool fileExists;
    int32_t size;
  };
  const UnknownCase cases[] = {
      {"size of no build", kGamePath, true, 17010689},
      {"file missing", kGamePath, false, 0},
      {"module path unreadable", "", false, 0},
  };
  for (const UnknownCase& c : cases) {
    SetUp();
    fakeSystem().processes.push_back({"Pal5.exe", 77, c.path});
    if (c.fileExists) fakeSystem().fileSizes[c.path] = c.size;
    seeGame(77);
    // What an earlier attach of a known build left behind.
    applyBuildProfile(sharedState(), kKnownBuilds[4].profile);
    startWindow();

    attachTick();

    expectProfile({0, 0, 0, 0, 0, 0x508}, c.label);
    EXPECT_EQ(log(), (std::vector<std::string>{colourEntry(255), statusEntry(kUnknownBuild), "enable"}))
        << c.label;
    EXPECT_EQ(fakeSystem().findExecutablePathCalls, 7) << c.label;
    EXPECT_EQ(sharedState().attachedPid, 77) << c.label;
  }
}

TEST_F(AttachMonitor, GameStartingLaterIsAttachedOnTheTickAfterItIsSeen) {
  startWindow();
  attachTick();  // no game: nothing to do
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(loadRelaxed(sharedState().gamePid), 0);

  runGame(500, 17002496);
  attachTick();  // sees the game, attaches nothing yet
  EXPECT_EQ(loadRelaxed(sharedState().gamePid), 500);
  EXPECT_EQ(sharedState().attachedPid, 0);
  EXPECT_TRUE(log().empty());

  attachTick();
  EXPECT_EQ(sharedState().attachedPid, 500);
  EXPECT_EQ(fakeControls().statusText, kBuild102);
  EXPECT_TRUE(fakeControls().enabled[ControlId::按钮1]);
}

TEST_F(AttachMonitor, GameGoneAndBack) {
  runGame(500, 17002496);
  seeGame(500);
  startWindow();
  attachTick();
  ASSERT_EQ(fakeControls().statusText, kBuild102);

  endGames();
  attachTick();  // misses the game: reported on the next tick
  EXPECT_EQ(fakeControls().statusText, kBuild102);
  EXPECT_EQ(loadRelaxed(sharedState().gamePid), 0);
  log().clear();
  attachTick();
  EXPECT_EQ(log(), (std::vector<std::string>{colourEntry(0xFF8800), statusEntry(kGameNotRunning)}));
  EXPECT_EQ(sharedState().attachedPid, 0);
  // The gone game's profile and the enabled button stay.
  expectProfile(kKnownBuilds[2].profile, "after the game went");
  EXPECT_TRUE(fakeControls().enabled[ControlId::按钮1]);

  log().clear();
  attachTick();  // detached and still no game: nothing more is written
  EXPECT_TRUE(log().empty());

  // Back as another build: its text is shown in the colour the label has now.
  runGame(900, 17305600);
  attachTick();
  attachTick();
  EXPECT_EQ(log(), (std::vector<std::string>{statusEntry(kBuild106), "enable"}));
  EXPECT_EQ(fakeControls().statusColour, 0xFF8800u);
  EXPECT_EQ(sharedState().attachedPid, 900);
  expectProfile(kKnownBuilds[6].profile, "after the game came back");
}

TEST_F(AttachMonitor, GoneGameLeavesALabelThatAlreadySaysNotRunningAlone) {
  sharedState().attachedPid = 31;
  fakeControls().statusText = kGameNotRunning;
  fakeControls().statusColour = 255;
  startWindow();

  attachTick();

  EXPECT_TRUE(log().empty());
  EXPECT_EQ(fakeControls().statusColour, 255u);
  EXPECT_EQ(sharedState().attachedPid, 0);
}

TEST_F(AttachMonitor, TwoGameProcessesUseTheFirstInSnapshotOrder) {
  runGame(61, 16977920, "C:\\A\\Pal5.exe");
  runGame(62, 17010688, "C:\\B\\PAL5.EXE");
  startWindow();
  attachTick();
  attachTick();
  EXPECT_EQ(sharedState().attachedPid, 61);
  EXPECT_EQ(fakeControls().statusText, kBuild101);
  expectProfile(kKnownBuilds[1].profile, "first process");
}

TEST_F(AttachMonitor, ProfileIsChosenOncePerAttach) {
  runGame(500, 17002496);
  seeGame(500);
  startWindow();
  attachTick();
  int lookups = fakeSystem().findExecutablePathCalls;

  // The executable is replaced, and the game process replaced between two
  // ticks: neither is noticed until the game has been seen gone.
  fakeSystem().fileSizes[kGamePath] = 17010688;
  fakeSystem().processes[0].pid = 501;
  attachTick();
  attachTick();
  EXPECT_EQ(fakeSystem().findExecutablePathCalls, lookups);
  EXPECT_EQ(fakeControls().statusText, kBuild102);
  expectProfile(kKnownBuilds[2].profile, "while attached");
  EXPECT_EQ(sharedState().attachedPid, 500);
  EXPECT_EQ(loadRelaxed(sharedState().gamePid), 501);
}

TEST_F(AttachMonitor, TickRunningInsideTheLookupDoesNotAttachAgain) {
  runGame(500, 17305600);
  seeGame(500);
  startWindow();
  // Each lookup lets one more tick through, as the lookup's message box would
  // (capped, so a monitor that attaches again fails instead of recursing).
  int nestedTicks = 0;
  fakeSystem().duringFindExecutablePath = [&nestedTicks] {
    if (++nestedTicks <= 20) attachTick();
  };

  attachTick();

  EXPECT_EQ(nestedTicks, 7);
  EXPECT_EQ(fakeSystem().findExecutablePathCalls, 7);  // the outer tick's rows only
  EXPECT_EQ(log(), (std::vector<std::string>{statusEntry(kBuild106), "enable"}));
  EXPECT_EQ(sharedState().attachedPid, 500);
}

}  // namespace
