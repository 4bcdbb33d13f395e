// The overstrike decoder: placeholder until it lands.
#include "render/overstrike.h"

void DecodeOverstrike(const char *, int, char *text, BYTE *) { text[0] = 0; }
void EmitRuns(PrintJob *, const char *, const BYTE *, int, int) {}
