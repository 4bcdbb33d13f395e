// The option table and the option parser.
#pragma once

#include "job/print_job.h"

struct OptionEntry {
    int32_t code;
    char name[20];
    const char *description;
};

const int OPTION_COUNT = 29;
// Stored order until the start-up sort, sorted afterwards.
extern OptionEntry option_table[OPTION_COUNT];

// Prefix comparison of two rows' names (qsort signature): -1, 0 or +1.
int CompareOptionNames(const void *a, const void *b);
// Sorts option_table in place with CompareOptionNames.
void SortOptionTable();
// The row that the halving search selects for an option text (its first 20 characters are
// the key); nullptr when none. Needs the sorted table.
const OptionEntry *FindOption(const char *text);
// Applies one option (its text without the leading "-" or "/") to the job. `text` may be
// changed in place.
void ParseOption(PrintJob *job, char *text);
