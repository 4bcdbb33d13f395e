// The printer the print dialog hands back in a DEVNAMES block.
#pragma once

#include "platform/windows_services.h"

// Room for each name; a longer name is cut (and then names no printer).
const int CHOSEN_NAME_SIZE = 256;

struct ChosenPrinter {
    char driver[CHOSEN_NAME_SIZE];
    char device[CHOSEN_NAME_SIZE];
    char port[CHOSEN_NAME_SIZE];
};

// Copies the three names out of a movable DEVNAMES block. Offsets that point outside the
// block, or a device name that is empty, give false; the block itself is left as it is.
bool ReadChosenPrinter(HGLOBAL names, ChosenPrinter *chosen);
