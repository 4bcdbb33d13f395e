// The font objects of the PDF text writer: a simple TrueType font with WinAnsiEncoding, its
// descriptor, the compressed subset of its program, and the map of its bytes to Unicode.
#include <cstdlib>

#include <zlib.h>

#include "gdi/cp1252.h"
#include "pdf/pdf_objects.h"

// A deflated stream object of `size` bytes; written empty when memory is short.
static void write_packed(PdfText *doc, int number, const unsigned char *bytes, size_t size,
                         bool length1) {
    uLongf packed_size = bytes ? compressBound(size) : 0;
    unsigned char *packed =
        packed_size ? static_cast<unsigned char *>(malloc(packed_size)) : nullptr;
    if (!packed || compress2(packed, &packed_size, bytes, size, 9) != Z_OK) packed_size = 0;
    pdf_begin_object(doc, number);
    pdf_output_printf(doc->out, "<< /Length %lu", (unsigned long)packed_size);
    if (length1) pdf_output_printf(doc->out, " /Length1 %zu", packed_size ? size : 0);
    pdf_output_printf(doc->out, " /Filter /FlateDecode >>\nstream\n");
    if (packed_size) pdf_output_bytes(doc->out, packed, packed_size);
    pdf_output_printf(doc->out, "\nendstream\nendobj\n");
    free(packed);
}

// The ToUnicode map of the used bytes, so that text extraction does not depend on the
// reader knowing the encoding.
static void write_unicode_map(PdfText *doc, const PdfFont *font, int number) {
    PdfBuffer map = {};
    pdf_buffer_printf(&map,
                      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n");
    int byte = 0;
    while (byte < 256) {  // blocks of at most 100 entries
        int count = 0;
        for (int b = byte; b < 256 && count < 100; b++) count += font->used[b] ? 1 : 0;
        if (!count) break;
        pdf_buffer_printf(&map, "%d beginbfchar\n", count);
        for (int n = 0; byte < 256 && n < count; byte++) {
            if (!font->used[byte]) continue;
            pdf_buffer_printf(&map, "<%02X> <%04X>\n", byte, cp1252_unicode[byte]);
            n++;
        }
        pdf_buffer_printf(&map, "endbfchar\n");
    }
    pdf_buffer_printf(&map, "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
    write_packed(doc, number, map.failed ? nullptr : map.bytes, map.used, false);
    pdf_buffer_free(&map);
}

// The FontFile2 stream: the subset, deflated. An empty stream when the subset fails, so the
// document stays well formed (the viewer then substitutes a font).
static void write_program(PdfText *doc, const PdfFont *font, int number) {
    unsigned char *program = nullptr;
    size_t size = 0;
    if (!pdf_font_subset(font, &program, &size)) size = 0;
    write_packed(doc, number, program, size, true);
    free(program);
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
                      "/FontDescriptor %d 0 R /ToUnicode %d 0 R /FirstChar %d /LastChar %d\n"
                      "/Widths [",
                      font->base_name, dictionary + 1, dictionary + 3, first, last);
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
    write_unicode_map(doc, font, dictionary + 3);
}
