// The attach monitor: runs every 2000 ms on the window thread, notices the game
// starting and stopping, recognises its build and chooses the build's addresses.
#pragma once

#include <cstdint>

// Status label colours (Windows colour values 0x00BBGGRR).
constexpr uint32_t kUnknownBuildColour = 0x0000FF;  // red
constexpr uint32_t kGameGoneColour = 0xFF8800;      // blue-orange of the form's design

// Acts on the game process id that the previous tick (or the window-created
// handler) looked up, then looks the game up again for the next tick.
void attachTick();
