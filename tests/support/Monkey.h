#pragma once

// A monkey at the controls: seeded random input from every key, button, pointer motion and window resize
// the program handles, delivered through the handlers ProgramCallbacks() returns, between real frames on a
// scripted clock. After every call it checks what must always hold: no OpenGL error, the resting OpenGL
// state after each frame, and no heap allocation by the program's own code outside a menu build or a
// preferences-file access. A quit ends the run through the host; the monkey then starts the program
// again, in a fresh OpenGL context as a fresh process would have it.

#include "support/FakePlatform.h"

#include <cstdint>
#include <memory>
#include <string>

class OffscreenContext;

namespace monkey {

// splitmix64: the program itself draws from rand(), so the monkey keeps a generator of its own.
class Random {
public:
    explicit Random(uint64_t seed) : State(seed) {}
    uint64_t Next();
    int Below(int bound);          // 0 .. bound - 1
    int Between(int from, int to); // from .. to, both included
    bool Chance(int percent);      // true percent times in a hundred
    bool OneIn(int count);         // true once in count times

private:
    uint64_t State;
};

// The scripted host, with only counts of what the program asked: the vectors of FakePlatform would
// allocate inside the program's calls.
class QuietHost : public FakePlatform {
public:
    void WarpPointer(int, int) override { ++WarpCount; }
    void ReshapeWindow(int width, int height) override {
        ++ReshapeCount;
        Requested[0] = width;
        Requested[1] = height;
    }
    void FullScreen() override {
        ++FullScreenCalls;
        Requested[0] = ScreenSize[0];
        Requested[1] = ScreenSize[1];
    }
    void PlayWave(const char*) override { ++WaveCount; }

    int WarpCount = 0;
    int ReshapeCount = 0;
    int WaveCount = 0;
    int Requested[2] = {-1, -1}; // the window size the program asked for since the last resize event
};

// Counts the heap allocations made during one call into the program. Telling the program's own from the
// driver's walks the stack on every allocation, which the driver's many allocations in a frame make slow;
// without it only the total is known.
class AllocationProbe {
public:
    struct Counts {
        long Total = 0;
        long Program = 0; // of Total, by the program's own code; 0 when not told apart
    };
    virtual ~AllocationProbe() = default;
    virtual void Begin(bool attribute) = 0;
    virtual Counts End() = 0;
};

enum class EventKind : unsigned char { Frame, Key, Special, SpecialUp, Button, Motion, Reshape };

// One call into the program. Frame: A is the clock step in ms; Key and Special: A is the key;
// Button: A button, B state; Key, Special, Button and Motion: C, D the pointer; Reshape: A, B the size.
struct Event {
    long Frame = 0;
    EventKind Kind = EventKind::Frame;
    int A = 0, B = 0, C = 0, D = 0;
    int Modifiers = 0;
};

struct Tally {
    long Frames = 0;
    long Events = 0; // handler calls
    long Runs = 1;   // runs started, the first one included
    long Exits = 0;  // runs ended through the host
    long GlErrors = 0;
    long RestingViolations = 0;
    long AttributedFrames = 0;   // frames whose allocations were told apart (handler calls always are)
    long StrayAllocations = 0;   // by the program's code outside menu builds and preferences files
    long AllowedAllocations = 0; // by menu builds and preferences-file accesses
    long DriverAllocations = 0;  // by the OpenGL driver in the attributed calls
    long FrameAllocations = 0;   // in the other frames, not told apart
};

// The process's heap in use and resident size.
struct MemoryUse {
    long HeapBytes = 0;
    long ResidentBytes = 0;
};
MemoryUse ReadMemory();

// A fresh working directory holding links to the images and sounds of dataFolder, so that the textures
// load and saved preferences land in a scratch place; removed with everything in it at the end.
class Workspace {
public:
    explicit Workspace(const char* dataFolder);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

private:
    std::string Previous;
    std::string Path;
};

class Monkey {
public:
    static constexpr int RecentEvents = 24;

    // probe may be null: allocations are then not checked. Every frame's allocations are told apart when
    // attributeEvery is 1; otherwise one frame in attributeEvery.
    Monkey(uint64_t seed, int width, int height, AllocationProbe* probe, int attributeEvery);
    ~Monkey();
    Monkey(const Monkey&) = delete;
    Monkey& operator=(const Monkey&) = delete;

    // Starts the first run; false when no OpenGL context could be made.
    bool Start();
    // Random input, then one frame; a run that ended starts over before the next frame.
    void Step();
    // Ends the run as a process ends and starts a new one, without a quit: the memory of the process
    // right after a start compares with that after another start.
    void Restart();

    const Tally& Counts() const { return Totals; }
    bool Failed() const { return FirstFault[0] != '\0'; }
    // The first fault with the seed, its frame and the input that led to it; empty when none was found.
    std::string Report() const;

private:
    void StartRun();
    void SendInput();
    void SendKey();
    void SendSpecial();
    void SendButton(int button, int state, int x, int y);
    void SendMotion(int x, int y);
    void SendReshape(int width, int height);
    void PickPointer(int& x, int& y);
    void RunFrame();
    void Log(const Event& event);
    void BeginCall(const Event& event);
    void EndCall(bool mayAllocate);
    void Fault(const Event& event, const char* what);

    Random Dice;
    uint64_t Seed;
    int Width, Height;
    AllocationProbe* Probe;
    int AttributeEvery;
    Event Current;        // the call in progress
    int ErrorsBefore = 0; // the frame loop's error count when it began
    bool Attributed = false;
    std::unique_ptr<OffscreenContext> Context;
    QuietHost Fake;
    WindowCallbacks Handlers;
    Tally Totals;
    Event Recent[RecentEvents];
    long Logged = 0;
    int PointerX = 0, PointerY = 0;
    int DragFrames = 0; // frames left of a left-button drag in progress
    int DragStepX = 0, DragStepY = 0;
    char FirstFault[160] = {};
    long FaultFrame = -1;
    Event FaultRecent[RecentEvents];
    long FaultLogged = 0;
};

} // namespace monkey
