#include "capture/speaker_scan.h"

#include <cstdint>

#include "app/shared_state.h"
#include "process/game_memory.h"

static ScanThreadStarter theThreadStarter = startWorkerThread;

void setScanThreadStarter(ScanThreadStarter starter) {
  theThreadStarter = starter != nullptr ? starter : startWorkerThread;
}

// A scan stays current until another one starts; a superseded scan returns at
// its next read or write without touching the shared state again.
static bool scanIsCurrent(uint32_t generation) {
  return sharedState().scanGeneration.load(std::memory_order_acquire) == generation;
}

static void scanForGeneration(uint32_t generation) {
  SharedState& state = sharedState();
  const int32_t pid = loadRelaxed(state.gamePid);
  const int32_t table = loadRelaxed(state.rosterTableAddr);
  const int32_t entryOffset = loadRelaxed(state.rosterEntryOffset);
  // One read of the game, unless a newer scan has started meanwhile.
  auto read = [&](int32_t address, int32_t& value) {
    if (!scanIsCurrent(generation)) return false;
    value = readInt32(pid, address);
    return true;
  };

  if (!scanIsCurrent(generation)) return;
  for (int32_t slot = 1; slot <= kSpeakerSlotCount; ++slot) storeRelaxed(state.speakerMap[slot], 0);
  int32_t count = 0;
  if (!read(loadRelaxed(state.rosterCountAddr), count)) return;
  for (int32_t index = 1; index <= count; ++index) {
    // The entry's address is read afresh for its name number: the game runs
    // on between the reads.
    int32_t pointers = 0, entry = 0, slot = 0, nameNumber = 0;
    if (!read(table, pointers) || !read(gameArrayEntry(pointers, index), entry) ||
        !read(gameAddressPlus(entry, static_cast<int64_t>(entryOffset) + 4), slot)) {
      return;
    }
    if (slot < 1 || slot > kSpeakerSlotCount) {
      if (!scanIsCurrent(generation)) return;
      storeRelaxed(state.rosterCountSeen, -1);  // stale: the next tick scans again
      break;
    }
    if (!read(table, pointers) || !read(gameArrayEntry(pointers, index), entry) ||
        !read(gameAddressPlus(entry, entryOffset), nameNumber) || !scanIsCurrent(generation)) {
      return;
    }
    storeRelaxed(state.speakerMap[slot], nameNumber);
  }
  if (!scanIsCurrent(generation)) return;
  state.scanRunning.store(0, std::memory_order_release);
}

static void runScanWorker(void* argument) {
  scanForGeneration(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(argument)));
}

// Makes every earlier scan stale and waits for its worker, which stops at its
// next read, so that no two scans ever write the map at once. Also closes the
// handle of the last worker.
static uint32_t startNewGeneration() {
  SharedState& state = sharedState();
  uint32_t generation = state.scanGeneration.fetch_add(1, std::memory_order_acq_rel) + 1;
  releaseWorkerThread(state.scanThread);
  return generation;
}

void scanSpeakerTable() { scanForGeneration(startNewGeneration()); }

void checkRescan() {
  SharedState& state = sharedState();
  if (workerThreadHasEnded(state.scanThread)) releaseWorkerThread(state.scanThread);
  const int32_t pid = loadRelaxed(state.gamePid);
  if (readInt32(pid, state.sceneWatchAddr) != state.sceneWatchValue) {
    state.sceneWatchValue = readInt32(pid, state.sceneWatchAddr);
    storeRelaxed(state.rosterCountSeen, -1);
  }
  const int32_t countAddr = loadRelaxed(state.rosterCountAddr);
  if (readInt32(pid, countAddr) == loadRelaxed(state.rosterCountSeen) ||
      state.scanRunning.load(std::memory_order_acquire) != 0) {
    return;
  }
  uint32_t generation = startNewGeneration();
  state.scanRunning.store(1, std::memory_order_release);
  storeRelaxed(state.rosterCountSeen, readInt32(pid, countAddr));
  void* argument = reinterpret_cast<void*>(static_cast<uintptr_t>(generation));
  if (!theThreadStarter(state.scanThread, runScanWorker, argument)) {
    // No worker: leave the map marked stale so that a later tick tries again.
    state.scanRunning.store(0, std::memory_order_release);
    storeRelaxed(state.rosterCountSeen, -1);
  }
}
