// Recording new lines: the new-line rule over ticks, the speaker rules, the
// table searches with their fallback to record 1, and what reaches the
// recording file and the read-out.
#include "capture/line_resolution.h"

#include "capture/capture_handlers.h"
#include "capture_fixture.h"

namespace {

using namespace capture_fixture;

class LineResolutionTest : public CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    openTable(lineTablePath(), "a");
    openTable(nameTablePath(), "b");
    SharedState& state = sharedState();
    state.lastLineId = -1;
    state.recordingIniPath = "C:\\Tallowick\\t-x.ini";
    // The map as the last scan left it.
    state.sceneWatchValue = 1;
    storeRelaxed(state.rosterCountSeen, 2);
    scanSpeakerTable();
    fakeLookup().log.clear();
  }
  // Resolves the line on screen as the tick does after the tracker.
  void resolveShown(int32_t lineId) {
    sharedState().currentLineRecord = kRecord;
    sharedState().currentLineId = lineId;
    resolveNewLine();
  }
  std::vector<std::string> logOf(const std::string& alias) {
    std::vector<std::string> entries;
    for (const std::string& entry : fakeLookup().log) {
      if (entry.find(" " + alias) != std::string::npos) entries.push_back(entry);
    }
    return entries;
  }
};

TEST_F(LineResolutionTest, NewLineRuleOverTicks) {
  // Line number on screen tick by tick; kUnreadable: the record cannot be read (-1).
  constexpr float kUnreadable = -7.0f;
  const float shown[] = {50000.0f, 50001.0f, 50001.0f, kUnreadable, 50001.0f, 50002.5f, 50001.0f, 50001.0f};
  for (float lineNumber : shown) {
    if (lineNumber == kUnreadable) {
      unmapBytes(kRecord + 4, 4);
    } else {
      showLine({0, lineNumber, 1.0f});
    }
    trackerTick();
  }
  std::vector<std::string> sections;
  for (const FakeIniWrite& write : fakeRecordingFile().writes) {
    if (write.key == "s") sections.push_back(write.section);
  }
  EXPECT_EQ(sections, (std::vector<std::string>{"50001", "50002", "50001"}));
  EXPECT_EQ(sharedState().lastLineId, 50001);
}

TEST_F(LineResolutionTest, SpeakerRules) {
  setCharacters({{12, 305}, {9999, 777}});
  scanSpeakerTable();
  fakeLookup().files[nameTablePath()] =
      fakeTable({{1, "narrator"}, {42, "Cy"}, {305, "Dee"}, {777, "Eve"}});
  const uint32_t kind = kRecord, slot = kRecord + 12, kindThreeSlot = kRecord + 16, name = kRecord + 20;
  const struct {
    const char* label;
    ShownLine line;
    bool unmapSlot;
    int32_t speakerNumber;
    const char* speakerName;
    std::vector<FakeRead> reads;
  } cases[] = {
      {"kind 3, slot 0: name number used as it is", {3, 50001, 0, 0.0f, 42.9f}, false, 42, "Cy",
       {{kind, 4}, {kindThreeSlot, 4}, {name, 4}}},
      {"kind 3, slot 12 through the map", {3, 50001, 0, 12.0f}, false, 305, "Dee", {{kind, 4}, {kindThreeSlot, 4}}},
      {"kind 3, slot 9999 is the last entry", {3, 50001, 0, 9999.0f}, false, 777, "Eve",
       {{kind, 4}, {kindThreeSlot, 4}}},
      {"kind 3, slot -2 has no entry: 0", {3, 50001, 0, -2.0f}, false, 0, "narrator", {{kind, 4}, {kindThreeSlot, 4}}},
      {"kind 3, slot 10000 has no entry: 0", {3, 50001, 0, 10000.0f}, false, 0, "narrator",
       {{kind, 4}, {kindThreeSlot, 4}}},
      {"kind 3, unreadable slot (-1): 0", {3, 50001}, true, 0, "narrator", {{kind, 4}, {kindThreeSlot, 4}}},
      {"kind 0, slot 0.7: name number 1", {0, 50001, 0.7f}, false, 1, "narrator", {{kind, 4}, {slot, 4}}},
      {"kind 0, slot -2: name number 1", {0, 50001, -2.0f}, false, 1, "narrator", {{kind, 4}, {slot, 4}}},
      {"kind 0, slot 12 through the map", {0, 50001, 12.0f}, false, 305, "Dee", {{kind, 4}, {slot, 4}}},
      {"kind 0, slot 9999 is the last entry", {0, 50001, 9999.0f}, false, 777, "Eve", {{kind, 4}, {slot, 4}}},
      {"kind 0, slot 10000 has no entry: 0", {0, 50001, 10000.0f}, false, 0, "narrator", {{kind, 4}, {slot, 4}}},
      {"kind 0, slot 13 unfilled in the map: 0", {0, 50001, 13.0f}, false, 0, "narrator", {{kind, 4}, {slot, 4}}},
      {"kind -1 (failed read) takes the ordinary rule", {-1, 50001, 12.0f}, false, 305, "Dee", {{kind, 4}, {slot, 4}}},
  };
  for (const auto& c : cases) {
    showLine(c.line);
    if (c.unmapSlot) unmapBytes(kindThreeSlot, 4);
    fakeGameMemory().reads.clear();
    resolveShown(50001);
    EXPECT_EQ(sharedState().speakerNumber, c.speakerNumber) << c.label;
    EXPECT_EQ(sharedState().speakerName, c.speakerName) << c.label;
    EXPECT_EQ(describeReads(fakeGameMemory().reads), describeReads(c.reads)) << c.label;
  }
}

TEST_F(LineResolutionTest, SearchGoesOnFromTheCurrentRecordThenFromRecordOne) {
  showLine({0, 0, 1.0f});
  resolveShown(50002);  // ahead: found without going back
  EXPECT_EQ(sharedState().lineText, "line two");
  resolveShown(50001);  // behind: the second search from record 1 finds it
  EXPECT_EQ(sharedState().lineText, "line one");
  resolveShown(50009);  // not in the table: record 1's text
  EXPECT_EQ(sharedState().lineText, "first line");
  EXPECT_EQ(logOf("a"), (std::vector<std::string>{
                            "select a", "find a from 1", "find a found 3", "read a 3",        //
                            "select a", "find a from 3", "goto a 1", "find a from 1",         //
                            "find a found 2", "read a 2",                                     //
                            "select a", "find a from 2", "goto a 1", "find a from 1", "read a 1"}));
  EXPECT_EQ(fakeOpenTable("a")->currentRecord, 1);

  showLine({0, 0, 3.0f});  // slot 3 is not in the map: name number 0, not in table "b"
  resolveShown(50003);
  EXPECT_EQ(sharedState().speakerName, "narrator");
  EXPECT_EQ(fakeRecordingFile().writes.back().value, "line three");
}

TEST_F(LineResolutionTest, KeyColumnMatchesByNumberWithinATenMillionth) {
  auto key = [](ColumnKind kind, int64_t integer, double real) {
    ColumnValue value;
    value.kind = kind;
    value.integer = integer;
    value.real = real;
    return value;
  };
  ColumnValue text;
  text.bytes = "50123";
  const struct {
    ColumnValue value;
    int32_t target;
    bool matches;
  } cases[] = {
      {key(ColumnKind::Float, 0, 50123.0), 50123, true},
      {key(ColumnKind::Double, 0, 50123.00000005), 50123, true},
      {key(ColumnKind::Double, 0, 50123.001), 50123, false},
      {key(ColumnKind::Int, 50123, 0), 50123, true},
      {key(ColumnKind::Int64, 50123, 0), 50124, false},
      {key(ColumnKind::Short, -3, 0), -3, true},
      {key(ColumnKind::Byte, 200, 0), 200, true},  // a byte is unsigned
      {text, 50123, false},                        // not a number: never a match
  };
  for (const auto& c : cases) {
    fakeLookup().files["C:\\k.dat"] = {{c.value, "x"}};
    closeAllTables();
    openTable("C:\\k.dat", "k");
    int32_t target = c.target;
    EXPECT_EQ(keyColumnMatches(&target), c.matches) << c.target << " kind " << static_cast<int>(c.value.kind);
  }
}

TEST_F(LineResolutionTest, WritesSpeakerThenTextAndShowsTheLine) {
  showLine({0, 0, 1.0f});
  resolveShown(50001);
  const std::string path = "C:\\Tallowick\\t-x.ini";
  EXPECT_EQ(fakeRecordingFile().writes,
            (std::vector<FakeIniWrite>{{"50001", "s", "Ana", path}, {"50001", "c", "line one", path}}));
  EXPECT_EQ(fakeControls().texts[ControlId::编辑框2], std::string("Ana") + "\xA3\xBA\r\n" + "line one");

  // An empty name is written as an empty value and shows as the colon alone.
  fakeLookup().files[nameTablePath()] = fakeTable({{1, ""}});
  resolveShown(50002);
  EXPECT_EQ(fakeRecordingFile().writes[2], (FakeIniWrite{"50002", "s", "", path}));
  EXPECT_EQ(fakeControls().texts[ControlId::编辑框2], std::string("\xA3\xBA\r\n") + "line two");
}

TEST_F(LineResolutionTest, ALineTheFileRefusesIsShownAsNotWrittenAndRecordingGoesOn) {
  fakeRecordingFile().refuseWrites = true;
  showLine({0, 50001, 1.0f});
  trackerTick();
  EXPECT_EQ(fakeControls().texts[ControlId::编辑框2],
            std::string("Ana") + kSpeakerSeparator + "line one" + "\r\n" + kWriteFailedNotice);

  fakeRecordingFile().refuseWrites = false;
  showLine({0, 50002, 2.0f});
  trackerTick();
  EXPECT_EQ(fakeRecordingFile().writes.size(), 4u);
  EXPECT_EQ(fakeControls().texts[ControlId::编辑框2], std::string("Bo") + kSpeakerSeparator + "line two");
}

}  // namespace
