// Pieces of a frame, with Google Benchmark, on one offscreen OpenGL context of 1 x 1 pixels:
//
//   GlowRays         UpdateGlowRays on the 256 x 256 glow texture: the rays' step, the redrawn image and
//                    its upload, with glFinish after each call.
//   GlobeDraw/T      PlasmaGlobe::Draw of one globe at Settings.Tesselation T, after the frame's projection,
//                    camera, light and the globe pass's texture and blend set-up, with glFinish. The one
//                    pixel leaves almost nothing to fill, so this is the globe's advance, its OpenGL calls
//                    and the driver's vertex work (transform, lighting, clipping, triangle set-up).
//   GlobeScene/N     DrawGlobeScene with N globes at the default tesselation: the flare and N globes.
//   DisplayFrame     a whole frame at 1 x 1: everything a frame asks of the CPU except filling pixels.
//
// The globe and frame benchmarks start the program afresh, as the GL tests do, run it past its opening
// (fade-in and title) and then step the scripted clock 16 ms per iteration.

#include "BenchProgram.h"

#include "render/Light.h"
#include "render/ProceduralTexture.h"
#include "render/Texture.h"
#include "scene/OscillatorBank.h"
#include "scene/PlasmaGlobe.h"
#include "scene/Primitives.h"
#include "support/OffscreenContext.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

bench::BenchPlatform Fake;

// The program on the 1 x 1 context, past its opening so that frames are ordinary ones.
void StartWarm() {
    bench::StartProgram(Fake, 1, 1);
    bench::WarmUp(Fake, 100, 50);
}

// A benchmark whose OpenGL calls failed measured nothing worth reading.
void CheckGl(benchmark::State& state) {
    if (glGetError() != GL_NO_ERROR)
        state.SkipWithError("OpenGL error");
}

// The clock and the shared banks one frame on, as DisplayFrame moves them before drawing.
void StepClock() {
    Fake.NowMs += bench::FrameMs;
    Clock.Tick(Host->ElapsedMs());
    ArcWaveBank.Advance(Clock.FrameTime, Settings.MainSpeed);
}

// One frame's clock, projection, camera and light: everything the globe pass expects to find set.
void PrepareGlobePass() {
    StepClock();
    View.SetLetterbox(Settings.Letterbox);
    View.ApplyViewport();
    View.BeginPerspective();
    ApplyCamera();
    MoveLight();
}

void GlowRays(benchmark::State& state) {
    Texture glow;
    GenerateTexture(glow, SpotKind, 256);
    for (auto _ : state) {
        UpdateGlowRays(glow.Name);
        glFinish();
    }
    CheckGl(state);
    glDeleteTextures(1, &glow.Name);
}
BENCHMARK(GlowRays)->Unit(benchmark::kMicrosecond);

void GlobeDraw(benchmark::State& state) {
    StartWarm();
    Settings.Tesselation = int(state.range(0));
    for (auto _ : state) {
        PrepareGlobePass();
        PlasmaGlobe::GlowImage->Bind();
        PlasmaGlobe::ArcImage->Bind();
        SetBlendFactors(BlendFunc0, BlendFunc1);
        Globe1.Draw();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glFinish();
    }
    CheckGl(state);
}
BENCHMARK(GlobeDraw)->Arg(40)->Arg(80)->Unit(benchmark::kMicrosecond);

void GlobeScene(benchmark::State& state) {
    StartWarm();
    for (auto _ : state) {
        PrepareGlobePass();
        GlobeCount = int(state.range(0));
        DrawGlobeScene();
        glFinish();
    }
    CheckGl(state);
}
BENCHMARK(GlobeScene)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void DisplayFrameTiny(benchmark::State& state) {
    StartWarm();
    for (auto _ : state) {
        bench::NextFrame(Fake);
        glFinish();
    }
    if (GlErrorCount != 0)
        state.SkipWithError("OpenGL error");
    CheckGl(state);
}
BENCHMARK(DisplayFrameTiny)->Name("DisplayFrame")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!bench::EnterDataFolder())
        return 1;
    OffscreenContext context(1, 1);
    if (!context.Ok()) {
        std::fprintf(stderr, "no OpenGL context: %s\n", context.Error());
        return 1;
    }
    bench::StartProgram(Fake, 1, 1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
