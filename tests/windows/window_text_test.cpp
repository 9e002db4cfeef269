// The window's Chinese texts are legible whatever the system's code page: drawn
// through the tool's own text layer in the window's font, different characters
// come out as different glyphs, not as the same empty box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "driver/driver.h"
#include "platform/gbk_wide_win.h"
#include "platform/system_text_win.h"
#include "ui/control_ids.h"
#include "windows/child_process.h"
#include "windows/screen_image.h"

namespace {

// The pixels of `gbk` drawn black on white in a 32 x 32 bitmap.
std::vector<DWORD> rendering(const std::string& gbk) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
  HGDIOBJ previousFont = SelectObject(dc, guiFont());
  RECT box{0, 0, 32, 32};
  FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  drawTextLine(dc, gbk, box, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 32 * 32);
  SelectObject(dc, previousFont);
  SelectObject(dc, previousBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

int inkOf(const std::vector<DWORD>& pixels) {
  int ink = 0;
  for (DWORD pixel : pixels) ink += (pixel & 0xFFFFFF) != 0xFFFFFF;
  return ink;
}

TEST(WindowText, ChineseTextsHaveGlyphsUnderTheSystemsCodePage) {
  // The characters of "游戏尚未运行", one at a time (two GBK bytes each).
  const std::string status = kGameNotRunning;
  ASSERT_GE(status.size(), 6u);
  std::vector<std::vector<DWORD>> glyphs;
  for (size_t at = 0; at + 1 < status.size() && glyphs.size() < 3; at += 2) {
    glyphs.push_back(rendering(status.substr(at, 2)));
    EXPECT_GT(inkOf(glyphs.back()), 0) << "character " << at / 2 << ", code page " << GetACP();
  }
  EXPECT_NE(glyphs[0], glyphs[1]) << "the same box for different characters, code page " << GetACP();
  EXPECT_NE(glyphs[1], glyphs[2]) << "code page " << GetACP();
}

// Saves the image as a BMP file, for a person to look at.
void saveBitmap(const std::string& path, const std::vector<DWORD>& pixels, int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * sizeof(DWORD));
  HANDLE out = CreateFileW(gbkToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &header, sizeof header, &written, nullptr);
  WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size() * sizeof(DWORD)), &written, nullptr);
  CloseHandle(out);
}

// The running window as the user sees it: the label "当前人名和对白", cut into
// one cell per character by the font's widths, shows ink in every cell and a
// different glyph for each character. The screenshot is kept in
// build/logs/window-cp<code page>.bmp.
TEST(WindowText, RunningWindowShowsTheChineseLabelLegibly) {
  ChildProcess tallowick;
  ASSERT_TRUE(startChild("\"" + builtProgram("Tallowick.exe") + "\"", tallowick));
  ChildGuard guard{tallowick};
  HWND window = waitForTopWindow(kMainWindowCaption, tallowick.processId, 30000);
  ASSERT_NE(window, nullptr);
  HWND label = findChild(window, controlWindowId(ControlId::标签2));
  ASSERT_NE(label, nullptr);
  Sleep(500);  // let the first paint reach the screen

  int width = 0, height = 0;
  std::vector<DWORD> image;
  ASSERT_TRUE(screenImage(window, image, width, height));
  CreateDirectoryA((std::string(TALLOWICK_BUILD_DIR) + "\\logs").c_str(), nullptr);
  saveBitmap(std::string(TALLOWICK_BUILD_DIR) + "\\logs\\window-cp" + std::to_string(GetACP()) + ".bmp", image,
             width, height);

  RECT windowBox, labelBox;
  GetWindowRect(window, &windowBox);
  GetWindowRect(label, &labelBox);
  const int left = labelBox.left - windowBox.left, top = labelBox.top - windowBox.top;
  const int labelHeight = labelBox.bottom - labelBox.top;

  // Character cells from the font's widths (the label is left-aligned).
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previousFont = SelectObject(dc, guiFont());
  const std::wstring text = gbkToWide(kCurrentLineLabel);
  std::vector<std::vector<DWORD>> cells;
  int x = 0;
  for (wchar_t character : text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, &character, 1, &size);
    std::vector<DWORD> cell;
    for (int row = 0; row < labelHeight; ++row) {
      for (int column = x; column < x + size.cx; ++column) cell.push_back(image[(top + row) * width + left + column]);
    }
    cells.push_back(cell);
    x += size.cx;
  }
  SelectObject(dc, previousFont);
  DeleteDC(dc);

  ASSERT_EQ(cells.size(), 7u);
  const DWORD background = image[top * width + left] & 0xFFFFFF;  // the label's own face colour
  for (size_t i = 0; i < cells.size(); ++i) {
    int ink = 0;
    for (DWORD pixel : cells[i]) ink += (pixel & 0xFFFFFF) != background;
    EXPECT_GT(ink, 0) << "character " << i << ", code page " << GetACP();
  }
  for (size_t i = 0; i + 1 < cells.size(); ++i) {
    EXPECT_NE(cells[i], cells[i + 1]) << "the same glyph for characters " << i << " and " << i + 1 << ", code page "
                                      << GetACP();
  }
  closeWindow(window);
}

}  // namespace
