// The printers' DEVMODE: their defaults and the merge of a caller's DEVMODE into them, as
// DocumentPropertiesA and the drivers' ExtDeviceMode hand them out.
#pragma once

#include "spool/printer_registry.h"
#include "win32_types.h"

// Size of the DEVMODE every printer uses: the published record with no private part.
const LONG PRINTER_DEVMODE_SIZE = (LONG)sizeof(DEVMODEA);

// Fills *dm with the printer's defaults: portrait, one copy, its default paper, automatic
// paper source, its resolution, the record's published version and size.
void devmode_defaults(const PrinterInfo *printer, DEVMODEA *dm);

// Copies the fields that in->dmFields names from `in` into `dm`, reading only the part of
// `in` its dmSize covers. A known paper code brings its width, length and form name along.
void devmode_merge(DEVMODEA *dm, const DEVMODEA *in);

// The common answer of DocumentPropertiesA and ExtDeviceMode: mode 0 gives the size; with
// DM_OUT_BUFFER the defaults (merged with `in` under DM_IN_BUFFER) go to `out` and the result
// is IDOK; a request to fill a missing buffer gives -1.
LONG devmode_query(const PrinterInfo *printer, DEVMODEA *out, const DEVMODEA *in, DWORD mode);
