#include "windows/screen_image.h"

bool screenImage(HWND window, std::vector<DWORD>& pixels, int& width, int& height) {
  pixels.clear();
  width = 0;
  height = 0;
  RECT box;
  if (!GetWindowRect(window, &box)) return false;
  width = box.right - box.left;
  height = box.bottom - box.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
  GdiFlush();
  pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return true;
}
