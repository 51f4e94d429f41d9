// Whole frames of the program on Mesa's software renderer, offscreen: DisplayFrame with the scripted host
// clock stepping 16 ms a frame, and glFinish standing for the buffer swap. For each window size and scene
// it prints the frame rate, the median and 95th-percentile frame time, the floor of the same size (a clear
// and glFinish alone), the heap allocations per measured frame, and the start-up: InitGL (with InitOnce and
// InitVars), then the first frame. The first scene of each size pays for a cold driver. Prints a Markdown
// table; asserts nothing.
//
//   frame_bench [--warmup N] [--frames N] [--attributed N] [--size WxH[@SCALE]]... [--scene NAME]...
//
// --warmup is the number of 16 ms frames after the first ten seconds of scene time (run in 100 ms steps),
// --frames the measured frames, --attributed the further frames whose allocations are split between
// Tovi's code and the driver (0 skips them). Without --size: 1920 x 1080 and 1280 x 720; @SCALE draws the
// overlay at that scale (1 to 4; 1 without it). Without --scene: every scene. Wall times follow the machine's
// load; the CPU column less so.
//
// Two more measurements go with this table:
//   tools/frame_work.py build menu help shatter   the program's own CPU time per frame apart from the
//                                                 driver's (perf sampling of this benchmark)
//   tools/startup_time.py build/tovi              the real program under Xvfb, from exec to its first swap

#include "AllocationCounter.h"
#include "BenchProgram.h"

#include "app/KeyboardControls.h"
#include "scene/PlasmaGlobe.h"
#include "support/OffscreenContext.h"

#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clockwork = std::chrono::steady_clock;

struct Scene {
    const char* Name;
    const char* Description;
    void (*Apply)();               // before the warm-up
    void (*EachFrame)() = nullptr; // before every measured frame
};

// The quit key again whenever the fade-out would end the program within the next frame, so that every
// measured frame shows the falling tiles (the first of each run captures the screen).
void KeepShattering() {
    if (ExitState != 0 && Clock.Now + 2.0f * bench::FrameMs / 1000.0f - ExitStartTime <= 2.0f)
        return;
    ExitState = 0;
    ExitStartTime = 0.0f;
    OnKeyboard(27, 0, 0);
}

const Scene Scenes[] = {
    {"default", "defaults, one globe", [] {}},
    {"opening", "the opening logo", [] { Logo.Finished = 0; }},
    {"globes3", "three globes", [] { GlobeCount = 3; }},
    {"globes3tess80", "three globes, tesselation 80",
     [] {
         GlobeCount = 3;
         Settings.Tesselation = 80;
     }},
    {"trails", "trails (ScreenClear 0)", [] { Settings.ScreenClear = 0; }},
    {"letterbox", "letterbox 6", [] { Settings.Letterbox = 6; }},
    {"menu", "menu open", [] { OnKeyboard('`', 0, 0); }},
    {"help", "help shown", [] { OnKeyboard('?', 0, 0); }},
    {"info", "info shown", [] { InfoShown = 1; }},
    {"shatter", "shatter after a quit key", [] {}, KeepShattering},
    {"nospot", "spot lights off", [] { Settings.SpotLights = 0; }},
    {"notex", "textures off", [] { Settings.Textures = 0; }},
    {"fog", "fog on (DepthCueFog 1)", [] { Settings.DepthCueFog = 1; }},
};

struct Size {
    int Width, Height;
    int Scale = 1; // the overlay's
};

struct Options {
    // The warm-up runs the first ten seconds of scene time in 100 ms steps (the fade-in from black and the
    // sliding title are over), then settles on 16 ms steps.
    int CoarseWarmup = 100;
    int Warmup = 50;
    int Frames = 240;
    int AttributedFrames = 20;
    std::vector<Size> Sizes;
    std::vector<std::string> SceneNames;
};

struct Row {
    const Scene* Measured;
    Size Window;
    double MedianMs, P95Ms, FloorMs;
    double CpuMs;                // median CPU time of the whole process (all threads) per frame
    double InitMs, FirstFrameMs; // InitGL (with InitOnce and InitVars), then the first frame
    double AllocationsPerFrame;
    double ProgramPerFrame, DriverPerFrame; // from the attributed frames
    int GlErrors;
    bool Ended; // the program ended during the measured frames
};

double Milliseconds(Clockwork::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// CPU time used so far by every thread of the process, the driver's rasteriser threads included.
double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1.0e6;
}

// Nearest-rank percentile, q in (0, 1].
double Percentile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const std::size_t rank = std::size_t(std::ceil(q * double(values.size())));
    return values[std::min(values.size() - 1, rank > 0 ? rank - 1 : 0)];
}

// What a frame costs at the least at this size: clearing colour and depth and waiting for it.
double MeasureFloor(const Size& size, int frames) {
    glViewport(0, 0, size.Width, size.Height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    std::vector<double> times;
    times.reserve(std::size_t(frames));
    for (int i = 0; i < frames + 20; ++i) {
        const auto start = Clockwork::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        if (i >= 20)
            times.push_back(Milliseconds(Clockwork::now() - start));
    }
    return Percentile(times, 0.5);
}

Row MeasureScene(const Scene& scene, const Size& size, double floorMs, const Options& options) {
    bench::BenchPlatform host;
    const auto startup = Clockwork::now();
    bench::StartProgram(host, size.Width, size.Height, size.Scale);
    const auto initialised = Clockwork::now();
    scene.Apply();
    bench::WarmUp(host, 1, 0); // the first frame, also the first of the warm-up
    const auto firstFrame = Clockwork::now();

    bench::WarmUp(host, options.CoarseWarmup - 1, options.Warmup);

    std::vector<double> times, cpuTimes;
    times.reserve(std::size_t(options.Frames));
    cpuTimes.reserve(std::size_t(options.Frames));
    alloccount::Start(false);
    for (int i = 0; i < options.Frames; ++i) {
        if (scene.EachFrame)
            scene.EachFrame();
        host.NowMs += bench::FrameMs;
        const double cpuStart = ProcessCpuMs();
        const auto start = Clockwork::now();
        DisplayFrame();
        glFinish();
        times.push_back(Milliseconds(Clockwork::now() - start));
        cpuTimes.push_back(ProcessCpuMs() - cpuStart);
    }
    alloccount::Stop();
    const alloccount::Counts timed = alloccount::Read();

    alloccount::Counts attributed;
    if (options.AttributedFrames > 0) {
        alloccount::Prepare();
        alloccount::Start(true);
        for (int i = 0; i < options.AttributedFrames; ++i) {
            if (scene.EachFrame)
                scene.EachFrame();
            bench::NextFrame(host);
            glFinish();
        }
        alloccount::Stop();
        attributed = alloccount::Read();
    }

    Row row;
    row.Measured = &scene;
    row.Window = size;
    row.MedianMs = Percentile(times, 0.5);
    row.P95Ms = Percentile(times, 0.95);
    row.FloorMs = floorMs;
    row.InitMs = Milliseconds(initialised - startup);
    row.FirstFrameMs = Milliseconds(firstFrame - initialised);
    row.CpuMs = Percentile(cpuTimes, 0.5);
    row.AllocationsPerFrame = double(timed.Total) / options.Frames;
    const int attributedFrames = std::max(1, options.AttributedFrames);
    row.ProgramPerFrame = options.AttributedFrames > 0 ? double(attributed.Program) / attributedFrames : -1.0;
    row.DriverPerFrame = options.AttributedFrames > 0 ? double(attributed.Driver) / attributedFrames : -1.0;
    row.GlErrors = GlErrorCount;
    row.Ended = host.ExitStatus != -1;
    return row;
}

// The one-minute load average: other work on the machine inflates the wall times.
std::string LoadAverage() {
    double load[1] = {-1.0};
    if (getloadavg(load, 1) != 1)
        return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", load[0]);
    return text;
}

bool ParseInt(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 1000000)
        return false;
    value = int(parsed);
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    // Every option takes one value.
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = value != nullptr;
        if (option == "--warmup" && ok)
            ok = ParseInt(value, options.Warmup);
        else if (option == "--frames" && ok)
            ok = ParseInt(value, options.Frames) && options.Frames > 0;
        else if (option == "--attributed" && ok)
            ok = ParseInt(value, options.AttributedFrames);
        else if (option == "--size" && ok) {
            Size size{};
            const int fields = std::sscanf(value, "%dx%d@%d", &size.Width, &size.Height, &size.Scale);
            ok = (fields == 2 || (fields == 3 && size.Scale >= 1 && size.Scale <= 4)) && size.Width > 0 &&
                 size.Height > 0;
            options.Sizes.push_back(size);
        } else if (option == "--scene" && ok) {
            ok = std::any_of(std::begin(Scenes), std::end(Scenes),
                             [&](const Scene& scene) { return std::strcmp(scene.Name, value) == 0; });
            options.SceneNames.push_back(value);
        } else
            ok = false;
        if (!ok) {
            std::fprintf(stderr,
                         "usage: %s [--warmup N] [--frames N] [--attributed N] [--size WxH[@SCALE]]... "
                         "[--scene NAME]...\nscenes:",
                         argv[0]);
            for (const Scene& scene : Scenes)
                std::fprintf(stderr, " %s", scene.Name);
            std::fprintf(stderr, "\n");
            return false;
        }
    }
    if (options.Sizes.empty())
        options.Sizes = {{1920, 1080}, {1280, 720}};
    return true;
}

bool Selected(const Options& options, const Scene& scene) {
    return options.SceneNames.empty() || std::find(options.SceneNames.begin(), options.SceneNames.end(),
                                                   scene.Name) != options.SceneNames.end();
}

void PrintTable(const std::vector<Row>& rows) {
    std::printf("| Scene | Size | fps | ms median | ms p95 | floor ms | x floor | CPU ms | allocs/frame | "
                "Tovi allocs/frame | driver allocs/frame | start-up ms |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& row : rows) {
        char scale[16] = "";
        if (row.Window.Scale != 1)
            std::snprintf(scale, sizeof scale, ", scale %d", row.Window.Scale);
        std::printf("| %s | %d x %d%s | %.1f | %.2f | %.2f | %.2f | %.1f | %.2f | %.2f | ",
                    row.Measured->Description, row.Window.Width, row.Window.Height, scale,
                    1000.0 / row.MedianMs, row.MedianMs, row.P95Ms, row.FloorMs, row.MedianMs / row.FloorMs,
                    row.CpuMs, row.AllocationsPerFrame);
        if (row.ProgramPerFrame < 0.0)
            std::printf("- | - | ");
        else
            std::printf("%.2f | %.2f | ", row.ProgramPerFrame, row.DriverPerFrame);
        std::printf("%.0f + %.0f |\n", row.InitMs, row.FirstFrameMs);
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options))
        return 2;
    if (!bench::EnterDataFolder())
        return 1;

    std::vector<Row> rows;
    std::string renderer = "?";
    for (const Size& size : options.Sizes) {
        OffscreenContext context(size.Width, size.Height);
        if (!context.Ok()) {
            std::fprintf(stderr, "no OpenGL context: %s\n", context.Error());
            return 1;
        }
        if (const GLubyte* name = glGetString(GL_RENDERER))
            renderer = reinterpret_cast<const char*>(name);
        const double floorMs = MeasureFloor(size, options.Frames);
        for (const Scene& scene : Scenes) {
            if (!Selected(options, scene))
                continue;
            std::fprintf(stderr, "%d x %d: %s...\n", size.Width, size.Height, scene.Description);
            rows.push_back(MeasureScene(scene, size, floorMs, options));
        }
    }

    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("\nRenderer: %s; %u hardware threads; LP_NUM_THREADS=%s\n", renderer.c_str(),
                std::thread::hardware_concurrency(), threads ? threads : "(unset)");
    std::printf("Per scene: %d + %d warm-up frames, then %d measured frames of 16 ms scene time; time is "
                "DisplayFrame + glFinish (fps from the median); CPU ms is the median CPU time of all threads "
                "per frame. Load average at the end: %s. Allocations are every operator new and "
                "malloc-family call of "
                "the process during the measured frames; the Tovi and driver columns split %d further "
                "frames by the nearest caller outside the C/C++ runtimes.\n\n",
                options.CoarseWarmup, options.Warmup, options.Frames, LoadAverage().c_str(),
                options.AttributedFrames);
    PrintTable(rows);
    for (const Row& row : rows)
        if (row.GlErrors != 0)
            std::printf("\n%s at %d x %d raised %d OpenGL errors.\n", row.Measured->Description,
                        row.Window.Width, row.Window.Height, row.GlErrors);
    for (const Row& row : rows)
        if (row.Ended)
            std::printf("\n%s at %d x %d ended the program: some frames measured no scene.\n",
                        row.Measured->Description, row.Window.Width, row.Window.Height);
    return 0;
}
