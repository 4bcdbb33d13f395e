// wsprintfA and wvsprintfA: Windows' own small formatter, not the C library's printf.
//
// Conversions: %c %C %d %i %u %x %X %s %S %p and %%, with the flags "-" (left-align), "#"
// (0x/0X before hex) and "0" (zero padding after the sign), a width, a precision (at most that
// many characters of a string, at least that many digits of a number), and the size prefixes
// h, l, I, I32 and I64. "l" is Windows' LONG, 32 bits: a long argument is cut to 32 bits as
// Windows reads it. An unknown conversion writes its letter; "*" widths do not exist. The
// output stops at 1024 bytes with the terminator, as on Windows: longer results are cut.
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "core/trace.h"
#include "platform/windows_services.h"

namespace {

const size_t WSPRINTF_LIMIT = 1024;

struct Output {
    char *buffer;
    size_t length;  // bytes written, never more than WSPRINTF_LIMIT - 1
};

void put(Output *out, char c) {
    if (out->length < WSPRINTF_LIMIT - 1) out->buffer[out->length++] = c;
}

void put_repeat(Output *out, char c, int count) {
    for (int i = 0; i < count; i++) put(out, c);
}

struct Conversion {
    bool left, prefix, zero;
    int width, precision;  // precision -1: none
    int size;              // 0 int, 'h' short, 'l' LONG, 'I' pointer-sized, 64 64-bit
    char type;
};

// Reads flags, width, precision and size from `f`; returns the position after the type.
const char *parse_conversion(const char *f, Conversion *s) {
    *s = Conversion{false, false, false, 0, -1, 0, 0};
    for (;; f++) {
        if (*f == '-')
            s->left = true;
        else if (*f == '#')
            s->prefix = true;
        else if (*f == '0')
            s->zero = true;
        else
            break;
    }
    while (*f >= '0' && *f <= '9') s->width = s->width * 10 + (*f++ - '0');
    if (*f == '.') {
        s->precision = 0;
        for (f++; *f >= '0' && *f <= '9'; f++) s->precision = s->precision * 10 + (*f - '0');
    }
    if (s->width > (int)WSPRINTF_LIMIT) s->width = (int)WSPRINTF_LIMIT;
    if (s->precision > (int)WSPRINTF_LIMIT) s->precision = (int)WSPRINTF_LIMIT;
    if (*f == 'h' || *f == 'l' || *f == 'w') {
        s->size = *f == 'w' ? 'l' : *f;
        f++;
    } else if (f[0] == 'I' && f[1] == '6' && f[2] == '4') {
        s->size = 64;
        f += 3;
    } else if (f[0] == 'I' && f[1] == '3' && f[2] == '2') {
        s->size = 0;
        f += 3;
    } else if (*f == 'I') {
        s->size = 'I';
        f++;
    }
    s->type = *f;
    return *f ? f + 1 : f;
}

// Pads `body` (already built, `length` bytes) to the width on the side the flags say.
void put_padded(Output *out, const Conversion &s, const char *body, int length) {
    int pad = s.width > length ? s.width - length : 0;
    if (!s.left) put_repeat(out, ' ', pad);
    for (int i = 0; i < length; i++) put(out, body[i]);
    if (s.left) put_repeat(out, ' ', pad);
}

// A number: sign or 0x prefix, zeros up to the precision or (with "0") the width, digits.
void put_number(Output *out, const Conversion &s, uint64_t magnitude, bool negative, int base,
                bool upper) {
    char digits[24];
    int count = 0;
    const char *set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do {
        digits[count++] = set[magnitude % (unsigned)base];
        magnitude /= (unsigned)base;
    } while (magnitude != 0 && count < (int)sizeof digits);
    char head[3];
    int head_length = 0;
    if (negative) head[head_length++] = '-';
    if (s.prefix && base == 16) {
        head[head_length++] = '0';
        head[head_length++] = upper ? 'X' : 'x';
    }
    int zeros = s.precision > count ? s.precision - count : 0;
    int total = head_length + zeros + count;
    if (s.zero && !s.left && s.width > total) {
        zeros += s.width - total;
        total = s.width;
    }
    int pad = s.width > total ? s.width - total : 0;
    if (!s.left) put_repeat(out, ' ', pad);
    for (int i = 0; i < head_length; i++) put(out, head[i]);
    put_repeat(out, '0', zeros);
    while (count > 0) put(out, digits[--count]);
    if (s.left) put_repeat(out, ' ', pad);
}

// Reads a signed argument of the conversion's size; LONG is 32 bits as on Windows.
int64_t signed_argument(const Conversion &s, va_list *args) {
    switch (s.size) {
        case 64:
            return (int64_t)va_arg(*args, long long);
        case 'I':
            return (int64_t)va_arg(*args, intptr_t);
        case 'l':
            return (int32_t)va_arg(*args, long);
        case 'h':
            return (short)va_arg(*args, int);
        default:
            return va_arg(*args, int);
    }
}

uint64_t unsigned_argument(const Conversion &s, va_list *args) {
    switch (s.size) {
        case 64:
            return (uint64_t)va_arg(*args, unsigned long long);
        case 'I':
            return (uint64_t)va_arg(*args, uintptr_t);
        case 'l':
            return (uint32_t)va_arg(*args, unsigned long);
        case 'h':
            return (unsigned short)va_arg(*args, unsigned int);
        default:
            return va_arg(*args, unsigned int);
    }
}

// A string of 16-bit characters (%S, %ls) shown in single bytes: what is not a byte is "?".
void put_wide_string(Output *out, const Conversion &s, const uint16_t *wide) {
    char body[WSPRINTF_LIMIT];
    int length = 0;
    static const uint16_t null_text[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    if (!wide) wide = null_text;
    while (wide[length] && length < (int)sizeof body && (s.precision < 0 || length < s.precision)) {
        body[length] = wide[length] < 256 ? (char)wide[length] : '?';
        length++;
    }
    put_padded(out, s, body, length);
}

void put_string(Output *out, const Conversion &s, const char *text) {
    if (!text) text = "(null)";
    int length = 0;
    while (text[length] && length < (int)WSPRINTF_LIMIT &&
           (s.precision < 0 || length < s.precision))
        length++;
    put_padded(out, s, text, length);
}

// One conversion, its argument taken from `args`.
void put_conversion(Output *out, const Conversion &s, va_list *args) {
    bool wide = s.size == 'l';
    switch (s.type) {
        case 'c':
        case 'C': {
            unsigned value = va_arg(*args, unsigned int);
            bool is_wide = s.type == 'C' ? s.size != 'h' : wide;
            char c = (is_wide && value > 255) ? '?' : (char)value;
            put_padded(out, s, &c, 1);
            break;
        }
        case 's':
            wide ? put_wide_string(out, s, va_arg(*args, const uint16_t *))
                 : put_string(out, s, va_arg(*args, const char *));
            break;
        case 'S':
            s.size == 'h' ? put_string(out, s, va_arg(*args, const char *))
                          : put_wide_string(out, s, va_arg(*args, const uint16_t *));
            break;
        case 'd':
        case 'i': {
            int64_t v = signed_argument(s, args);
            put_number(out, s, v < 0 ? 0 - (uint64_t)v : (uint64_t)v, v < 0, 10, false);
            break;
        }
        case 'u':
            put_number(out, s, unsigned_argument(s, args), false, 10, false);
            break;
        case 'x':
        case 'X':
            put_number(out, s, unsigned_argument(s, args), false, 16, s.type == 'X');
            break;
        case 'p': {
            Conversion p = s;
            p.zero = true;
            p.width = (int)(2 * sizeof(void *));
            put_number(out, p, (uint64_t)(uintptr_t)va_arg(*args, void *), false, 16, true);
            break;
        }
        case '\0':
            break;
        default:
            put(out, s.type);
            break;  // "%%" and unknown letters write the letter
    }
}

// Formats into `buffer` (at most WSPRINTF_LIMIT bytes with the terminator).
int format_windows(char *buffer, const char *format, va_list args) {
    Output out{buffer, 0};
    va_list walk;
    va_copy(walk, args);
    for (const char *f = format ? format : ""; *f;) {
        if (*f != '%') {
            put(&out, *f++);
            continue;
        }
        Conversion s;
        f = parse_conversion(f + 1, &s);
        put_conversion(&out, s, &walk);
    }
    va_end(walk);
    buffer[out.length] = '\0';
    return (int)out.length;
}

int traced_format(const char *fn, char *buffer, const char *format, va_list args) {
    TraceLine t;
    trace_begin(&t, fn);
    trace_str(&t, "format", format);
    if (!buffer) return (int)trace_end(&t, 0);
    int n = format_windows(buffer, format, args);
    trace_str(&t, "text", buffer);
    return (int)trace_end(&t, n);
}

}  // namespace

// Result: the count of bytes stored, without the terminator; 0 for a null buffer.
int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments) {
    return traced_format("wvsprintfA", buffer, format, arguments);
}

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int n = traced_format("wsprintfA", buffer, format, arguments);
    va_end(arguments);
    return n;
}
