// Which of the game's dialogue records is being shown, and its line number.
#pragma once

// The first step of every capture tick: reads the game's dialogue list and the
// conversation object, advances the tracker's state and latch, and sets
// currentLineRecord and currentLineId. A failed read counts as -1.
void trackConversation();
