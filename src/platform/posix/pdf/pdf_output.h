// Buffered byte output of a PDF document: counts the offset of every byte written, hands the
// bytes on in large blocks, and remembers the first failure of the destination.
#pragma once

#include <cstddef>
#include <cstdint>

// Receives the document's bytes; false when they could not be taken (the document is then
// given up by its writer).
typedef bool (*PdfWrite)(void *context, const void *bytes, size_t count);

const size_t PDF_OUTPUT_BUFFER = 65536;

struct PdfOutput {
    PdfWrite write;
    void *context;
    uint64_t offset;  // bytes written so far, buffered ones included
    bool failed;      // the destination refused bytes; nothing more is handed on
    size_t used;
    unsigned char buffer[PDF_OUTPUT_BUFFER];
};

// Starts an empty output to `write`.
void pdf_output_start(PdfOutput *out, PdfWrite write, void *context);
// Appends bytes; a block larger than the buffer goes straight through.
void pdf_output_bytes(PdfOutput *out, const void *bytes, size_t count);
// Appends printf-style text; a text longer than 4 KiB is cut there (no caller writes one).
void pdf_output_printf(PdfOutput *out, const char *format, ...)
    __attribute__((format(printf, 2, 3)));
// Hands the buffered bytes on. False when any write so far failed.
bool pdf_output_flush(PdfOutput *out);

// A growable byte buffer that is reused: it never shrinks, so a page after the largest one
// costs no allocation.
struct PdfBuffer {
    unsigned char *bytes;
    size_t used;
    size_t capacity;
    bool failed;  // an allocation failed; the content is incomplete
};

// Appends bytes, growing the buffer by doubling.
void pdf_buffer_bytes(PdfBuffer *buffer, const void *bytes, size_t count);
// Appends printf-style text of at most 511 characters (cut there).
void pdf_buffer_printf(PdfBuffer *buffer, const char *format, ...)
    __attribute__((format(printf, 2, 3)));
// Makes room for at least `capacity` bytes; false when memory is short.
bool pdf_buffer_reserve(PdfBuffer *buffer, size_t capacity);
// Releases the storage.
void pdf_buffer_free(PdfBuffer *buffer);

// Appends a number in the shortest form PDF needs: up to three decimals, no trailing zeros.
void pdf_buffer_number(PdfBuffer *buffer, double value);
