// The control operations on the real window, built inside the test process so
// that the operations can be called directly and nothing else is dispatched
// meanwhile: what the window shows then was done by the operations themselves.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/texts.h"
#include "ui/controls.h"
#include "ui/main_window_win.h"

namespace {

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(createMainWindow(GetModuleHandleA(nullptr), false)); }
  void TearDown() override {
    HWND status = controlWindow(ControlId::透明标签5);
    if (status != nullptr) DestroyWindow(GetParent(status));
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Pixels of exactly `colour` (0x00BBGGRR) on the status label; the text is
  // smoothed, so only the cores of its strokes have the colour itself.
  static int pixelsOfColour(COLORREF colour) {
    HWND label = controlWindow(ControlId::透明标签5);
    RECT box;
    GetClientRect(label, &box);
    HDC dc = GetDC(label);
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) count += GetPixel(dc, x, y) == colour ? 1 : 0;
    }
    ReleaseDC(label, dc);
    return count;
  }
};

TEST_F(RealWindow, StatusLabelShowsANewColourAndTextBeforeTheOperationReturns) {
  ASSERT_EQ(pixelsOfColour(0x0000FF), 0);
  ASSERT_GT(pixelsOfColour(0xFF8800), 0);
  setStatusColour(0x0000FF);
  setStatusText(kUnknownBuild);
  EXPECT_EQ(readStatusText(), kUnknownBuild);
  EXPECT_GT(pixelsOfColour(0x0000FF), 0) << "the red text is on screen";
  EXPECT_EQ(pixelsOfColour(0xFF8800), 0) << "the old text is gone";

  // Back to the design colour and a shorter text: no red is left behind.
  setStatusColour(0xFF8800);
  setStatusText(kGameNotRunning);
  EXPECT_EQ(pixelsOfColour(0x0000FF), 0);
  EXPECT_GT(pixelsOfColour(0xFF8800), 0);
}

TEST_F(RealWindow, TextsGoInAndComeOutAsTheSameBytes) {
  EXPECT_EQ(readButtonCaption(ControlId::按钮1), kStartRecording);  // before anything set it
  EXPECT_EQ(readEditText(ControlId::编辑框1), kBaseNameDefault);
  EXPECT_EQ(readStatusText(), kGameNotRunning);  // set by the window-created handler

  setButtonCaption(ControlId::按钮1, kStopRecording);
  EXPECT_EQ(readButtonCaption(ControlId::按钮1), kStopRecording);
  setEditText(ControlId::编辑框1, "");
  EXPECT_EQ(readEditText(ControlId::编辑框1), "");

  // Name, "：\r\n" and the line show as two lines in the read-out box.
  HWND readOut = controlWindow(ControlId::编辑框2);
  std::string line = std::string("\xC8\xCB\xC3\xFB") + kSpeakerSeparator + "\xB6\xD4\xB0\xD7";
  setEditText(ControlId::编辑框2, line);
  EXPECT_EQ(readEditText(ControlId::编辑框2), line);
  EXPECT_EQ(SendMessageA(readOut, EM_GETLINECOUNT, 0, 0), 2);
  // A line longer than the box wraps at its width.
  setEditText(ControlId::编辑框2, std::string(60, 'x'));
  EXPECT_GT(SendMessageA(readOut, EM_GETLINECOUNT, 0, 0), 1);

  enableButton(ControlId::按钮1, true);
  EXPECT_TRUE(IsWindowEnabled(controlWindow(ControlId::按钮1)));
  enableButton(ControlId::按钮1, false);
  EXPECT_FALSE(IsWindowEnabled(controlWindow(ControlId::按钮1)));
}

}  // namespace
