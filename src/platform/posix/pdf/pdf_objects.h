// Object bookkeeping shared by the parts of the PDF text writer.
#pragma once

#include "pdf/pdf_text.h"

// A new object number.
int pdf_new_object(PdfText *doc);
// Starts object `number` at the current offset ("n 0 obj").
void pdf_begin_object(PdfText *doc, int number);
// Appends an item of `size` bytes to a growable array; false when memory is short.
bool pdf_grow(PdfGrowable *array, const void *item, size_t size);
// Writes the three objects of font `slot` (dictionary, descriptor, subset program).
void pdf_write_font(PdfText *doc, int slot);
