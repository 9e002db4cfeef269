// The simulated game's scenario: a text file of commands, one per line, that
// changes what the game holds in memory step by step (tools/fakegame/README.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CommandKind {
  Roster,        // roster [NAME SLOT ...]: the character table becomes these entries
  RosterAdd,     // roster-add NAME SLOT: one entry appended, count raised
  RosterSet,     // roster-set I NAME SLOT: entry I (from 1) changed in place
  RosterCount,   // roster-count N: the count word alone
  Scene,         // scene N
  Record,        // record KIND LINE SLOT12 SLOT16 NAME20: a dialogue record appended
  ListWords,     // list-words W12 W16
  ListCount,     // list-count N (clear is list-count 0)
  Conversation,  // conversation N: the conversation object's word
  Wait,          // wait MS
  Hold,          // hold [NAME]: wait for the file NAME beside the scenario, or a line on stdin
  Exit,          // exit [CODE]
};

struct Command {
  CommandKind kind;
  int lineNumber;              // in the scenario file, from 1
  std::vector<int32_t> ints;   // integer arguments in order (roster pairs, counts, words, kind)
  std::vector<float> floats;   // record: line number, slot at +12, slot at +16, name number at +20
  std::string name;            // hold: the file name; empty for stdin
};

// Parses the whole scenario before anything is played, so a bad line stops the
// game before it has shown anything. On failure `error` reads
// "FILE:LINE: what is wrong".
bool parseScenario(const std::string& text, const std::string& fileName, std::vector<Command>& commands,
                   std::string& error);
