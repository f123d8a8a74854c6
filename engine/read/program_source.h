// The lines of a program in the order they run, where subprograms are read:
// the program's own lines in file order, and at each call the lines of the
// subprogram it names, as often as it repeats, before the program goes on.
// A subprogram's definition, where the program passes it in file order, is
// handed on as passed over, not run. No later stage learns of calls: each
// line comes with its number and its file.
//
// A Fanuc-style control calls with M98 P (repeats by L or K, or the first
// digits of a P of more than four), finds O<number> in the same file (after
// M30, where CAM writes them) or in a file beside the program, and returns at
// M99; M99 in the program itself ends it. Where the cycles are read as
// LinuxCNC reads them: "o<n> sub" to "o<n> endsub", "o<n> call" without
// arguments, and "o<n> repeat [count]" to "o<n> endrepeat" with a literal
// count. Calls nest four deep.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "block_parser.h"
#include "block_stream.h"

namespace drennix {

// What the run does with a line.
enum class LineRole : std::uint8_t {
    Block,    // a block that runs
    Passed,   // a subprogram's definition passed over in file order
    Control,  // an o-word of LinuxCNC's: it runs nothing itself
};

struct ProgramLine {
    const SourceLine* line = nullptr;
    // Its number in its file, and that file's name where it is not the
    // program (a subprogram's own file).
    long long number = 0;
    std::string_view file;
    // One of the program's own lines on its first pass (counted, written in
    // file order); false for the lines of a subprogram where it runs.
    bool own = true;
    LineRole role = LineRole::Block;
    // The program ends after this line (M99 in the program itself).
    bool endsProgram = false;
    // The line calls a subprogram (which follows it).
    bool calls = false;
    // A call that cannot be made, at this line.
    Fault fault;
};

// Where the program came from, for the search of its subprograms: its path,
// or its bytes (then only the same bytes are searched).
struct ProgramOrigin {
    std::string path;
    std::optional<std::string_view> bytes;
};

// The files beside `programPath` that may hold subprogram `number`, in the
// order searched: O<number> with the program's extension, O<number>,
// <number> with the program's extension, O<number>.nc, <number>.nc.
std::vector<std::string> subprogramFileCandidates(const std::string& programPath, long long number);

class ProgramSource {
public:
    ProgramSource(BlockStream& stream, const Settings& settings, ProgramOrigin origin);
    ~ProgramSource();
    ProgramSource(const ProgramSource&) = delete;
    ProgramSource& operator=(const ProgramSource&) = delete;

    bool atEnd();
    // The next line, after atEnd() said there is one; valid until the next.
    const ProgramLine& next();

    // Calls nest at most this deep.
    static constexpr std::size_t deepest = 4;

private:
    struct Body;
    struct Frame;
    const ProgramLine& nextOwn();
    const ProgramLine& nextFromFrame();
    void afterLine();
    void classify(const SourceLine& line, bool own);
    bool classifyOWord(const SourceLine& line, bool own);
    void callFanuc(const ParsedBlock& block);
    void prepareCall(long long number, long long repeats);
    void beginRepeat(long long number, long long count, bool own);
    const Body* findBody(long long number, Fault& fault);
    std::unique_ptr<Body> loadBody(long long number, Fault& fault);
    std::unique_ptr<Body> scanBody(long long number, const std::string* file, Fault& fault);

    BlockStream& stream_;
    const bool linuxcnc_;
    const ProgramOrigin origin_;
    BlockParser parser_;
    std::map<long long, std::unique_ptr<Body>> bodies_;
    std::vector<Frame> frames_;
    ProgramLine current_;
    SourceLine frameLine_;
    long long ownNumber_ = 0;
    // Passing over a definition: the number whose endsub closes it.
    std::optional<long long> passing_;
    // What the line just handed on asks for once the run has taken it.
    bool returnPending_ = false;
    std::unique_ptr<Frame> pendingFrame_;
};

}  // namespace drennix
