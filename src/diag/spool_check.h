// The check of printing-call results.
#pragma once

#include "platform/windows_services.h"

// Shows a message box for a negative spooler result; true when it did.
BOOL CheckSpoolResult(const char *name, int result);
