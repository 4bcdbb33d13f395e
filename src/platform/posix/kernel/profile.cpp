// The profile INI file: where it is, reading it once, and looking keys up. See profile.h.
#include "profile.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One "key=value" line with the section it stands in.
struct ProfileEntry {
    std::string section;
    std::string key;
    std::string value;
};

bool loaded = false;
std::vector<ProfileEntry> entries;

bool file_exists(const std::string &path) {
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    fclose(f);
    return true;
}

// $PELLMARK_PROFILE when set (even to a missing file: the user asked for that one), else the
// per-user file when it exists, else the system-wide one.
std::string profile_path() {
    const char *named = getenv("PELLMARK_PROFILE");
    if (named != nullptr && named[0] != '\0') return named;
    std::string home;
    const char *config = getenv("XDG_CONFIG_HOME");
    const char *user = getenv("HOME");
    if (config != nullptr && config[0] != '\0') {
        home = config;
    } else if (user != nullptr && user[0] != '\0') {
        home = std::string(user) + "/.config";
    }
    if (!home.empty()) {
        std::string path = home + "/pellmark/win.ini";
        if (file_exists(path)) return path;
    }
    return "/etc/pellmark/win.ini";
}

// Blanks, tabs and a line's CR count as white space around names and values.
std::string trimmed(const std::string &text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isspace((unsigned char)text[begin])) begin++;
    while (end > begin && isspace((unsigned char)text[end - 1])) end--;
    return text.substr(begin, end - begin);
}

// A value written in matching single or double quotes is read without them.
std::string unquoted(const std::string &value) {
    size_t n = value.size();
    if (n >= 2 && (value[0] == '"' || value[0] == '\'') && value[n - 1] == value[0]) {
        return value.substr(1, n - 2);
    }
    return value;
}

// Takes one line of the file: a "[section]" header, a "key=value" entry, or anything else
// (blank, ';' comment, a line without '='), which is skipped.
void take_line(const std::string &raw, std::string *section) {
    std::string line = trimmed(raw);
    if (line.empty() || line[0] == ';') return;
    if (line[0] == '[') {
        size_t close = line.find(']');
        *section =
            trimmed(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) return;
    ProfileEntry entry;
    entry.section = *section;
    entry.key = trimmed(line.substr(0, equals));
    entry.value = unquoted(trimmed(line.substr(equals + 1)));
    entries.push_back(entry);
}

// Reads the file once per process. A missing or unreadable file is an empty profile.
void load() {
    if (loaded) return;
    loaded = true;
    entries.clear();
    FILE *f = fopen(profile_path().c_str(), "rb");
    if (f == nullptr) return;
    std::string line;
    std::string section;
    int c;
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n') {
            take_line(line, &section);
            line.clear();
        } else {
            line.push_back((char)c);
        }
    }
    if (!line.empty()) take_line(line, &section);
    fclose(f);
}

bool same_name(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

}  // namespace

// Copies the value cut to size - 1; the first entry of the key wins when it is repeated.
bool profile_file_value(const char *section, const char *key, char *out, size_t size) {
    if (section == nullptr || key == nullptr) return false;
    load();
    for (const ProfileEntry &entry : entries) {
        if (!same_name(entry.section, section) || !same_name(entry.key, key)) continue;
        if (out != nullptr && size > 0) {
            size_t n = entry.value.size() < size - 1 ? entry.value.size() : size - 1;
            memcpy(out, entry.value.data(), n);
            out[n] = '\0';
        }
        return true;
    }
    return false;
}

// A key repeated in the section is visited once, at its first place.
int profile_file_keys(const char *section,
                      void (*visit)(const char *key, const char *value, void *context),
                      void *context) {
    if (section == nullptr) return 0;
    load();
    int count = 0;
    for (size_t i = 0; i < entries.size(); i++) {
        const ProfileEntry &entry = entries[i];
        if (!same_name(entry.section, section)) continue;
        bool repeated = false;
        for (size_t j = 0; j < i && !repeated; j++) {
            repeated = same_name(entries[j].section, section) &&
                       same_name(entries[j].key, entry.key.c_str());
        }
        if (repeated) continue;
        visit(entry.key.c_str(), entry.value.c_str(), context);
        count++;
    }
    return count;
}

void profile_reload_for_tests() {
    loaded = false;
    entries.clear();
}
