// The window's Chinese texts are legible whatever the system's code page: drawn
// through the tool's own text layer in the window's font, different characters
// come out as different glyphs, not as the same empty box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "platform/system_text_win.h"

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

}  // namespace
