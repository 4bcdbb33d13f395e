// Report files behind the old-style HFILE calls _lopen, _lread and _lclose.
//
// Each open file keeps a read buffer inside the layer, so that the line reader, which asks
// for one byte per _lread, costs one system call per buffer and not one per byte.
#pragma once

#include <cstddef>

// Bytes the layer reads from the file at a time.
const size_t FILE_READ_BUFFER_SIZE = 65536;

// How many times any open file has asked the system for more bytes since the process began
// (for tests that check the buffer really spares the per-byte system call).
long files_refill_count();
