// The speaker map: the scan of the game's character table, the end-of-tick
// check that starts a rebuild on a worker, and what happens to a worker that a
// newer scan has superseded.
#include "capture/speaker_scan.h"

#include <thread>

#include "capture_fixture.h"

namespace {

using namespace capture_fixture;

// A worker start that runs nothing yet: the test runs the scan when it wants.
struct HeldWorker {
  int starts = 0;
  void (*entry)(void*) = nullptr;
  void* argument = nullptr;
};
HeldWorker theHeldWorker;

bool holdWorker(WorkerThread&, void (*entry)(void*), void* argument) {
  ++theHeldWorker.starts;
  theHeldWorker.entry = entry;
  theHeldWorker.argument = argument;
  return true;
}
void runHeldWorker() {
  ASSERT_NE(theHeldWorker.entry, nullptr);
  auto entry = theHeldWorker.entry;
  theHeldWorker.entry = nullptr;
  entry(theHeldWorker.argument);
}
bool failToStartWorker(WorkerThread&, void (*)(void*), void*) { return false; }

class SpeakerScanTest : public CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    theHeldWorker = HeldWorker();
  }
  int32_t mapEntry(int32_t slot) { return loadRelaxed(sharedState().speakerMap[slot]); }
  int32_t filledEntries() {
    int32_t filled = 0;
    for (int32_t slot = 1; slot <= kSpeakerSlotCount; ++slot) filled += mapEntry(slot) != 0;
    return filled;
  }
};

TEST_F(SpeakerScanTest, FillsTheMapWithSixReadsPerEntryTheLaterDuplicateWinning) {
  setCharacters({{5, 100}, {2, 200}, {5, 300}});
  storeRelaxed(sharedState().speakerMap[7], 77);  // from an earlier scan: cleared
  sharedState().scanRunning = 1;
  fakeGameMemory().reads.clear();
  scanSpeakerTable();
  EXPECT_EQ(mapEntry(2), 200);
  EXPECT_EQ(mapEntry(5), 300);
  EXPECT_EQ(filledEntries(), 2);
  EXPECT_EQ(sharedState().scanRunning, 0);
  std::vector<FakeRead> expected = {{kRosterCount, 4}};
  for (uint32_t i = 1; i <= 3; ++i) {
    uint32_t entry = rosterEntry(static_cast<int>(i));
    std::vector<FakeRead> pass = {{kRosterTable, 4}, {kRosterPointers + 4 * i - 4, 4}, {entry + 12, 4},
                                  {kRosterTable, 4}, {kRosterPointers + 4 * i - 4, 4}, {entry + 8, 4}};
    expected.insert(expected.end(), pass.begin(), pass.end());
  }
  EXPECT_EQ(describeReads(fakeGameMemory().reads), describeReads(expected));
}

TEST_F(SpeakerScanTest, ASlotOutsideTheMapEndsTheScanAndMarksItStale) {
  const struct {
    int32_t slot;
    bool endsScan;
  } cases[] = {{9999, false}, {1, false}, {0, true}, {10000, true}, {-1, true}};
  for (const auto& c : cases) {
    SetUp();
    setCharacters({{3, 30}, {c.slot, 40}, {4, 50}});
    storeRelaxed(sharedState().rosterCountSeen, 3);
    scanSpeakerTable();
    EXPECT_EQ(mapEntry(3), 30) << c.slot;
    if (c.endsScan) {
      EXPECT_EQ(filledEntries(), 1) << c.slot;
      EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), -1) << c.slot;
    } else {
      EXPECT_EQ(mapEntry(c.slot), 40) << c.slot;
      EXPECT_EQ(mapEntry(4), 50) << c.slot;
      EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), 3) << c.slot;
    }
    EXPECT_EQ(sharedState().scanRunning, 0) << c.slot;
  }
}

TEST_F(SpeakerScanTest, FailedReadsEndTheScanOrMakeNoPass) {
  // An entry whose address cannot be read: its slot reads -1 and ends the scan.
  setCharacters({{3, 30}, {4, 40}});
  unmapBytes(kRosterPointers + 4, 4);
  scanSpeakerTable();
  EXPECT_EQ(mapEntry(3), 30);
  EXPECT_EQ(mapEntry(4), 0);
  EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), -1);

  // No game: the count reads -1, no pass, the map is left all 0.
  fakeGameMemory().pid = 0;
  fakeGameMemory().reads.clear();
  scanSpeakerTable();
  EXPECT_EQ(filledEntries(), 0);
  EXPECT_EQ(fakeGameMemory().reads.size(), 1u);
}

// The scene value and the character count as of the last scan.
void noteGameAsScanned() {
  SharedState& state = sharedState();
  state.sceneWatchValue = 1;
  storeRelaxed(state.rosterCountSeen, 2);
}

TEST_F(SpeakerScanTest, SceneChangeStartsTheRebuildInTheSameTick) {
  noteGameAsScanned();
  setScanThreadStarter(holdWorker);
  checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 0);  // nothing changed

  pokeInt32(kSceneWatch, 2);
  setCharacters({{7, 70}, {8, 80}});  // same count, other slots
  fakeGameMemory().reads.clear();
  checkRescan();
  EXPECT_EQ(describeReads(fakeGameMemory().reads),
            describeReads({{kSceneWatch, 4}, {kSceneWatch, 4}, {kRosterCount, 4}, {kRosterCount, 4}}));
  EXPECT_EQ(theHeldWorker.starts, 1);
  EXPECT_EQ(sharedState().scanRunning, 1);
  EXPECT_EQ(sharedState().sceneWatchValue, 2);
  EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), 2);
  runHeldWorker();
  EXPECT_EQ(mapEntry(7), 70);
  EXPECT_EQ(mapEntry(1), 0);
  EXPECT_EQ(sharedState().scanRunning, 0);
}

TEST_F(SpeakerScanTest, ChangeDuringAScanIsCaughtAfterItEnds) {
  noteGameAsScanned();
  setScanThreadStarter(holdWorker);
  setCharacters({{1, 11}, {2, 12}, {3, 13}});
  checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 1);

  setCharacters({{1, 11}, {2, 12}, {3, 13}, {4, 14}});  // moves on while the worker runs
  checkRescan();
  checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 1);  // one worker at a time

  runHeldWorker();  // scans the 4 entries there are now, but was started for 3
  checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 2);
  EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), 4);
}

TEST_F(SpeakerScanTest, NoScanWhileTheGameIsGoneAndTheMapIsKept) {
  noteGameAsScanned();
  scanSpeakerTable();
  setScanThreadStarter(holdWorker);
  fakeGameMemory().pid = 0;  // the game exits
  for (int tick = 0; tick < 3; ++tick) checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 0);
  EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), -1);
  EXPECT_EQ(mapEntry(1), 11);

  fakeGameMemory().pid = kPid;  // back: the stale mark starts a scan
  checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 1);
}

TEST_F(SpeakerScanTest, AWorkerThatCannotBeStartedLeavesNoScanRunning) {
  noteGameAsScanned();
  pokeInt32(kSceneWatch, 2);
  setScanThreadStarter(failToStartWorker);
  checkRescan();
  EXPECT_EQ(sharedState().scanRunning, 0);

  setScanThreadStarter(holdWorker);  // a later tick tries again
  checkRescan();
  EXPECT_EQ(theHeldWorker.starts, 1);
}

// Started as the worker reaches its second pass, a newer scan makes it stop
// before its next read and write nothing more.
void startNewerScanAtSecondPass(uint32_t address) {
  if (address == rosterEntry(2) + 12) sharedState().scanGeneration.fetch_add(1);
}

TEST_F(SpeakerScanTest, ASupersededWorkerStopsAtItsNextReadAndWritesNothing) {
  noteGameAsScanned();
  setCharacters({{1, 11}, {2, 12}, {3, 13}});
  setScanThreadStarter(holdWorker);
  checkRescan();
  fakeGameMemory().reads.clear();
  fakeGameMemory().beforeRead = startNewerScanAtSecondPass;
  storeRelaxed(sharedState().rosterCountSeen, 3);
  runHeldWorker();
  fakeGameMemory().beforeRead = nullptr;

  EXPECT_EQ(mapEntry(1), 11);
  EXPECT_EQ(mapEntry(2), 0);
  EXPECT_EQ(fakeGameMemory().reads.back().address, rosterEntry(2) + 12);
  EXPECT_EQ(fakeGameMemory().reads.size(), 1u + 6u + 3u);
  // The flag and the count belong to the newer scan now.
  EXPECT_EQ(sharedState().scanRunning, 1);
  EXPECT_EQ(loadRelaxed(sharedState().rosterCountSeen), 3);
}

TEST_F(SpeakerScanTest, RecordingStartScanSupersedesARunningWorker) {
  noteGameAsScanned();
  pokeInt32(kSceneWatch, 2);
  setScanThreadStarter(holdWorker);
  checkRescan();
  scanSpeakerTable();  // the direct scan: fills the map, clears the flag
  EXPECT_EQ(sharedState().scanRunning, 0);
  setCharacters({{9, 99}});
  runHeldWorker();  // too late: it changes nothing
  EXPECT_EQ(mapEntry(1), 11);
  EXPECT_EQ(mapEntry(9), 0);
}

TEST_F(SpeakerScanTest, RealWorkerRebuildsTheMapAndItsHandleIsReleased) {
  noteGameAsScanned();
  pokeInt32(kSceneWatch, 2);
  setCharacters({{6, 66}});
  checkRescan();
  ASSERT_NE(sharedState().scanThread.record, nullptr);
  while (!workerThreadHasEnded(sharedState().scanThread)) std::this_thread::yield();
  EXPECT_EQ(mapEntry(6), 66);
  EXPECT_EQ(sharedState().scanRunning, 0);
  checkRescan();  // nothing to scan; the ended worker's handle is closed
  EXPECT_EQ(sharedState().scanThread.record, nullptr);
}

}  // namespace
