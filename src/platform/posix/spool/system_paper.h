// The system's default paper, as libpaper configures it (PAPERSIZE, /etc/papersize).
#pragma once

#include <cstddef>

// Writes the paper's size in hundredths of a millimetre and its libpaper name ("a4",
// "letter"). Falls back to A4 when libpaper is missing or names an unknown paper.
void system_paper(int *width_hmm, int *length_hmm, char *name, size_t name_size);
