// Message boxes on a terminal.
//
// A message box always leaves its text on stderr as "caption: text", so a headless run keeps
// a record of every failure it reported. A box that asks a question asks it only when both
// stdin and stderr are terminals; otherwise it answers at once, as a user who dismissed it
// would (Cancel), so a run without a terminal never waits.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "core/trace.h"
#include "platform/windows_services.h"
#include "user/terminal_ui.h"

namespace {

// Writes the whole of `text` to stderr, retrying short writes; gives up silently when the
// stream is closed, since there is nobody left to tell.
void write_stderr(const char *text, size_t length) {
    while (length > 0) {
        ssize_t n = write(STDERR_FILENO, text, length);
        if (n <= 0) return;
        text += n;
        length -= (size_t)n;
    }
}

// Reads one answer line from stdin and returns its first non-blank byte lowered to ASCII
// lower case, or 0 at end of input. Bytes past the first are read and dropped up to the
// line feed, so the next question starts on a fresh line.
int read_answer() {
    int first = 0;
    for (;;) {
        char c;
        ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n <= 0) return first;
        if (c == '\n') return first;
        if (first == 0 && c != ' ' && c != '\t' && c != '\r')
            first = (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : (unsigned char)c;
    }
}

// Asks `question` until the user answers with one of the two letters. Result: `yes_id` or
// `no_id`; end of input counts as the second choice (Cancel).
int ask(const char *question, char yes, int yes_id, char no, int no_id) {
    for (;;) {
        write_stderr(question, strlen(question));
        int answer = read_answer();
        if (answer == yes) return yes_id;
        if (answer == no || answer == 0) return no_id;
    }
}

// The button the box answers with. Questions are asked only on a terminal; without one the
// box takes its cancel button.
int choose_button(UINT type) {
    bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
    switch (type & MB_TYPEMASK) {
        case MB_RETRYCANCEL:
            return terminal ? ask("Retry or Cancel? [r/c] ", 'r', IDRETRY, 'c', IDCANCEL)
                            : IDCANCEL;
        case MB_OKCANCEL:
            return terminal ? ask("OK or Cancel? [o/c] ", 'o', IDOK, 'c', IDCANCEL) : IDCANCEL;
        default:
            return IDOK;
    }
}

// Writes "caption: text" and a line feed; a box without a caption is titled "Error", as
// Windows titles it. The line is built in a fixed buffer; a longer message is cut.
void show_message(const char *text, const char *caption) {
    char line[2048];
    int n = snprintf(line, sizeof line, "%s: %s\n", caption ? caption : "Error", text ? text : "");
    if (n < 0) return;
    size_t length = (size_t)n < sizeof line ? (size_t)n : sizeof line - 1;
    if ((size_t)n >= sizeof line) line[length - 1] = '\n';  // cut, but keep the line ended
    terminal_status_clear();
    write_stderr(line, length);
}

}  // namespace

// Shows the message on stderr and answers with the chosen button's id. The fault knob
// "MessageBoxA" forces the answer (e.g. 4, IDRETRY); the message is still shown.
int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    TraceLine t;
    trace_begin(&t, "MessageBoxA");
    trace_str(&t, "text", text);
    trace_str(&t, "caption", caption);
    trace_int(&t, "type", (long long)type);
    show_message(text, caption);
    long long forced;
    if (fault_check("MessageBoxA", &forced)) return (int)trace_fault(&t, forced);
    return (int)trace_end(&t, choose_button(type));
}
