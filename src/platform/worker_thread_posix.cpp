#include "platform/worker_thread.h"

#include <pthread.h>

#include <atomic>

struct WorkerThreadRecord {
  pthread_t thread{};
  void (*entry)(void*) = nullptr;
  void* argument = nullptr;
  std::atomic<bool> ended{false};
};

static void* runWorker(void* parameter) {
  auto* record = static_cast<WorkerThreadRecord*>(parameter);
  record->entry(record->argument);
  record->ended.store(true, std::memory_order_release);
  return nullptr;
}

bool startWorkerThread(WorkerThread& thread, void (*entry)(void*), void* argument) {
  auto* record = new WorkerThreadRecord;
  record->entry = entry;
  record->argument = argument;
  if (pthread_create(&record->thread, nullptr, runWorker, record) != 0) {
    delete record;
    thread.record = nullptr;
    return false;
  }
  thread.record = record;
  return true;
}

bool workerThreadHasEnded(const WorkerThread& thread) {
  if (thread.record == nullptr) return true;
  return thread.record->ended.load(std::memory_order_acquire);
}

void releaseWorkerThread(WorkerThread& thread) {
  if (thread.record == nullptr) return;
  pthread_join(thread.record->thread, nullptr);
  delete thread.record;
  thread.record = nullptr;
}
