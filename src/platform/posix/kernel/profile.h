// The Windows profile: an INI file ($PELLMARK_PROFILE, else $XDG_CONFIG_HOME/pellmark/win.ini
// with ~/.config as the default home, else /etc/pellmark/win.ini). Sections and keys match
// ignoring case. Read once per process, on first use.
#pragma once

#include <cstddef>

// Looks up section/key in the profile file only. Writes the value (cut to size - 1) and
// returns true when the file has that key.
bool profile_file_value(const char *section, const char *key, char *out, size_t size);
// Calls visit(key, value, context) for every key of `section` in file order; returns the
// number of keys visited.
int profile_file_keys(const char *section,
                      void (*visit)(const char *key, const char *value, void *context),
                      void *context);
// Forgets the loaded profile so that the next use reads the file again (tests).
void profile_reload_for_tests();
