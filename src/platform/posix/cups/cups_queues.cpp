// Queue discovery: one CUPS-Get-Printers request answers for every queue of the scheduler.
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "cups/cups_client.h"
#include "cups/cups_internal.h"

namespace {

// Queries are small; a scheduler that takes longer than this to answer one is treated as
// not answering, so listing printers never stalls a run.
constexpr double kQuerySeconds = 5.0;

// The most queues find looks through; schedulers with more are truncated at this count.
constexpr int kFindLimit = 1024;

const char *const kWanted[] = {"printer-name", "printer-make-and-model", "media-default",
                               "media-col-default"};

int int_member(ipp_t *col, const char *name, int missing) {
    ipp_attribute_t *attr = col ? ippFindAttribute(col, name, IPP_TAG_INTEGER) : nullptr;
    return attr ? ippGetInteger(attr, 0) : missing;
}

// Reads the default media's size and margins from media-col-default, falling back to the
// size libcups knows for the media-default name.
void read_media(ipp_t *group, CupsQueue *q) {
    ipp_attribute_t *name = ippFindAttribute(group, "media-default", IPP_TAG_ZERO);
    if (name && ippGetString(name, 0, nullptr))
        cups_copy_text(q->media_default, sizeof q->media_default, ippGetString(name, 0, nullptr));
    ipp_attribute_t *col_attr =
        ippFindAttribute(group, "media-col-default", IPP_TAG_BEGIN_COLLECTION);
    ipp_t *col = col_attr ? ippGetCollection(col_attr, 0) : nullptr;
    ipp_attribute_t *size_attr =
        col ? ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
    ipp_t *size = size_attr ? ippGetCollection(size_attr, 0) : nullptr;
    q->width_hmm = int_member(size, "x-dimension", 0);
    q->length_hmm = int_member(size, "y-dimension", 0);
    q->left_hmm = int_member(col, "media-left-margin", -1);
    q->bottom_hmm = int_member(col, "media-bottom-margin", -1);
    q->right_hmm = int_member(col, "media-right-margin", -1);
    q->top_hmm = int_member(col, "media-top-margin", -1);
    // A named media has an exact size; drivers often round it to whole points (A4 as
    // 595 x 842 pt), so the name's size wins when libcups knows the name.
    pwg_media_t *known = nullptr;
    if (q->media_default[0]) {
        known = pwgMediaForPWG(q->media_default);
        if (!known) known = pwgMediaForLegacy(q->media_default);
        if (!known) known = pwgMediaForPPD(q->media_default);
    } else if (q->width_hmm > 0 && q->length_hmm > 0) {
        known = pwgMediaForSize(q->width_hmm, q->length_hmm);
        if (known && known->pwg)
            cups_copy_text(q->media_default, sizeof q->media_default, known->pwg);
    }
    if (known) {
        q->width_hmm = known->width;
        q->length_hmm = known->length;
    }
}

// Fills one queue from the printer group that starts at *cursor and leaves *cursor on the
// attribute after the group; false when the group has no printer-name.
bool read_queue(ipp_t *response, ipp_attribute_t **cursor, CupsQueue *q) {
    memset(q, 0, sizeof *q);
    ipp_t *group = ippNew();
    ipp_attribute_t *a = *cursor;
    for (; a && ippGetGroupTag(a) == IPP_TAG_PRINTER; a = ippNextAttribute(response))
        ippCopyAttribute(group, a, 0);
    *cursor = a;
    ipp_attribute_t *name = ippFindAttribute(group, "printer-name", IPP_TAG_NAME);
    bool ok = name && ippGetString(name, 0, nullptr);
    if (ok) {
        cups_copy_text(q->name, sizeof q->name, ippGetString(name, 0, nullptr));
        ipp_attribute_t *model = ippFindAttribute(group, "printer-make-and-model", IPP_TAG_TEXT);
        if (model)
            cups_copy_text(q->make_and_model, sizeof q->make_and_model,
                           ippGetString(model, 0, nullptr));
        q->raw = strcmp(q->make_and_model, "Local Raw Printer") == 0;
        read_media(group, q);
    }
    ippDelete(group);
    return ok;
}

// The user's default destination as libcups resolves it (LPDEST/PRINTER, lpoptions, then
// the scheduler's default), or "" when there is none.
void default_name(http_t *http, char *out, size_t size) {
    out[0] = '\0';
    cups_dest_t *dest = cupsGetNamedDest(http, nullptr, nullptr);
    if (dest) cups_copy_text(out, size, dest->name);
    cupsFreeDests(dest ? 1 : 0, dest);
}

}  // namespace

int cups_list_queues(CupsQueue *out, int max) {
    http_t *http = cups_connect(kQuerySeconds);
    if (!http) return 0;
    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  sizeof kWanted / sizeof kWanted[0], nullptr, kWanted);
    ipp_t *response = cupsDoRequest(http, request, "/");
    int count = 0;
    if (!response && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
        // NOT_FOUND here only means the scheduler has no queues at all.
        cups_set_error_from_ipp();
    } else {
        cups_set_error(ERROR_SUCCESS);
    }
    if (response) {
        char default_queue[128];
        default_name(http, default_queue, sizeof default_queue);
        ipp_attribute_t *a = ippFirstAttribute(response);
        while (a && count < max) {
            if (ippGetGroupTag(a) != IPP_TAG_PRINTER) {
                a = ippNextAttribute(response);
                continue;
            }
            if (read_queue(response, &a, &out[count])) {
                out[count].is_default = strcasecmp(out[count].name, default_queue) == 0;
                count++;
            }
        }
        ippDelete(response);
    }
    httpClose(http);
    return count;
}

bool cups_find_queue(const char *name, CupsQueue *out) {
    if (!name || !name[0]) {
        cups_set_error(ERROR_INVALID_PRINTER_NAME);
        return false;
    }
    CupsQueue *all = static_cast<CupsQueue *>(calloc(kFindLimit, sizeof(CupsQueue)));
    if (!all) {
        cups_set_error(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    int count = cups_list_queues(all, kFindLimit);
    bool found = false;
    for (int i = 0; i < count && !found; i++) {
        if (strcasecmp(all[i].name, name) != 0) continue;
        *out = all[i];
        found = true;
    }
    // An empty list with an error keeps that error (scheduler down); otherwise the name is
    // simply not a queue of this scheduler.
    if (!found && (count > 0 || cups_last_error() == ERROR_SUCCESS))
        cups_set_error(ERROR_INVALID_PRINTER_NAME);
    if (found) cups_set_error(ERROR_SUCCESS);
    free(all);
    return found;
}
