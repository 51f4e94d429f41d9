#pragma once

// The console while the program writes to it (stdout, by file descriptor, so printf and ConsoleWrite alike):
//   support::SilencedStdout quiet;   stdout thrown away while it lives
// and, for the GL tests (support/GlTestFixture.h), gltest::ConsoleOutput(call): what the call wrote.

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace support {

class SilencedStdout {
public:
    SilencedStdout() : Saved((std::fflush(stdout), dup(STDOUT_FILENO))), Null(open("/dev/null", O_WRONLY)) {
        dup2(Null, STDOUT_FILENO);
    }
    ~SilencedStdout() {
        std::fflush(stdout);
        dup2(Saved, STDOUT_FILENO);
        close(Saved);
        close(Null);
    }
    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
    int Saved, Null;
};

} // namespace support
