// The attach monitor for real: Tallowick started under Wine, the simulated
// game started, ended and started again as other builds, and the status label
// and 按钮1 watched from this process with the test driver. Its colour is
// checked twice: as the label publishes it, and as pixels on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "attach/attach_monitor.h"
#include "driver/driver.h"
#include "ui/control_ids.h"
#include "windows/child_process.h"
#include "windows/fakegame_process.h"
#include "windows/screen_image.h"

namespace {

// Guards against hangs only; an attach takes up to two 2000 ms ticks.
constexpr DWORD kGuardMs = 20000;

constexpr uint32_t kDesignColour = 0xFF8800;

// Pixels of exactly `colour` (0x00BBGGRR) inside the window's rectangle on the
// screen. The text is smoothed, so only the cores of its strokes have the
// colour itself; the window is topmost, so nothing covers it.
int screenPixelsOfColour(HWND window, uint32_t colour) {
  std::vector<DWORD> pixels;
  int width = 0, height = 0;
  if (!screenImage(window, pixels, width, height)) return -1;
  // DIB pixels are 0x00RRGGBB; the colour value is 0x00BBGGRR.
  const uint32_t wanted = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
  int count = 0;
  for (DWORD pixel : pixels) count += (pixel & 0xFFFFFF) == wanted ? 1 : 0;
  return count;
}

class AttachEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratchFolder("attach");
    ASSERT_TRUE(startChild("\"" + builtProgram("Tallowick.exe") + "\"", tallowick));
    HWND window = waitForTopWindow(kMainWindowCaption, tallowick.processId, kGuardMs);
    ASSERT_NE(window, nullptr);
    status = findChild(window, controlWindowId(ControlId::透明标签5));
    startButton = findChild(window, controlWindowId(ControlId::按钮1));
  }
  void TearDown() override {
    endChild(game);
    endChild(tallowick);
  }

  void startGame(const std::string& build) {
    endChild(game);
    ASSERT_TRUE(startFakeGame(build, folder, "hold never\n", game)) << build;
  }
  // The label shows `text` in `colour`, as published and as painted.
  void expectStatus(const std::string& text, uint32_t colour, const char* step) {
    std::string last;
    ASSERT_TRUE(waitForText(status, text, kGuardMs, &last)) << step << ": shows " << hexOf(last);
    DriverWindow label = describeWindow(status);
    ASSERT_TRUE(label.hasColour) << step;
    EXPECT_EQ(label.colour, colour) << step;
    // The painting follows the text at once, yet this process reads the
    // screen on its own time: give it a moment to land before judging.
    const uint32_t other = colour == kUnknownBuildColour ? kDesignColour : kUnknownBuildColour;
    for (int i = 0; i < 100 && screenPixelsOfColour(status, colour) == 0; ++i) Sleep(20);
    EXPECT_GT(screenPixelsOfColour(status, colour), 0) << step << ": text painted in its colour";
    EXPECT_EQ(screenPixelsOfColour(status, other), 0) << step << ": no text left in the other colour";
  }

  // The game comes (as `build`) or goes (empty): the label follows, and 按钮1
  // is enabled from the first attach on, whatever happens after.
  void gameBecomes(const std::string& build, const std::string& text, uint32_t colour, const char* step) {
    if (build.empty()) endChild(game);
    else startGame(build);
    expectStatus(text, colour, step);
    EXPECT_TRUE(IsWindowEnabled(startButton)) << step;
  }

  std::string folder;
  ChildProcess tallowick, game;
  HWND status = nullptr, startButton = nullptr;
};

TEST_F(AttachEndToEnd, GameStartingEndingAndComingBackAsAnotherBuild) {
  // No game yet: "not running" in the design colour, nothing to record from.
  expectStatus(kGameNotRunning, kDesignColour, "before the game");
  EXPECT_FALSE(IsWindowEnabled(startButton));

  // A game of no known size: red, and 按钮1 enabled all the same. It ends:
  // "not running" goes back to the design colour.
  gameBecomes("unknown", kUnknownBuild, kUnknownBuildColour, "unknown build");
  gameBecomes("", kGameNotRunning, kDesignColour, "unknown build gone");
  // A known build: its text, in the colour the label already has.
  gameBecomes("row6", kBuild105, kDesignColour, "build v1.0.5");
  gameBecomes("", kGameNotRunning, kDesignColour, "build v1.0.5 gone");
  // The row sharing its addresses is still told apart by its size.
  gameBecomes("row7", kBuild106, kDesignColour, "build v1.0.6");
}

// The game already running when Tallowick starts: recognised by the first
// attach tick; the game's scenario ending it is seen like any other exit.
TEST_F(AttachEndToEnd, GameRunningBeforeTheToolAndEndingByItself) {
  endChild(tallowick);
  ASSERT_TRUE(startFakeGame("row3", folder, "hold quit\nexit\n", game));
  ASSERT_TRUE(waitForHold(folder, "quit"));
  SetUp();
  if (HasFatalFailure()) return;
  expectStatus(kBuild102, kDesignColour, "build v1.0.2");
  EXPECT_TRUE(IsWindowEnabled(startButton));

  ASSERT_TRUE(releaseHold(folder, "quit"));
  DWORD exitCode = 1;
  ASSERT_TRUE(waitForChildExit(game, kGuardMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  expectStatus(kGameNotRunning, kDesignColour, "game gone");
  EXPECT_TRUE(IsWindowEnabled(startButton));
}

}  // namespace
