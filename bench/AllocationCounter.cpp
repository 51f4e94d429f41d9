#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <initializer_list>
#include <link.h>
#include <new>
#include <unistd.h>

// glibc's own allocator behind the replaced entry points.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

// Every function that an allocation passes through on its way here lives in this section, so that the
// stack walk can step over them; the linker marks its ends with __start_ and __stop_ symbols.
#define TOVI_HOOK __attribute__((section("tovi_alloc_hooks"), noinline))
extern "C" const char __start_tovi_alloc_hooks[];
extern "C" const char __stop_tovi_alloc_hooks[];

namespace {

enum class ModuleKind { Executable, Runtime, Driver };

struct CodeRange {
    std::uintptr_t Begin, End;
    ModuleKind Kind;
};

constexpr int MaxRanges = 512;
CodeRange Ranges[MaxRanges];
std::atomic<int> RangeCount{0};

std::atomic<bool> Counting{false};
std::atomic<bool> Attributing{false};
std::atomic<long> Total{0};
std::atomic<long> Program{0};
std::atomic<long> Driver{0};
thread_local bool InsideHook = false;

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

ModuleKind KindOf(const char* path, bool first) {
    if (first || path == nullptr || path[0] == '\0')
        return ModuleKind::Executable;
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    for (const char* runtime : {"libc.so", "libstdc++.so", "libgcc_s.so", "libm.so", "ld-linux", "libc++"})
        if (StartsWith(name, runtime))
            return ModuleKind::Runtime;
    return ModuleKind::Driver;
}

int AddModule(dl_phdr_info* info, std::size_t, void* data) {
    bool& first = *static_cast<bool*>(data);
    const ModuleKind kind = KindOf(info->dlpi_name, first);
    first = false;
    int count = RangeCount.load();
    for (int i = 0; i < info->dlpi_phnum && count < MaxRanges; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || !(header.p_flags & PF_X))
            continue;
        const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        Ranges[count++] = {begin, begin + header.p_memsz, kind};
    }
    RangeCount.store(count);
    return 0;
}

ModuleKind KindAt(std::uintptr_t address) {
    const int count = RangeCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
        if (address >= Ranges[i].Begin && address < Ranges[i].End)
            return Ranges[i].Kind;
    return ModuleKind::Driver; // code loaded after Prepare, or generated at run time
}

TOVI_HOOK void Attribute() {
    constexpr int MaxFrames = 48;
    void* frames[MaxFrames];
    const int depth = backtrace(frames, MaxFrames);
    const auto hooksBegin = reinterpret_cast<std::uintptr_t>(__start_tovi_alloc_hooks);
    const auto hooksEnd = reinterpret_cast<std::uintptr_t>(__stop_tovi_alloc_hooks);
    for (int i = 0; i < depth; ++i) {
        const auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
        if (address >= hooksBegin && address < hooksEnd)
            continue;
        switch (KindAt(address)) {
        case ModuleKind::Runtime:
            continue;
        case ModuleKind::Executable:
            Program.fetch_add(1, std::memory_order_relaxed);
            return;
        case ModuleKind::Driver:
            Driver.fetch_add(1, std::memory_order_relaxed);
            return;
        }
    }
    Driver.fetch_add(1, std::memory_order_relaxed); // no caller outside the runtimes: a driver thread
}

TOVI_HOOK void Note() {
    if (!Counting.load(std::memory_order_relaxed) || InsideHook)
        return;
    Total.fetch_add(1, std::memory_order_relaxed);
    if (!Attributing.load(std::memory_order_relaxed))
        return;
    InsideHook = true;
    Attribute();
    InsideHook = false;
}

TOVI_HOOK void* NewOrThrow(std::size_t size) {
    Note();
    void* pointer = __libc_malloc(size ? size : 1);
    if (!pointer)
        throw std::bad_alloc();
    return pointer;
}

TOVI_HOOK void* NewAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    Note();
    void* pointer = __libc_memalign(std::size_t(alignment), size ? size : 1);
    if (!pointer)
        throw std::bad_alloc();
    return pointer;
}

TOVI_HOOK void* NewOrNull(std::size_t size) noexcept {
    Note();
    return __libc_malloc(size ? size : 1);
}

TOVI_HOOK void* NewAlignedOrNull(std::size_t size, std::align_val_t alignment) noexcept {
    Note();
    return __libc_memalign(std::size_t(alignment), size ? size : 1);
}

} // namespace

namespace alloccount {

void Prepare() {
    void* frames[4];
    backtrace(frames, 4); // loads libgcc_s now rather than inside a counted allocation
    RangeCount.store(0);
    bool first = true;
    dl_iterate_phdr(AddModule, &first);
}

void Start(bool attribute) {
    Total = Program = Driver = 0;
    Attributing = attribute;
    Counting = true;
}

void Stop() {
    Counting = false;
    Attributing = false;
}

Counts Read() {
    Counts counts;
    counts.Total = Total.load();
    counts.Program = Program.load();
    counts.Driver = Driver.load();
    return counts;
}

void StopAndRead(long& total, long& program) {
    Stop();
    total = Total.load();
    program = Program.load();
}

} // namespace alloccount

// The malloc family, for every library of the process (glibc supports replacing these).
extern "C" {

TOVI_HOOK void* malloc(std::size_t size) noexcept {
    Note();
    return __libc_malloc(size);
}

TOVI_HOOK void* calloc(std::size_t count, std::size_t size) noexcept {
    Note();
    return __libc_calloc(count, size);
}

TOVI_HOOK void* realloc(void* pointer, std::size_t size) noexcept {
    if (size != 0)
        Note();
    return __libc_realloc(pointer, size);
}

TOVI_HOOK void free(void* pointer) noexcept {
    __libc_free(pointer);
}

TOVI_HOOK void* memalign(std::size_t alignment, std::size_t size) noexcept {
    Note();
    return __libc_memalign(alignment, size);
}

TOVI_HOOK void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    Note();
    return __libc_memalign(alignment, size);
}

TOVI_HOOK int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    Note();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer)
        return ENOMEM;
    *result = pointer;
    return 0;
}

TOVI_HOOK void* valloc(std::size_t size) noexcept {
    Note();
    return __libc_memalign(sysconf(_SC_PAGESIZE), size);
}

TOVI_HOOK void* pvalloc(std::size_t size) noexcept {
    Note();
    const std::size_t page = sysconf(_SC_PAGESIZE);
    return __libc_memalign(page, (size + page - 1) / page * page);
}

} // extern "C"

// Every replaceable form of the global operator new and delete.
TOVI_HOOK void* operator new(std::size_t size) {
    return NewOrThrow(size);
}
TOVI_HOOK void* operator new[](std::size_t size) {
    return NewOrThrow(size);
}
TOVI_HOOK void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return NewOrNull(size);
}
TOVI_HOOK void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return NewOrNull(size);
}
TOVI_HOOK void* operator new(std::size_t size, std::align_val_t alignment) {
    return NewAlignedOrThrow(size, alignment);
}
TOVI_HOOK void* operator new[](std::size_t size, std::align_val_t alignment) {
    return NewAlignedOrThrow(size, alignment);
}
TOVI_HOOK void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return NewAlignedOrNull(size, alignment);
}
TOVI_HOOK void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return NewAlignedOrNull(size, alignment);
}

void operator delete(void* pointer) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept {
    __libc_free(pointer);
}
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
    __libc_free(pointer);
}
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
    __libc_free(pointer);
}
