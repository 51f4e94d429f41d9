#include "support/Monkey.h"

#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Startup.h"
#include "scene/Logo.h"
#include "support/OffscreenContext.h"
#include "support/ProgramState.h"
#include "support/RestingState.h"
#include "ui/DialogStack.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <malloc.h>
#include <unistd.h>

namespace monkey {

namespace {

// Every ordinary key either table of the program acts on, Tab and Enter for the menus; the quit keys
// apart, so that runs last long enough to get somewhere.
constexpr char HandledKeys[] = " !@()-=_+[]{},.<>/?CcDdFfIiLlOoPpRrSsTtUuVvWw`123bBnN\t\r";
constexpr unsigned char QuitKeys[] = {27, 'q', 'Q'};
constexpr int SpecialKeys[] = {KeyF1,    KeyF2,   KeyF3,     KeyF4,       KeyF5,   KeyF6,   KeyF7,
                               KeyF8,    KeyF9,   KeyF10,    KeyF11,      KeyF12,  KeyLeft, KeyUp,
                               KeyRight, KeyDown, KeyPageUp, KeyPageDown, KeyHome, KeyEnd,  KeyInsert};
constexpr int ArrowKeys[] = {KeyLeft, KeyUp, KeyRight, KeyDown};

bool IsQuitKey(int key) {
    for (unsigned char quit : QuitKeys)
        if (key == quit)
            return true;
    return false;
}

// The file names of the images and sounds the program reads from its working directory.
bool IsDataFile(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    return extension == ".bmp" || extension == ".wav";
}

const char* KindName(EventKind kind) {
    switch (kind) {
    case EventKind::Frame:
        return "frame";
    case EventKind::Key:
        return "key";
    case EventKind::Special:
        return "special";
    case EventKind::SpecialUp:
        return "special up";
    case EventKind::Button:
        return "button";
    case EventKind::Motion:
        return "motion";
    case EventKind::Reshape:
        return "reshape";
    }
    return "?";
}

} // namespace

uint64_t Random::Next() {
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::Below(int bound) {
    return bound <= 0 ? 0 : int(Next() % uint64_t(bound));
}

int Random::Between(int from, int to) {
    return from + Below(to - from + 1);
}

bool Random::Chance(int percent) {
    return Below(100) < percent;
}

bool Random::OneIn(int count) {
    return Below(count) == 0;
}

MemoryUse ReadMemory() {
    // Freed memory goes back to the system first, so that the resident size counts what is in use.
    malloc_trim(0);
    MemoryUse use;
    use.HeapBytes = long(mallinfo2().uordblks);
    long pages = 0, resident = 0;
    if (std::FILE* file = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(file);
    }
    use.ResidentBytes = resident * sysconf(_SC_PAGESIZE);
    return use;
}

Workspace::Workspace(const char* dataFolder) : Previous(std::filesystem::current_path().string()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tovi-soak-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return;
    Path = pattern;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder, ignored))
        if (IsDataFile(entry.path()))
            std::filesystem::create_symlink(std::filesystem::absolute(entry.path()),
                                            std::filesystem::path(Path) / entry.path().filename(), ignored);
    std::filesystem::current_path(Path, ignored);
}

Workspace::~Workspace() {
    if (Path.empty())
        return;
    std::error_code ignored;
    std::filesystem::current_path(Previous, ignored);
    std::filesystem::remove_all(Path, ignored);
}

Monkey::Monkey(uint64_t seed, int width, int height, AllocationProbe* probe, int attributeEvery)
    : Dice(seed), Seed(seed), Width(width), Height(height), Probe(probe),
      AttributeEvery(attributeEvery > 0 ? attributeEvery : 1), Handlers(ProgramCallbacks()) {}

Monkey::~Monkey() = default;

bool Monkey::Start() {
    StartRun();
    return Context && Context->Ok();
}

// What a fresh process does before its first frame, in a context of its own: the textures and lists of
// the run before go with the old one.
void Monkey::StartRun() {
    Context.reset();
    Context = std::make_unique<OffscreenContext>(Width, Height);
    support::ResetProgram();
    Fake = QuietHost();
    Fake.ScreenSize[0] = Fake.WindowSize[0] = Width;
    Fake.ScreenSize[1] = Fake.WindowSize[1] = Height;
    Host = &Fake;
    InitGL();
    View.Reshape(Width, Height);
    PointerX = Width / 2;
    PointerY = Height / 2;
    DragFrames = 0;
    while (glGetError() != GL_NO_ERROR) {
    }
}

void Monkey::Restart() {
    ++Totals.Runs;
    StartRun();
}

void Monkey::Step() {
    if (Fake.ExitStatus != -1) {
        ++Totals.Exits;
        ++Totals.Runs;
        StartRun();
    }
    SendInput();
    RunFrame();
}

void Monkey::Log(const Event& event) {
    if (event.Kind != EventKind::Frame)
        ++Totals.Events;
    Recent[Logged % RecentEvents] = event;
    ++Logged;
}

void Monkey::Fault(const Event& event, const char* what) {
    if (Failed())
        return;
    std::snprintf(FirstFault, sizeof FirstFault, "%s after a %s call", what, KindName(event.Kind));
    FaultFrame = event.Frame;
    for (int i = 0; i < RecentEvents; ++i)
        FaultRecent[i] = Recent[i];
    FaultLogged = Logged;
}

// Every call into the program goes between these two: the input is logged first, so that a fault reports
// the call that raised it as the last line.
void Monkey::BeginCall(const Event& event) {
    Log(event);
    Current = event;
    ErrorsBefore = GlErrorCount;
    // Handlers seldom reach the driver, so theirs are always told apart.
    Attributed = event.Kind != EventKind::Frame || event.Frame % AttributeEvery == 0;
    if (Probe)
        Probe->Begin(Attributed);
}

void Monkey::EndCall(bool mayAllocate) {
    if (Probe) {
        const AllocationProbe::Counts counts = Probe->End();
        if (!Attributed) {
            Totals.FrameAllocations += counts.Total;
        } else {
            Totals.DriverAllocations += counts.Total - counts.Program;
            if (mayAllocate) {
                Totals.AllowedAllocations += counts.Program;
            } else if (counts.Program > 0) {
                Totals.StrayAllocations += counts.Program;
                Fault(Current, "heap allocation by the program");
            }
        }
    }
    if (glGetError() != GL_NO_ERROR || GlErrorCount != ErrorsBefore) {
        while (glGetError() != GL_NO_ERROR) {
        }
        ++Totals.GlErrors;
        Fault(Current, "OpenGL error");
    }
}

// A pointer position in window pixels: half of the time where the rows of the open page lie (the left part
// of the window, from a little above the title down past the last row, outside the window when the page is
// longer than it), else anywhere in the window or a little outside it, as a grabbed pointer reports.
void Monkey::PickPointer(int& x, int& y) {
    const int height = View.Height;
    if (Dice.Chance(50)) {
        const int rowY = int(Dialogs.OriginY) + int(0.7 * double(height)) + Dice.Between(-420, 40);
        x = int(Dialogs.OriginX) + Dice.Between(-10, 400);
        y = height - 1 - rowY; // window rows count down from the top
    } else {
        x = Dice.Between(-20, View.Width + 20);
        y = Dice.Between(-20, height + 20);
    }
}

void Monkey::SendKey() {
    int key = Dice.Chance(75) ? (unsigned char)HandledKeys[Dice.Below(int(sizeof HandledKeys) - 1)]
                              : Dice.Below(256);
    if (Dice.OneIn(150))
        key = QuitKeys[Dice.Below(int(sizeof QuitKeys))];
    else if (IsQuitKey(key))
        key = (unsigned char)HandledKeys[Dice.Below(int(sizeof HandledKeys) - 1)];
    Fake.ModifierState = Dice.Chance(70) ? 0 : Dice.Below(8);
    const Event event{Totals.Frames, EventKind::Key, key, 0, PointerX, PointerY, Fake.ModifierState};
    BeginCall(event);
    Handlers.Keyboard((unsigned char)key, PointerX, PointerY);
    // A reset builds the main menu again; the save and load keys open the preferences file.
    EndCall(key == 'r' || key == 'R' || key == '!' || key == '@');
}

void Monkey::SendSpecial() {
    const bool release = Dice.Chance(30);
    int key = release ? ArrowKeys[Dice.Below(4)] : SpecialKeys[Dice.Below(int(std::size(SpecialKeys)))];
    if (Dice.OneIn(20))
        key = Dice.Between(-5, 300);
    Fake.ModifierState = Dice.Chance(60) ? 0 : Dice.Below(8);
    const Event event{
        Totals.Frames,     release ? EventKind::SpecialUp : EventKind::Special, key, 0, PointerX, PointerY,
        Fake.ModifierState};
    BeginCall(event);
    (release ? Handlers.SpecialUp : Handlers.Special)(key, PointerX, PointerY);
    EndCall(false);
}

void Monkey::SendButton(int button, int state, int x, int y) {
    PointerX = x;
    PointerY = y;
    const Event event{Totals.Frames, EventKind::Button, button, state, x, y, Fake.ModifierState};
    BeginCall(event);
    Handlers.Mouse(button, state, x, y);
    EndCall(false);
}

void Monkey::SendMotion(int x, int y) {
    PointerX = x;
    PointerY = y;
    const Event event{Totals.Frames, EventKind::Motion, 0, 0, x, y, Fake.ModifierState};
    BeginCall(event);
    Handlers.Motion(x, y);
    EndCall(false);
}

void Monkey::SendReshape(int width, int height) {
    Fake.WindowSize[0] = width;
    Fake.WindowSize[1] = height;
    const Event event{Totals.Frames, EventKind::Reshape, width, height, 0, 0, Fake.ModifierState};
    BeginCall(event);
    Handlers.Reshape(width, height);
    EndCall(false);
}

// None to a few events a frame, as a busy user gives them; a drag in progress moves on every frame.
void Monkey::SendInput() {
    if (DragFrames > 0) {
        SendMotion(PointerX + DragStepX, PointerY + DragStepY);
        if (--DragFrames == 0)
            SendButton(ButtonLeft, ButtonUp, PointerX, PointerY);
    }
    const int roll = Dice.Below(100);
    const int count = roll < 40 ? 0 : roll < 75 ? 1 : Dice.Between(2, 4);
    for (int i = 0; i < count; ++i) {
        const int kind = Dice.Below(1000);
        int x = PointerX, y = PointerY;
        if (kind < 300) {
            SendKey();
        } else if (kind < 480) {
            SendSpecial();
        } else if (kind < 640) { // a click or half of one, mostly of the left button
            PickPointer(x, y);
            const int button = Dice.Chance(60)   ? ButtonLeft
                               : Dice.Chance(90) ? Dice.Below(3)
                                                 : Dice.Between(3, 6);
            SendButton(button, Dice.Below(2), x, y);
        } else if (kind < 880) {
            if (Dice.Chance(50))
                PickPointer(x, y);
            else {
                x += Dice.Between(-30, 30);
                y += Dice.Between(-30, 30);
            }
            SendMotion(x, y);
        } else if (kind < 940) { // the menu, by the right button or the key
            if (Dice.Chance(50)) {
                SendButton(ButtonRight, ButtonDown, x, y);
                SendButton(ButtonRight, ButtonUp, x, y);
            } else {
                Fake.ModifierState = 0;
                const Event event{Totals.Frames, EventKind::Key, '`', 0, x, y, 0};
                BeginCall(event);
                Handlers.Keyboard('`', x, y);
                EndCall(false);
            }
        } else if (kind < 990) { // a drag over the rows: a slider, the title box
            if (DragFrames == 0) {
                PickPointer(x, y);
                SendButton(ButtonLeft, ButtonDown, x, y);
                DragFrames = Dice.Between(1, 30);
                DragStepX = Dice.Between(-12, 12);
                DragStepY = Dice.Between(-6, 6);
            }
        } else { // the window resized, down to nothing in either direction
            const int width = Dice.Chance(20) ? 0 : Dice.Between(1, 2 * Width);
            const int height = Dice.Chance(20) ? 0 : Dice.Between(1, 2 * Height);
            SendReshape(width, height);
        }
    }
}

// Mostly 16 ms, sometimes no time at all, a little more, or a stall of seconds.
void Monkey::RunFrame() {
    int step = 16;
    if (!Dice.Chance(90)) {
        const int kind = Dice.Below(10);
        step = kind < 4 ? 0 : kind < 9 ? Dice.Between(1, 100) : Dice.Between(1000, 8000);
    }
    Fake.NowMs += step;
    const Event event{Totals.Frames, EventKind::Frame, step, 0, 0, 0, 0};
    const bool menuTakesInput = MenuShown != 0;
    const int page = Dialogs.CurrentMenu, depth = Dialogs.StackDepth;
    BeginCall(event);
    Handlers.Idle();
    Handlers.Display();
    // An open menu runs the action of the row activated this frame: a file saved or loaded, or a page built
    // (which forgets the activation, but leaves another page or another depth of the stack).
    EndCall(menuTakesInput &&
            (Dialogs.ActivatedId != -1 || Dialogs.CurrentMenu != page || Dialogs.StackDepth != depth));
    if (Attributed)
        ++Totals.AttributedFrames;
    if (const char* fault = support::RestingStateFault()) {
        ++Totals.RestingViolations;
        Fault(event, fault);
    }
    ++Totals.Frames;

    // The window system answers a change of size the program asked for with a resize event.
    if (Fake.ExitStatus == -1 && Fake.Requested[0] >= 0) {
        const int width = Fake.Requested[0], height = Fake.Requested[1];
        Fake.Requested[0] = Fake.Requested[1] = -1;
        SendReshape(width, height);
    }
}

std::string Monkey::Report() const {
    if (!Failed())
        return std::string();
    char line[320];
    std::snprintf(line, sizeof line, "seed %llu, frame %ld: %s\nthe input before it, oldest first:\n",
                  (unsigned long long)Seed, FaultFrame, FirstFault);
    std::string report = line;
    const long first = FaultLogged > RecentEvents ? FaultLogged - RecentEvents : 0;
    for (long i = first; i < FaultLogged; ++i) {
        const Event& event = FaultRecent[i % RecentEvents];
        std::snprintf(line, sizeof line, "  frame %ld %s %d %d at (%d, %d) modifiers %d\n", event.Frame,
                      KindName(event.Kind), event.A, event.B, event.C, event.D, event.Modifiers);
        report += line;
    }
    return report;
}

} // namespace monkey
