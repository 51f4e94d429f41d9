// The monkey soak at length: random input from every control through the program's handlers, frame after
// frame on a small offscreen window, with every heap allocation of the process counted and charged to the
// program or the driver. Prints a Markdown table of what it saw; asserts nothing.
//
//   soak_bench [--frames N] [--seed S] [--size WxH] [--attribute-every N]
//
// Defaults: 200000 frames, seed 20240611, 160 x 120. The allocations of every handler call are told apart
// into the program's and the driver's, and those of one frame in --attribute-every (16; 1 for all, which
// is several times slower: the driver allocates hundreds of times a frame and each is a stack walk).
// The memory is read right after a fresh start of the program at the end of the warm-up (the first tenth
// of the frames, at most 2000) and again after one at the end, so that both see the same moment of a run:
// what grows between them survived the runs, in the program or in the driver.

#include "AllocationCounter.h"

#include "support/Console.h"
#include "support/Monkey.h"
#include "support/ScratchFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

struct Options {
    long Frames = 200000;
    uint64_t Seed = 20240611;
    int Width = 160;
    int Height = 120;
    int AttributeEvery = 16;
};

// Every option takes one value.
bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* name = argv[i];
        const char* value = argv[i + 1];
        if (std::strcmp(name, "--frames") == 0)
            options.Frames = std::atol(value);
        else if (std::strcmp(name, "--seed") == 0)
            options.Seed = std::strtoull(value, nullptr, 10);
        else if (std::strcmp(name, "--attribute-every") == 0)
            options.AttributeEvery = std::atoi(value);
        else if (std::strcmp(name, "--size") != 0 ||
                 std::sscanf(value, "%dx%d", &options.Width, &options.Height) != 2)
            return false;
    }
    return argc % 2 == 1 && options.Frames > 0 && options.Width > 0 && options.Height > 0 &&
           options.AttributeEvery > 0;
}

double KiB(long bytes) {
    return double(bytes) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_bench [--frames N] [--seed S] [--size WxH] [--attribute-every N]\n");
        return 2;
    }
    const long warmUpFrames = options.Frames / 10 < 2000 ? options.Frames / 10 : 2000;

    monkey::MemoryUse warm, end;
    double seconds = 0.0;
    support::ScratchFolder scratch;
    for (const auto& file : std::filesystem::directory_iterator(TOVI_DATA_DIR))
        std::filesystem::create_symlink(file.path(), file.path().filename());
    const monkey::AllocationProbe probe{alloccount::Start, alloccount::StopAndRead};
    monkey::Monkey soak(options.Seed, options.Width, options.Height, &probe, options.AttributeEvery);
    {
        support::SilencedStdout quiet;
        if (!soak.Restart()) {
            std::fprintf(stderr, "no offscreen OpenGL context\n");
            return 1;
        }
        alloccount::Prepare();
        const auto start = std::chrono::steady_clock::now();
        for (long frame = 0; frame < options.Frames; ++frame) {
            soak.Step();
            if (frame + 1 == warmUpFrames) {
                soak.Restart();
                warm = monkey::ReadMemory();
            }
        }
        soak.Restart();
        end = monkey::ReadMemory();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const monkey::Tally& counts = soak.Counts();

    std::printf("## Monkey soak, seed %llu, %d x %d\n\n", (unsigned long long)options.Seed, options.Width,
                options.Height);
    std::printf("| what | value |\n|---|---|\n");
    std::printf("| frames | %ld |\n", counts.Frames);
    std::printf("| runs (exits seen) | %ld (%ld) |\n", counts.Runs, counts.Exits);
    std::printf("| program allocations outside menu builds and files | %ld |\n", counts.StrayAllocations);
    std::printf("| program allocations in menu builds and files | %ld |\n", counts.AllowedAllocations);
    std::printf("| other allocations (the driver's, and those of frames not told apart) | %ld |\n",
                counts.OtherAllocations);
    std::printf("| heap at a start after warm-up (%ld frames) / at the end | %.0f KiB / %.0f KiB |\n",
                warmUpFrames, KiB(warm.Heap), KiB(end.Heap));
    std::printf("| resident at a start after warm-up / at the end | %.0f KiB / %.0f KiB |\n",
                KiB(warm.Resident), KiB(end.Resident));
    std::printf("| wall time | %.1f s (%.2f ms a frame) |\n", seconds,
                1000.0 * seconds / double(counts.Frames > 0 ? counts.Frames : 1));
    if (!soak.Report().empty())
        std::printf("\nFirst fault:\n%s", soak.Report().c_str());
    return 0;
}
