// A background thread for the speaker-map scan. Windows threads in the product,
// POSIX threads in the native test build.
#pragma once

struct WorkerThreadRecord;  // defined by each platform file

struct WorkerThread {
  WorkerThreadRecord* record = nullptr;  // none before the first start
};

// Starts entry(argument) on a new thread. False, with `thread` left empty, when
// the system could not create one.
bool startWorkerThread(WorkerThread& thread, void (*entry)(void*), void* argument);

// True when the thread has run to its end (or none was started).
bool workerThreadHasEnded(const WorkerThread& thread);

// Releases an ended thread's handle; waits for the thread first if it still
// runs, so call it only once workerThreadHasEnded says so (or at shutdown).
void releaseWorkerThread(WorkerThread& thread);
