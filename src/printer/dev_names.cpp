// The printer the print dialog hands back in a DEVNAMES block.
#include "printer/dev_names.h"

#include <cstring>

// Copies the text at `offset` in a block of `size` bytes, never reading past the block:
// a text without a terminator inside the block is refused; one too long for `out` is cut.
static bool CopyName(const char *base, SIZE_T size, WORD offset, char *out) {
    out[0] = 0;
    if (offset < sizeof(DEVNAMES) || offset >= size) return false;
    size_t room = size - offset;
    const char *text = base + offset;
    size_t length = strnlen(text, room);
    if (length == room) return false;
    if (length >= (size_t)CHOSEN_NAME_SIZE) length = CHOSEN_NAME_SIZE - 1;
    memcpy(out, text, length);
    out[length] = 0;
    return true;
}

bool ReadChosenPrinter(HGLOBAL names, ChosenPrinter *chosen) {
    memset(chosen, 0, sizeof *chosen);
    if (!names) return false;
    SIZE_T size = GlobalSize(names);
    const char *base = (const char *)GlobalLock(names);
    if (!base) return false;
    bool ok = size >= sizeof(DEVNAMES);
    if (ok) {
        const DEVNAMES *header = (const DEVNAMES *)base;
        ok = CopyName(base, size, header->wDeviceOffset, chosen->device) && chosen->device[0];
        // Driver and port are optional: an empty text stays empty.
        CopyName(base, size, header->wDriverOffset, chosen->driver);
        CopyName(base, size, header->wOutputOffset, chosen->port);
    }
    GlobalUnlock(names);
    return ok;
}
