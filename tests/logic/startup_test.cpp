// Start-up's window-created handler, the fatal report's text and shutdown.
#include <gtest/gtest.h>

#include "app/shared_state.h"
#include "app/startup.h"
#include "app/texts.h"
#include "fakes/fakes.h"

namespace {

class WindowCreated : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSharedState();
    resetFakeControls();
    resetFakeSystem();
  }
};

TEST_F(WindowCreated, WithoutTheGameSaysSoDisablesStartAndStartsTheAttachTimer) {
  fakeSystem().processes.push_back({"notepad.exe", 40, "C:\\notepad.exe"});
  onWindowCreated();
  EXPECT_EQ(loadRelaxed(sharedState().gamePid), 0);
  EXPECT_EQ(fakeControls().statusText, kGameNotRunning);
  EXPECT_EQ(fakeControls().statusColour, 0xFF8800u);  // only the text changes
  EXPECT_FALSE(fakeControls().enabled[ControlId::按钮1]);
  EXPECT_EQ(fakeControls().timerPeriods[ControlId::时钟3], 2000);
  EXPECT_EQ(fakeControls().timerPeriods[ControlId::时钟1], 0);
}

TEST_F(WindowCreated, WithTheGameKeepsTheDesignTextUntilTheFirstAttachTick) {
  fakeSystem().processes.push_back({"PAL5.EXE", 77, "C:\\Games\\PAL5.EXE"});
  fakeSystem().processes.push_back({"Pal5.exe", 78, "C:\\Other\\Pal5.exe"});
  onWindowCreated();
  EXPECT_EQ(loadRelaxed(sharedState().gamePid), 77);  // the first match
  EXPECT_EQ(fakeControls().statusText, kStatusDetecting);
  EXPECT_FALSE(fakeControls().enabled[ControlId::按钮1]);
  EXPECT_EQ(fakeControls().timerPeriods[ControlId::时钟3], 2000);
  EXPECT_EQ(fakeSystem().findExecutablePathCalls, 0);  // no build is chosen yet
}

TEST(RuntimeErrorReport, HeadThenPrefixedMessageOrHeadAlone) {
  EXPECT_EQ(runtimeErrorReport(kWindowLoadFailed),
            std::string("\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n"
                        "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA") +
                kWindowLoadFailed + "\r\n");
  EXPECT_EQ(runtimeErrorReport(""), "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n");
}

TEST(SharedStateAtStartUp, SpeakerMapHasSlotsOneTo9999AllZero) {
  resetSharedState();
  SharedState& state = sharedState();
  EXPECT_EQ(sizeof state.speakerMap / sizeof state.speakerMap[0], 10000u);  // index 0 unused
  for (int slot = 1; slot <= kSpeakerSlotCount; ++slot) ASSERT_EQ(loadRelaxed(state.speakerMap[slot]), 0);
}

TEST(Shutdown, ReleasesTheTextsItHolds) {
  resetSharedState();
  SharedState& state = sharedState();
  state.lineText = std::string(1000, 'x');
  state.speakerName = "name";
  state.recordingIniPath = "C:\\a-b.ini";
  shutDown();
  EXPECT_TRUE(state.lineText.empty());
  EXPECT_TRUE(state.speakerName.empty());
  EXPECT_TRUE(state.recordingIniPath.empty());
}

}  // namespace
