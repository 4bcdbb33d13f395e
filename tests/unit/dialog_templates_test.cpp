// The dialog templates the resource script defines, as the dialog manager reads them,
// checked field by field against the program's dialog tables.
#include <gtest/gtest.h>

#include <string>

#include "user/dialog_templates.h"

namespace {

struct ControlRow {
    const char *note;
    int id;
    const char *class_name;
    const char *text;
    int x, y, cx, cy;
    uint32_t style;
};

void expect_controls(const DialogTemplate *d, const ControlRow *rows, int count) {
    ASSERT_EQ(d->control_count, count) << "controls of the template";
    for (int i = 0; i < count; i++) {
        const ControlRow &row = rows[i];
        const ControlTemplate &c = d->controls[i];
        SCOPED_TRACE(row.note);
        EXPECT_EQ(c.id, row.id);
        EXPECT_STRCASEEQ(c.class_name, row.class_name);
        EXPECT_STREQ(c.text, row.text);
        EXPECT_EQ(c.x, row.x);
        EXPECT_EQ(c.y, row.y);
        EXPECT_EQ(c.cx, row.cx);
        EXPECT_EQ(c.cy, row.cy);
        EXPECT_EQ(c.style, row.style)
            << std::hex << "expected 0x" << row.style << ", got 0x" << c.style;
    }
}

TEST(DialogTemplates, OptionHelpIsTemplate101) {
    const DialogTemplate *d = find_dialog_template(MAKEINTRESOURCEA(101));
    ASSERT_NE(d, nullptr) << embedded_templates()->error;
    EXPECT_EQ(d->language, 0x0409) << "English (United States)";
    // pop-up, caption, system menu, sizing border, template font; no modal frame, not visible
    EXPECT_EQ(d->style, 0x80000000u | 0x00C00000u | 0x00080000u | 0x00040000u | 0x40u);
    EXPECT_EQ(d->x, 0);
    EXPECT_EQ(d->y, 0);
    EXPECT_EQ(d->cx, 407);
    EXPECT_EQ(d->cy, 334);
    EXPECT_STREQ(d->caption, "Pellmark - Version 2.4 Option Descriptions.");
    EXPECT_EQ(d->font_size, 8);
    EXPECT_STREQ(d->font_name, "MS Sans Serif");
    const ControlRow rows[] = {
        {"OK: child, visible, tab stop, default push button", 1, "Button", "OK", 111, 303, 50, 14,
         0x40000000u | 0x10000000u | 0x00010000u | 0x1u},
        {"list: child, visible, tab stop, border, both scroll bars, notify, tab stops, no "
         "integral height, no sort",
         1001, "ListBox", "", 7, 7, 393, 289,
         0x40000000u | 0x10000000u | 0x00010000u | 0x00800000u | 0x00200000u | 0x00100000u | 0x1u |
             0x80u | 0x100u},
    };
    expect_controls(d, rows, 2);
}

TEST(DialogTemplates, ProgressDialogIsAbrtDlgFoundWithoutRegardToCase) {
    const DialogTemplate *d = find_dialog_template("AbrtDlg");
    ASSERT_NE(d, nullptr) << embedded_templates()->error;
    EXPECT_EQ(find_dialog_template("ABRTDLG"), d);
    EXPECT_EQ(find_dialog_template("abrtdlg"), d);
    EXPECT_STREQ(d->name, "ABRTDLG");
    EXPECT_EQ(d->language, 0x0409);
    // pop-up, visible, caption, modal frame, template font; no system menu
    EXPECT_EQ(d->style, 0x80000000u | 0x10000000u | 0x00C00000u | 0x80u | 0x40u);
    EXPECT_EQ(d->x, 89);
    EXPECT_EQ(d->y, 42);
    EXPECT_EQ(d->cx, 137);
    EXPECT_EQ(d->cy, 72);
    EXPECT_STREQ(d->caption, "Spooling");
    EXPECT_EQ(d->font_size, 8);
    EXPECT_STREQ(d->font_name, "System");
    const uint32_t child_visible = 0x40000000u | 0x10000000u;
    const ControlRow rows[] = {
        {"page text: centred static, group", 100, "Static", "Printing...", 4, 4, 124, 8,
         child_visible | 0x00020000u | 0x1u},
        {"hint: centred static, group", -1, "Static", "Press to cancel job", 16, 14, 102, 10,
         child_visible | 0x00020000u | 0x1u},
        {"Cancel: default push button, tab stop", 2, "Button", "&Cancel", 51, 31, 28, 16,
         child_visible | 0x00010000u | 0x1u},
        {"version: left static, group", -1, "Static", "Pellmark 2.0", 48, 55, 41, 8,
         child_visible | 0x00020000u},
    };
    expect_controls(d, rows, 4);
}

TEST(DialogTemplates, UnknownNamesAndBrokenScriptsAreReported) {
    EXPECT_EQ(find_dialog_template("NoSuchDialog"), nullptr);
    EXPECT_EQ(find_dialog_template(MAKEINTRESOURCEA(102)), nullptr);
    struct Row {
        const char *note;
        const char *script;
        int error_line;
    } rows[] = {
        {"unknown style name", "1 DIALOG 0, 0, 1, 1\nSTYLE WS_BOGUS\nBEGIN\nEND\n", 2},
        {"missing END is reported at the end of the script", "1 DIALOG 0, 0, 1, 1\nBEGIN\n", 3},
        {"other resource types are not read", "1 MENU\n", 1},
        {"missing comma", "X DIALOG 0 0, 1, 1\nBEGIN\nEND\n", 1},
    };
    for (const Row &row : rows) {
        TemplateSet set;
        EXPECT_FALSE(parse_resource_script(row.script, strlen(row.script), &set)) << row.note;
        EXPECT_EQ(set.error_line, row.error_line) << row.note << ": " << set.error;
    }
}

}  // namespace
