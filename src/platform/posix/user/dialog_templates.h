// Dialog templates, read from the program's resource script (embedded at build time).
//
// The reader knows the statements the script uses: LANGUAGE, DIALOG with STYLE, CAPTION and
// FONT, and CONTROL lines between BEGIN and END (or braces). Styles are "|" combinations of
// numbers and the style names of the Win32 headers. Preprocessor lines and comments are
// skipped.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/windows_services.h"

const int TEMPLATE_NAME_SIZE = 32;
const int TEMPLATE_TEXT_SIZE = 128;
const int TEMPLATE_CONTROL_LIMIT = 16;
const int TEMPLATE_LIMIT = 8;

struct ControlTemplate {
    char text[TEMPLATE_TEXT_SIZE];
    int id;  // -1 for "no id"
    char class_name[TEMPLATE_NAME_SIZE];
    uint32_t style;
    int x, y, cx, cy;
};

struct DialogTemplate {
    int number;                     // the numeric resource id, 0 for a named template
    char name[TEMPLATE_NAME_SIZE];  // the resource name in upper case, empty for a number
    uint16_t language;              // MAKELANGID of the LANGUAGE statement in force
    uint32_t style;
    int x, y, cx, cy;
    char caption[TEMPLATE_TEXT_SIZE];
    int font_size;
    char font_name[TEMPLATE_NAME_SIZE];
    int control_count;
    ControlTemplate controls[TEMPLATE_CONTROL_LIMIT];
};

struct TemplateSet {
    int count;
    DialogTemplate templates[TEMPLATE_LIMIT];
    // Where reading stopped on a statement it does not know: line number (0: read fully)
    // and a short reason.
    int error_line;
    char error[96];
};

// Reads `length` bytes of script text into `set`. Result: true when the whole script was
// read; false with error_line/error set at the first statement it could not read (templates
// read before it stay in the set).
bool parse_resource_script(const char *text, size_t length, TemplateSet *set);

// The templates of the embedded script, read once. A script that fails to read is reported
// once on stderr; the templates before the fault stay usable.
const TemplateSet *embedded_templates();

// The template `name` names: MAKEINTRESOURCEA(number) or a name matched without regard to
// the case of ASCII letters. nullptr when there is none.
const DialogTemplate *find_dialog_template(LPCSTR name);
