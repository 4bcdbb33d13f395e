// The text of res/pellmark.rc, embedded by the build (cmake/resources.cmake).
#pragma once

#include <cstddef>

extern const char resource_script_text[];
extern const size_t resource_script_size;
