#include "fakegame/scenario.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

// A command with a fixed number of whole-number arguments has `wholeNumbers`
// set to that number; the others (-1) are parsed by their own rules.
struct CommandSpec {
  const char* word;
  CommandKind kind;
  int wholeNumbers;
  const char* usage;
};

const CommandSpec kCommands[] = {
    {"roster", CommandKind::Roster, -1, "roster [NAME SLOT ...] (pairs of name number and slot)"},
    {"roster-add", CommandKind::RosterAdd, 2, "roster-add NAME SLOT"},
    {"roster-set", CommandKind::RosterSet, 3, "roster-set ENTRY NAME SLOT"},
    {"roster-count", CommandKind::RosterCount, 1, "roster-count N"},
    {"scene", CommandKind::Scene, 1, "scene N"},
    {"record", CommandKind::Record, -1, "record KIND LINE SLOT12 SLOT16 NAME20"},
    {"say", CommandKind::Record, -1, "say LINE SLOT"},
    {"list-words", CommandKind::ListWords, 2, "list-words W12 W16"},
    {"list-count", CommandKind::ListCount, 1, "list-count N"},
    {"clear", CommandKind::ListCount, -1, "clear"},
    {"conversation", CommandKind::Conversation, 1, "conversation N"},
    {"wait", CommandKind::Wait, 1, "wait MS"},
    {"hold", CommandKind::Hold, -1, "hold [NAME]"},
    {"exit", CommandKind::Exit, -1, "exit [CODE]"},
};

bool parseInt32(const std::string& word, int32_t& value) {
  if (word.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long parsed = std::strtoll(word.c_str(), &end, 0);  // decimal, or 0x... hex
  if (errno != 0 || *end != '\0') return false;
  // Hex up to 0xFFFFFFFF is taken as the 32-bit word it spells.
  if (parsed < INT32_MIN || parsed > static_cast<long long>(UINT32_MAX)) return false;
  value = static_cast<int32_t>(static_cast<uint32_t>(parsed));
  return true;
}

bool parseFloat(const std::string& word, float& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  value = std::strtof(word.c_str(), &end);  // also nan, inf, -0.5, 0x1p-149
  return *end == '\0';
}

std::string describe(const std::string& fileName, int lineNumber, const std::string& what) {
  return fileName + ":" + std::to_string(lineNumber) + ": " + what;
}

// Checks the arguments of one command; returns an empty text when they fit.
std::string parseArguments(const CommandSpec& spec, const std::vector<std::string>& args, Command& command) {
  const std::string usage = std::string("usage: ") + spec.usage;
  auto takeInts = [&](const std::vector<std::string>& words) -> std::string {
    for (const std::string& word : words) {
      int32_t value;
      if (!parseInt32(word, value)) return "'" + word + "' is not a whole number";
      command.ints.push_back(value);
    }
    return std::string();
  };

  if (spec.wholeNumbers >= 0) {
    if (args.size() != static_cast<size_t>(spec.wholeNumbers)) return usage;
    std::string problem = takeInts(args);
    if (!problem.empty()) return problem;
    if (command.kind == CommandKind::RosterSet && command.ints[0] < 1) return "roster entries are counted from 1";
    if (command.kind == CommandKind::Wait && command.ints[0] < 0) return "a wait cannot be negative";
    return std::string();
  }

  switch (command.kind) {
    case CommandKind::Roster:
      if (args.size() % 2 != 0) return usage;
      return takeInts(args);
    case CommandKind::Record: {
      // say LINE SLOT is record 0 LINE SLOT 0 0.
      const bool say = std::string(spec.word) == "say";
      if (args.size() != (say ? 2u : 5u)) return usage;
      const std::vector<std::string> fields = say ? std::vector<std::string>{"0", args[0], args[1], "0", "0"} : args;
      std::string problem = takeInts({fields[0]});
      if (!problem.empty()) return problem;
      for (size_t i = 1; i < fields.size(); ++i) {
        float value;
        if (!parseFloat(fields[i], value)) return "'" + fields[i] + "' is not a number";
        command.floats.push_back(value);
      }
      return std::string();
    }
    case CommandKind::ListCount:  // clear
      if (!args.empty()) return usage;
      command.ints.push_back(0);
      return std::string();
    case CommandKind::Hold:
      if (args.size() > 1) return usage;
      if (!args.empty()) {
        // A plain file name beside the scenario, nothing that leaves its folder.
        if (args[0].find_first_of("/\\:") != std::string::npos || args[0] == "." || args[0] == "..")
          return "a hold name is a plain file name";
        command.name = args[0];
      }
      return std::string();
    case CommandKind::Exit:
      if (args.size() > 1) return usage;
      if (args.empty()) command.ints.push_back(0);
      return takeInts(args);
    default:
      return usage;
  }
}

}  // namespace

bool parseScenario(const std::string& text, const std::string& fileName, std::vector<Command>& commands,
                   std::string& error) {
  commands.clear();
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(lines, line)) {
    ++lineNumber;
    size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;  // blank or comment only
    std::vector<std::string> args;
    for (std::string arg; words >> arg;) args.push_back(arg);

    const CommandSpec* spec = nullptr;
    for (const CommandSpec& candidate : kCommands) {
      if (word == candidate.word) spec = &candidate;
    }
    if (spec == nullptr) {
      error = describe(fileName, lineNumber, "unknown command '" + word + "'");
      return false;
    }
    Command command{spec->kind, lineNumber, {}, {}, {}};
    std::string problem = parseArguments(*spec, args, command);
    if (!problem.empty()) {
      error = describe(fileName, lineNumber, word + ": " + problem);
      return false;
    }
    commands.push_back(command);
  }
  return true;
}
