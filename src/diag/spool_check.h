// The check of printing-call results.
#pragma once

#include "platform/windows_services.h"

// Size of the message buffer; the longest message the program can give has 52 characters.
const int SPOOL_MESSAGE_SIZE = 80;

// Shows a message box for a negative spooler result; true when it did.
BOOL CheckSpoolResult(const char *name, int result);
// Formats the message box text for a negative spooler result into `text` (SPOOL_MESSAGE_SIZE
// bytes). Returns the length wsprintfA reports.
int FormatSpoolMessage(char *text, const char *name, int result);
