#include "app/shared_state.h"

#include <new>

static SharedState* theState = nullptr;

SharedState& sharedState() {
  if (theState == nullptr) theState = new SharedState();
  return *theState;
}

void resetSharedState() {
  SharedState& state = sharedState();
  releaseWorkerThread(state.scanThread);
  state.~SharedState();
  new (&state) SharedState();
}
