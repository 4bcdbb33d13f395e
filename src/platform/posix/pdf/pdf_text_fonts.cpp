// The font objects of the PDF text writer: a simple TrueType font with WinAnsiEncoding, its
// descriptor, and the compressed subset of its program.
#include <cstdlib>

#include <zlib.h>

#include "pdf/pdf_objects.h"

// The FontFile2 stream: the subset, deflated. An empty stream when the subset fails, so the
// document stays well formed (the viewer then substitutes a font).
static void write_program(PdfText *doc, const PdfFont *font, int number) {
    unsigned char *program = nullptr;
    size_t size = 0;
    unsigned char *packed = nullptr;
    uLongf packed_size = 0;
    if (pdf_font_subset(font, &program, &size)) {
        packed_size = compressBound(size);
        packed = static_cast<unsigned char *>(malloc(packed_size));
        if (!packed || compress2(packed, &packed_size, program, size, 9) != Z_OK) packed_size = 0;
    }
    pdf_begin_object(doc, number);
    pdf_output_printf(doc->out, "<< /Length %lu /Length1 %zu /Filter /FlateDecode >>\nstream\n",
                      (unsigned long)packed_size, packed_size ? size : 0);
    if (packed_size) pdf_output_bytes(doc->out, packed, packed_size);
    pdf_output_printf(doc->out, "\nendstream\nendobj\n");
    free(program);
    free(packed);
}

void pdf_write_font(PdfText *doc, int slot) {
    const PdfFont *font = &doc->fonts[slot];
    int dictionary = doc->font_objects[slot];
    int first = 32, last = 255;
    while (first <= last && !font->used[first]) first++;
    while (last >= first && !font->used[last]) last--;
    if (first > last) first = last = 32;
    pdf_begin_object(doc, dictionary);
    pdf_output_printf(doc->out,
                      "<< /Type /Font /Subtype /TrueType /BaseFont /%s /Encoding /WinAnsiEncoding\n"
                      "/FontDescriptor %d 0 R /FirstChar %d /LastChar %d /Widths [",
                      font->base_name, dictionary + 1, first, last);
    for (int byte = first; byte <= last; byte++)
        pdf_output_printf(doc->out, "%s%d", (byte - first) % 16 ? " " : "\n", font->widths[byte]);
    pdf_output_printf(doc->out, "] >>\nendobj\n");
    pdf_begin_object(doc, dictionary + 1);
    // Flags: 32 nonsymbolic, plus 1 for a fixed-pitch face.
    pdf_output_printf(doc->out,
                      "<< /Type /FontDescriptor /FontName /%s /Flags %d\n"
                      "/FontBBox [%d %d %d %d] /ItalicAngle 0 /Ascent %d /Descent %d\n"
                      "/CapHeight %d /StemV 80 /FontFile2 %d 0 R >>\nendobj\n",
                      font->base_name, 32 | (font->fixed_pitch ? 1 : 0), font->bbox[0],
                      font->bbox[1], font->bbox[2], font->bbox[3], font->ascent, font->descent,
                      font->cap_height, dictionary + 2);
    write_program(doc, font, dictionary + 2);
}
