// Drawing on a cairo surface in device units, shared by the pdf, ps and cups backends.
#pragma once

#include "gdi/device_context.h"

enum CairoKind { CAIRO_DEVICE_PDF, CAIRO_DEVICE_PS };

// Creates the surface of `kind` streaming into dc->sink (already open) and its drawing context
// in device units with the printable area's top left as origin. 0 or a spooler code; on
// failure the sink is discarded.
int cairo_device_begin(DeviceContext *dc, CairoKind kind, const char *title);
// A cairo page needs no preparation: drawing starts on the surface's current page.
int cairo_device_begin_page(DeviceContext *dc);
int cairo_device_end_page(DeviceContext *dc);
int cairo_device_end_doc(DeviceContext *dc);
void cairo_device_cancel(DeviceContext *dc);
bool cairo_device_text(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count);
bool cairo_device_line(DeviceContext *dc, int x0, int y0, int x1, int y1);
// The PASSTHROUGH operation of a device that draws: it takes no raw bytes (QUERYESCSUPPORT
// says so first), and a stray call sends nothing.
int device_no_raw_bytes(DeviceContext *dc, const void *bytes, int count);
