// Identifiers of the program file's resources; read by the resource compiler
// too, so plain macros only.
#pragma once

#define TALLOWICK_ICON_ID 1
