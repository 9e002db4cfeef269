// The whole capture for real: the simulated game plays a scripted scene, and
// Tallowick, worked through its window with the driver, records it with
// lookup tables built by tabletool from the sample sources. The game is
// stepped through the holds of its scenario, so nothing depends on timing:
// at `hold LNNNNN` the test waits until the read-out shows line NNNNN.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/texts.h"
#include "common/gbk_utf8.h"
#include "driver/driver.h"
#include "tabletool/tabletool.h"
#include "ui/control_ids.h"
#include "windows/child_process.h"
#include "windows/fakegame_process.h"

namespace {

constexpr DWORD kWaitMs = 20000;

bool waitUntil(DWORD timeoutMs, bool (*done)(const std::string&), const std::string& argument) {
  DWORD start = GetTickCount();
  while (!done(argument)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

std::string gbkOf(const std::string& utf8) {
  std::string gbk;
  EXPECT_TRUE(utf8ToGbk(utf8, gbk)) << utf8;
  return gbk;
}

// The expected recording (UTF-8 in the repository) as the GBK bytes of the file.
std::string expectedRecording(const std::string& name) {
  return gbkOf(gbkFileBytes(sourceFile("tests/windows/expected/" + name)));
}

// What the read-out shows for each line of an expected recording.
std::map<std::string, std::string> readOutsOf(const std::string& recording) {
  std::map<std::string, std::string> readOuts;
  std::istringstream in(recording);
  std::string line, section, speaker;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("[", 0) == 0) section = line.substr(1, line.size() - 2);
    if (line.rfind("s=", 0) == 0) speaker = line.substr(2);
    if (line.rfind("c=", 0) == 0) readOuts[section] = speaker + kSpeakerSeparator + line.substr(2);
  }
  return readOuts;
}

// The names of a scenario's holds, in order.
std::vector<std::string> holdsOf(const std::string& scenario) {
  std::vector<std::string> holds;
  std::istringstream in(scenario);
  std::string command, name;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    if (words >> command >> name && command == "hold") holds.push_back(name);
  }
  return holds;
}

class CaptureEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratchFolder(std::string("capture-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    emptyFolder(folder);  // recordings, tables and hold files of an earlier run
    // Tallowick beside its two tables, built from the sample sources.
    std::string out, err;
    ASSERT_EQ(runTabletool({"build", folder + "\\" + kLineTableFile, sourceFile("samples/lines.tsv"), "--key",
                            "float"},
                           out, err),
              0)
        << err;
    ASSERT_EQ(runTabletool({"build", folder + "\\" + kNameTableFile, sourceFile("samples/names.tsv")}, out, err), 0)
        << err;
    ASSERT_TRUE(CopyFileA(builtProgram("Tallowick.exe").c_str(), (folder + "\\Tallowick.exe").c_str(), FALSE));
  }
  void TearDown() override {
    endChild(tallowick);
    endChild(game);
  }

  // Starts the simulated game (the first known build) on a scenario copied here.
  void startGame(const std::string& scenarioName, const std::string& scenario) {
    endChild(game);
    std::string path = folder + "\\" + scenarioName;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << scenario;
    ASSERT_TRUE(startChild("\"" + fakeGameExe("row1") + "\" \"" + path + "\"", game));
  }
  void startTallowick() {
    ASSERT_TRUE(startChild("\"" + folder + "\\Tallowick.exe\"", tallowick));
    window = waitForTopWindow(kMainWindowCaption, tallowick.processId, kWaitMs);
    ASSERT_NE(window, nullptr);
  }
  HWND control(ControlId id) { return findChild(window, controlWindowId(id)); }
  void expectText(ControlId id, const std::string& text) {
    std::string last;
    EXPECT_TRUE(waitForText(control(id), text, kWaitMs, &last)) << "shows: " << last;
  }
  // Waits for the game at hold `name`; `release` lets it go on.
  void reachHold(const std::string& name) {
    ASSERT_TRUE(waitUntil(kWaitMs, gbkFileExists, folder + "\\" + name + ".waiting")) << "hold " << name;
  }
  void releaseHold(const std::string& name) {
    // Made under another name and renamed: the game must not see the file
    // while it is still open here, or its removal of it would fail.
    std::string path = folder + "\\" + name;
    std::ofstream(path + ".new", std::ios::binary).put('\n');
    ASSERT_TRUE(MoveFileA((path + ".new").c_str(), path.c_str())) << "hold " << name;
    ASSERT_TRUE(waitUntil(kWaitMs, [](const std::string& p) { return !gbkFileExists(p); }, path)) << "hold " << name;
  }
  void startRecording(const std::string& baseName) {
    ASSERT_TRUE(setText(control(ControlId::编辑框1), baseName));
    ASSERT_TRUE(clickButton(control(ControlId::按钮1)));
    expectText(ControlId::按钮1, kStopRecording);
  }
  void stopRecording() {
    ASSERT_TRUE(clickButton(control(ControlId::按钮1)));
    expectText(ControlId::按钮1, kStartRecording);
  }
  // Steps the game through its holds up to (not past) `last`: "start" starts
  // a recording into `baseName`, "LNNNNN" waits for line NNNNN on the read-out.
  void playUntil(const std::string& scenario, const std::string& last, const std::string& baseName,
                 const std::map<std::string, std::string>& readOuts) {
    for (const std::string& hold : holdsOf(scenario)) {
      reachHold(hold);
      if (hold == last) return;
      if (hold == "start") startRecording(baseName);
      if (hold[0] == 'L') expectText(ControlId::编辑框2, readOuts.at(hold.substr(1)));
      releaseHold(hold);
      if (HasFatalFailure()) return;
    }
    FAIL() << "no hold " << last;
  }
  // Starts the game on `scenario` and Tallowick, and plays the scene up to
  // hold `last`, recording into `baseName` from hold "start".
  void recordUntil(const std::string& scenarioName, const std::string& scenario, const std::string& last,
                   const std::string& baseName, const std::map<std::string, std::string>& readOuts) {
    startGame(scenarioName, scenario);
    startTallowick();
    if (HasFatalFailure()) return;
    waitForAttach();
    if (HasFatalFailure()) return;
    playUntil(scenario, last, baseName, readOuts);
  }
  void waitForAttach() {
    DWORD start = GetTickCount();
    while (!describeWindow(control(ControlId::按钮1)).enabled && GetTickCount() - start < kWaitMs) Sleep(50);
    ASSERT_TRUE(describeWindow(control(ControlId::按钮1)).enabled);
    expectText(ControlId::透明标签5, kBuild100);
  }

  std::string folder;
  ChildProcess game, tallowick;
  HWND window = nullptr;
};

TEST_F(CaptureEndToEnd, RecordsTheSampleSceneByteForByteThenBlanksAndShowsAFailedWrite) {
  const std::string scenario = gbkFileBytes(sourceFile("samples/scene.txt"));
  const std::string expected = expectedRecording("scene.ini");
  const std::map<std::string, std::string> readOuts = readOutsOf(expected);
  recordUntil("scene.txt", scenario, "end", "scene", readOuts);
  ASSERT_FALSE(HasFatalFailure());
  stopRecording();
  EXPECT_EQ(gbkFileBytes(folder + "\\scene" + kRecordingSuffix), expected);

  // A new recording takes the line on screen; 按钮2 blanks it again.
  const std::string lastLine = readOuts.at("50020");
  ASSERT_TRUE(setText(control(ControlId::编辑框2), ""));  // so that the line is seen anew
  startRecording("blank");
  expectText(ControlId::编辑框2, lastLine);
  ASSERT_TRUE(clickButton(control(ControlId::按钮2)));
  expectText(ControlId::按钮1, kStartRecording);
  expectText(ControlId::编辑框2, "");
  EXPECT_EQ(gbkFileBytes(folder + "\\blank" + kRecordingSuffix), "[50020]\r\ns=\r\nc=\r\n");

  // A base name no file can have: the line is shown as not written.
  startRecording("a|b");
  expectText(ControlId::编辑框2, lastLine + "\r\n" + kWriteFailedNotice);
  stopRecording();
}

TEST_F(CaptureEndToEnd, GoesOnRecordingWhileTheGameExitsAndComesBack) {
  const std::string first =
      "roster 101 1\nscene 1\nconversation 1\nhold start\nsay 50001 1\nhold L50001\nhold gone\nexit\n";
  const std::string comeback = gbkFileBytes(sourceFile("samples/comeback.txt"));
  const std::string expected = expectedRecording("comeback.ini");
  const std::map<std::string, std::string> readOuts = readOutsOf(expected);
  recordUntil("first.txt", first, "gone", "comeback", readOuts);
  ASSERT_FALSE(HasFatalFailure());
  releaseHold("gone");
  DWORD exitCode = 1;
  ASSERT_TRUE(waitForChildExit(game, kWaitMs, &exitCode));
  expectText(ControlId::透明标签5, kGameNotRunning);
  expectText(ControlId::按钮1, kStopRecording);  // still recording

  startGame("comeback.txt", comeback);
  expectText(ControlId::透明标签5, kBuild100);
  playUntil(comeback, "end", "comeback", readOuts);
  ASSERT_FALSE(HasFatalFailure());
  stopRecording();
  EXPECT_EQ(gbkFileBytes(folder + "\\comeback" + kRecordingSuffix), expected);
}

}  // namespace
