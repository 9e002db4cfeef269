// The speaker map: which name number each speaker slot of the game stands for,
// rebuilt from the game's character table.
#pragma once

#include "platform/worker_thread.h"

// Rebuilds speakerMap on the calling thread (recording start). It starts a new
// scan generation: a worker still scanning stops at its next read, writes
// nothing more, and is waited for before this scan begins.
void scanSpeakerTable();

// End of every capture tick: when the scene value or the character count has
// changed and no scan runs, rebuilds the map on a worker thread.
void checkRescan();

// How checkRescan starts its worker; tests put in a starter that fails or one
// that keeps the worker to run it themselves. nullptr restores the real one.
using ScanThreadStarter = bool (*)(WorkerThread& thread, void (*entry)(void*), void* argument);
void setScanThreadStarter(ScanThreadStarter starter);
