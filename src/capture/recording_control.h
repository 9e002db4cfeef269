// Starting and stopping a recording. The caption of 按钮1 is the recording
// state: "开始记录" not recording, "停止记录" recording.
#pragma once

// Notes the game's scene value and character count, rebuilds the speaker map,
// opens the line table as "a" and the name table as "b", fixes the recording
// file from 编辑框1 and starts the 50 ms capture timer.
void startRecording();

// Stops the capture timer and closes both tables.
void stopRecording();

// Stops the capture timer and, after 200 ms, blanks both keys of the line
// recorded last and clears the read-out; the tables stay open.
void discardLastLine();
