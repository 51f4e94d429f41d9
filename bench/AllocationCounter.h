#pragma once

// Counts the heap allocations of the whole process while switched on: every form of the global operator
// new and every malloc-family call, from any library and any thread. Linking AllocationCounter.cpp
// replaces those functions for the whole executable.
//
// With attribution on, each allocation is also charged to the code that asked for it: the nearest caller
// outside the C and C++ runtimes (libc, libstdc++, libgcc_s, libm, the loader). A caller inside the
// executable is Tovi's code (tovi_core and the benchmark); any other library is the OpenGL driver.
// Attribution walks the stack on every allocation, so it slows the frames; count timed frames without it.
namespace alloccount {

struct Counts {
    long Total = 0;
    long Program = 0; // attributed to the executable
    long Driver = 0;  // attributed to another library
};

// Loads the unwinder and maps the loaded libraries; call once before the first attributed count, and
// again after libraries have been loaded.
void Prepare();

void Start(bool attribute);
void Stop();
Counts Read();                                // the counts since the last Start
void StopAndRead(long& total, long& program); // Stop, then the total and the program's share

} // namespace alloccount
