// The monkey soak: thousands of frames of random input from every control, on a small window so that it is
// quick. Whatever the input, no frame raises an OpenGL error or leaves OpenGL out of its resting state, the
// program's own code allocates nothing outside menu builds and preferences files, and nothing survives a
// run to make the heap or the resident size grow.
//
// TOVI_SOAK_FRAMES sets the number of frames. The sanitized build runs fewer and checks neither allocations
// nor memory: AddressSanitizer owns the heap and holds freed blocks back, and its leak check at exit covers
// what is never freed.

#include "support/Monkey.h"
#include "support/SilencedStdout.h"

#if TOVI_SOAK_COUNTS_ALLOCATIONS
#include "AllocationCounter.h"
#endif

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

constexpr int SoakWidth = 160;
constexpr int SoakHeight = 120;
constexpr long WarmUpFrames = 2000;
// Telling the program's allocations from the driver's costs a stack walk for each of the driver's hundreds
// in a frame: every handler call is checked, and one frame in this many.
constexpr int AttributeEvery = 16;

long FramesToRun() {
    const char* text = std::getenv("TOVI_SOAK_FRAMES");
    const long frames = text ? std::atol(text) : 0;
    return frames > 0 ? frames : 20000;
}

#if TOVI_SOAK_COUNTS_ALLOCATIONS
// The memory is read right after a fresh start once the warm-up is over and again after one at the end, so
// that both see the same moment of a run. Growth allowed between them: on the heap, what the driver keeps
// for the process rather than for a context (a few tens of KiB over the first runs); in the resident size,
// the pages of the driver's and the libraries' code read in as the soak reaches paths it had not taken.
constexpr long HeapTolerance = 256 * 1024;
constexpr long ResidentTolerance = 8 * 1024 * 1024;

class CountedAllocations : public monkey::AllocationProbe {
public:
    CountedAllocations() { alloccount::Prepare(); }
    void Begin(bool attribute) override { alloccount::Start(attribute); }
    Counts End() override {
        alloccount::Stop();
        const alloccount::Counts counts = alloccount::Read();
        return {counts.Total, counts.Program};
    }
};
#endif

TEST(Soak, RandomInputKeepsEveryFrameClean) {
    const long frames = FramesToRun();
    monkey::Workspace workspace(TOVI_DATA_DIR);
    monkey::MemoryUse warm, end;
    monkey::Tally counts;
    std::string report;
    {
        support::SilencedStdout quiet;
#if TOVI_SOAK_COUNTS_ALLOCATIONS
        CountedAllocations probe;
        monkey::Monkey soak(20240611, SoakWidth, SoakHeight, &probe, AttributeEvery);
#else
        monkey::Monkey soak(20240611, SoakWidth, SoakHeight, nullptr, AttributeEvery);
#endif
        ASSERT_TRUE(soak.Start());
        for (long frame = 0; frame < frames && !soak.Failed(); ++frame) {
            soak.Step();
            if (frame + 1 == WarmUpFrames) {
                soak.Restart();
                warm = monkey::ReadMemory();
            }
        }
        soak.Restart();
        end = monkey::ReadMemory();
        counts = soak.Counts();
        report = soak.Report();
    }
    EXPECT_EQ(report, "");
    RecordProperty("frames", int(counts.Frames));
    RecordProperty("runs", int(counts.Runs));
    EXPECT_EQ(counts.Frames, frames);
    EXPECT_GT(counts.Exits, 0) << "no run ended through a quit";
#if TOVI_SOAK_COUNTS_ALLOCATIONS
    EXPECT_GT(counts.AllowedAllocations, 0) << "no menu page was built";
    if (frames > WarmUpFrames) {
        EXPECT_LE(end.HeapBytes, warm.HeapBytes + HeapTolerance);
        EXPECT_LE(end.ResidentBytes, warm.ResidentBytes + ResidentTolerance);
    }
#endif
    std::printf("soak: %ld frames, %ld runs, %ld handler calls; heap %ld -> %ld bytes, resident %ld -> %ld\n",
                counts.Frames, counts.Runs, counts.Events, warm.HeapBytes, end.HeapBytes, warm.ResidentBytes,
                end.ResidentBytes);
}

} // namespace
