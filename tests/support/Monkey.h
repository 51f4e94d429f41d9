#pragma once

// A monkey at the controls: seeded random input from every key, button, pointer motion, window resize and
// visibility change the program handles, through the handlers ProgramCallbacks() returns, between real
// frames on a scripted clock. After every call it checks what must always hold: no OpenGL error, the
// resting OpenGL state after each frame, and no heap allocation by the program's own code outside a menu
// build or a preferences-file access. A quit ends the run through the host; the monkey then starts the
// program again, in a fresh OpenGL context as a fresh process would have it.
//   monkey::Monkey soak(seed, 160, 120, &probe);   soak.Restart(); soak.Step() per frame; soak.Report()

#include "support/FakePlatform.h"
#include "support/OffscreenContext.h"

#include <memory>
#include <random>
#include <string>

namespace monkey {

// Counts the heap allocations made during one call into the program: alloccount::Start and StopAndRead of
// bench/AllocationCounter.h. Telling the program's own from the driver's (attribute) walks the stack on
// every allocation, which the driver's many in a frame make slow.
struct AllocationProbe {
    void (*Begin)(bool attribute);
    void (*End)(long& total, long& program); // program: 0 when not told apart
};

// Exits: runs that ended through a quit. Allocations: stray, by the program's code
// outside menu builds and preferences files; allowed, by those; other, by the driver or in frames not told
// apart.
struct Tally {
    long Frames = 0, Runs = 0, Exits = 0;
    long StrayAllocations = 0, AllowedAllocations = 0, OtherAllocations = 0;
};

// The process's heap in use and resident size, in bytes, with freed memory given back to the system first.
struct MemoryUse {
    long Heap = 0, Resident = 0;
};
MemoryUse ReadMemory();

class Monkey {
public:
    // probe may be null: allocations are then not checked. One frame in attributeEvery is told apart;
    // every handler call is.
    Monkey(unsigned long long seed, int width, int height, const AllocationProbe* probe,
           int attributeEvery = 16);

    bool Restart(); // a new run, as a new process starts (the first one too); false without an OpenGL context
    void Step();    // random input, then a frame; a run that ended through a quit starts over first

    const Tally& Counts() const { return Totals; }
    // The first fault with the seed, its frame and the call that raised it; empty when none was found.
    const std::string& Report() const { return Fault; }

private:
    // The scripted host, counting rather than recording: FakePlatform's vectors would allocate inside the
    // program's calls. A size the program asks for comes back as a resize event after the frame.
    struct QuietHost : FakePlatform {
        void WarpPointer(int, int) override {}
        void ReshapeWindow(int width, int height) override { Requested = {width, height}; }
        void FullScreen() override { Requested = {ScreenSize[0], ScreenSize[1]}; }
        void PlayWave(const char*) override {}
        Point Requested = {-1, -1};
    };

    int Below(int bound) { return int(Dice() % unsigned(bound)); }
    int Between(int from, int to) { return from + Below(to - from + 1); }
    template <typename Send> void Call(char kind, int a, int b, const bool& mayAllocate, Send send);
    void PickPointer(int& x, int& y);
    void SendInput();

    std::mt19937_64 Dice;
    unsigned long long Seed;
    int Width, Height;
    const AllocationProbe* Probe;
    int AttributeEvery;
    std::unique_ptr<OffscreenContext> Context;
    QuietHost Fake;
    WindowCallbacks Handlers;
    Tally Totals;
    int PointerX = 0, PointerY = 0;
    std::string Fault;
};

} // namespace monkey
