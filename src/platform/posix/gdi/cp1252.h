// The Windows-1252 code page as Unicode: the bytes' characters, 0 for the five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
#pragma once

#include <cstdint>

extern const uint16_t cp1252_unicode[256];
