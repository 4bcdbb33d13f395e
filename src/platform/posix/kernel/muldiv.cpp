// MulDiv: number * numerator / denominator through a 64-bit product, rounded to the nearest
// integer with halves away from zero, as Windows rounds it.
#include <cstdint>

#include "../core/trace.h"
#include "../win32_api.h"

// Result: -1 when the denominator is 0 or the rounded quotient does not fit in 32 bits
// (Windows gives -1 for -2147483648 as well, since it checks the magnitude).
int WINAPI MulDiv(int number, int numerator, int denominator) {
    TraceLine t;
    trace_begin(&t, "MulDiv");
    trace_int(&t, "number", number);
    trace_int(&t, "numerator", numerator);
    trace_int(&t, "denominator", denominator);
    if (denominator == 0) return (int)trace_end(&t, -1);
    int64_t product = (int64_t)number * numerator;
    bool negative = (product < 0) != (denominator < 0);
    uint64_t magnitude = product < 0 ? (uint64_t)(-(product + 1)) + 1 : (uint64_t)product;
    uint64_t divisor = denominator < 0 ? (uint64_t)(-(int64_t)denominator) : (uint64_t)denominator;
    uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > INT32_MAX) return (int)trace_end(&t, -1);
    int result = negative ? -(int)quotient : (int)quotient;
    return (int)trace_end(&t, result);
}
