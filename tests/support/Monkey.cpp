#include "support/Monkey.h"

#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/ScreenView.h"
#include "app/Startup.h"
#include "support/ProgramState.h"
#include "support/RestingState.h"
#include "ui/DialogStack.h"
#include "ui/Widget.h"

#include <GL/gl.h>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

namespace monkey {

namespace {

// Every ordinary key either key table acts on, Tab and Enter for the menus; the quit keys apart, so that
// runs last long enough to get somewhere.
constexpr char HandledKeys[] = " !@()-=_+[]{},.<>/?CcDdFfIiLlOoPpRrSsTtUuVvWw`123bBnN\t\r";
constexpr char QuitKeys[] = "\033qQ";
constexpr bool No = false; // the call may not allocate

} // namespace

MemoryUse ReadMemory() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return {long(mallinfo2().uordblks), resident * sysconf(_SC_PAGESIZE)};
}

Monkey::Monkey(unsigned long long seed, int width, int height, const AllocationProbe* probe,
               int attributeEvery)
    : Dice(seed), Seed(seed), Width(width), Height(height), Probe(probe), AttributeEvery(attributeEvery),
      Handlers(ProgramCallbacks()) {}

// What a fresh process does before its first frame, in a context of its own: the textures and lists of
// the run before go with the old one.
bool Monkey::Restart() {
    ++Totals.Runs;
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
    while (glGetError() != GL_NO_ERROR) {
    }
    return Context->Ok();
}

// Every call into the program goes through here, its allocations and its OpenGL errors checked. The first
// fault is reported with the call that raised it.
template <typename Send> void Monkey::Call(char kind, int a, int b, const bool& mayAllocate, Send send) {
    const int errorsBefore = GlErrorCount;
    const char* fault = nullptr;
    if (Probe)
        Probe->Begin(kind != 'F' || Totals.Frames % AttributeEvery == 0);
    send();
    if (Probe) {
        long total = 0, program = 0;
        Probe->End(total, program);
        (mayAllocate ? Totals.AllowedAllocations : Totals.StrayAllocations) += program;
        Totals.OtherAllocations += total - program;
        if (program > 0 && !mayAllocate)
            fault = "heap allocation by the program";
    }
    if (glGetError() != GL_NO_ERROR || GlErrorCount != errorsBefore) {
        while (glGetError() != GL_NO_ERROR) {
        }
        fault = "OpenGL error";
    }
    if (kind == 'F' && !fault)
        fault = support::RestingStateFault();
    if (fault && Fault.empty()) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "seed %llu, frame %ld: %s in the call %c %d %d, pointer (%d, %d), modifiers %d", Seed,
                      Totals.Frames, fault, kind, a, b, PointerX, PointerY, Fake.ModifierState);
        Fault = line;
    }
}

// Half of the time on a widget of the open page, where the menu draws it (outside the window where the page
// is longer), else anywhere in the window or a little outside it, as a grabbed pointer reports.
void Monkey::PickPointer(int& x, int& y) {
    const Widget* widget =
        Dialogs.WidgetCount > 0 ? Dialogs.Widgets[Below(Dialogs.WidgetCount)].get() : nullptr;
    if (widget && Below(2)) {
        x = int(Dialogs.OriginX + widget->Left) + Below(int(widget->Width) + 1);
        y = View.Height - 1 - int(Dialogs.OriginY + widget->Bottom) - Below(int(widget->Height) + 1);
    } else {
        x = Between(-20, View.Width + 20);
        y = Between(-20, View.Height + 20);
    }
}

// None to a few calls a frame, as a busy user gives them. A press and the motions after it, before its
// release, drag whatever the press caught: a slider, the menu's title.
void Monkey::SendInput() {
    // A reset builds the main menu again; the save and load keys open the preferences file.
    const auto key = [this](int key) {
        const bool allowed = key == 'r' || key == 'R' || key == '!' || key == '@';
        Call('K', key, 0, allowed, [&] { Handlers.Keyboard((unsigned char)key, PointerX, PointerY); });
    };
    const int roll = Below(100);
    for (int count = roll < 40 ? 0 : roll < 75 ? 1 : Between(2, 4); count > 0; --count) {
        const int kind = Below(1000);
        int x = PointerX;
        int y = PointerY;
        Fake.ModifierState = Below(10) < 7 ? 0 : Below(8);
        if (kind < 300) { // mostly a key the program acts on; a quit key now and then
            const int code = Below(4) ? HandledKeys[Below(int(sizeof HandledKeys) - 1)] : Below(256);
            key(Below(150) == 0 ? QuitKeys[Below(3)] : code == 27 || code == 'q' || code == 'Q' ? '1' : code);
        } else if (kind < 480) { // a special key (F1 to F12, 100 to 108) pressed or let go, or no key
            const bool up = Below(10) < 3;
            const int code = Below(20) == 0 ? Between(-5, 300)
                             : Below(2)     ? KeyF1 + Below(12)
                                            : KeyLeft + Below(9);
            Call(up ? 'U' : 'S', code, 0, No,
                 [&] { (up ? Handlers.SpecialUp : Handlers.Special)(code, x, y); });
        } else if (kind < 640) { // a click or half of one, mostly of the left button
            PickPointer(x, y);
            const int state = Below(2);
            const int button = Below(10) < 6 ? ButtonLeft : Below(10) ? Below(3) : Between(3, 6);
            PointerX = x;
            PointerY = y;
            Call('B', button, state, No, [&] { Handlers.Mouse(button, state, x, y); });
        } else if (kind < 930) { // a motion, with or without a button held
            if (Below(2))
                PickPointer(x, y);
            PointerY = y + Between(-30, 30);
            PointerX = x + Between(-30, 30);
            Call('M', PointerX, PointerY, No, [&] { Handlers.Motion(PointerX, PointerY); });
        } else if (kind < 990) { // the menu's key (the right button is among the clicks)
            key('`');
        } else if (kind < 995) { // the window hidden, covered or shown again
            const int state = Below(4);
            Call('W', state, 0, No, [&] { Handlers.WindowStatus(state); });
        } else { // the window resized, down to nothing in either direction
            Fake.Requested = {Below(5) ? Between(1, 2 * Width) : 0, Below(5) ? Between(1, 2 * Height) : 0};
        }
    }
}

// Random input, then a frame of mostly 16 ms, sometimes no time at all, a little more, or a stall of seconds.
void Monkey::Step() {
    if (Fake.ExitStatus != -1) {
        ++Totals.Exits;
        Restart();
    }
    SendInput();
    const int kind = Below(100);
    const int step = kind < 90 ? 16 : kind < 94 ? 0 : kind < 99 ? Between(1, 100) : Between(1000, 8000);
    Fake.NowMs += step;
    // An open menu runs the action of the row activated this frame: a file saved or loaded, or a page built
    // (which forgets the activation, but leaves another page or another depth of the stack).
    const bool menuTakesInput = MenuShown != 0;
    const int page = Dialogs.CurrentMenu, depth = Dialogs.StackDepth;
    bool allowed = false;
    Call('F', step, 0, allowed, [&] {
        Handlers.Idle();
        Handlers.Display();
        allowed = menuTakesInput &&
                  (Dialogs.ActivatedId != -1 || Dialogs.CurrentMenu != page || Dialogs.StackDepth != depth);
    });
    ++Totals.Frames;
    // The window system answers a change of size, asked for by the program or by the monkey, with a resize.
    if (Fake.ExitStatus == -1 && Fake.Requested.X >= 0) {
        const QuietHost::Point size = Fake.Requested;
        Fake.Requested = {-1, -1};
        Fake.WindowSize[0] = size.X;
        Fake.WindowSize[1] = size.Y;
        Call('R', size.X, size.Y, No, [&] { Handlers.Reshape(size.X, size.Y); });
    }
}

} // namespace monkey
