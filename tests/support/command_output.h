// Runs a shell command and gives back what it wrote to standard output (POSIX tests only).
#pragma once

#include <cstdio>
#include <string>

// The command's standard output, whole; empty when it could not be started.
inline std::string command_output(const std::string &command) {
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
    pclose(pipe);
    return out;
}
