// The attach monitor: runs every 2000 ms on the window thread, notices the game
// starting and stopping, recognises its build and chooses the build's addresses.
#pragma once

void attachTick();
