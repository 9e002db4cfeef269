// The simulated game's scenario format and memory layout, natively.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "attach/build_table.h"
#include "fakegame/game_image.h"
#include "fakegame/scenario.h"

namespace {

TEST(FakegameScenario, ParsesEveryCommandWithCommentsAndBlankLines) {
  const char* text =
      "# a scene\n"
      "roster 100 5 200 2   # two characters\n"
      "\n"
      "roster-add 300 7\r\n"
      "roster-set 2 201 3\n"
      "roster-count -1\n"
      "scene 0x10\n"
      "say 50001 2\n"
      "record 3 50002.5 0 0 42.9\n"
      "list-words 1 0\n"
      "list-count 4\n"
      "clear\n"
      "conversation 5\n"
      "wait 100\n"
      "hold step\n"
      "hold\n"
      "exit 3\n";
  std::vector<Command> commands;
  std::string error;
  ASSERT_TRUE(parseScenario(text, "scene.txt", commands, error)) << error;
  ASSERT_EQ(commands.size(), 15u);
  EXPECT_EQ(commands[0].kind, CommandKind::Roster);
  EXPECT_EQ(commands[0].ints, (std::vector<int32_t>{100, 5, 200, 2}));
  EXPECT_EQ(commands[0].lineNumber, 2);
  EXPECT_EQ(commands[1].ints, (std::vector<int32_t>{300, 7}));  // the CR of a Windows line end is space
  EXPECT_EQ(commands[4].ints, (std::vector<int32_t>{16}));
  EXPECT_EQ(commands[5].kind, CommandKind::Record);
  EXPECT_EQ(commands[5].ints, (std::vector<int32_t>{0}));
  EXPECT_EQ(commands[5].floats, (std::vector<float>{50001.0f, 2.0f, 0.0f, 0.0f}));
  EXPECT_EQ(commands[6].ints, (std::vector<int32_t>{3}));
  EXPECT_EQ(commands[6].floats, (std::vector<float>{50002.5f, 0.0f, 0.0f, 42.9f}));
  EXPECT_EQ(commands[9].kind, CommandKind::ListCount);
  EXPECT_EQ(commands[9].ints, (std::vector<int32_t>{0}));
  EXPECT_EQ(commands[12].name, "step");
  EXPECT_EQ(commands[13].name, "");
  EXPECT_EQ(commands[14].ints, (std::vector<int32_t>{3}));
  EXPECT_EQ(commands[14].lineNumber, 17);
}

TEST(FakegameScenario, BadLineIsNamedWithItsNumber) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"sya 50001 2", "scene.txt:3: unknown command 'sya'"},
      {"say 50001", "scene.txt:3: say: usage: say LINE SLOT"},
      {"say 5000x1 2", "scene.txt:3: say: '5000x1' is not a number"},
      {"scene 1.5", "scene.txt:3: scene: '1.5' is not a whole number"},
      {"scene 4294967296", "scene.txt:3: scene: '4294967296' is not a whole number"},
      {"roster 100 5 200", "scene.txt:3: roster: usage: roster [NAME SLOT ...] (pairs of name number and slot)"},
      {"roster-set 0 1 1", "scene.txt:3: roster-set: roster entries are counted from 1"},
      {"wait -5", "scene.txt:3: wait: a wait cannot be negative"},
      {"hold ../x", "scene.txt:3: hold: a hold name is a plain file name"},
      {"clear 1", "scene.txt:3: clear: usage: clear"},
  };
  for (const Case& c : cases) {
    std::vector<Command> commands;
    std::string error;
    std::string text = std::string("# header\nscene 1\n") + c.line + "\nscene 2\n";
    EXPECT_FALSE(parseScenario(text, "scene.txt", commands, error)) << c.line;
    EXPECT_EQ(error, c.message);
  }
}

// A pretend address space for the layout: the block at the place the real
// game's image puts it.
struct Image {
  static constexpr uint32_t kBase = 0x40C000;
  std::vector<uint8_t> bytes = std::vector<uint8_t>(16u << 20);
  GameImage image;
  int32_t word(uint32_t address) const { return peekInt32(image, address); }
  float real(uint32_t address) const {
    int32_t bits = word(address);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
  }
  void play(const char* text) {
    std::vector<Command> commands;
    std::string error;
    ASSERT_TRUE(parseScenario(text, "t", commands, error)) << error;
    for (const Command& command : commands) ASSERT_TRUE(applyCommand(image, command, error)) << error;
  }
};

TEST(FakegameLayout, WordsLieWhereTheBuildKeepsThem) {
  Image game;
  const BuildProfile& at = kBuildTable[0].profile;  // entry offset 0x4E0
  std::string error;
  ASSERT_TRUE(layOutGame(game.image, game.bytes.data(), Image::kBase, 16u << 20, &at, error)) << error;
  game.play(
      "roster 100 5 200 2\n"
      "scene 77\n"
      "say 50001 2\n"
      "record 3 50002.5 0.7 0 42.9\n"
      "list-words 1 2\n"
      "conversation 9\n");

  uint32_t list = uint32_t(at.dialogueListAddr);
  uint32_t entries = uint32_t(game.word(list));
  EXPECT_EQ(game.word(list + 8), 2);
  EXPECT_EQ(game.word(list + 12), 1);
  EXPECT_EQ(game.word(list + 16), 2);
  uint32_t second = uint32_t(game.word(entries + 4));
  EXPECT_EQ(game.word(second), 3);
  EXPECT_EQ(game.real(second + 4), 50002.5f);
  EXPECT_EQ(game.real(second + 12), 0.7f);
  EXPECT_EQ(game.real(second + 16), 0.0f);
  EXPECT_EQ(game.real(second + 20), 42.9f);
  EXPECT_EQ(game.real(uint32_t(game.word(entries)) + 4), 50001.0f);

  uint32_t conversation = uint32_t(game.word(uint32_t(at.conversationAddr)));
  EXPECT_EQ(game.word(conversation + 796), 9);
  EXPECT_EQ(game.word(uint32_t(at.sceneWatchAddr)), 77);
  EXPECT_EQ(game.word(uint32_t(at.rosterCountAddr)), 2);
  uint32_t table = uint32_t(game.word(uint32_t(at.rosterTableAddr)));
  uint32_t secondCharacter = uint32_t(game.word(table + 4));
  EXPECT_EQ(game.word(secondCharacter + 0x4E0), 200);
  EXPECT_EQ(game.word(secondCharacter + 0x4E4), 2);

  // Clearing keeps the entries: the next line takes position 0 again, and the
  // old second entry is still in the array past the count.
  game.play("clear\nsay 50003 1\n");
  EXPECT_EQ(game.word(list + 8), 1);
  EXPECT_EQ(game.real(uint32_t(game.word(entries)) + 4), 50003.0f);
  EXPECT_EQ(uint32_t(game.word(entries + 4)), second);
}

TEST(FakegameLayout, UnknownBuildKeepsItsWordsAwayFromEveryBuildsAddresses) {
  Image game;
  std::string error;
  ASSERT_TRUE(layOutGame(game.image, game.bytes.data(), Image::kBase, 16u << 20, nullptr, error)) << error;
  game.play("scene 5\nsay 50001 1\n");
  for (const BuildRow& row : kBuildTable) {
    EXPECT_EQ(game.word(uint32_t(row.profile.dialogueListAddr)), 0);
    EXPECT_EQ(game.word(uint32_t(row.profile.sceneWatchAddr)), 0);
  }
  EXPECT_EQ(game.word(uint32_t(game.image.layout.sceneWatchAddr)), 5);
  EXPECT_EQ(game.word(uint32_t(game.image.layout.dialogueListAddr) + 8), 1);
}

TEST(FakegameLayout, CommandsThatDoNotFitTheMemoryFail) {
  Image game;
  std::string error;
  ASSERT_TRUE(layOutGame(game.image, game.bytes.data(), Image::kBase, 16u << 20, &kBuildTable[6].profile, error));
  std::vector<Command> commands;
  ASSERT_TRUE(parseScenario("list-count -1\nsay 50001 1\nroster-set 5000 1 1\n", "t", commands, error));
  ASSERT_TRUE(applyCommand(game.image, commands[0], error));
  EXPECT_FALSE(applyCommand(game.image, commands[1], error));
  EXPECT_EQ(error, "the dialogue list's count is -1, outside 0 to 65535");
  EXPECT_FALSE(applyCommand(game.image, commands[2], error));
  EXPECT_EQ(error, "the character table holds entries 1 to 4096");

  // A block that misses the builds' addresses is refused.
  std::vector<uint8_t> small(1u << 20);
  GameImage image;
  EXPECT_FALSE(layOutGame(image, small.data(), Image::kBase, 1u << 20, nullptr, error));
}

}  // namespace
