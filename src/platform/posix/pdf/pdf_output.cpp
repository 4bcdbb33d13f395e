// Buffered PDF output and reusable byte buffers: see pdf_output.h.
#include "pdf/pdf_output.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void pdf_output_start(PdfOutput *out, PdfWrite write, void *context) {
    out->write = write;
    out->context = context;
    out->offset = 0;
    out->failed = false;
    out->used = 0;
}

// Hands `count` bytes to the destination unless it failed before.
static void hand_on(PdfOutput *out, const void *bytes, size_t count) {
    if (out->failed || count == 0) return;
    if (!out->write(out->context, bytes, count)) out->failed = true;
}

bool pdf_output_flush(PdfOutput *out) {
    hand_on(out, out->buffer, out->used);
    out->used = 0;
    return !out->failed;
}

void pdf_output_bytes(PdfOutput *out, const void *bytes, size_t count) {
    out->offset += count;
    if (out->used + count > sizeof out->buffer) {
        pdf_output_flush(out);
        if (count >= sizeof out->buffer) {
            hand_on(out, bytes, count);
            return;
        }
    }
    memcpy(out->buffer + out->used, bytes, count);
    out->used += count;
}

void pdf_output_printf(PdfOutput *out, const char *format, ...) {
    char text[4096];
    va_list arguments;
    va_start(arguments, format);
    int n = vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (n < 0) return;
    pdf_output_bytes(out, text, (size_t)n < sizeof text ? (size_t)n : sizeof text - 1);
}

bool pdf_buffer_reserve(PdfBuffer *buffer, size_t capacity) {
    if (buffer->failed) return false;
    if (capacity <= buffer->capacity) return true;
    size_t grown = buffer->capacity ? buffer->capacity : 4096;
    while (grown < capacity) grown *= 2;
    unsigned char *bytes = static_cast<unsigned char *>(realloc(buffer->bytes, grown));
    if (!bytes) {
        buffer->failed = true;
        return false;
    }
    buffer->bytes = bytes;
    buffer->capacity = grown;
    return true;
}

void pdf_buffer_bytes(PdfBuffer *buffer, const void *bytes, size_t count) {
    if (count == 0) return;
    if (!pdf_buffer_reserve(buffer, buffer->used + count)) return;
    memcpy(buffer->bytes + buffer->used, bytes, count);
    buffer->used += count;
}

void pdf_buffer_printf(PdfBuffer *buffer, const char *format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    int n = vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (n < 0) return;
    pdf_buffer_bytes(buffer, text, (size_t)n < sizeof text ? (size_t)n : sizeof text - 1);
}

void pdf_buffer_free(PdfBuffer *buffer) {
    free(buffer->bytes);
    *buffer = PdfBuffer{};
}

// Integer arithmetic instead of printf's floating-point path: the content of a page is mostly
// numbers, and this is its hottest formatting.
void pdf_buffer_number(PdfBuffer *buffer, double value) {
    char text[32];
    size_t n = 0;
    long long thousandths = llround(value * 1000.0);
    if (thousandths < 0) {
        text[n++] = '-';
        thousandths = -thousandths;
    }
    long long whole = thousandths / 1000;
    int fraction = (int)(thousandths % 1000);
    char digits[24];
    int d = 0;
    do {
        digits[d++] = (char)('0' + whole % 10);
        whole /= 10;
    } while (whole > 0 && d < (int)sizeof digits);
    while (d > 0) text[n++] = digits[--d];
    if (fraction) {
        text[n++] = '.';
        text[n++] = (char)('0' + fraction / 100);
        if (fraction % 100) {
            text[n++] = (char)('0' + fraction / 10 % 10);
            if (fraction % 10) text[n++] = (char)('0' + fraction % 10);
        }
    }
    if (n == 2 && text[0] == '-' && text[1] == '0') n = 1, text[0] = '0';
    pdf_buffer_bytes(buffer, text, n);
}
