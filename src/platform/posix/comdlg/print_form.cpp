// The print dialog's form on a terminal. It asks line by line, so it works on any terminal
// in its usual (canonical) mode: the user types a field's number to change it, Enter to
// print, "c" to cancel.
#include "comdlg/print_form.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "win32_types.h"

namespace {

struct PaperName {
    int code;
    const char *name;
};

// The sheets the form offers by name; any other DMPAPER_ code can be typed as a number.
const PaperName PAPER_NAMES[] = {
    {1, "Letter"},
    {2, "Letter small"},
    {3, "Tabloid"},
    {4, "Ledger"},
    {5, "Legal"},
    {6, "Statement"},
    {7, "Executive"},
    {8, "A3"},
    {9, "A4"},
    {10, "A4 small"},
    {11, "A5"},
    {12, "B4"},
    {13, "B5"},
    {14, "Folio"},
    {15, "Quarto"},
    {18, "Note"},
    {20, "#10 envelope"},
    {27, "DL envelope"},
    {28, "C5 envelope"},
    {0, nullptr},
};

// Writes the text to stderr; a closed stream ends the attempt quietly.
void put(const char *text) {
    size_t length = strlen(text);
    while (length > 0) {
        ssize_t n = write(STDERR_FILENO, text, length);
        if (n <= 0) return;
        text += n;
        length -= (size_t)n;
    }
}

// Reads one line from stdin into `line` (cut to its size, the rest of the line dropped),
// without the line feed and surrounding blanks. False at the end of input.
bool read_line(char *line, size_t size) {
    size_t used = 0;
    bool any = false;
    for (;;) {
        char c;
        ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n <= 0) {
            if (!any) return false;
            break;
        }
        any = true;
        if (c == '\n') break;
        if (used + 1 < size) line[used++] = c;
    }
    while (used > 0 && (line[used - 1] == ' ' || line[used - 1] == '\r' || line[used - 1] == '\t'))
        --used;
    line[used] = 0;
    size_t skip = strspn(line, " \t");
    memmove(line, line + skip, used - skip + 1);
    return true;
}

bool equal_ascii_case(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? (char)(*b - 'A' + 'a') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// The paper as the form shows it: its name, its code, or the user size in millimetres.
void describe_paper(const PrintChoices *c, char *out, size_t size) {
    const char *name = print_form_paper_name(c->paper);
    if (name)
        snprintf(out, size, "%s", name);
    else if (c->paper == DMPAPER_USER)
        snprintf(out, size, "%d.%d x %d.%d mm", c->paper_width / 10, c->paper_width % 10,
                 c->paper_length / 10, c->paper_length % 10);
    else
        snprintf(out, size, "paper code %d", c->paper);
}

void show_form(const PrintChoices *c) {
    char paper[64], text[512];
    describe_paper(c, paper, sizeof paper);
    snprintf(text, sizeof text,
             "\nPrint\n"
             "  1  Printer      %s\n"
             "  2  Copies       %d\n"
             "  3  Orientation  %s\n"
             "  4  Paper        %s\n"
             "  5  Collate      %s\n"
             "Enter prints, c cancels, 1-5 changes a setting: ",
             c->printer, c->copies, c->orientation == DMORIENT_LANDSCAPE ? "landscape" : "portrait",
             paper, c->collate ? "yes" : "no");
    put(text);
}

// Asks for one value; false when the input ended or the answer was empty (keep the value).
bool ask(const char *question, char *answer, size_t size) {
    put(question);
    return read_line(answer, size) && answer[0];
}

void change_printer(PrintChoices *c, PrinterCheck exists) {
    char name[FORM_PRINTER_SIZE];
    if (!ask("Printer name: ", name, sizeof name)) return;
    if (!exists(name)) {
        put("No printer of that name; the printer stays as it was.\n");
        return;
    }
    snprintf(c->printer, sizeof c->printer, "%s", name);
    c->printer_changed = true;
}

void change_copies(PrintChoices *c) {
    char text[32];
    if (!ask("Copies (1-9999): ", text, sizeof text)) return;
    char *end;
    long n = strtol(text, &end, 10);
    if (*end || n < 1 || n > 9999) {
        put("Copies must be a number from 1 to 9999.\n");
        return;
    }
    c->copies = (int)n;
    c->copies_changed = true;
}

void change_paper(PrintChoices *c) {
    char text[64];
    put("Papers:");
    for (const PaperName *p = PAPER_NAMES; p->name; ++p) {
        put(p == PAPER_NAMES ? " " : ", ");
        put(p->name);
    }
    put("\n");
    if (!ask("Paper (a name or a paper code): ", text, sizeof text)) return;
    int code = print_form_paper_code(text);
    if (code == 0) {
        put("Unknown paper; the paper stays as it was.\n");
        return;
    }
    c->paper = code;
    c->paper_changed = true;
}

}  // namespace

const char *print_form_paper_name(int code) {
    for (const PaperName *p = PAPER_NAMES; p->name; ++p)
        if (p->code == code) return p->name;
    return nullptr;
}

int print_form_paper_code(const char *text) {
    for (const PaperName *p = PAPER_NAMES; p->name; ++p)
        if (equal_ascii_case(p->name, text)) return p->code;
    char *end;
    long n = strtol(text, &end, 10);
    // DMPAPER_USER needs a width and length, which the form does not ask for.
    if (*text && !*end && n >= 1 && n < DMPAPER_USER) return (int)n;
    return 0;
}

bool print_form_run(PrintChoices *choices, PrinterCheck exists) {
    for (;;) {
        show_form(choices);
        char answer[32];
        if (!read_line(answer, sizeof answer)) {
            put("\n");
            return false;
        }
        if (!answer[0]) return true;
        if (equal_ascii_case(answer, "c")) return false;
        if (!strcmp(answer, "1"))
            change_printer(choices, exists);
        else if (!strcmp(answer, "2"))
            change_copies(choices);
        else if (!strcmp(answer, "3")) {
            choices->orientation =
                choices->orientation == DMORIENT_LANDSCAPE ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
            choices->orientation_changed = true;
        } else if (!strcmp(answer, "4"))
            change_paper(choices);
        else if (!strcmp(answer, "5")) {
            choices->collate = !choices->collate;
            choices->collate_changed = true;
        } else
            put("Type 1 to 5, Enter or c.\n");
    }
}
