// Drawing a printer document straight into PDF with the PDF text writer, shared by the pdf and
// cups backends: runs of text on the character grid, underlines, strikeouts and ruler lines.
// Positions arrive in device units from the printable area's top left, as on cairo.
#pragma once

#include "gdi/device_context.h"

// True when documents of this context should be written directly: the printer does not ask
// for cairo ("engine=cairo") and neither does PELLMARK_PDF_ENGINE=cairo.
bool pdf_direct_wanted(const DeviceContext *dc);
// Starts a direct document into dc->sink (already open) with the context's selected font as
// its first face. False, with nothing written and the sink untouched, when that face cannot
// be embedded directly (not TrueType, say) or memory is short: the caller then draws the
// document with cairo.
bool pdf_direct_begin(DeviceContext *dc, const char *title);
// The document operations of a direct document, with the cairo device's contracts.
int pdf_direct_begin_page(DeviceContext *dc);
int pdf_direct_end_page(DeviceContext *dc);
int pdf_direct_end_doc(DeviceContext *dc);
void pdf_direct_cancel(DeviceContext *dc);
bool pdf_direct_text(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count);
bool pdf_direct_line(DeviceContext *dc, int x0, int y0, int x1, int y1);
