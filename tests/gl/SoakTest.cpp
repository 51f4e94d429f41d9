// The monkey soak: thousands of frames of random input from every control, on a small window so that it is
// quick. Whatever the input, no call raises an OpenGL error, no frame leaves OpenGL out of its resting
// state, the program's own code allocates nothing outside menu builds and preferences files, and nothing
// survives a run to make the heap or the resident size grow.
//
// TOVI_SOAK_FRAMES frames. The sanitized build checks neither allocations nor memory: AddressSanitizer owns
// the heap and holds freed blocks back, and its leak check at exit covers what is never freed.

#include "support/Console.h"
#include "support/Monkey.h"
#include "support/ScratchFolder.h"

#if TOVI_SOAK_COUNTS_ALLOCATIONS
#include "AllocationCounter.h"
#endif

#include <filesystem>
#include <gtest/gtest.h>

TEST(Soak, RandomInputKeepsEveryFrameClean) {
    // The images and sounds in the working directory, where saved preferences land too.
    support::ScratchFolder scratch;
    for (const auto& file : std::filesystem::directory_iterator(TOVI_DATA_DIR))
        std::filesystem::create_symlink(file.path(), file.path().filename());
#if TOVI_SOAK_COUNTS_ALLOCATIONS
    alloccount::Prepare();
    const monkey::AllocationProbe counter{alloccount::Start, alloccount::StopAndRead};
    const monkey::AllocationProbe* probe = &counter;
#else
    const monkey::AllocationProbe* probe = nullptr;
#endif
    // Telling the program's allocations from the driver's walks the stack on each of the driver's hundreds
    // in a frame: every handler call is checked, and one frame in four.
    monkey::Monkey soak(20240611, 160, 120, probe, 4);
    // The memory is read right after a fresh start once a fifth of the frames have run, and again after
    // one at the end. Growth allowed between them: what the driver keeps for the process rather than for
    // a context, and the pages of code read in as the soak reaches paths it had not taken.
    monkey::MemoryUse warm, end;
    {
        support::SilencedStdout quiet;
        ASSERT_TRUE(soak.Restart());
        for (long frame = 1; frame <= TOVI_SOAK_FRAMES && soak.Report().empty(); ++frame) {
            soak.Step();
            if (frame == TOVI_SOAK_FRAMES / 5) {
                soak.Restart();
                warm = monkey::ReadMemory();
            }
        }
        soak.Restart();
        end = monkey::ReadMemory();
    }
    EXPECT_EQ(soak.Report(), "");
    EXPECT_GT(soak.Counts().Exits, 0) << "no run ended through a quit";
    if (probe) {
        EXPECT_GT(soak.Counts().AllowedAllocations, 0) << "no menu page was built";
        EXPECT_LE(end.Heap, warm.Heap + 256 * 1024);
        EXPECT_LE(end.Resident, warm.Resident + 8 * 1024 * 1024);
    }
}
