// Starting and stopping a recording with 按钮1, and 按钮2 blanking the line
// recorded last.
#include "capture/recording_control.h"

#include "capture/capture_handlers.h"
#include "capture_fixture.h"

namespace {

using namespace capture_fixture;

std::string caption() { return fakeControls().texts[ControlId::按钮1]; }
int32_t captureTimer() { return fakeControls().timerPeriods[ControlId::时钟1]; }
std::string readOut() { return fakeControls().texts[ControlId::编辑框2]; }

bool heldWorkerStarted = false;
bool holdWorker(WorkerThread&, void (*)(void*), void*) { return heldWorkerStarted = true; }

class RecordingControlTest : public CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    heldWorkerStarted = false;
    fakeControls().texts[ControlId::编辑框1] = "run";
  }
  // A tick with line `lineNumber` spoken by slot 1 on screen.
  void tickShowing(float lineNumber) {
    showLine({0, lineNumber, 1.0f});
    trackerTick();
  }
};

TEST_F(RecordingControlTest, StartPreparesEverythingTheTickNeeds) {
  sharedState().lastLineId = 50003;
  onStartButtonClicked();
  SharedState& state = sharedState();
  EXPECT_EQ(caption(), kStopRecording);
  EXPECT_EQ(captureTimer(), 50);
  EXPECT_EQ(state.lastLineId, -1);
  EXPECT_EQ(state.sceneWatchValue, 1);
  EXPECT_EQ(loadRelaxed(state.rosterCountSeen), 2);
  EXPECT_EQ(loadRelaxed(state.speakerMap[2]), 12);  // rebuilt before the first tick
  EXPECT_EQ(state.recordingIniPath, kRunDirectory + "\\run" + kRecordingSuffix);
  ASSERT_NE(fakeOpenTable("a"), nullptr);
  EXPECT_EQ(fakeOpenTable("a")->path, lineTablePath());
  EXPECT_EQ(fakeOpenTable("b")->path, nameTablePath());

  // The first tick records the line on screen and repeats no scan.
  setScanThreadStarter(holdWorker);
  tickShowing(50002.0f);
  EXPECT_FALSE(heldWorkerStarted);
  EXPECT_EQ(fakeRecordingFile().writes.at(1).value, "line two");

  fakeControls().texts[ControlId::编辑框1] = "other";  // a running recording keeps its file
  tickShowing(50003.0f);
  EXPECT_EQ(fakeRecordingFile().writes.back().path, kRunDirectory + "\\run" + kRecordingSuffix);
}

TEST_F(RecordingControlTest, BaseNameDefaultOrEmptyNamesTheFile) {
  const std::string names[] = {kBaseNameDefault, ""};
  for (const std::string& name : names) {
    SetUp();
    fakeControls().texts[ControlId::编辑框1] = name;
    onStartButtonClicked();
    EXPECT_EQ(sharedState().recordingIniPath, kRunDirectory + "\\" + name + kRecordingSuffix);
  }
}

TEST_F(RecordingControlTest, StopWithButtonOneClosesTheTablesAndTheNextStartBeginsAfresh) {
  onStartButtonClicked();
  tickShowing(50003.0f);
  onStartButtonClicked();
  EXPECT_EQ(caption(), kStartRecording);
  EXPECT_EQ(captureTimer(), 0);
  EXPECT_TRUE(fakeLookup().open.empty());

  onStartButtonClicked();
  EXPECT_EQ(fakeOpenTable("a")->currentRecord, 1);
  tickShowing(50003.0f);  // the same line again: recorded again
  EXPECT_EQ(fakeRecordingFile().writes.size(), 4u);
}

TEST_F(RecordingControlTest, ButtonTwoBlanksTheLastLineAndKeepsTheTablesOpen) {
  onDiscardButtonClicked();  // not recording: nothing at all
  EXPECT_TRUE(fakeRecordingFile().writes.empty());
  EXPECT_EQ(caption(), kStartRecording);

  onStartButtonClicked();
  tickShowing(50001.0f);
  tickShowing(50003.0f);
  onDiscardButtonClicked();
  const std::string path = sharedState().recordingIniPath;
  EXPECT_EQ(std::vector<FakeIniWrite>(fakeRecordingFile().writes.begin() + 4, fakeRecordingFile().writes.end()),
            (std::vector<FakeIniWrite>{{"50003", "s", "", path}, {"50003", "c", "", path}}));
  EXPECT_EQ(readOut(), "");
  EXPECT_EQ(caption(), kStartRecording);
  EXPECT_EQ(captureTimer(), 0);
  EXPECT_EQ(sharedState().lastLineId, 50003);

  // Started again: the tables opened before stay in use where they stood.
  EXPECT_EQ(fakeOpenTable("a")->currentRecord, 4);
  onStartButtonClicked();
  EXPECT_EQ(fakeLookup().open.size(), 2u);
  EXPECT_EQ(fakeOpenTable("a")->currentRecord, 4);
  tickShowing(50003.0f);
  EXPECT_EQ(fakeLookup().log.back(), "read b 2");
  EXPECT_EQ(fakeRecordingFile().writes.back(), (FakeIniWrite{"50003", "c", "line three", path}));
}

TEST_F(RecordingControlTest, ButtonTwoBeforeAnyLineBlanksSectionMinusOne) {
  onStartButtonClicked();
  showLine({0, 50000.0f, 1.0f});
  trackerTick();
  onDiscardButtonClicked();
  const std::string path = sharedState().recordingIniPath;
  EXPECT_EQ(fakeRecordingFile().writes,
            (std::vector<FakeIniWrite>{{"-1", "s", "", path}, {"-1", "c", "", path}}));
}

TEST_F(RecordingControlTest, ABlankingTheFileRefusesIsShown) {
  onStartButtonClicked();
  tickShowing(50001.0f);
  fakeRecordingFile().refuseWrites = true;
  onDiscardButtonClicked();
  EXPECT_EQ(readOut(), kWriteFailedNotice);
  EXPECT_EQ(caption(), kStartRecording);
}

TEST_F(RecordingControlTest, StartsWithoutGameOrTablesAndRecordsNothing) {
  fakeGameMemory().pid = 0;
  fakeLookup().files.clear();
  onStartButtonClicked();
  EXPECT_EQ(caption(), kStopRecording);
  EXPECT_EQ(sharedState().sceneWatchValue, -1);
  trackerTick();
  EXPECT_TRUE(fakeRecordingFile().writes.empty());
}

}  // namespace
