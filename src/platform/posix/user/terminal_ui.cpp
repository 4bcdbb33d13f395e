// The terminal side of the dialog manager: see terminal_ui.h.
#include "user/terminal_ui.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

bool status_drawn = false;

volatile sig_atomic_t interrupts_pending = 0;
bool interrupt_installed = false;
struct sigaction saved_action;

// Writes all bytes to stderr; a closed stream ends the attempt quietly.
void put_stderr(const char *text, size_t length) {
    while (length > 0) {
        ssize_t n = write(STDERR_FILENO, text, length);
        if (n <= 0) return;
        text += n;
        length -= (size_t)n;
    }
}

// Columns of the terminal on stderr, 80 when it does not say.
int terminal_columns() {
    struct winsize size;
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

// The signal handler: counts the interrupt and nothing else (async-signal-safe). With
// SA_RESETHAND the kernel has already put the default disposition back for the next one.
void on_interrupt(int) { interrupts_pending = interrupts_pending + 1; }

}  // namespace

void terminal_status_show(const char *caption, const char *text) {
    if (!isatty(STDERR_FILENO)) return;
    static const char tail[] = " \xE2\x80\x94 Ctrl-C cancels";  // an em dash, one column
    const int tail_columns = (int)strlen(tail) - 2;
    char head[512];
    int n = snprintf(head, sizeof head, "%s: %s", caption ? caption : "", text ? text : "");
    if (n < 0) return;
    // Room for the text on one terminal line, leaving the last column free so the cursor
    // never wraps; a longer text is cut (the buffer itself also cuts at 511 bytes).
    int room = terminal_columns() - 1 - tail_columns;
    if (room < 0) room = 0;
    size_t head_length = strlen(head);
    if ((int)head_length > room) head_length = (size_t)room;
    char line[1024];
    int length = snprintf(line, sizeof line, "\r%.*s%s\x1b[K", (int)head_length, head, tail);
    if (length < 0) return;
    put_stderr(line, (size_t)length < sizeof line ? (size_t)length : sizeof line - 1);
    status_drawn = true;
}

void terminal_status_clear() {
    if (!status_drawn) return;
    static const char erase[] = "\r\x1b[K";
    put_stderr(erase, sizeof erase - 1);
    status_drawn = false;
}

void terminal_interrupt_install() {
    if (interrupt_installed) return;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    if (sigaction(SIGINT, &action, &saved_action) != 0) return;
    if (saved_action.sa_handler == SIG_IGN) {
        // Started with Ctrl-C ignored (a background job): it stays ignored.
        sigaction(SIGINT, &saved_action, nullptr);
        return;
    }
    interrupt_installed = true;
}

void terminal_interrupt_remove() {
    if (!interrupt_installed) return;
    sigaction(SIGINT, &saved_action, nullptr);
    interrupt_installed = false;
    // A Ctrl-C that no dialog read any more belonged to the dialog that is gone.
    interrupts_pending = 0;
}

bool terminal_interrupt_take() {
    if (interrupts_pending == 0) return false;
    interrupts_pending = interrupts_pending - 1;
    return true;
}
