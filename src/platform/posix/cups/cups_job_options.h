// The IPP job attributes for a job's settings, apart so they can be checked without a
// scheduler.
#pragma once

#include <cups/cups.h>

#include <cstddef>

#include "cups/cups_client.h"

// The self-describing media name ("iso_a4_210x297mm") of the paper the options ask for, from
// libcups' table of sizes. False when the options name no paper.
bool cups_media_name(const CupsJobOptions *opt, char *out, size_t size);

// Adds copies, collation, media, orientation-requested and media-source to *options (a
// libcups option array, freed with cupsFreeOptions) and returns the new option count.
int cups_job_attributes(const CupsJobOptions *opt, cups_option_t **options);

// The job name for a document title: UTF-8 as the scheduler requires (bytes that are not
// UTF-8 are read as the ANSI code page), whole characters only, at most `size` - 1 bytes.
// An empty or null title gives "Untitled".
void cups_job_title(const char *in, char *out, size_t size);
