// The system's texts for the Windows error codes the layer can give.
#pragma once

#include "../win32_types.h"

// The English system text of `code`, ending in CR LF as Windows keeps it, or nullptr when
// the code has no text here.
const char *system_message_text(DWORD code);
