// What a window looks like on the screen, as a test reads it back.
#pragma once

#include <windows.h>

#include <vector>

// The screen's pixels inside `window`'s rectangle: 32-bit 0x00RRGGBB values,
// top-down rows of `width`. False, with nothing, when the window has no
// rectangle.
bool screenImage(HWND window, std::vector<DWORD>& pixels, int& width, int& height);
