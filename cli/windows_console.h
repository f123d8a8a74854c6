// What drennix-cli does on Windows before it reads its arguments: the
// arguments as UTF-8 (they arrive as UTF-16 through wmain), standard output
// and error in binary mode so that they carry the same bytes as on Linux
// (LF line ends, nothing done to 0x1A), and a console that shows UTF-8.
#pragma once

#if defined(_WIN32)

#include <string>
#include <vector>

namespace drennix::cli {

// The arguments after the program name, each as UTF-8 (an unpaired
// surrogate becomes U+FFFD).
std::vector<std::string> utf8Arguments(int argc, wchar_t* argv[]);

// While it lives, standard output and error are binary, and a console
// attached to either shows UTF-8; the console's code page is put back at
// the end.
class StandardStreams {
public:
    StandardStreams();
    ~StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

private:
    unsigned int consoleCodePage_ = 0;  // 0: left as it was
};

}  // namespace drennix::cli

#endif
