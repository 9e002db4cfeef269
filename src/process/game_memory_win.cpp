#include <windows.h>

#include "process/game_memory.h"

bool readGameMemory(int32_t pid, uint32_t address, void* buffer, size_t size) {
  // The tool only reads the game, so it asks for the right to read and no
  // more: rights to write, terminate or debug the game are refused in setups
  // that allow reading, and the tool has no use for them.
  HANDLE process = pid == kOwnProcess ? GetCurrentProcess()
                                      : OpenProcess(PROCESS_VM_READ, FALSE, static_cast<DWORD>(pid));
  SIZE_T bytesRead = 0;
  BOOL ok = process != nullptr &&
            ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)),
                              buffer, size, &bytesRead);
  if (process != nullptr) CloseHandle(process);  // a no-op on the pseudo-handle of our own process
  return ok && bytesRead == size;  // a partial read is a failure
}
