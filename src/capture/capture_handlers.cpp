#include "capture/capture_handlers.h"

void trackerTick() {}
void onStartButtonClicked() {}
void onDiscardButtonClicked() {}
