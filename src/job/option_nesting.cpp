// Configuration files and option lists: see option_nesting.h.
#include "job/option_nesting.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "job/option_values.h"
#include "job/options.h"

// Nesting depth of ParseOption calls below the current argument, and the configuration files
// open at the moment, outermost first. Their names stay valid while they are read: each is
// the text of an option that is still being applied.
static int option_nesting = 0;
static const char *open_config_names[MAX_OPTION_NESTING];
static int open_config_count = 0;

// Level 0 is an option of the command line; each file or list opens one level below.
bool EnterOptionNesting() {
    if (option_nesting > MAX_OPTION_NESTING) return false;
    option_nesting++;
    return true;
}

void LeaveOptionNesting() { option_nesting--; }

// True when `name` is a file that is already being read (the same file, also when spelled
// differently or reached through a link), so that a file naming itself cannot recurse.
static bool ConfigFileIsOpen(const char *name) {
    for (int i = 0; i < open_config_count; i++) {
        std::error_code error;
        if (strcmp(open_config_names[i], name) == 0) return true;
        if (std::filesystem::equivalent(open_config_names[i], name, error)) return true;
    }
    return false;
}

// A configuration file read as text the same way on every platform: a CR directly before an
// LF is dropped and a Ctrl-Z byte ends the file.
struct ConfigReader {
    FILE *stream;
    bool ended;
};

// Next byte of the text, or EOF at the end of the file or at Ctrl-Z.
static int NextConfigByte(ConfigReader *reader) {
    if (reader->ended) return EOF;
    int byte = fgetc(reader->stream);
    if (byte == '\r') {
        int next = fgetc(reader->stream);
        if (next == '\n') return next;
        if (next != EOF) ungetc(next, reader->stream);
    }
    if (byte == 26 || byte == EOF) {
        reader->ended = true;
        return EOF;
    }
    return byte;
}

// Reads one piece of at most 127 bytes, up to and including an LF, into `line` (128 bytes),
// zero-terminated. A longer line is so read in several pieces. Returns the count of bytes,
// 0 at the end of the file.
static int ReadConfigPiece(ConfigReader *reader, char *line) {
    int count = 0;
    while (count < CONFIG_LINE_CHARS) {
        int byte = NextConfigByte(reader);
        if (byte == EOF) break;
        line[count++] = (char)byte;
        if (byte == '\n') break;
    }
    line[count] = 0;
    return count;
}

// The name is recorded before the open, so it is known (and deleted with a scratched report)
// even when the file cannot be read. A name longer than the job's copy is refused whole: a cut
// name would name another file, which the disposition could then delete. A file that cannot
// be opened, or that is already being read, is skipped silently. Every line piece, without
// its LF and without its first character (normally "-" or "/"), is one option.
void ReadConfigFile(PrintJob *job, const char *name) {
    if (strlen(name) >= sizeof job->config_name) return;
    CopyOptionText(job->config_name, sizeof job->config_name, name);
    if (open_config_count >= MAX_OPTION_NESTING || ConfigFileIsOpen(name)) return;
    ConfigReader reader = {fopen(name, "rb"), false};
    if (!reader.stream) return;
    open_config_names[open_config_count++] = name;
    char line[CONFIG_LINE_CHARS + 1];
    int count;
    while ((count = ReadConfigPiece(&reader, line)) > 0) {
        if (line[count - 1] == '\n') line[--count] = 0;
        ParseOption(job, count > 0 ? line + 1 : line);
    }
    open_config_count--;
    fclose(reader.stream);
}

// Elements are separated by spaces outside double quotes; every quote switches between
// outside and inside and stays part of its element. Each element, without its first
// character, is one option. The separating spaces are overwritten with terminators.
void ParseOptionList(PrintJob *job, char *value) {
    char *at = value;
    for (;;) {
        while (*at == ' ') at++;
        if (*at == 0) return;
        char *element = at;
        bool quoted = false;
        for (; *at && (quoted || *at != ' '); at++)
            if (*at == '"') quoted = !quoted;
        if (*at) *at++ = 0;
        ParseOption(job, element + 1);
    }
}
