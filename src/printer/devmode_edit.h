// Editing a printer's device mode from the job's settings.
#pragma once

#include "job/print_job.h"

// The device-mode layout of Windows 3.1 (version 0x30A) has no form name and no collation; only a
// device mode of a later layout receives them.
const WORD DEVMODE_VERSION_31 = 0x30A;

// Writes the job's copies, orientation, source, paper size or form and, above the 3.1 layout,
// the form name and collation into `devmode`, and sets dmFields to exactly those fields.
// `devmode` must hold at least sizeof(DEVMODEA) bytes (the caller allocates that much).
void EditDevMode(const PrintJob *job, DEVMODEA *devmode);

// A 32-bit setting stored in a 16-bit DEVMODE field: values beyond the field's range are
// clamped to its ends rather than wrapped, so 40000 copies never turn into a negative count.
short ClampToShort(int32_t value);
