// Recording a new line: its text, its speaker's name, the recording file and
// the read-out box.
#pragma once

#include <cstdint>

// A line is recorded when its number is above 50000 and differs from the line
// recorded last.
bool isNewLine(int32_t currentLineId, int32_t lastLineId);

// Records the line of currentLineRecord / currentLineId.
void resolveNewLine();

// Search predicate for the lookup tables: true when column 1 of the record
// under test equals the int32_t that `target` points to (within 1e-7). The
// target is read at every call.
bool keyColumnMatches(void* target);

