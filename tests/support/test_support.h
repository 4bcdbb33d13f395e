// Small helpers shared by the unit and contract tests.
#pragma once

#include <string>
#include <vector>

// A fresh, empty folder for one test, under the build tree's test area.
std::string test_dir(const std::string &name);
// Whole file as bytes; empty when it cannot be read.
std::string read_file(const std::string &path);
// Writes bytes to a file, replacing it.
void write_file(const std::string &path, const std::string &bytes);
// The file's lines without their line feeds.
std::vector<std::string> read_lines(const std::string &path);
// Sets (or with nullptr unsets) an environment variable.
void set_env(const char *name, const char *value);
