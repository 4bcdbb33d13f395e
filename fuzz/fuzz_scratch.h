// A private working folder for a fuzz target: every file an input makes stays inside it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

inline void fuzz_empty_scratch_folder();

inline char fuzz_scratch_path[512];

// Removes the scratch folder with whatever is left in it when the run ends.
inline void fuzz_remove_scratch_folder() {
    fuzz_empty_scratch_folder();
    if (chdir("/") == 0) rmdir(fuzz_scratch_path);
}

// Creates a fresh folder under /dev/shm (or TMPDIR) and makes it the working folder, so that
// relative names in the input (configuration files, log files) land there; it is removed at
// exit. Ends the process when no folder can be made: a fuzz run without its folder would
// write elsewhere.
inline void fuzz_enter_scratch_folder() {
    const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : getenv("TMPDIR");
    char *path = fuzz_scratch_path;
    snprintf(path, sizeof fuzz_scratch_path, "%s/pellmark-fuzz.XXXXXX", base ? base : "/tmp");
    if (!mkdtemp(path) || chdir(path) != 0) {
        perror("fuzz scratch folder");
        exit(1);
    }
    atexit(fuzz_remove_scratch_folder);
}

// Deletes every plain file in the working folder (the folder holds nothing else).
inline void fuzz_empty_scratch_folder() {
    DIR *dir = opendir(".");
    if (!dir) return;
    while (struct dirent *entry = readdir(dir))
        if (entry->d_name[0] != '.' || (entry->d_name[1] && strcmp(entry->d_name, "..") != 0))
            unlink(entry->d_name);
    closedir(dir);
}

// Writes `size` bytes to `name` in the working folder; false when that fails.
inline bool fuzz_write_file(const char *name, const unsigned char *data, size_t size) {
    FILE *file = fopen(name, "wb");
    if (!file) return false;
    bool ok = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

// The number of file descriptors the process holds now.
inline int fuzz_count_open_files() {
    DIR *dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int count = 0;
    while (readdir(dir)) count++;
    closedir(dir);
    return count;
}

// Ends the run with a message that libFuzzer records as a crash with this input.
#define FUZZ_CHECK(condition, ...)                             \
    do {                                                       \
        if (!(condition)) {                                    \
            fprintf(stderr, "check failed: %s: ", #condition); \
            fprintf(stderr, __VA_ARGS__);                      \
            fputc('\n', stderr);                               \
            abort();                                           \
        }                                                      \
    } while (0)
