// Handle table of the POSIX layer: see handles.h.
#include "handles.h"

namespace {

struct Slot {
    HandleKind kind;
    void *object;
};
Slot slots[HANDLE_TABLE_SIZE];

}  // namespace

int handle_alloc(HandleKind kind, void *object) {
    for (int h = 1; h < HANDLE_TABLE_SIZE; h++) {
        if (slots[h].kind == HK_FREE) {
            slots[h].kind = kind;
            slots[h].object = object;
            return h;
        }
    }
    return 0;
}

void *handle_get(int handle, HandleKind kind) {
    if (handle <= 0 || handle >= HANDLE_TABLE_SIZE || slots[handle].kind != kind) return nullptr;
    return slots[handle].object;
}

void *handle_release(int handle, HandleKind kind) {
    if (handle <= 0 || handle >= HANDLE_TABLE_SIZE || slots[handle].kind != kind) return nullptr;
    void *object = slots[handle].object;
    slots[handle].kind = HK_FREE;
    slots[handle].object = nullptr;
    return object;
}

HandleKind handle_kind(int handle) {
    if (handle <= 0 || handle >= HANDLE_TABLE_SIZE) return HK_FREE;
    return slots[handle].kind;
}
