#pragma once

// Feedback capture: what OpenGL is given by a draw call, after the matrices and the viewport, without a
// pixel drawn.
//   const support::Feedback sent = support::CaptureFeedback([&] { globe.Draw(); });
//   sent.Primitives[i].Type, .Vertices    one entry per polygon, line or point
//   sent.Vertices()                       every vertex, in order
//   sent.Count(FeedbackPrimitive::Line)   how many primitives of a kind
//   sent.Glyphs()                         the characters of the text drawn, read from the font cells
//   sent.Bounds(), sent.Bounds(first, n)  the box of every vertex, or of n primitives from the first:
//                                         MinX, MinY, MaxX, MaxY and the texture's MinS, MinT, MaxS, MaxT
//   EXPECT_TRUE(support::Near(box, {minX, minY, maxX, maxY, minS, minT, maxS, maxT}))
//   support::ObjectView(half)             a view in which feedback X and Y are object x and y within
//                                         -half..half, and ObjectZ(vertex, half) its z
// A vertex holds X, Y (window pixels), Z (depth 0..1), R, G, B, A (0..1, after lighting) and S, T. OpenGL
// cuts quads into triangles as it likes and clips at the viewport; a quad usually arrives as two
// polygons of three vertices. The buffer grows until everything fits, so a draw with side effects may
// run more than once: give such a draw a large first size.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace support {

struct FeedbackVertex {
    float X, Y, Z, R, G, B, A, S, T;
};

struct FeedbackPrimitive {
    enum Kind { Polygon, Line, Point };
    Kind Type;
    std::vector<FeedbackVertex> Vertices;
};

struct FeedbackBox {
    float MinX, MinY, MaxX, MaxY, MinS, MinT, MaxS, MaxT;
};

struct Feedback {
    std::vector<FeedbackPrimitive> Primitives;

    int Count(FeedbackPrimitive::Kind kind) const {
        return int(std::count_if(Primitives.begin(), Primitives.end(),
                                 [kind](const FeedbackPrimitive& p) { return p.Type == kind; }));
    }
    std::vector<FeedbackVertex> Vertices() const {
        std::vector<FeedbackVertex> all;
        for (const FeedbackPrimitive& primitive : Primitives)
            all.insert(all.end(), primitive.Vertices.begin(), primitive.Vertices.end());
        return all;
    }
    // All zero when nothing was sent.
    FeedbackBox Bounds(std::size_t first = 0, std::size_t count = ~std::size_t(0)) const {
        FeedbackBox b = {1e30f, 1e30f, -1e30f, -1e30f, 1e30f, 1e30f, -1e30f, -1e30f};
        for (std::size_t p = first; p < Primitives.size() && p - first < count; ++p)
            for (const FeedbackVertex& v : Primitives[p].Vertices)
                b = {std::min(b.MinX, v.X), std::min(b.MinY, v.Y), std::max(b.MaxX, v.X),
                     std::max(b.MaxY, v.Y), std::min(b.MinS, v.S), std::min(b.MinT, v.T),
                     std::max(b.MaxS, v.S), std::max(b.MaxT, v.T)};
        return b.MinX > b.MaxX ? FeedbackBox{0, 0, 0, 0, 0, 0, 0, 0} : b;
    }
    // A quad (two polygons) whose texture rectangle is one cell of the 16 x 8 font grid, row 0 at the top,
    // is the character of that cell, or '?' when it shows the cell mirrored or squashed; everything
    // else is skipped.
    std::string Glyphs() const {
        std::string text;
        for (std::size_t p = 0; p + 1 < Primitives.size(); ++p) {
            const FeedbackBox b = Bounds(p, 2);
            if (Primitives[p].Type != FeedbackPrimitive::Polygon ||
                std::fabs(b.MaxS - b.MinS - 0.0625f) > 1e-4f || std::fabs(b.MaxT - b.MinT - 0.125f) > 1e-4f)
                continue;
            // Drawn the right way round: each triangle turns the same way on the screen as on the font image.
            bool upright = true;
            for (std::size_t q = p; q < p + 2; ++q) {
                const FeedbackVertex* v = Primitives[q].Vertices.data();
                const float screen =
                    (v[1].X - v[0].X) * (v[2].Y - v[0].Y) - (v[1].Y - v[0].Y) * (v[2].X - v[0].X);
                const float image =
                    (v[1].S - v[0].S) * (v[2].T - v[0].T) - (v[1].T - v[0].T) * (v[2].S - v[0].S);
                upright = upright && screen * image > 0.0f;
            }
            text += upright ? char(32 + std::lround(b.MinS * 16.0f) + 16 * std::lround(7.0f - b.MinT * 8.0f))
                            : '?';
            ++p;
        }
        return text;
    }
};

// Every field of the box within a thousandth of the expected one.
inline testing::AssertionResult Near(const FeedbackBox& box, const FeedbackBox& expected) {
    float got[8], want[8];
    std::memcpy(got, &box, sizeof got);
    std::memcpy(want, &expected, sizeof want);
    for (int i = 0; i < 8; ++i)
        if (std::fabs(got[i] - want[i]) > 1e-3f)
            return testing::AssertionFailure()
                   << "box field " << i << " is " << got[i] << ", not " << want[i];
    return testing::AssertionSuccess();
}

// Draws in feedback mode and parses GL_3D_COLOR_TEXTURE feedback into primitives, 11 values a vertex: x y z,
// r g b a, s t r q. Anything but a polygon, line or point (a bitmap, a pixel rectangle) ends the parse.
template <typename Draw> Feedback CaptureFeedback(Draw draw, std::size_t size = 1 << 16) {
    std::vector<GLfloat> values(size);
    glFeedbackBuffer(GLsizei(size), GL_3D_COLOR_TEXTURE, values.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    if (count < 0)
        return CaptureFeedback(draw, size * 4);
    Feedback sent;
    for (std::size_t at = 0; at < std::size_t(count);) {
        const GLint token = GLint(values[at++]);
        const bool line = token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN;
        const bool point = token == GL_POINT_TOKEN;
        if (!line && !point && token != GL_POLYGON_TOKEN)
            break;
        using Kind = FeedbackPrimitive::Kind;
        sent.Primitives.push_back({line ? Kind::Line : point ? Kind::Point : Kind::Polygon, {}});
        const std::size_t vertices = line ? 2 : point ? 1 : std::size_t(values[at++]);
        for (; sent.Primitives.back().Vertices.size() < vertices; at += 11) {
            FeedbackVertex v;
            std::memcpy(&v, &values[at], sizeof v);
            sent.Primitives.back().Vertices.push_back(v);
        }
    }
    return sent;
}

// The cube -half..half (half a whole number) on a viewport placed so that window coordinates are object
// coordinates: a vertex's X and Y are its x and y, and its depth gives z back.
inline void ObjectView(int half) {
    glViewport(-half, -half, 2 * half, 2 * half);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -half, half);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
inline float ObjectZ(const FeedbackVertex& v, int half) {
    return float(half) * (1.0f - 2.0f * v.Z);
}

} // namespace support
