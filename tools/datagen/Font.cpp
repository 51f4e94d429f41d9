// font_256.bmp: bytes 32 to 126 in a 16 x 8 grid of 16 x 32 cells (cell of byte b: column (b - 32) mod 16,
// row (b - 32) div 16, row 0 at the top), white anti-aliased glyphs on black, each centred horizontally
// in its cell and all on one baseline. The program draws a cell s wide and 2 s high, so the glyphs keep
// their shape. Rows 6 and 7 (bytes 128 to 159) stay black.
#include "DataGen.h"

#include <algorithm>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace datagen {

namespace {

constexpr int CellWidth = 16, CellHeight = 32, PixelSize = 24, First = 32, Last = 126;

struct FreeType {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    ~FreeType() {
        if (Face)
            FT_Done_Face(Face);
        if (Library)
            FT_Done_FreeType(Library);
    }
};

} // namespace

bool MakeFont(const std::string& fontFile, Image& font, std::string& error) {
    FreeType ft;
    if (FT_Init_FreeType(&ft.Library) || FT_New_Face(ft.Library, fontFile.c_str(), 0, &ft.Face) ||
        FT_Set_Pixel_Sizes(ft.Face, 0, PixelSize)) {
        error = "cannot load the font " + fontFile;
        return false;
    }
    const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT; // vertical hinting only: crisp, true shapes
    // First pass: the ink's extent above and below the baseline over all glyphs, to centre it vertically.
    int top = 0, bottom = 0;
    for (int b = First + 1; b <= Last; b++) {
        if (FT_Load_Char(ft.Face, FT_ULong(b), flags)) {
            error = "the font has no glyph for byte " + std::to_string(b);
            return false;
        }
        FT_GlyphSlot g = ft.Face->glyph;
        top = std::max(top, g->bitmap_top);
        bottom = std::min(bottom, g->bitmap_top - int(g->bitmap.rows));
    }
    const int baseline = (CellHeight - (top - bottom)) / 2 + top; // rows from the cell's top
    for (int b = First; b <= Last; b++) {
        FT_Load_Char(ft.Face, FT_ULong(b), flags);
        FT_GlyphSlot g = ft.Face->glyph;
        const int cellX = (b - First) % 16 * CellWidth, cellY = (b - First) / 16 * CellHeight;
        // Centre the advance box (a monospaced font centres each glyph within it).
        const int penX = (CellWidth - int(g->advance.x >> 6)) / 2;
        for (int row = 0; row < int(g->bitmap.rows); row++)
            for (int col = 0; col < int(g->bitmap.width); col++) {
                int x = penX + g->bitmap_left + col, y = baseline - g->bitmap_top + row;
                uint8_t v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                if (v == 0)
                    continue;
                if (x < 0 || x >= CellWidth || y < 0 || y >= CellHeight) {
                    error = "the glyph of byte " + std::to_string(b) + " does not fit its cell";
                    return false;
                }
                font.At(cellX + x, cellY + y) = Rgb{v, v, v};
            }
    }
    return true;
}

} // namespace datagen
