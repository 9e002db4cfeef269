#include "capture/line_resolution.h"

#include <cmath>
#include <string>

#include "app/shared_state.h"
#include "app/texts.h"
#include "capture/recording_file.h"
#include "lookup/lookup_table.h"
#include "process/game_memory.h"
#include "ui/controls.h"

// The dialogue record's fields (line number at +4 is the tracker's).
constexpr int32_t kRecordKind = 0;
constexpr int32_t kRecordSlot = 12;        // speaker slot of ordinary lines
constexpr int32_t kKindThree = 3;          // lines whose speaker is given at +16 / +20
constexpr int32_t kKindThreeSlot = 16;
constexpr int32_t kKindThreeNameNumber = 20;
constexpr int32_t kFirstRecordedLine = 50001;
constexpr double kKeyTolerance = 1e-7;

bool isNewLine(int32_t currentLineId, int32_t lastLineId) {
  return currentLineId >= kFirstRecordedLine && currentLineId != lastLineId;
}

// Column 1 as a number; false for a kind that holds none (text, bytes, flags,
// dates, sub-table pointers), which then matches nothing.
static bool columnNumber(const ColumnValue& value, double& number) {
  switch (value.kind) {
    case ColumnKind::Byte:
      number = static_cast<uint8_t>(value.integer);
      return true;
    case ColumnKind::Short:
    case ColumnKind::Int:
    case ColumnKind::Int64:
      number = static_cast<double>(value.integer);
      return true;
    case ColumnKind::Float:
    case ColumnKind::Double:
      number = value.real;
      return true;
    default:
      return false;
  }
}

bool keyColumnMatches(void* target) {
  double number = 0.0;
  if (!columnNumber(readColumn(1), number)) return false;
  return std::fabs(number - *static_cast<const int32_t*>(target)) <= kKeyTolerance;
}

// Column 2 of the record found for the number in `key`: searched from the
// table's current record, then once more from record 1; a number not in the
// table leaves record 1 current, so its text is used.
static std::string lookUpText(const char* alias, int32_t* key) {
  selectTable(alias);
  if (!findForward(keyColumnMatches, key)) {
    goToRecord(1);
    findForward(keyColumnMatches, key);
  }
  ColumnValue text = readColumn(2);
  // A column 2 that holds no text gives an empty text.
  return text.kind == ColumnKind::Text ? text.bytes : std::string();
}

// A slot outside 1 to 9999 has no map entry; it gets 0, the value of an
// unfilled entry, so that its line is still recorded.
static int32_t mapSpeakerSlot(int32_t slot) {
  if (slot < 1 || slot > kSpeakerSlotCount) return 0;
  return loadRelaxed(sharedState().speakerMap[slot]);
}

static int32_t speakerNumberOf(int32_t pid, int32_t record) {
  auto readNumber = [&](int32_t offset) {
    return truncateGameFloat(readFloat(pid, gameAddressPlus(record, offset)));
  };
  if (readInt32(pid, gameAddressPlus(record, kRecordKind)) == kKindThree) {
    int32_t slot = readNumber(kKindThreeSlot);
    return slot != 0 ? mapSpeakerSlot(slot) : readNumber(kKindThreeNameNumber);
  }
  int32_t slot = readNumber(kRecordSlot);
  return slot < 1 ? 1 : mapSpeakerSlot(slot);
}

void resolveNewLine() {
  SharedState& state = sharedState();
  state.lastLineId = state.currentLineId;
  state.lineText = lookUpText("a", &state.lastLineId);
  state.speakerNumber = speakerNumberOf(loadRelaxed(state.gamePid), state.currentLineRecord);
  state.speakerName = lookUpText("b", &state.speakerNumber);

  const std::string section = std::to_string(state.lastLineId);
  bool speakerWritten = writeRecordingKey(section, "s", state.speakerName, state.recordingIniPath);
  bool textWritten = writeRecordingKey(section, "c", state.lineText, state.recordingIniPath);

  std::string readOut = state.speakerName + kSpeakerSeparator + state.lineText;
  // A line the file refused must not be lost unnoticed; recording goes on.
  if (!speakerWritten || !textWritten) readOut += std::string("\r\n") + kWriteFailedNotice;
  setEditText(ControlId::编辑框2, readOut);
}
