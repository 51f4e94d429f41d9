#pragma once

// Throws away what the program writes to the console while it lives: tests and benchmarks that start the
// program many times would print thousands of lines.

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace support {

class SilencedStdout {
public:
    SilencedStdout() {
        std::fflush(stdout);
        Saved = dup(STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            close(null);
        }
    }
    ~SilencedStdout() {
        std::fflush(stdout);
        if (Saved >= 0) {
            dup2(Saved, STDOUT_FILENO);
            close(Saved);
        }
    }
    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
    int Saved = -1;
};

} // namespace support
