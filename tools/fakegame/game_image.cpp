#include "fakegame/game_image.h"

#include <cstring>

namespace {

bool inside(const GameImage& image, uint32_t address, uint32_t width) {
  return address >= image.base && static_cast<uint64_t>(address) + width <= static_cast<uint64_t>(image.base) + image.size;
}

// Through a volatile pointer: another process reads these words, so no store
// may be dropped or merged.
void pokeBytes(GameImage& image, uint32_t address, const void* value, uint32_t width) {
  volatile uint8_t* target = image.bytes + (address - image.base);
  const uint8_t* source = static_cast<const uint8_t*>(value);
  if (width == 4 && (address & 3) == 0) {
    // An aligned word is stored whole, so a reader never sees half of it.
    uint32_t word;
    std::memcpy(&word, source, 4);
    *reinterpret_cast<volatile uint32_t*>(target) = word;
    return;
  }
  for (uint32_t i = 0; i < width; ++i) target[i] = source[i];
}

void pokeWord(GameImage& image, uint32_t address, int32_t value) { pokeBytes(image, address, &value, 4); }
void pokeReal(GameImage& image, uint32_t address, float value) { pokeBytes(image, address, &value, 4); }

uint32_t allocate(GameImage& image, uint32_t size) {
  uint32_t address = (image.heapNext + 7u) & ~7u;
  if (static_cast<uint64_t>(address) + size > static_cast<uint64_t>(image.base) + image.size) return 0;
  image.heapNext = address + size;
  return address;
}

uint32_t highestBuildAddress() {
  uint32_t highest = 0;
  for (const BuildRow& row : kBuildTable) {
    const BuildProfile& p = row.profile;
    const uint32_t ends[] = {uint32_t(p.dialogueListAddr) + 20, uint32_t(p.conversationAddr) + 4,
                             uint32_t(p.sceneWatchAddr) + 4, uint32_t(p.rosterCountAddr) + 4,
                             uint32_t(p.rosterTableAddr) + 4};
    for (uint32_t end : ends) highest = end > highest ? end : highest;
  }
  return highest;
}

uint32_t lowestBuildAddress() {
  uint32_t lowest = UINT32_MAX;
  for (const BuildRow& row : kBuildTable) {
    const BuildProfile& p = row.profile;
    const uint32_t starts[] = {uint32_t(p.dialogueListAddr), uint32_t(p.conversationAddr),
                               uint32_t(p.sceneWatchAddr), uint32_t(p.rosterCountAddr),
                               uint32_t(p.rosterTableAddr)};
    for (uint32_t start : starts) lowest = start < lowest ? start : lowest;
  }
  return lowest;
}

// Entry I (from 1) of the character table, made on first use.
uint32_t rosterEntry(GameImage& image, int32_t index) {
  uint32_t slot = image.rosterArray + 4u * static_cast<uint32_t>(index - 1);
  uint32_t entry = static_cast<uint32_t>(peekInt32(image, slot));
  if (entry == 0) {
    entry = allocate(image, static_cast<uint32_t>(image.layout.rosterEntryOffset) + 8);
    if (entry != 0) pokeWord(image, slot, static_cast<int32_t>(entry));
  }
  return entry;
}

bool setRosterEntry(GameImage& image, int32_t index, int32_t nameNumber, int32_t slot, std::string& error) {
  if (index < 1 || static_cast<uint32_t>(index) > kRosterCapacity) {
    error = "the character table holds entries 1 to " + std::to_string(kRosterCapacity);
    return false;
  }
  uint32_t entry = rosterEntry(image, index);
  if (entry == 0) {
    error = "the game's memory is full";
    return false;
  }
  uint32_t offset = static_cast<uint32_t>(image.layout.rosterEntryOffset);
  pokeWord(image, entry + offset, nameNumber);
  pokeWord(image, entry + offset + 4, slot);
  return true;
}

}  // namespace

int32_t peekInt32(const GameImage& image, uint32_t address) {
  if (!inside(image, address, 4)) return 0;
  int32_t value;
  const volatile uint8_t* source = image.bytes + (address - image.base);
  uint8_t copy[4] = {source[0], source[1], source[2], source[3]};
  std::memcpy(&value, copy, 4);
  return value;
}

bool layOutGame(GameImage& image, uint8_t* bytes, uint32_t base, uint32_t size, const BuildProfile* profile,
                std::string& error) {
  image = GameImage{};
  image.bytes = bytes;
  image.base = base;
  image.size = size;
  std::memset(bytes, 0, size);
  if (!inside(image, lowestBuildAddress(), 1) || !inside(image, highestBuildAddress(), 0)) {
    error = "the game's memory block does not hold the builds' addresses";
    return false;
  }
  // The heap starts above every build's fixed words, so any build can be laid out.
  image.heapNext = (highestBuildAddress() + 0xFFFu) & ~0xFFFu;

  if (profile != nullptr) {
    image.layout = *profile;
  } else {
    // An unknown build keeps its words where no known build looks.
    image.layout.dialogueListAddr = static_cast<int32_t>(allocate(image, 20));
    image.layout.conversationAddr = static_cast<int32_t>(allocate(image, 4));
    image.layout.sceneWatchAddr = static_cast<int32_t>(allocate(image, 4));
    image.layout.rosterCountAddr = static_cast<int32_t>(allocate(image, 4));
    image.layout.rosterTableAddr = static_cast<int32_t>(allocate(image, 4));
    image.layout.rosterEntryOffset = 0x508;
  }
  image.dialogueArray = allocate(image, 4 * kDialogueCapacity);
  image.conversationObject = allocate(image, kConversationWordOffset + 4);
  image.rosterArray = allocate(image, 4 * kRosterCapacity);
  if (image.rosterArray == 0) {
    error = "the game's memory block is too small";
    return false;
  }
  const BuildProfile& at = image.layout;
  pokeWord(image, uint32_t(at.dialogueListAddr), static_cast<int32_t>(image.dialogueArray));
  pokeWord(image, uint32_t(at.conversationAddr), static_cast<int32_t>(image.conversationObject));
  pokeWord(image, uint32_t(at.rosterTableAddr), static_cast<int32_t>(image.rosterArray));
  return true;
}

bool applyCommand(GameImage& image, const Command& command, std::string& error) {
  const BuildProfile& at = image.layout;
  const uint32_t list = static_cast<uint32_t>(at.dialogueListAddr);
  switch (command.kind) {
    case CommandKind::Roster: {
      int32_t count = static_cast<int32_t>(command.ints.size() / 2);
      for (int32_t i = 0; i < count; ++i) {
        if (!setRosterEntry(image, i + 1, command.ints[2 * i], command.ints[2 * i + 1], error)) return false;
      }
      pokeWord(image, uint32_t(at.rosterCountAddr), count);
      return true;
    }
    case CommandKind::RosterAdd: {
      int32_t count = peekInt32(image, uint32_t(at.rosterCountAddr));
      if (count < 0) count = 0;
      if (!setRosterEntry(image, count + 1, command.ints[0], command.ints[1], error)) return false;
      pokeWord(image, uint32_t(at.rosterCountAddr), count + 1);
      return true;
    }
    case CommandKind::RosterSet:
      return setRosterEntry(image, command.ints[0], command.ints[1], command.ints[2], error);
    case CommandKind::RosterCount:
      pokeWord(image, uint32_t(at.rosterCountAddr), command.ints[0]);
      return true;
    case CommandKind::Scene:
      pokeWord(image, uint32_t(at.sceneWatchAddr), command.ints[0]);
      return true;
    case CommandKind::Record: {
      // The new record goes to the position the count word names, then the
      // count is raised: the game's order, so a reader never sees a count
      // that runs ahead of its entries.
      int32_t count = peekInt32(image, list + 8);
      if (count < 0 || static_cast<uint32_t>(count) >= kDialogueCapacity) {
        error = "the dialogue list's count is " + std::to_string(count) + ", outside 0 to " +
                std::to_string(kDialogueCapacity - 1);
        return false;
      }
      uint32_t record = allocate(image, kDialogueRecordSize);
      if (record == 0) {
        error = "the game's memory is full";
        return false;
      }
      pokeWord(image, record, command.ints[0]);
      pokeReal(image, record + 4, command.floats[0]);
      pokeReal(image, record + 12, command.floats[1]);
      pokeReal(image, record + 16, command.floats[2]);
      pokeReal(image, record + 20, command.floats[3]);
      pokeWord(image, image.dialogueArray + 4u * static_cast<uint32_t>(count), static_cast<int32_t>(record));
      pokeWord(image, list + 8, count + 1);
      return true;
    }
    case CommandKind::ListWords:
      pokeWord(image, list + 12, command.ints[0]);
      pokeWord(image, list + 16, command.ints[1]);
      return true;
    case CommandKind::ListCount:
      // The entries stay in the array: the game empties its list by its count.
      pokeWord(image, list + 8, command.ints[0]);
      return true;
    case CommandKind::Conversation:
      pokeWord(image, image.conversationObject + kConversationWordOffset, command.ints[0]);
      return true;
    case CommandKind::Wait:
    case CommandKind::Hold:
    case CommandKind::Exit:
      break;
  }
  error = "not a memory command";
  return false;
}
