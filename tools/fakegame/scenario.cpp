#include "fakegame/scenario.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

struct CommandSpec {
  const char* word;
  CommandKind kind;
};

const CommandSpec kCommands[] = {
    {"roster", CommandKind::Roster},           {"roster-add", CommandKind::RosterAdd},
    {"roster-set", CommandKind::RosterSet},    {"roster-count", CommandKind::RosterCount},
    {"scene", CommandKind::Scene},             {"record", CommandKind::Record},
    {"say", CommandKind::Record},              {"list-words", CommandKind::ListWords},
    {"list-count", CommandKind::ListCount},    {"clear", CommandKind::ListCount},
    {"conversation", CommandKind::Conversation}, {"wait", CommandKind::Wait},
    {"hold", CommandKind::Hold},               {"exit", CommandKind::Exit},
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
std::string parseArguments(const std::string& word, const std::vector<std::string>& args, Command& command) {
  auto takeInts = [&](size_t from) -> std::string {
    for (size_t i = from; i < args.size(); ++i) {
      int32_t value;
      if (!parseInt32(args[i], value)) return "'" + args[i] + "' is not a whole number";
      command.ints.push_back(value);
    }
    return std::string();
  };
  auto expectCount = [&](size_t count, const char* usage) -> std::string {
    if (args.size() != count) return std::string("usage: ") + usage;
    return std::string();
  };
  std::string problem;
  switch (command.kind) {
    case CommandKind::Roster:
      if (args.size() % 2 != 0) return "usage: roster [NAME SLOT ...] (pairs of name number and slot)";
      return takeInts(0);
    case CommandKind::RosterAdd:
      if (!(problem = expectCount(2, "roster-add NAME SLOT")).empty()) return problem;
      return takeInts(0);
    case CommandKind::RosterSet:
      if (!(problem = expectCount(3, "roster-set ENTRY NAME SLOT")).empty()) return problem;
      if (!(problem = takeInts(0)).empty()) return problem;
      if (command.ints[0] < 1) return "roster entries are counted from 1";
      return std::string();
    case CommandKind::RosterCount:
      if (!(problem = expectCount(1, "roster-count N")).empty()) return problem;
      return takeInts(0);
    case CommandKind::Scene:
      if (!(problem = expectCount(1, "scene N")).empty()) return problem;
      return takeInts(0);
    case CommandKind::Record: {
      // say LINE SLOT is record 0 LINE SLOT 0 0.
      std::vector<std::string> full = args;
      if (word == "say") {
        if (args.size() != 2) return "usage: say LINE SLOT";
        full = {"0", args[0], args[1], "0", "0"};
      } else if (args.size() != 5) {
        return "usage: record KIND LINE SLOT12 SLOT16 NAME20";
      }
      int32_t kind;
      if (!parseInt32(full[0], kind)) return "'" + full[0] + "' is not a whole number";
      command.ints.push_back(kind);
      for (size_t i = 1; i < full.size(); ++i) {
        float value;
        if (!parseFloat(full[i], value)) return "'" + full[i] + "' is not a number";
        command.floats.push_back(value);
      }
      return std::string();
    }
    case CommandKind::ListWords:
      if (!(problem = expectCount(2, "list-words W12 W16")).empty()) return problem;
      return takeInts(0);
    case CommandKind::ListCount:
      if (word == "clear") {
        if (!args.empty()) return "usage: clear";
        command.ints.push_back(0);
        return std::string();
      }
      if (!(problem = expectCount(1, "list-count N")).empty()) return problem;
      return takeInts(0);
    case CommandKind::Conversation:
      if (!(problem = expectCount(1, "conversation N")).empty()) return problem;
      return takeInts(0);
    case CommandKind::Wait:
      if (!(problem = expectCount(1, "wait MS")).empty()) return problem;
      if (!(problem = takeInts(0)).empty()) return problem;
      if (command.ints[0] < 0) return "a wait cannot be negative";
      return std::string();
    case CommandKind::Hold:
      if (args.size() > 1) return "usage: hold [NAME]";
      if (!args.empty()) {
        // A plain file name beside the scenario, nothing that leaves its folder.
        if (args[0].find_first_of("/\\:") != std::string::npos || args[0] == "." || args[0] == "..")
          return "a hold name is a plain file name";
        command.name = args[0];
      }
      return std::string();
    case CommandKind::Exit:
      if (args.size() > 1) return "usage: exit [CODE]";
      if (args.empty()) command.ints.push_back(0);
      return takeInts(0);
  }
  return "unhandled command";
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
    std::string problem = parseArguments(word, args, command);
    if (!problem.empty()) {
      error = describe(fileName, lineNumber, word + ": " + problem);
      return false;
    }
    commands.push_back(command);
  }
  return true;
}
