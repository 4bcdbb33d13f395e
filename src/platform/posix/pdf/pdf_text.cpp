// The document level of the PDF text writer: see pdf_text.h.
#include "pdf/pdf_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <cstring>

#include <zlib.h>

#include "pdf/pdf_objects.h"

// Objects 1 and 2 are the catalog and the page tree, known before any page refers to them.
const int CATALOG_OBJECT = 1;
const int PAGES_OBJECT = 2;

bool pdf_grow(PdfGrowable *array, const void *item, size_t size) {
    if (array->count == array->capacity) {
        size_t capacity = array->capacity ? array->capacity * 2 : 256;
        void *items = realloc(array->items, capacity * size);
        if (!items) return false;
        array->items = items;
        array->capacity = capacity;
    }
    memcpy((char *)array->items + array->count * size, item, size);
    array->count++;
    return true;
}

int pdf_new_object(PdfText *doc) {
    uint64_t unknown = 0;
    if (!pdf_grow(&doc->offsets, &unknown, sizeof unknown)) doc->failed = true;
    return doc->next_object++;
}

void pdf_begin_object(PdfText *doc, int number) {
    if ((size_t)number <= doc->offsets.count)
        ((uint64_t *)doc->offsets.items)[number - 1] = doc->out->offset;
    pdf_output_printf(doc->out, "%d 0 obj\n", number);
}

bool pdf_text_begin(PdfText *doc, PdfWrite write, void *context, int dpi) {
    memset(doc, 0, sizeof *doc);
    doc->out = static_cast<PdfOutput *>(malloc(sizeof(PdfOutput)));
    FT_Library library = nullptr;
    if (!doc->out || dpi <= 0 || FT_Init_FreeType(&library) != 0) {
        free(doc->out);
        doc->out = nullptr;
        return false;
    }
    doc->library = library;
    doc->scale = 72.0 / dpi;
    doc->next_object = 1;
    doc->current_font = -1;
    pdf_new_object(doc);  // the catalog
    pdf_new_object(doc);  // the page tree
    pdf_output_start(doc->out, write, context);
    // The binary comment tells transfer programs that the file is not text.
    pdf_output_printf(doc->out, "%%PDF-1.4\n%%\xE2\xE3\xCF\xD3\n");
    return !doc->failed;
}

void pdf_text_info(PdfText *doc, const uint16_t *title, int count, const char *creator) {
    if (doc->info_object || !doc->out) return;
    doc->info_object = pdf_new_object(doc);
    pdf_begin_object(doc, doc->info_object);
    // The title as a hex string of UTF-16BE with its byte order mark; long titles are cut.
    pdf_output_printf(doc->out, "<< /Title <FEFF");
    for (int i = 0; i < count && i < 1024; i++) pdf_output_printf(doc->out, "%04X", title[i]);
    pdf_output_printf(doc->out, ">\n/Creator (");
    for (const char *c = creator; c && *c; c++) {
        unsigned char b = (unsigned char)*c;
        if (b >= 0x20 && b < 0x7F && b != '(' && b != ')' && b != '\\')
            pdf_output_bytes(doc->out, &b, 1);
    }
    pdf_output_printf(doc->out, ") >>\nendobj\n");
}

int pdf_text_font(PdfText *doc, const char *path, int index) {
    if (doc->font_count >= PDF_TEXT_FONTS) return -1;
    int slot = doc->font_count;
    if (!pdf_font_load(&doc->fonts[slot], doc->library, path, index)) return -1;
    doc->font_objects[slot] = pdf_new_object(doc);
    pdf_new_object(doc);  // its descriptor
    pdf_new_object(doc);  // the subset program
    pdf_new_object(doc);  // the bytes' Unicode values, for text extraction
    return doc->font_count++;
}

static void release(PdfText *doc) {
    for (int i = 0; i < doc->font_count; i++) pdf_font_free(&doc->fonts[i]);
    if (doc->library) FT_Done_FreeType((FT_Library)doc->library);
    pdf_buffer_free(&doc->content);
    pdf_buffer_free(&doc->packed);
    pdf_buffer_free(&doc->graphics);
    if (doc->deflater) deflateEnd((z_stream *)doc->deflater);
    free(doc->deflater);
    free(doc->offsets.items);
    free(doc->pages.items);
    free(doc->out);
    memset(doc, 0, sizeof *doc);
}

void pdf_text_abandon(PdfText *doc) { release(doc); }

// The page tree lists every page and holds what they share: the fonts and the size of the
// first page (a page of another size carries its own). The catalog points at it.
static void write_page_tree(PdfText *doc) {
    pdf_begin_object(doc, PAGES_OBJECT);
    pdf_output_printf(doc->out, "<< /Type /Pages /Count %zu /MediaBox [0 0 %.3f %.3f]\n",
                      doc->pages.count, doc->sheet_width, doc->sheet_height);
    pdf_output_printf(doc->out, "/Resources << /Font <<");
    for (int i = 0; i < doc->font_count; i++)
        pdf_output_printf(doc->out, " /F%d %d 0 R", i, doc->font_objects[i]);
    pdf_output_printf(doc->out, " >> >>\n/Kids [");
    const int *pages = (const int *)doc->pages.items;
    for (size_t i = 0; i < doc->pages.count; i++)
        pdf_output_printf(doc->out, "%s%d 0 R", i % 10 ? " " : "\n", pages[i]);
    pdf_output_printf(doc->out, "] >>\nendobj\n");
    pdf_begin_object(doc, CATALOG_OBJECT);
    pdf_output_printf(doc->out, "<< /Type /Catalog /Pages %d 0 R >>\nendobj\n", PAGES_OBJECT);
}

static void write_cross_references(PdfText *doc) {
    uint64_t start = doc->out->offset;
    pdf_output_printf(doc->out, "xref\n0 %d\n0000000000 65535 f \n", doc->next_object);
    const uint64_t *offsets = (const uint64_t *)doc->offsets.items;
    for (size_t i = 0; i < doc->offsets.count; i++)
        pdf_output_printf(doc->out, "%010llu 00000 n \n", (unsigned long long)offsets[i]);
    pdf_output_printf(doc->out, "trailer\n<< /Size %d /Root %d 0 R", doc->next_object,
                      CATALOG_OBJECT);
    if (doc->info_object) pdf_output_printf(doc->out, " /Info %d 0 R", doc->info_object);
    pdf_output_printf(doc->out, " >>\nstartxref\n%llu\n%%%%EOF\n", (unsigned long long)start);
}

bool pdf_text_finish(PdfText *doc) {
    if (doc->page_open) pdf_text_end_page(doc);
    for (int i = 0; i < doc->font_count; i++) pdf_write_font(doc, i);
    write_page_tree(doc);
    write_cross_references(doc);
    bool ok = pdf_output_flush(doc->out) && !doc->failed;
    release(doc);
    return ok;
}
