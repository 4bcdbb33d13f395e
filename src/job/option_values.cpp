// Reading an option's value: see option_values.h.
#include "job/option_values.h"

#include <charconv>
#include <cstring>

#include "printer/paper_tables.h"

// The value begins behind the first "=" of the whole text, spaces (not tabs) skipped. A value
// that then begins with a double quote loses that quote and its own last character, whatever
// that is: "x" gives x, "Courier gives Courie, a lone quote gives an empty value. Nothing else
// is removed. The text is changed in place; nullptr when there is no "=".
char *FindOptionValue(char *text) {
    char *value = strchr(text, '=');
    if (!value) return nullptr;
    value++;
    while (*value == ' ') value++;
    if (*value == '"') {
        value++;
        size_t length = strlen(value);
        if (length > 0) value[length - 1] = 0;
    }
    return value;
}

static bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal integer with the wrap-around of 32-bit arithmetic: unsigned sums so that an
// over-long number never invokes undefined behaviour. "INVALID ARGUMENT" reads as 0.
int32_t ReadOptionInteger(const char *value) {
    while (IsCSpace(*value)) value++;
    bool negative = *value == '-';
    if (*value == '+' || *value == '-') value++;
    uint32_t number = 0;
    for (; IsDigit(*value); value++) number = number * 10u + (uint32_t)(*value - '0');
    return (int32_t)(negative ? 0u - number : number);
}

// Length of the leading decimal number of `text`: digits with an optional point (at least
// one digit) and an optional exponent that has digits of its own. 0 when there is none.
// Hexadecimal, "inf" and "nan" are not numbers here.
static size_t DecimalNumberLength(const char *text) {
    size_t at = 0, digits = 0;
    while (IsDigit(text[at])) at++, digits++;
    if (text[at] == '.') {
        at++;
        while (IsDigit(text[at])) at++, digits++;
    }
    if (digits == 0) return 0;
    if (text[at] == 'e' || text[at] == 'E') {
        size_t exponent = at + 1;
        if (text[exponent] == '+' || text[exponent] == '-') exponent++;
        if (IsDigit(text[exponent])) {
            while (IsDigit(text[exponent])) exponent++;
            at = exponent;
        }
    }
    return at;
}

// The value's leading number times 10 (millimetres, when "m" or "M" is anywhere in it) or
// 254 (inches, otherwise), truncated toward zero. Products outside 32 bits are held at the
// limit instead of overflowing: 8.5i gives 2159, 23m 230, 8.27i 2100.
int32_t ReadMeasurement(const char *value) {
    double factor = strpbrk(value, "mM") ? 10.0 : 254.0;
    while (IsCSpace(*value)) value++;
    bool negative = *value == '-';
    if (*value == '+' || *value == '-') value++;
    size_t length = DecimalNumberLength(value);
    double number = 0.0;
    if (length > 0) std::from_chars(value, value + length, number);
    double product = (negative ? -number : number) * factor;
    if (!(product > -2147483648.0)) return INT32_MIN;  // also catches NaN, never produced
    if (product >= 2147483647.0) return INT32_MAX;
    return (int32_t)product;
}

// The first paper source whose name equals the value, ignoring case, gives its bin code.
// Otherwise, only while no source is set yet, the value is read as a bin number (16 bits);
// a value that is neither leaves the printer's own default source in force.
void ApplySourceOption(PrintJob *job, const char *value) {
    const PaperSource *row = FindPaperSource(value);
    if (row)
        job->source = (int16_t)row->code;
    else if (job->source == 0)
        job->source = (int16_t)ReadOptionInteger(value);
}

// A value longer than its field is cut to the field's capacity less the terminator.
void CopyOptionText(char *field, int size, const char *value) {
    size_t length = strlen(value);
    if (length > (size_t)size - 1) length = (size_t)size - 1;
    memcpy(field, value, length);
    field[length] = 0;
}
