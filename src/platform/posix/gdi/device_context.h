// Printer device contexts. Each device context drives one backend through a table of device
// operations, chosen when the context is created, much as a printer driver plugs into the
// graphics engine: pdf and ps draw on cairo surfaces written to files or commands, cups
// streams PDF into a CUPS job, raw lays text on a character grid for line printers. pdf and
// cups write text documents directly as PDF unless the printer asks for cairo.
#pragma once

#include <cairo.h>

#include "cups/cups_client.h"
#include "spool/output_sink.h"
#include "spool/printer_registry.h"
#include "win32_types.h"

struct DeviceContext;

// The page in device units. The device origin is the printable area's top left.
struct PageSetup {
    int dpi;
    int width, height;                    // the whole sheet, in the page's orientation
    int offset_x, offset_y;               // unprintable margin at the left and top
    int horz_res, vert_res;               // the printable area
    int width_tenth_mm, length_tenth_mm;  // the sheet as given, before turning
};

// One backend. Each operation returns 0 or a negative spooler code unless it says otherwise.
struct DeviceOps {
    const char *name;
    bool passthrough;  // takes the PASSTHROUGH escape
    // Opens the destination and the drawing surface for a document.
    int (*begin_doc)(DeviceContext *dc, const char *doc_name, const char *output);
    int (*begin_page)(DeviceContext *dc);
    int (*end_page)(DeviceContext *dc);
    // Completes the document; the destination is closed in every case.
    int (*end_doc)(DeviceContext *dc);
    // Abandons the document; nothing of it is left behind.
    void (*cancel_doc)(DeviceContext *dc);
    // Draws bytes of the selected font at the cell's top left; false when nothing was drawn.
    bool (*text)(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count);
    bool (*line)(DeviceContext *dc, int x0, int y0, int x1, int y1);
    // Sends bytes unchanged; result: the count, or a negative spooler code.
    int (*raw_bytes)(DeviceContext *dc, const void *bytes, int count);
};

extern const DeviceOps pdf_device_ops;
extern const DeviceOps ps_device_ops;
extern const DeviceOps cups_device_ops;
extern const DeviceOps raw_device_ops;
// pdf and cups written by the direct PDF text writer (cairo when a document's face needs it).
extern const DeviceOps pdf_direct_device_ops;
extern const DeviceOps cups_direct_device_ops;

enum DocState { DOC_NONE = 0, DOC_OPEN, DOC_ABORTED };

struct RawPage;
struct PdfDirect;

struct DeviceContext {
    int handle;
    PrinterInfo printer;
    const DeviceOps *ops;
    PageSetup page;
    CupsJobOptions job;  // copies, collation, paper and source of the document
    int font;            // handle of the selected font
    int default_font;    // the font a new context starts with; freed with the context
    int bk_mode;
    int pos_x, pos_y;  // current position for LineTo
    ABORTPROC abort_proc;
    long drawing_calls;  // drawing calls since the abort procedure last ran
    DocState doc;
    bool page_open;
    int job_id;
    OutputSink sink;
    cairo_surface_t *surface;  // pdf, ps, cups
    cairo_t *cr;
    RawPage *raw;       // raw
    PdfDirect *direct;  // pdf and cups documents written directly
};

// The device context behind a handle, or null.
DeviceContext *dc_from(HDC dc);
