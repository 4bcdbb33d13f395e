// CreateDCA, DeleteDC and GetDeviceCaps: printer device contexts and their page.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/handles.h"
#include "core/trace.h"
#include "gdi/device_context.h"
#include "gdi/font_object.h"
#include "gdi/page_setup.h"
#include "gdi/pdf_direct.h"
#include "platform/windows_services.h"

DeviceContext *dc_from(HDC dc) { return (DeviceContext *)handle_get(handle_of(dc), HK_DC); }

namespace {

// The backend of a printer; pdf documents go to the direct writer unless cairo is asked for.
const DeviceOps *ops_for(const DeviceContext *dc) {
    const PrinterInfo *printer = &dc->printer;
    bool direct = pdf_direct_wanted(dc);
    switch (printer->driver) {
        case DRIVER_PDF:
            return direct ? &pdf_direct_device_ops : &pdf_device_ops;
        case DRIVER_PS:
            return &ps_device_ops;
        case DRIVER_RAW:
            return &raw_device_ops;
        case DRIVER_CUPS:
            if (printer->raw_queue) return &raw_device_ops;
            return direct ? &cups_direct_device_ops : &cups_device_ops;
        default:
            return nullptr;
    }
}

// The printer of a CreateDCA call: by name on the spooler road ("WINSPOOL"); on the driver
// road a known name keeps its settings, else driver and port describe it.
bool printer_for(const char *driver, const char *device, const char *port, PrinterInfo *out,
                 DWORD *error) {
    bool spooler = !driver || !*driver || strcasecmp(driver, "WINSPOOL") == 0;
    if (spooler) return registry_find(device, out, error);
    if (device && registry_find(device, out, error)) return true;
    char name[64];
    size_t n = strcspn(driver, ".");  // "pdf" or "pdf.drv"
    if (n >= sizeof name) n = sizeof name - 1;
    memcpy(name, driver, n);
    name[n] = 0;
    PrinterDriver kind = registry_driver_of(name);
    if (kind == DRIVER_NONE || !device) {
        *error = ERROR_MOD_NOT_FOUND;
        return false;
    }
    char entry[1200];
    snprintf(entry, sizeof entry, "%s,%s", kind == DRIVER_CUPS ? "pdf" : name, port ? port : "");
    if (!registry_parse_entry(entry, out)) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    out->driver = kind;
    if (kind == DRIVER_CUPS) snprintf(out->port, sizeof out->port, "%s", port ? port : device);
    snprintf(out->name, sizeof out->name, "%s", device);
    return true;
}

// The font a new printer context starts with: the resident Courier at 12 points, which lays
// text on the line-printer grid of 10 characters and 6 lines per inch.
int default_font(int dpi) {
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -(dpi * 12 + 36) / 72;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfPitchAndFamily = FF_MODERN | FIXED_PITCH;
    strcpy(lf.lfFaceName, DEVICE_FONT_FACE);
    int handle = font_create(&lf);
    FontObject *font = font_from(handle);
    if (font) {
        font->dc_default = true;
        font->selections = 1;
    }
    return handle;
}

}  // namespace

// A printer device context for the named printer with the DEVMODE's settings; null with the
// last error set when the printer or its driver is unknown.
HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA *devmode) {
    TraceLine t;
    trace_begin(&t, "CreateDCA");
    trace_str(&t, "driver", driver);
    trace_str(&t, "device", device);
    trace_str(&t, "port", port);
    trace_devmode(&t, "devmode", devmode);
    long long forced;
    if (fault_check("CreateDCA", &forced)) {
        trace_fault(&t, forced);
        return forced ? handle_to<HDC>((int)forced) : nullptr;
    }
    DWORD error = ERROR_INVALID_PRINTER_NAME;
    DeviceContext *dc = (DeviceContext *)calloc(1, sizeof(DeviceContext));
    if (!dc || !printer_for(driver, device, port, &dc->printer, &error) ||
        !(dc->ops = ops_for(dc))) {
        free(dc);
        SetLastError(dc ? error : ERROR_NOT_ENOUGH_MEMORY);
        return (HDC)trace_end_handle(&t, nullptr);
    }
    page_setup_from_devmode(&dc->printer, devmode, &dc->page, &dc->job);
    dc->bk_mode = OPAQUE;
    dc->default_font = dc->font = default_font(dc->page.dpi);
    dc->handle = dc->default_font ? handle_alloc(HK_DC, dc) : 0;
    if (!dc->handle) {
        font_destroy(dc->default_font);
        free(dc);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return (HDC)trace_end_handle(&t, nullptr);
    }
    return (HDC)trace_end_handle(&t, handle_to<HDC>(dc->handle));
}

// Releases a device context. A document still open is cancelled and nothing of it remains.
BOOL WINAPI DeleteDC(HDC hdc) {
    TraceLine t;
    trace_begin(&t, "DeleteDC");
    trace_handle(&t, "hdc", hdc);
    DeviceContext *dc = dc_from(hdc);
    if (!dc) return (BOOL)trace_end(&t, FALSE);
    if (dc->doc == DOC_OPEN) dc->ops->cancel_doc(dc);
    FontObject *selected = font_from(dc->font);
    if (selected && dc->font != dc->default_font) selected->selections--;
    FontObject *own = font_from(dc->default_font);
    if (own) {
        own->dc_default = false;
        own->selections = 0;
        font_destroy(dc->default_font);
    }
    handle_release(dc->handle, HK_DC);
    free(dc);
    return (BOOL)trace_end(&t, TRUE);
}

// Device facts: resolution, the sheet, the printable area and its offset; 0 for other indexes.
int WINAPI GetDeviceCaps(HDC hdc, int index) {
    TraceLine t;
    trace_begin(&t, "GetDeviceCaps");
    trace_int(&t, "index", index);
    DeviceContext *dc = dc_from(hdc);
    if (!dc) return (int)trace_end(&t, 0);
    const PageSetup &p = dc->page;
    int value = 0;
    switch (index) {
        case TECHNOLOGY:
            value = DT_RASPRINTER;
            break;
        case HORZSIZE:
            value = (int)(p.horz_res * 25.4 / p.dpi + 0.5);
            break;
        case VERTSIZE:
            value = (int)(p.vert_res * 25.4 / p.dpi + 0.5);
            break;
        case HORZRES:
            value = p.horz_res;
            break;
        case VERTRES:
            value = p.vert_res;
            break;
        case LOGPIXELSX:
        case LOGPIXELSY:
            value = p.dpi;
            break;
        case PHYSICALWIDTH:
            value = p.width;
            break;
        case PHYSICALHEIGHT:
            value = p.height;
            break;
        case PHYSICALOFFSETX:
            value = p.offset_x;
            break;
        case PHYSICALOFFSETY:
            value = p.offset_y;
            break;
        default:
            break;
    }
    return (int)trace_end(&t, value);
}
