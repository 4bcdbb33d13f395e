// Dialog templates from the resource script: see dialog_templates.h.
#include "user/dialog_templates.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "user/resource_script.h"
#include "user/window_styles.h"

namespace {

struct NamedValue {
    const char *name;
    long value;
};

// The names a style or id expression of the script may use.
const NamedValue script_names[] = {
    {"WS_OVERLAPPED", WS_OVERLAPPED},
    {"WS_POPUP", WS_POPUP},
    {"WS_CHILD", WS_CHILD},
    {"WS_VISIBLE", WS_VISIBLE},
    {"WS_DISABLED", WS_DISABLED},
    {"WS_CAPTION", WS_CAPTION},
    {"WS_BORDER", WS_BORDER},
    {"WS_DLGFRAME", WS_DLGFRAME},
    {"WS_VSCROLL", WS_VSCROLL},
    {"WS_HSCROLL", WS_HSCROLL},
    {"WS_SYSMENU", WS_SYSMENU},
    {"WS_THICKFRAME", WS_THICKFRAME},
    {"WS_GROUP", WS_GROUP},
    {"WS_TABSTOP", WS_TABSTOP},
    {"DS_SETFONT", DS_SETFONT},
    {"DS_MODALFRAME", DS_MODALFRAME},
    {"DS_CENTER", DS_CENTER},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON},
    {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
    {"SS_LEFT", SS_LEFT},
    {"SS_CENTER", SS_CENTER},
    {"SS_RIGHT", SS_RIGHT},
    {"LBS_NOTIFY", LBS_NOTIFY},
    {"LBS_SORT", LBS_SORT},
    {"LBS_USETABSTOPS", LBS_USETABSTOPS},
    {"LBS_NOINTEGRALHEIGHT", LBS_NOINTEGRALHEIGHT},
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
    {"LANG_NEUTRAL", LANG_NEUTRAL},
    {"LANG_ENGLISH", LANG_ENGLISH},
    {"SUBLANG_NEUTRAL", SUBLANG_NEUTRAL},
    {"SUBLANG_DEFAULT", SUBLANG_DEFAULT},
    {"SUBLANG_ENGLISH_US", SUBLANG_ENGLISH_US},
};

enum TokenKind { TK_END, TK_WORD, TK_NUMBER, TK_STRING, TK_MARK };

struct Token {
    TokenKind kind;
    char text[TEMPLATE_TEXT_SIZE];  // words and strings, cut to fit
    long value;                     // numbers
    int line;
};

struct Reader {
    const char *at;
    const char *end;
    int line;
    bool line_start;  // only blanks since the last line feed: "#" starts a directive
    TemplateSet *set;
    bool failed;
};

bool is_word_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Skips blanks, comments and preprocessor lines.
void skip_space(Reader *r) {
    while (r->at < r->end) {
        char c = *r->at;
        if (c == '\n') {
            r->line++;
            r->line_start = true;
            r->at++;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            r->at++;
        } else if ((c == '#' && r->line_start) ||
                   (c == '/' && r->at + 1 < r->end && r->at[1] == '/')) {
            while (r->at < r->end && *r->at != '\n') r->at++;
        } else if (c == '/' && r->at + 1 < r->end && r->at[1] == '*') {
            r->at += 2;
            while (r->at + 1 < r->end && !(r->at[0] == '*' && r->at[1] == '/')) {
                if (*r->at == '\n') r->line++;
                r->at++;
            }
            r->at = r->at + 2 <= r->end ? r->at + 2 : r->end;
        } else {
            return;
        }
    }
}

// Appends `c` to a token's text; text beyond the buffer is dropped (names and captions of
// the script are far shorter).
void append(Token *t, size_t *length, char c) {
    if (*length + 1 < sizeof t->text) t->text[(*length)++] = c;
    t->text[*length] = '\0';
}

// A quoted string: "" and \" stand for a quote; \n, \t and \\ for their characters.
void read_string(Reader *r, Token *t) {
    size_t length = 0;
    t->kind = TK_STRING;
    t->text[0] = '\0';
    for (r->at++; r->at < r->end; r->at++) {
        char c = *r->at;
        if (c == '"') {
            if (r->at + 1 < r->end && r->at[1] == '"') {
                append(t, &length, '"');
                r->at++;
                continue;
            }
            r->at++;
            return;
        }
        if (c == '\\' && r->at + 1 < r->end) {
            char e = *++r->at;
            c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
        }
        if (c == '\n') r->line++;
        append(t, &length, c);
    }
}

// A decimal or 0x number with an optional minus, read within the script's bounds.
long read_number(Reader *r) {
    bool negative = *r->at == '-';
    if (negative) r->at++;
    long base = 10, value = 0;
    if (r->end - r->at > 2 && r->at[0] == '0' && (r->at[1] == 'x' || r->at[1] == 'X')) {
        base = 16;
        r->at += 2;
    }
    for (; r->at < r->end; r->at++) {
        char c = *r->at;
        int digit = is_digit(c)                            ? c - '0'
                    : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                           : -1;
        if (digit < 0) break;
        if (value < 0x7fffffffL) value = value * base + digit;  // larger numbers saturate
    }
    return negative ? -value : value;
}

Token next_token(Reader *r) {
    skip_space(r);
    Token t{TK_END, "", 0, r->line};
    if (r->at >= r->end) return t;
    r->line_start = false;
    char c = *r->at;
    if (c == '"') {
        read_string(r, &t);
    } else if (is_digit(c) || (c == '-' && r->at + 1 < r->end && is_digit(r->at[1]))) {
        t.kind = TK_NUMBER;
        t.value = read_number(r);
        while (r->at < r->end && (*r->at == 'L' || *r->at == 'l' || *r->at == 'U')) r->at++;
    } else if (is_word_start(c)) {
        size_t length = 0;
        t.kind = TK_WORD;
        while (r->at < r->end && (is_word_start(*r->at) || is_digit(*r->at)))
            append(&t, &length, *r->at++);
    } else {
        t.kind = TK_MARK;
        t.text[0] = c;
        t.text[1] = '\0';
        r->at++;
    }
    return t;
}

Token peek_token(Reader *r) {
    Reader copy = *r;
    return next_token(&copy);
}

bool fail(Reader *r, int line, const char *why) {
    if (!r->failed) {
        r->failed = true;
        r->set->error_line = line > 0 ? line : 1;
        snprintf(r->set->error, sizeof r->set->error, "%s", why);
    }
    return false;
}

bool is_mark(const Token &t, char c) { return t.kind == TK_MARK && t.text[0] == c; }
bool is_word(const Token &t, const char *w) { return t.kind == TK_WORD && strcmp(t.text, w) == 0; }

bool expect_mark(Reader *r, char c) {
    Token t = next_token(r);
    if (is_mark(t, c)) return true;
    char why[48];
    snprintf(why, sizeof why, "'%c' expected", c);
    return fail(r, t.line, why);
}

// A value: number | NAME, joined by "|".
bool read_expression(Reader *r, long *value) {
    *value = 0;
    for (;;) {
        Token t = next_token(r);
        long term = 0;
        if (t.kind == TK_NUMBER) {
            term = t.value;
        } else if (t.kind == TK_WORD) {
            bool known = false;
            for (const NamedValue &n : script_names)
                if (strcmp(n.name, t.text) == 0) known = true, term = n.value;
            if (!known) return fail(r, t.line, "unknown name in an expression");
        } else {
            return fail(r, t.line, "value expected");
        }
        *value |= term;
        if (!is_mark(peek_token(r), '|')) return true;
        next_token(r);
    }
}

// Reads `count` comma-separated values (a leading comma is expected unless `first`).
bool read_values(Reader *r, bool first, int count, long *values) {
    for (int i = 0; i < count; i++) {
        if ((i > 0 || !first) && !expect_mark(r, ',')) return false;
        if (!read_expression(r, &values[i])) return false;
    }
    return true;
}

bool read_string_token(Reader *r, char *out, size_t size) {
    Token t = next_token(r);
    if (t.kind != TK_STRING) return fail(r, t.line, "quoted text expected");
    int n = snprintf(out, size, "%s", t.text);
    if (n < 0 || (size_t)n >= size) return fail(r, t.line, "quoted text too long");
    return true;
}

// CONTROL "text", id, "class", style, x, y, cx, cy
bool read_control(Reader *r, DialogTemplate *d, int line) {
    if (d->control_count >= TEMPLATE_CONTROL_LIMIT) return fail(r, line, "too many controls");
    ControlTemplate *c = &d->controls[d->control_count];
    long id = 0, rest[5];
    if (!read_string_token(r, c->text, sizeof c->text) || !expect_mark(r, ',') ||
        !read_expression(r, &id) || !expect_mark(r, ',') ||
        !read_string_token(r, c->class_name, sizeof c->class_name) ||
        !read_values(r, false, 5, rest))
        return false;
    c->id = (int)id;
    c->style = (uint32_t)rest[0];
    c->x = (int)rest[1], c->y = (int)rest[2], c->cx = (int)rest[3], c->cy = (int)rest[4];
    d->control_count++;
    return true;
}

// The statements between DIALOG's numbers and BEGIN, then the controls up to END.
bool read_dialog_body(Reader *r, DialogTemplate *d) {
    for (;;) {
        Token t = next_token(r);
        long v[2];
        if (is_word(t, "STYLE")) {
            if (!read_expression(r, &v[0])) return false;
            d->style = (uint32_t)v[0];
        } else if (is_word(t, "CAPTION")) {
            if (!read_string_token(r, d->caption, sizeof d->caption)) return false;
        } else if (is_word(t, "FONT")) {
            if (!read_expression(r, &v[0]) || !expect_mark(r, ',') ||
                !read_string_token(r, d->font_name, sizeof d->font_name))
                return false;
            d->font_size = (int)v[0];
        } else if (is_word(t, "BEGIN") || is_mark(t, '{')) {
            break;
        } else {
            return fail(r, t.line, "STYLE, CAPTION, FONT or BEGIN expected");
        }
    }
    for (;;) {
        Token t = next_token(r);
        if (is_word(t, "END") || is_mark(t, '}')) return true;
        if (!is_word(t, "CONTROL")) return fail(r, t.line, "CONTROL or END expected");
        if (!read_control(r, d, t.line)) return false;
    }
}

// name DIALOG [memory flags] x, y, cx, cy ...
bool read_dialog(Reader *r, const Token &name, uint16_t language) {
    if (r->set->count >= TEMPLATE_LIMIT) return fail(r, name.line, "too many dialogs");
    DialogTemplate *d = &r->set->templates[r->set->count];
    memset(d, 0, sizeof *d);
    if (name.kind == TK_NUMBER) {
        d->number = (int)name.value;
    } else {
        for (size_t i = 0; name.text[i] && i + 1 < sizeof d->name; i++)
            d->name[i] = (name.text[i] >= 'a' && name.text[i] <= 'z') ? name.text[i] - 'a' + 'A'
                                                                      : name.text[i];
    }
    d->language = language;
    while (peek_token(r).kind == TK_WORD) next_token(r);  // MOVEABLE, PURE, DISCARDABLE
    long box[4];
    if (!read_values(r, true, 4, box) || !read_dialog_body(r, d)) return false;
    d->x = (int)box[0], d->y = (int)box[1], d->cx = (int)box[2], d->cy = (int)box[3];
    r->set->count++;
    return true;
}

}  // namespace

bool parse_resource_script(const char *text, size_t length, TemplateSet *set) {
    memset(set, 0, sizeof *set);
    Reader r{text, text + length, 1, true, set, false};
    uint16_t language = 0;
    for (;;) {
        Token t = next_token(&r);
        if (t.kind == TK_END) return true;
        if (is_word(t, "LANGUAGE")) {
            long ids[2];
            if (!read_values(&r, true, 2, ids)) return false;
            language = (uint16_t)MAKELANGID(ids[0], ids[1]);
            continue;
        }
        Token kind = next_token(&r);
        if (!is_word(kind, "DIALOG")) return fail(&r, kind.line, "only DIALOG resources are read");
        if (t.kind != TK_NUMBER && t.kind != TK_WORD && t.kind != TK_STRING)
            return fail(&r, t.line, "resource name expected");
        if (!read_dialog(&r, t, language)) return false;
    }
}

const TemplateSet *embedded_templates() {
    static TemplateSet set;
    static bool read = false;
    if (!read) {
        read = true;
        if (!parse_resource_script(resource_script_text, resource_script_size, &set))
            fprintf(stderr, "pellmark: resource script line %d: %s\n", set.error_line, set.error);
    }
    return &set;
}

const DialogTemplate *find_dialog_template(LPCSTR name) {
    if (!name) return nullptr;
    const TemplateSet *set = embedded_templates();
    for (int i = 0; i < set->count; i++) {
        const DialogTemplate *d = &set->templates[i];
        if (IS_INTRESOURCE(name)) {
            if (d->number != 0 && d->number == (int)(uintptr_t)name) return d;
        } else if (d->number == 0 && strcasecmp(d->name, name) == 0) {
            return d;
        }
    }
    return nullptr;
}
