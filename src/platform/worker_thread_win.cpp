#include "platform/worker_thread.h"

#include <windows.h>

#include <atomic>

struct WorkerThreadRecord {
  HANDLE handle = nullptr;
  void (*entry)(void*) = nullptr;
  void* argument = nullptr;
};

static DWORD WINAPI runWorker(LPVOID parameter) {
  auto* record = static_cast<WorkerThreadRecord*>(parameter);
  record->entry(record->argument);
  return 0;
}

bool startWorkerThread(WorkerThread& thread, void (*entry)(void*), void* argument) {
  auto* record = new WorkerThreadRecord{nullptr, entry, argument};
  record->handle = CreateThread(nullptr, 0, runWorker, record, 0, nullptr);
  if (record->handle == nullptr) {
    delete record;
    thread.record = nullptr;
    return false;
  }
  thread.record = record;
  return true;
}

bool workerThreadHasEnded(const WorkerThread& thread) {
  if (thread.record == nullptr) return true;
  return WaitForSingleObject(thread.record->handle, 0) == WAIT_OBJECT_0;
}

void releaseWorkerThread(WorkerThread& thread) {
  if (thread.record == nullptr) return;
  WaitForSingleObject(thread.record->handle, INFINITE);
  CloseHandle(thread.record->handle);
  delete thread.record;
  thread.record = nullptr;
}
