// The abort procedure's turns inside the printing calls.
#pragma once

#include "gdi/device_context.h"

// How many drawing calls pass between two calls of the abort procedure.
const long DRAWING_CALLS_PER_ABORT_CHECK = 16;

// Gives the abort procedure its turn. When it answers FALSE the document is cancelled (nothing
// of it is kept) and every later printing call of the document returns SP_APPABORT. Result:
// true to go on. The context may be gone afterwards, so callers look it up again by handle.
bool abort_check(HDC hdc);
// Counts one drawing call and gives the abort procedure its turn every so many calls.
bool abort_check_drawing(HDC hdc);
