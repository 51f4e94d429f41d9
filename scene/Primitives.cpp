#include "scene/Primitives.h"

#include "render/SceneObject.h"

#include <GL/gl.h>
#include <cmath>

namespace {

// Pi in single precision, widened, like every other angle constant of the program.
constexpr double Pi = double(3.1415927f);
constexpr double TwoPi = double(6.2831855f);

// Out-of-range selectors pick the nearest end of the table rather than reading past it.
int ClampIndex(int index, int count) {
    return index < 0 ? 0 : (index >= count ? count - 1 : index);
}

} // namespace

void DrawSphere(double radius, int slices, int stacks, double su, double sv, double ou, double ov) {
    if (slices < 3 || slices > 100 || stacks < 3 || stacks > 100)
        return;
    const double dTheta = TwoPi / slices;
    const double dPhi = Pi / (stacks - 1);
    for (int i = 0; i < stacks - 1; ++i) {
        const double phi0 = i * dPhi;
        const double phi1 = (i + 1) * dPhi;
        const double y0 = -std::cos(phi0);
        const double y1 = -std::cos(phi1);
        const double sin0 = std::sin(phi0);
        const double sin1 = std::sin(phi1);
        // v steps by 1 / stacks while the angle steps by 1 / (stacks - 1): the top band ends at
        // ov + sv (stacks - 1) / stacks, short of ov + sv.
        const double tv0 = sv * (double(i) / stacks) + ov;
        const double tv1 = sv * (double(i + 1) / stacks) + ov;
        glBegin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= slices; ++j) {
            const double tu = su * (double(j) / slices) + ou;
            // The last column reuses angle 0 exactly, so the strip closes without a crack at the seam.
            const double theta = j == slices ? 0.0 : j * dTheta;
            const double sinTheta = std::sin(theta);
            const double cosTheta = std::cos(theta);

            const double upX = sinTheta * sin1, upZ = cosTheta * sin1;
            glNormal3d(upX, y1, upZ);
            glTexCoord2d(tu, tv1);
            glVertex3d(upX * radius, y1 * radius, upZ * radius);

            const double lowX = sinTheta * sin0, lowZ = cosTheta * sin0;
            glNormal3d(lowX, y0, lowZ);
            glTexCoord2d(tu, tv0);
            glVertex3d(lowX * radius, y0 * radius, lowZ * radius);
        }
        glEnd();
    }
}

void SetBlendFactors(int source, int destination) {
    glBlendFunc(BlendSourceFactors[ClampIndex(source, BlendSourceCount)],
                BlendDestinationFactors[ClampIndex(destination, BlendDestinationCount)]);
}
