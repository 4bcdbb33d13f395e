// The page of a new device context from the printer and the DEVMODE handed to CreateDCA.
#pragma once

#include "gdi/device_context.h"

// Fills the page and the job settings. The DEVMODE's fields count only when dmFields names
// them: paper by code (from the paper form table) or by width and length, form name, turning
// for landscape, copies, collation and paper source. `dm` may be null: the printer's defaults.
void page_setup_from_devmode(const PrinterInfo *printer, const DEVMODEA *dm, PageSetup *page,
                             CupsJobOptions *job);
