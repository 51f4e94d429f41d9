#include "scene/Universe.h"

#include "render/MathUtil.h"

#include <GL/gl.h>
#include <cmath>

namespace {

// At the program's radii a star needs four draws on average at most (the half shell); one that finds no
// place in this many means the volume is empty, too thin to matter or not a number, and the field ends
// there rather than drawing random numbers for ever.
constexpr int DrawsPerStar = 10000;

// Draws positions by the shape's rejection rule, uniform in [-R, R) per coordinate in the order x, y, z.
// Returns false when no draw landed in the volume.
bool PlaceStar(int shape, double outer, double inner, double& x, double& y, double& z) {
    for (int draw = 0; draw < DrawsPerStar; ++draw) {
        x = RandomFloat(2.0 * outer) - outer;
        y = RandomFloat(2.0 * outer) - outer;
        z = RandomFloat(2.0 * outer) - outer;
        if (shape == 1) {
            // The cleared core reaches a hair beyond r, so no star lies on the surface of a core of size r.
            const double core = inner + 0.01;
            if (!(std::fabs(x) < core && std::fabs(y) < core && std::fabs(z) < core))
                return true;
            continue;
        }
        const double distance = std::sqrt(x * x + y * y + z * z);
        if (distance >= inner && distance <= outer && (shape != 2 || y >= 0.0))
            return true;
    }
    return false;
}

} // namespace

void StarUniverse::Build(int count) {
    Release();
    const GLuint list = glGenLists(1);
    if (list == 0)
        return;
    List = int(list);
    glNewList(list, GL_COMPILE);
    glBegin(GL_POINTS);
    const double outer = OuterRadius, inner = InnerRadius;
    for (int star = 0; star < count; ++star) {
        double x, y, z;
        if (!PlaceStar(Shape, outer, inner, x, y, z))
            break;
        // One star in ten is tinted; the rest are almost white, so the field reads as stars, not confetti.
        // The components are drawn one statement each, red first: argument order is unspecified.
        if (RandomFloat(1.0) < 0.1) {
            const float red = float(RandomFloat(ColourSpread) + ColourBase);
            const float green = float(RandomFloat(ColourSpread) + ColourBase);
            const float blue = float(RandomFloat(ColourSpread) + ColourBase);
            glColor3f(red, green, blue);
        } else {
            const float red = float(RandomFloat(ColourBase) + ColourSpread);
            const float green = float(RandomFloat(ColourBase) + ColourSpread);
            const float blue = float(RandomFloat(ColourBase) + ColourSpread);
            glColor3f(red, green, blue);
        }
        glVertex3d(x, y, z);
    }
    glEnd();
    glEndList();
}

void StarUniverse::Draw() const {
    if (List == -1)
        return;
    if (Blend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    if (DepthTest) {
        if (!DepthWrite)
            glDepthMask(GL_FALSE);
        glEnable(GL_DEPTH_TEST);
    }
    // The same points again, turned a quarter about the vertical and drawn larger, double the field
    // without a second list; from inside they cannot be told apart from new stars.
    glPushMatrix();
    glPointSize(1.0f);
    glCallList(GLuint(List));
    if (Layers >= 2) {
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        glPointSize(2.0f);
        glCallList(GLuint(List));
    }
    if (Layers >= 3) {
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        glPointSize(3.0f);
        glCallList(GLuint(List));
    }
    glPopMatrix();
    glPointSize(1.0f);
    if (Blend)
        glDisable(GL_BLEND);
    if (DepthTest) {
        glDisable(GL_DEPTH_TEST);
        if (!DepthWrite)
            glDepthMask(GL_TRUE);
    }
}

void StarUniverse::Release() {
    if (List != -1)
        glDeleteLists(GLuint(List), 1);
    List = -1;
}
