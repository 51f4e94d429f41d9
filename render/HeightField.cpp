#include "render/HeightField.h"

#include <GL/gl.h>

namespace {

// Owners set Columns and Rows freely; within 2..MaxVertices the steps stay finite and the flat layout's one
// extra vertex per direction still lands inside the grid.
int GridCount(int count) {
    return count < 2 ? 2 : (count > HeightField::MaxVertices ? HeightField::MaxVertices : count);
}

} // namespace

HeightField::HeightField() {
    Width = 4000.0f;
    Height = 4000.0f;
    AlphaTest = 0;
}

void HeightField::MakeFlat() {
    const int columns = GridCount(Columns);
    const int rows = GridCount(Rows);
    const float dx = Width / float(columns - 1);
    const float dz = Height / float(rows - 1);
    for (int i = 0; i <= columns; ++i)
        for (int j = 0; j <= rows; ++j) {
            Vertex& v = Grid[i][j];
            v.Position[0] = float(i) * dx - Width * 0.5f - dx * 0.25f;
            v.Position[1] = Y;
            v.Position[2] = float(j) * dz - Height * 0.5f - dz * 0.25f;
            v.Normal[0] = 0.0f;
            v.Normal[1] = 1.0f;
            v.Normal[2] = 0.0f;
        }
}

void HeightField::Draw(const SettingsStore& settings) const {
    const int columns = GridCount(Columns);
    const int rows = GridCount(Rows);
    const float du = float(columns - 1) / TextureRepeat;
    const float dv = float(rows - 1) / TextureRepeat;
    BeginRenderState(settings);
    for (int j = 0; j < rows - 1; ++j) {
        const float v0 = float(j) / dv + TextureOffsetV;
        const float v1 = float(j + 1) / dv + TextureOffsetV;
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i < columns; ++i) {
            const float u = float(i) / du + TextureOffsetU;
            const Vertex& thisRow = Grid[i][j];
            const Vertex& nextRow = Grid[i][j + 1];
            glNormal3fv(thisRow.Normal);
            glTexCoord2f(u, v0);
            glVertex3fv(thisRow.Position);
            glNormal3fv(nextRow.Normal);
            glTexCoord2f(u, v1);
            glVertex3fv(nextRow.Position);
        }
        glEnd();
    }
    EndRenderState(settings);
}
