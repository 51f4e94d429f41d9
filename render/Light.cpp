#include "render/Light.h"

#include "app/FrameClock.h"
#include "app/Settings.h"
#include "scene/OscillatorBank.h"

#include <GL/gl.h>

Light::Light() {
    X = Y = Z = 1.0f;
    Red = Green = Blue = 1.0f;
}

void Light::SetPosition(float x, float y, float z) {
    X = x;
    Y = y;
    Z = z;
}

void Light::Apply() const {
    const GLenum light = GL_LIGHT0 + GLenum(LightIndex);
    const float red = Red * Intensity, green = Green * Intensity, blue = Blue * Intensity;
    float position[4], direction[3];
    if (Spot == 0) {
        position[0] = -X, position[1] = -Y, position[2] = -Z, position[3] = 0.0f;
        direction[0] = direction[1] = direction[2] = 0.0f;
    } else {
        // Aimed from the light at the origin.
        position[0] = X, position[1] = Y, position[2] = Z, position[3] = float(Spot);
        direction[0] = -X, direction[1] = -Y, direction[2] = -Z;
    }
    const float ambient[4] = {Ambient * red, Ambient * green, Ambient * blue, 1.0f};
    const float diffuse[4] = {Diffuse * red, Diffuse * green, Diffuse * blue, 1.0f};
    const float specular[4] = {Specular * red, Specular * green, Specular * blue, 1.0f};
    const float reflective[4] = {Reflective * red, Reflective * green, Reflective * blue, 1.0f};

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, reflective);
    // OpenGL refuses values outside its ranges with an error every frame; the tuned values are kept as
    // they are, and only a valid one reaches GL (the last valid one stays in force otherwise). The range
    // is checked before the conversion: a float beyond every int, read from a damaged file, has no int.
    if (Shininess > -1.0f && Shininess < 129.0f)
        glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, int(Shininess));
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
    if (Exponent >= 0.0f && Exponent <= 128.0f)
        glLightf(light, GL_SPOT_EXPONENT, Exponent);
    if ((Cutoff >= 0.0f && Cutoff <= 90.0f) || Cutoff == 180.0f)
        glLightf(light, GL_SPOT_CUTOFF, Cutoff);
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glEnable(light);
}

void MoveLight() {
    LightBank.Advance(Clock.FrameTime, Settings.LightRotateSpeed);
    // A circle of radius 2 at height 1.25 around the origin.
    const float rate = MainLight.OrbitRate;
    MainLight.SetPosition(LightBank.Value(1, rate, 4.0f, -2.0f), 1.25f,
                          LightBank.ValueShifted(1, rate, 1.5707964f, 4.0f, -2.0f));
    if (Settings.SpotLights) {
        MainLight.Ambient = Settings.Ambient;
        MainLight.Diffuse = Settings.Diffuse;
        MainLight.Specular = Settings.Specular;
        MainLight.Reflective = Settings.Reflective;
        MainLight.Shininess = Settings.Shininess;
        MainLight.Cutoff = Settings.Cutoff;
        MainLight.Exponent = Settings.Exponent;
        MainLight.Apply();
    }
    LightFlare.X = MainLight.X;
    LightFlare.Y = MainLight.Y;
    LightFlare.Z = MainLight.Z;
}
