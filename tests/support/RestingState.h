#pragma once

// The OpenGL state every pass and every frame must hand back to the drawing code.

#include <GL/gl.h>

namespace support {

// The first state that differs from the resting one, or null when all is at rest.
inline const char* RestingStateFault() {
    GLfloat alphaReference = -1.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &alphaReference);
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (glIsEnabled(GL_ALPHA_TEST))
        return "alpha test left on";
    if (alphaReference != 0.0f)
        return "alpha reference not 0";
    if (glIsEnabled(GL_BLEND))
        return "blending left on";
    if (source != GL_SRC_ALPHA || destination != GL_ONE_MINUS_SRC_ALPHA)
        return "blend factors not SRC_ALPHA, ONE_MINUS_SRC_ALPHA";
    if (glIsEnabled(GL_DEPTH_TEST))
        return "depth test left on";
    if (!depthWrites)
        return "depth writes left off";
    if (glIsEnabled(GL_TEXTURE_2D))
        return "texturing left on";
    return nullptr;
}

} // namespace support
