// The terminal side of the dialog manager: the status line that stands for a modeless
// dialog, and Ctrl-C as its Cancel button.
#pragma once

// Draws "caption: text — Ctrl-C cancels" on stderr, replacing the line drawn before, when
// stderr is a terminal; does nothing otherwise. The line is cut to the terminal's width so
// that it can be redrawn in place.
void terminal_status_show(const char *caption, const char *text);
// Removes the status line, if one is drawn, so that other output starts on a clean line.
void terminal_status_clear();

// Catches SIGINT while a modeless dialog exists. The first Ctrl-C is remembered for the
// message queue; the handler then gives way to the disposition it found, so a second Ctrl-C
// ends the process the usual way. Calling install twice keeps the first saved disposition.
void terminal_interrupt_install();
// Restores the disposition that install found. Harmless when nothing is installed.
void terminal_interrupt_remove();
// True once for each Ctrl-C caught since the last call.
bool terminal_interrupt_take();
