// GlobalAlloc, GlobalLock, GlobalUnlock, GlobalFree and GlobalSize.
//
// A movable block (GMEM_MOVEABLE) is a handle from the layer's handle table; its memory is
// reached through GlobalLock, which counts locks as Windows does. A fixed block (GMEM_FIXED)
// is, as on Windows, its own pointer: GlobalLock returns it unchanged and its lock count is
// always 0. Both kinds are recorded so that a wrong or stale handle fails instead of crashing.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "../core/handles.h"
#include "../core/trace.h"
#include "../win32_api.h"
#include "errors.h"

namespace {

// Windows keeps at most 255 locks per movable block (GMEM_LOCKCOUNT); further locks still
// return the pointer but are not counted.
const unsigned MAX_LOCKS = 255;

struct GlobalBlock {
    void *data;  // null for a movable block of 0 bytes (Windows calls it discarded)
    SIZE_T size;
    unsigned locks;
    bool fixed;
};

std::mutex fixed_lock;
std::map<void *, GlobalBlock *> fixed_blocks;

// The record behind a handle of either kind, or nullptr with ERROR_INVALID_HANDLE.
GlobalBlock *find_block(HGLOBAL memory) {
    int handle = handle_of(memory);
    if (handle != 0) {
        GlobalBlock *block = static_cast<GlobalBlock *>(handle_get(handle, HK_GLOBAL));
        if (block != nullptr) return block;
    } else if (memory != nullptr) {
        std::lock_guard<std::mutex> hold(fixed_lock);
        auto found = fixed_blocks.find(memory);
        if (found != fixed_blocks.end()) return found->second;
    }
    set_last_error(ERROR_INVALID_HANDLE);
    return nullptr;
}

// Allocates the record and the memory. Result: the record, or nullptr (out of memory).
GlobalBlock *new_block(UINT flags, SIZE_T bytes) {
    GlobalBlock *block = static_cast<GlobalBlock *>(malloc(sizeof(GlobalBlock)));
    if (block == nullptr) return nullptr;
    block->fixed = (flags & GMEM_MOVEABLE) == 0;
    block->size = bytes;
    block->locks = 0;
    block->data = nullptr;
    if (bytes > 0 || block->fixed) {
        // A fixed block of 0 bytes is still a distinct pointer.
        block->data =
            (flags & GMEM_ZEROINIT) ? calloc(bytes ? bytes : 1, 1) : malloc(bytes ? bytes : 1);
        if (block->data == nullptr) {
            free(block);
            return nullptr;
        }
    }
    return block;
}

// Files the block under its handle. Result: the handle, or nullptr when the table is full.
HGLOBAL publish(GlobalBlock *block) {
    if (block->fixed) {
        std::lock_guard<std::mutex> hold(fixed_lock);
        fixed_blocks[block->data] = block;
        return block->data;
    }
    int handle = handle_alloc(HK_GLOBAL, block);
    return handle != 0 ? handle_to<HGLOBAL>(handle) : nullptr;
}

}  // namespace

// Flags other than GMEM_MOVEABLE and GMEM_ZEROINIT (discardable, DDE sharing) are accepted
// and have no effect. Result: the handle, or NULL with ERROR_NOT_ENOUGH_MEMORY.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    TraceLine t;
    trace_begin(&t, "GlobalAlloc");
    trace_int(&t, "flags", flags);
    trace_int(&t, "bytes", (long long)bytes);
    GlobalBlock *block = new_block(flags, bytes);
    HGLOBAL memory = block != nullptr ? publish(block) : nullptr;
    if (memory == nullptr) {
        if (block != nullptr) {
            free(block->data);
            free(block);
        }
        set_last_error(ERROR_NOT_ENOUGH_MEMORY);
    }
    return (HGLOBAL)trace_end_handle(&t, memory);
}

// Result: the block's memory, or NULL for a stale handle or a movable block of 0 bytes.
LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    TraceLine t;
    trace_begin(&t, "GlobalLock");
    trace_handle(&t, "mem", memory);
    GlobalBlock *block = find_block(memory);
    if (block == nullptr) return trace_end_handle(&t, nullptr);
    if (block->data == nullptr) {
        set_last_error(ERROR_DISCARDED);
        return trace_end_handle(&t, nullptr);
    }
    if (!block->fixed && block->locks < MAX_LOCKS) block->locks++;
    return trace_end_handle(&t, block->data);
}

// Result: non-zero while the block stays locked; 0 with ERROR_SUCCESS when this was the last
// lock, 0 with ERROR_NOT_LOCKED when it was not locked. A fixed block always answers TRUE.
BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
    TraceLine t;
    trace_begin(&t, "GlobalUnlock");
    trace_handle(&t, "mem", memory);
    GlobalBlock *block = find_block(memory);
    if (block == nullptr) return (BOOL)trace_end(&t, 0);
    if (block->fixed) return (BOOL)trace_end(&t, 1);
    if (block->locks == 0) {
        set_last_error(ERROR_NOT_LOCKED);
        return (BOOL)trace_end(&t, 0);
    }
    block->locks--;
    if (block->locks == 0) set_last_error(ERROR_SUCCESS);
    return (BOOL)trace_end(&t, block->locks > 0 ? 1 : 0);
}

// Frees the block even while locked, as Windows NT does. Result: NULL when freed, else the
// handle with ERROR_INVALID_HANDLE.
HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    TraceLine t;
    trace_begin(&t, "GlobalFree");
    trace_handle(&t, "mem", memory);
    GlobalBlock *block = find_block(memory);
    if (block == nullptr) return (HGLOBAL)trace_end_handle(&t, memory);
    if (block->fixed) {
        std::lock_guard<std::mutex> hold(fixed_lock);
        fixed_blocks.erase(memory);
    } else {
        handle_release(handle_of(memory), HK_GLOBAL);
    }
    free(block->data);
    free(block);
    return (HGLOBAL)trace_end_handle(&t, nullptr);
}

// Result: the size asked for at allocation, or 0 with ERROR_INVALID_HANDLE.
SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
    TraceLine t;
    trace_begin(&t, "GlobalSize");
    trace_handle(&t, "mem", memory);
    GlobalBlock *block = find_block(memory);
    return (SIZE_T)trace_end(&t, block != nullptr ? (long long)block->size : 0);
}
