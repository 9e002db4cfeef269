#include "attach/attach_monitor.h"

void attachTick() {}
