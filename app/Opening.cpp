#include "app/Opening.h"

#include "app/FrameClock.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Settings.h"
#include "app/SoundPlayer.h"
#include "render/Camera.h"
#include "render/InputState.h"
#include "render/Light.h"
#include "render/MathUtil.h"
#include "render/ProceduralTexture.h"
#include "render/Texture.h"
#include "scene/Logo.h"
#include "scene/PlasmaGlobe.h"
#include "scene/Universe.h"
#include "ui/OverlayText.h"

#include <GL/gl.h>
#include <cfloat>

float TextureAnimTimer = 0.0f;
ShatterTile ShatterTiles[ShatterColumns][ShatterRows];
int ShatterStarted = 0;

void DrawScene() {
    if (ExitState == 2)
        return;
    if (Settings.Universe)
        Universe.Draw();
    MoveLight();

    // The glow's rays turn at most about fourteen times a second, whatever the frame rate.
    TextureAnimTimer += Clock.FrameTime;
    if (TextureAnimTimer > 0.07f) {
        TextureAnimTimer = 0.0f;
        UpdateGlowRays(GlowTexture.Name);
    }

    // About 20 to 40 seconds after each sound ends, the wind blows again.
    if (Clock.Now - Sound.LastEnd > 20.0 + RandomFloat(20.0))
        Sound.Play("WIND2.wav", 0.1f, 0, 0);

    if (Logo.Finished) {
        DrawGlobeScene();
    } else if (Mouse.LeftButton != 0) {
        // The click that ends the opening: the globes follow from the next frame.
        EndOpening();
    } else {
        Logo.LightPosition[0] = MainLight.X;
        Logo.LightPosition[1] = MainLight.Y;
        Logo.LightPosition[2] = MainLight.Z;
        Logo.Size = Settings.ObjectSize;
        Logo.Draw();
        LightFlare.Draw(MainCamera, Settings);
        StatusLine.Show("<Click> to continue,,,");
    }
}

void EndOpening() {
    Logo.Finished = 1;
    Settings.CameraMode = 0;
    StatusLine.ShowUntil = 0.0f;
    MainLight.OrbitRate = 10.0f;
}

void CaptureScreen(int size, unsigned int textureName) {
    const int windowWidth = View.Width;
    const int windowHeight = View.Height;
    View.Width = size;
    View.Height = size;
    View.SetLetterbox(Settings.Letterbox);
    View.ApplyViewport();
    View.BeginPerspective();
    // A plain clear: the per-frame clear would keep old pictures in trail mode.
    glClearColor(View.ClearColor[0], View.ClearColor[1], View.ClearColor[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyCamera();
    DrawScene();
    glBindTexture(GL_TEXTURE_2D, textureName);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
    // Back to the window's own size, which need not be the screen's.
    View.Width = windowWidth;
    View.Height = windowHeight;
    // Every capture scatters its own tiles, also after a reset cut an earlier exit short.
    ShatterStarted = 0;
}

void DrawShatter() {
    const float tileWidth = float(View.Width) / ShatterColumns;
    const float tileHeight = float(View.Height) / ShatterRows;
    const float halfWidth = tileWidth * 0.5f;
    const float halfHeight = tileHeight * 0.5f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (!ShatterStarted) {
        ShatterStarted = 1;
        for (int i = 0; i < ShatterColumns; ++i)
            for (int j = 0; j < ShatterRows; ++j) {
                ShatterTile& tile = ShatterTiles[i][j];
                tile.X = tileWidth * float(i) + halfWidth;
                tile.Y = tileHeight * float(j) + halfHeight;
                tile.VX = float(RandomFloat(400.0) - 200.0);
                tile.VY = 0.0f;
                tile.Angle = 0.0f;
                tile.Spin = float(RandomFloat(200.0) - 100.0);
            }
    }

    glEnable(GL_TEXTURE_2D);
    ExitTexture.Bind();
    const float dt = Clock.FrameTime;
    for (int i = 0; i < ShatterColumns; ++i)
        for (int j = 0; j < ShatterRows; ++j) {
            ShatterTile& tile = ShatterTiles[i][j];
            tile.Angle += dt * tile.Spin;
            tile.X += dt * tile.VX;
            tile.Y += dt * tile.VY;
            tile.VY -= 1000.0f * dt; // gravity, pixels per second squared
            const float u0 = float(i) / ShatterColumns, u1 = float(i + 1) / ShatterColumns;
            const float v0 = float(j) / ShatterRows, v1 = float(j + 1) / ShatterRows;
            glPushMatrix();
            glTranslatef(tile.X, tile.Y, 0.0f);
            glRotatef(tile.Angle, 0.0f, 0.0f, 1.0f);
            glBegin(GL_QUADS);
            glTexCoord2f(u0, v0);
            glVertex2f(-halfWidth, -halfHeight);
            glTexCoord2f(u1, v0);
            glVertex2f(halfWidth, -halfHeight);
            glTexCoord2f(u1, v1);
            glVertex2f(halfWidth, halfHeight);
            glTexCoord2f(u0, v1);
            glVertex2f(-halfWidth, halfHeight);
            glEnd();
            glPopMatrix();
        }
    glDisable(GL_TEXTURE_2D);
}

void StartExit() {
    // 0 means no exit under way: an exit started before the clock's first tick starts a hair after it.
    ExitStartTime = Clock.Now > 0.0f ? Clock.Now : FLT_MIN;
    Sound.Play("hit.wav", 0.5f, 1, 0);
    ExitState = 1;
}
