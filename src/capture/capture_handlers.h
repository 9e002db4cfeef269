// The dialogue capture's entry points, called by the main window.
#pragma once

// Every 50 ms while recording: pick the record the game shows, record a new
// line, and start a speaker-map rebuild when the game's characters changed.
void trackerTick();

// Clicks on the start button (按钮1) and on 按钮2.
void onStartButtonClicked();
void onDiscardButtonClicked();
