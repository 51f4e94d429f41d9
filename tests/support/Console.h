#pragma once

// The console as the program writes it (stdout, by file descriptor, so printf and ConsoleWrite alike):
//   std::string text = support::ConsoleOutput([] { InitGL(); });   what the call wrote, as a string
//   support::SilencedStdout quiet;                                   stdout thrown away while it lives

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace support {

// Points stdout at another file for its lifetime.
class StdoutRedirect {
public:
    explicit StdoutRedirect(int fd) {
        std::fflush(stdout);
        Saved = dup(STDOUT_FILENO);
        dup2(fd, STDOUT_FILENO);
    }
    ~StdoutRedirect() {
        std::fflush(stdout);
        dup2(Saved, STDOUT_FILENO);
        close(Saved);
    }
    StdoutRedirect(const StdoutRedirect&) = delete;
    StdoutRedirect& operator=(const StdoutRedirect&) = delete;

private:
    int Saved;
};

template <typename Call> std::string ConsoleOutput(Call call) {
    std::FILE* capture = std::tmpfile();
    {
        StdoutRedirect redirect(fileno(capture));
        call();
    }
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;)
        text += char(c);
    std::fclose(capture);
    return text;
}

class SilencedStdout {
public:
    SilencedStdout() : Null(open("/dev/null", O_WRONLY)), Redirect(Null) {}
    ~SilencedStdout() { close(Null); }

private:
    int Null;
    StdoutRedirect Redirect;
};

} // namespace support
