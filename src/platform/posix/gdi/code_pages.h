// The two single-byte tables behind CharToOemA and OemToCharA.
#pragma once

extern const unsigned char ansi_to_oem[256];  // Windows-1252 -> code page 437
extern const unsigned char oem_to_ansi[256];  // code page 437 -> Windows-1252
