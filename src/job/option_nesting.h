// Options that bring more options: configuration files and option lists.
#pragma once

#include "job/print_job.h"

// How many levels of configuration files and option lists may nest below an option of the
// command line.
const int MAX_OPTION_NESTING = 16;
// Longest configuration-file line piece, without its terminator.
const int CONFIG_LINE_CHARS = 127;

// The `config` option: records the name in the job, then reads the file's lines as options.
void ReadConfigFile(PrintJob *job, const char *name);
// The `printer_ctl` and `form_ctl` options: splits `value` in place into options.
void ParseOptionList(PrintJob *job, char *value);
// True while another option may nest below the current one; counts one level in.
bool EnterOptionNesting();
// Leaves the level that EnterOptionNesting counted.
void LeaveOptionNesting();
