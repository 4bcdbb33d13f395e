// The subset of a TrueType font program for the PDF text path: see pdf_font.h. Glyph numbers
// are kept, so the font's own cmap still maps the characters; the glyph data of every glyph
// that is not needed is dropped (an empty entry in a rebuilt long loca table).
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <cstdlib>
#include <cstring>

#include "pdf/pdf_font.h"

namespace {

const int TABLE_COUNT = 10;
// The tables a PDF viewer needs of an embedded TrueType program, in tag order.
const FT_ULong TABLE_TAGS[TABLE_COUNT] = {FT_MAKE_TAG('c', 'm', 'a', 'p'),
                                          FT_MAKE_TAG('c', 'v', 't', ' '),
                                          FT_MAKE_TAG('f', 'p', 'g', 'm'),
                                          TTAG_glyf,
                                          TTAG_head,
                                          TTAG_hhea,
                                          TTAG_hmtx,
                                          TTAG_loca,
                                          TTAG_maxp,
                                          FT_MAKE_TAG('p', 'r', 'e', 'p')};
const bool TABLE_REQUIRED[TABLE_COUNT] = {true, false, false, true, true,
                                          true, true,  true,  true, false};

struct Table {
    unsigned char *bytes;
    size_t size;
};

uint32_t get16(const unsigned char *p) { return (uint32_t)(p[0] << 8 | p[1]); }
uint32_t get32(const unsigned char *p) { return get16(p) << 16 | get16(p + 2); }
void put16(unsigned char *p, uint32_t v) {
    p[0] = (unsigned char)(v >> 8);
    p[1] = (unsigned char)v;
}
void put32(unsigned char *p, uint32_t v) {
    put16(p, v >> 16);
    put16(p + 2, v & 0xFFFF);
}

uint32_t checksum(const unsigned char *bytes, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; i += 4) {
        unsigned char word[4] = {0, 0, 0, 0};
        memcpy(word, bytes + i, size - i < 4 ? size - i : 4);
        sum += get32(word);
    }
    return sum;
}

// Reads one table of the face; an absent optional table gives an empty one.
bool read_table(FT_Face face, FT_ULong tag, Table *table) {
    FT_ULong size = 0;
    table->bytes = nullptr;
    table->size = 0;
    if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &size) != 0 || size == 0) return false;
    table->bytes = static_cast<unsigned char *>(malloc(size));
    if (!table->bytes || FT_Load_Sfnt_Table(face, tag, 0, table->bytes, &size) != 0) return false;
    table->size = size;
    return true;
}

// Where glyph g's data lies in glyf, from the original loca; false when out of bounds.
bool glyph_range(const Table &loca, bool long_offsets, size_t glyf_size, uint32_t g,
                 uint32_t *start, uint32_t *end) {
    size_t entry = long_offsets ? 4 : 2;
    if ((size_t)(g + 2) * entry > loca.size) return false;
    const unsigned char *p = loca.bytes + g * entry;
    *start = long_offsets ? get32(p) : get16(p) * 2;
    *end = long_offsets ? get32(p + entry) : get16(p + entry) * 2;
    return *start <= *end && *end <= glyf_size;
}

// Adds the components of the composite glyphs in `keep` until nothing more is added.
void close_over_components(const Table &glyf, const Table &loca, bool long_offsets, uint32_t glyphs,
                           bool *keep) {
    for (bool added = true; added;) {
        added = false;
        for (uint32_t g = 0; g < glyphs; g++) {
            uint32_t start, end;
            if (!keep[g] || !glyph_range(loca, long_offsets, glyf.size, g, &start, &end)) continue;
            if (end - start < 10 || (int16_t)get16(glyf.bytes + start) >= 0) continue;
            size_t at = start + 10;
            uint32_t flags = 0x20;
            while ((flags & 0x20) && at + 4 <= end) {
                flags = get16(glyf.bytes + at);
                uint32_t component = get16(glyf.bytes + at + 2);
                if (component < glyphs && !keep[component]) keep[component] = added = true;
                at += 4 + ((flags & 0x1) ? 4 : 2);
                at += (flags & 0x8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0;
            }
        }
    }
}

// Builds the new glyf and its long loca from the kept glyphs.
bool subset_glyphs(const Table &glyf, const Table &loca, bool long_offsets, uint32_t glyphs,
                   const bool *keep, Table *new_glyf, Table *new_loca) {
    new_loca->size = (size_t)(glyphs + 1) * 4;
    new_loca->bytes = static_cast<unsigned char *>(malloc(new_loca->size));
    new_glyf->bytes = static_cast<unsigned char *>(malloc(glyf.size + 4 * (size_t)glyphs + 4));
    if (!new_loca->bytes || !new_glyf->bytes) return false;
    size_t at = 0;
    for (uint32_t g = 0; g < glyphs; g++) {
        put32(new_loca->bytes + g * 4, (uint32_t)at);
        uint32_t start, end;
        if (!keep[g] || !glyph_range(loca, long_offsets, glyf.size, g, &start, &end)) continue;
        memcpy(new_glyf->bytes + at, glyf.bytes + start, end - start);
        at += end - start;
        while (at % 4) new_glyf->bytes[at++] = 0;
    }
    put32(new_loca->bytes + (size_t)glyphs * 4, (uint32_t)at);
    new_glyf->size = at;
    return true;
}

// Writes the table directory and the padded tables; head's checkSumAdjustment last.
bool assemble(Table *tables, unsigned char **program, size_t *size) {
    int count = 0;
    size_t total = 12;
    for (int i = 0; i < TABLE_COUNT; i++)
        if (tables[i].size) count++, total += 16 + (tables[i].size + 3) / 4 * 4;
    unsigned char *out = static_cast<unsigned char *>(calloc(total, 1));
    if (!out) return false;
    int power = 1, log2 = 0;
    while (power * 2 <= count) power *= 2, log2++;
    put32(out, 0x00010000);
    put16(out + 4, (uint32_t)count);
    put16(out + 6, (uint32_t)power * 16);
    put16(out + 8, (uint32_t)log2);
    put16(out + 10, (uint32_t)(count - power) * 16);
    size_t record = 12, at = 12 + 16 * (size_t)count, head_at = 0;
    for (int i = 0; i < TABLE_COUNT; i++) {
        if (!tables[i].size) continue;
        if (TABLE_TAGS[i] == TTAG_head) {
            put32(tables[i].bytes + 8, 0);
            head_at = at;
        }
        put32(out + record, (uint32_t)TABLE_TAGS[i]);
        put32(out + record + 4, checksum(tables[i].bytes, tables[i].size));
        put32(out + record + 8, (uint32_t)at);
        put32(out + record + 12, (uint32_t)tables[i].size);
        memcpy(out + at, tables[i].bytes, tables[i].size);
        record += 16;
        at += (tables[i].size + 3) / 4 * 4;
    }
    put32(out + head_at + 8, 0xB1B0AFBAu - checksum(out, total));
    *program = out;
    *size = total;
    return true;
}

}  // namespace

bool pdf_font_subset(const PdfFont *font, unsigned char **program, size_t *size) {
    FT_Face face = (FT_Face)font->face;
    Table tables[TABLE_COUNT] = {};
    bool *keep = nullptr;
    bool ok = true;
    for (int i = 0; i < TABLE_COUNT && ok; i++)
        if (!read_table(face, TABLE_TAGS[i], &tables[i]) && TABLE_REQUIRED[i]) ok = false;
    Table &glyf = tables[3], &head = tables[4], &loca = tables[7], &maxp = tables[8];
    ok = ok && head.size >= 54 && maxp.size >= 6;
    uint32_t glyphs = ok ? get16(maxp.bytes + 4) : 0;
    bool long_offsets = ok && get16(head.bytes + 50) != 0;
    if (ok) keep = static_cast<bool *>(calloc(glyphs + 1, sizeof(bool)));
    ok = ok && keep;
    if (ok) {
        keep[0] = true;  // .notdef
        for (int byte = 0; byte < 256; byte++)
            if (font->used[byte] && font->glyph[byte] < glyphs) keep[font->glyph[byte]] = true;
        close_over_components(glyf, loca, long_offsets, glyphs, keep);
        Table new_glyf = {}, new_loca = {};
        ok = subset_glyphs(glyf, loca, long_offsets, glyphs, keep, &new_glyf, &new_loca);
        free(glyf.bytes);
        free(loca.bytes);
        glyf = new_glyf;
        loca = new_loca;
        put16(head.bytes + 50, 1);  // long loca offsets
    }
    ok = ok && assemble(tables, program, size);
    for (Table &table : tables) free(table.bytes);
    free(keep);
    return ok;
}
