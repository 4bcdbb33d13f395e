// Handle table of the POSIX layer.
//
// Every Win32 handle the layer gives out (files, device contexts, fonts, windows, global
// memory blocks, modules, printers) is a small positive integer that indexes this one table,
// so handles of different kinds never collide and a handle printed with %d stays readable.
// A handle carries its kind; looking it up with the wrong kind fails like a stale handle.
#pragma once

#include <cstdint>

enum HandleKind {
    HK_FREE = 0,
    HK_FILE,
    HK_DC,
    HK_FONT,
    HK_PEN,
    HK_WINDOW,
    HK_GLOBAL,
    HK_MODULE,
    HK_PRINTER,
    HK_INSTANCE,
};

// Capacity of the table; a run of the program uses a handful of handles per report.
const int HANDLE_TABLE_SIZE = 4096;

// Stores `object` under a new handle of `kind`. Result: the handle (1 .. size-1), or 0 when
// the table is full. Freed handles are reused lowest first.
int handle_alloc(HandleKind kind, void *object);
// The object stored under `handle` when it is live and of `kind`, else nullptr.
void *handle_get(int handle, HandleKind kind);
// Releases `handle` when it is live and of `kind`; returns its object, else nullptr.
void *handle_release(int handle, HandleKind kind);
// The kind of a live handle, HK_FREE for anything else.
HandleKind handle_kind(int handle);

// Conversions between the table's integers and the pointer-typed Win32 handles.
template <typename H>
inline H handle_to(int handle) {
    return reinterpret_cast<H>(static_cast<intptr_t>(handle));
}
template <typename H>
inline int handle_of(H handle) {
    intptr_t v = reinterpret_cast<intptr_t>(handle);
    return (v > 0 && v < HANDLE_TABLE_SIZE) ? static_cast<int>(v) : 0;
}
