// Run output and ruler: placeholder until they land.
#include "render/run_output.h"

HFONT report_fonts[4];

void OutputRun(PrintJob *, BYTE, int, int, const char *, WORD) {}
void DrawRuler(PrintJob *, int) {}
