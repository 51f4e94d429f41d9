// Scene objects as a caller and OpenGL see them: the state left behind by every combination of render
// flags, the pixels of the quad they draw, and the bounds, motion and overlap they report.

#include "render/SceneObject.h"
#include "render/HeightField.h"
#include "render/Texture.h"
#include "support/GlTestFixture.h"

namespace {

GLint Integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

class SceneObjectTest : public gltest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); // the resting state the program sets up
        glMatrixMode(GL_PROJECTION);
        glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        GLuint name = 0;
        glGenTextures(1, &name);
        Image.Name = name;
    }

    // Whether the pixel at (x, y) of the view square -1..1 is white.
    bool Lit(float x, float y) const {
        unsigned char rgba[4] = {};
        Context.ReadPixel(int((x + 1) * 0.5f * gltest::WindowWidth),
                          int((y + 1) * 0.5f * gltest::WindowHeight), rgba);
        return rgba[0] > 250 && rgba[1] > 250 && rgba[2] > 250;
    }

    SettingsStore Prefs;
    Texture Image;
    SceneObject3D Camera;
};

TEST_F(SceneObjectTest, EveryFlagCombinationSwitchesOnWhatItAsksAndReturnsToRest) {
    for (int kind = 0; kind < 3; ++kind) // quad facing the camera, quad on its own angles, height field
        for (int flags = 0; flags < 32; ++flags) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << ", flags " << flags);
            glBindTexture(GL_TEXTURE_2D, 0);
            HeightField field;
            field.MakeFlat();
            SceneObject3D& object = field;
            object.FaceCamera = kind == 0;
            object.AlphaTest = flags & 1;
            object.Blend = (flags >> 1) & 1;
            object.DepthTest = (flags >> 2) & 1;
            object.DepthWrite = (flags >> 3) & 1;
            Prefs.Textures = (flags >> 4) & 1;
            object.AlphaRef = 0.25f;
            object.BlendSrc = object.BlendDst = 1;
            object.Texture = &Image;

            object.BeginRenderState(Prefs);
            GLfloat reference = -1.0f;
            glGetFloatv(GL_ALPHA_TEST_REF, &reference);
            EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), object.AlphaTest);
            EXPECT_EQ(reference, object.AlphaTest ? 0.25f : 0.0f);
            EXPECT_EQ(glIsEnabled(GL_BLEND), object.Blend);
            EXPECT_EQ(Integer(GL_BLEND_DST), object.Blend ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
            EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), object.DepthTest);
            EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), object.DepthWrite);
            EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), Prefs.Textures);
            EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), Prefs.Textures ? GLint(Image.Name) : 0);
            object.EndRenderState(Prefs);
            gltest::ExpectRestingState();

            if (kind == 2)
                field.Draw(Prefs);
            else
                object.Draw(Camera, Prefs);
            gltest::ExpectRestingState();
            object.Texture = nullptr; // harmless with texturing on or off
            object.Draw(Camera, Prefs);
            gltest::ExpectRestingState();
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
}

TEST_F(SceneObjectTest, InvisibleObjectChangesNeitherPixelsNorState) {
    for (int visible : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "visible " << visible);
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
        SceneObject3D object;
        object.Visible = visible;
        object.Blend = 0;
        object.Texture = &Image;
        Prefs.Textures = 1;
        object.Draw(Camera, Prefs);
        Prefs.Textures = 0; // the image is empty: this pass paints the object's white
        object.Draw(Camera, Prefs);
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(Lit(0.0f, 0.0f), bool(visible));
        EXPECT_EQ(colour[2] == 1.0f, bool(visible));
        EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), visible ? GLint(Image.Name) : 0);
        gltest::ExpectRestingState();
    }
}

TEST_F(SceneObjectTest, QuadFacesCameraOrTurnsByItsOwnAngles) {
    const struct {
        int FaceCamera;
        float Yaw, Pitch, Angle; // of the camera when facing it, else of the quad
        float HalfX, HalfY;      // of the 0.5 x 0.25 quad on screen
    } cases[] = {{1, 0, 0, 90, 0.25f, 0.5f},
                 {1, 40, 25, 0, 0.5f, 0.25f}, // the camera keeps these angles for the quads below
                 {0, 0, 60, 0, 0.5f, 0.125f},
                 {0, 60, 0, 0, 0.25f, 0.25f}};
    Prefs.Textures = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "face camera " << c.FaceCamera << ", yaw " << c.Yaw << ", pitch "
                                        << c.Pitch << ", angle " << c.Angle);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        SceneObject3D quad;
        SceneObject3D& turned = c.FaceCamera ? Camera : quad;
        if (c.FaceCamera) { // the view turns by the camera's angles
            glRotatef(c.Pitch, 1.0f, 0.0f, 0.0f);
            glRotatef(c.Yaw, 0.0f, 1.0f, 0.0f);
        }
        turned.Yaw = c.Yaw;
        turned.Pitch = c.Pitch;
        quad.Angle = c.Angle;
        quad.FaceCamera = c.FaceCamera;
        quad.Width = 0.5f;
        quad.Height = 0.25f;
        quad.Draw(Camera, Prefs);
        for (float s : {-1.0f, 1.0f}) {
            EXPECT_TRUE(Lit(0.9f * s * c.HalfX, 0.9f * s * c.HalfY) &&
                        Lit(0.9f * s * c.HalfX, -0.9f * s * c.HalfY));
            EXPECT_FALSE(Lit(1.1f * s * c.HalfX, 0.0f) || Lit(0.0f, 1.1f * s * c.HalfY));
        }
    }
}

TEST_F(SceneObjectTest, PlacementMotionAndOverlap) {
    const struct {
        int Placement;
        float Extent, Point, Min; // the same on every axis; Max = Min + Extent
    } placements[] = {{0, 2, 1, 0}, {1, 2, 1, 1}, {0, 4, -1, -3}, {7, 2, 5, -0.5f}}; // 7 keeps the old corner
    for (const auto& c : placements) {
        SCOPED_TRACE(testing::Message() << "placement " << c.Placement << " at " << c.Point);
        SceneObject3D object; // placed at the origin on construction
        object.Placement = c.Placement;
        object.Width = object.Height = object.Depth = c.Extent;
        object.PlaceAt(c.Point, c.Point, c.Point);
        for (float value : {object.MinX, object.MinY, object.MinZ})
            EXPECT_EQ(value, c.Min);
        for (float value : {object.MaxX, object.MaxY, object.MaxZ})
            EXPECT_EQ(value, c.Min + c.Extent);
        EXPECT_EQ(object.X, 0.0f);
    }

    SceneObject3D mover;
    mover.VX = mover.VZ = 2.0f;
    mover.Spin = mover.PitchRate = mover.YawRate = 3.0f;
    Prefs.MainSpeed = 2.0f;
    mover.Update(0.25f, Prefs);
    for (float moved : {mover.X, mover.Z})
        EXPECT_EQ(moved, 1.0f); // a quarter second at double speed
    for (float turned : {mover.Angle, mover.Pitch, mover.Yaw})
        EXPECT_EQ(turned, 3.0f); // once per call, whatever the time

    const struct {
        float Offset[3], Size;
        bool Flat, Solid; // Overlaps2D, Overlaps
    } overlaps[] = {{{0, 0, 0}, 0.5f, true, true},    {{1, 0, 0}, 0.5f, false, false},
                    {{0, -1, 0}, 0.5f, false, false}, {{0.99f, 0.99f, -0.99f}, 0.5f, true, true},
                    {{0, 0, 1}, 0.5f, true, false},   {{0, 0, 0}, 0.0f, false, false}};
    for (const auto& c : overlaps) {
        SCOPED_TRACE(testing::Message() << "offset " << c.Offset[0] << ", " << c.Offset[1] << ", "
                                        << c.Offset[2] << ", size " << c.Size);
        Prefs.ObjectSize = c.Size; // with both radii 1, r = 2 x size
        SceneObject3D a, b;
        a.X = a.Y = a.Z = 0.5f;
        b.X = 0.5f + c.Offset[0];
        b.Y = 0.5f + c.Offset[1];
        b.Z = 0.5f + c.Offset[2];
        EXPECT_EQ(a.Overlaps2D(b, Prefs), c.Flat);
        EXPECT_EQ(b.Overlaps2D(a, Prefs), c.Flat);
        EXPECT_EQ(a.Overlaps(b, Prefs), c.Solid);
        EXPECT_EQ(b.Overlaps(a, Prefs), c.Solid);
    }
}

} // namespace
