// POSIX start-up: hands the argument vector and the command line to the program's WinMain
// and ends the process with its result, as the Windows start-up code does.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "core/handles.h"
#include "core/process.h"
#include "platform/windows_services.h"

int main(int argc, char **argv) {
    // A document that reaches the file size limit must fail its write (EFBIG, reported as out
    // of disk) instead of killing the process before it can clean up.
    signal(SIGXFSZ, SIG_IGN);
    __argc = argc;
    __argv = argv;
    // The command line without the program's name, arguments separated by one space. A line
    // longer than the buffer is cut: the program reads its arguments from the vector.
    static char command_line[8192];
    size_t used = 0;
    for (int i = 1; i < argc && used + 1 < sizeof command_line; i++) {
        int n = snprintf(command_line + used, sizeof command_line - used, "%s%s", i > 1 ? " " : "",
                         argv[i]);
        if (n < 0) break;
        used += (size_t)n;
        if (used >= sizeof command_line) used = sizeof command_line - 1;
    }
    return WinMain(process_instance(), nullptr, command_line, SW_SHOWNORMAL);
}
