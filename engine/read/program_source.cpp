#include "program_source.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "file_names.h"

namespace drennix {

// A subprogram's lines, up to and with the one that ends it (M99, endsub).
struct ProgramSource::Body {
    std::vector<std::string> texts;
    std::vector<long long> numbers;
    // The name of its own file; empty where it stands in the program.
    std::string file;
};

// A subprogram being run, or a repeated stretch: its lines from `begin` to
// `end`, the next one, and the runs still to come after this one.
struct ProgramSource::Frame {
    const Body* body = nullptr;
    std::unique_ptr<Body> owned;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
    long long repeatsLeft = 0;
    long long number = 0;
    // A repeated stretch of the program's own lines, on its first run.
    bool ownPass = false;
    // A repeat of none: its lines are passed over once.
    bool passOnly = false;
};

namespace {

// An o-word of LinuxCNC's: "o100 call", "o101 repeat [3]".
struct OWord {
    long long number = 0;
    bool named = false;
    std::string keyword;
    std::string rest;
};

std::optional<OWord> oWordOf(std::string_view text)
{
    const std::size_t comment = text.find_first_of("(;");
    if (comment != std::string_view::npos) text = text.substr(0, comment);
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos || (text[at] != 'o' && text[at] != 'O')) return std::nullopt;
    ++at;
    OWord word;
    if (at < text.size() && text[at] == '<') {
        word.named = true;
        return word;
    }
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        word.number = word.number * 10 + (text[at] - '0');
        if (word.number > 1'000'000'000) return std::nullopt;
        ++at;
    }
    if (at == digits) return std::nullopt;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) {
        word.keyword += static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
        ++at;
    }
    for (; at < text.size(); ++at) {
        if (text[at] != ' ' && text[at] != '\t') word.rest += text[at];
    }
    return word;
}

// The count of "repeat [3]": a literal whole number.
std::optional<long long> repeatCount(const std::string& rest)
{
    if (rest.size() < 3 || rest.front() != '[' || rest.back() != ']') return std::nullopt;
    long long count = 0;
    for (std::size_t k = 1; k + 1 < rest.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(rest[k])) || count > 1'000'000'000) return std::nullopt;
        count = count * 10 + (rest[k] - '0');
    }
    return count;
}

// A line that begins a Fanuc-style program: O (or ":") and its number.
bool startsProgram(std::string_view text, long long number)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos || (text[at] != 'O' && text[at] != 'o' && text[at] != ':')) return false;
    ++at;
    long long value = 0;
    const std::size_t digits = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && value < 1'000'000'000) {
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return at > digits && value == number;
}

bool isBlankOrPercent(std::string_view text)
{
    const std::size_t at = text.find_first_not_of(" \t");
    return at == std::string_view::npos || text[at] == '%';
}

}  // namespace

std::vector<std::string> subprogramFileCandidates(const std::string& programPath, long long number)
{
    const std::filesystem::path program = pathFromUtf8(programPath);
    const std::string extension = utf8FromPath(program.extension());
    const std::string digits = std::to_string(number);
    std::vector<std::string> names = {"O" + digits + extension, "O" + digits, digits + extension, "O" + digits + ".nc",
                                      digits + ".nc"};
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        const std::string path = utf8FromPath(program.parent_path() / pathFromUtf8(name));
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    }
    return paths;
}

ProgramSource::ProgramSource(BlockStream& stream, const Settings& settings, ProgramOrigin origin)
    : stream_(stream), linuxcnc_(settings.process.linuxcncCycles != 0), origin_(std::move(origin)), parser_(settings)
{}

ProgramSource::~ProgramSource() = default;

bool ProgramSource::atEnd()
{
    afterLine();
    if (!frames_.empty()) return false;
    return stream_.atEnd();
}

const ProgramLine& ProgramSource::next()
{
    return frames_.empty() ? nextOwn() : nextFromFrame();
}

// What the line handed on last asked for, now that the run has taken it:
// the end of a run of a subprogram, or a call.
void ProgramSource::afterLine()
{
    if (returnPending_) {
        returnPending_ = false;
        Frame& frame = frames_.back();
        if (frame.repeatsLeft > 0) {
            --frame.repeatsLeft;
            frame.next = frame.begin;
            frame.ownPass = false;
        } else {
            frames_.pop_back();
        }
    }
    if (pendingFrame_) {
        frames_.push_back(std::move(*pendingFrame_));
        pendingFrame_.reset();
    }
}

const ProgramLine& ProgramSource::nextOwn()
{
    const SourceLine& line = stream_.next();
    current_ = ProgramLine{};
    current_.line = &line;
    current_.number = ++ownNumber_;
    if (!line.readFailed) classify(line, true);
    return current_;
}

const ProgramLine& ProgramSource::nextFromFrame()
{
    Frame& frame = frames_.back();
    const Body& body = *frame.body;
    const std::size_t k = frame.next++;
    frameLine_.text = body.texts[k];
    frameLine_.readFailed = false;
    frameLine_.fault = parser_.parse(frameLine_.text, frameLine_.block);
    current_ = ProgramLine{};
    current_.line = &frameLine_;
    current_.number = body.numbers[k];
    current_.file = body.file;
    current_.own = frame.ownPass;
    if (frame.passOnly) {
        current_.role = LineRole::Passed;
        if (frame.next == frame.end) returnPending_ = true;
        return current_;
    }
    classify(frameLine_, false);
    if (frame.next == frame.end && !returnPending_) returnPending_ = true;
    return current_;
}

// What a line is to the run, and what it asks for: a call, the end of a
// subprogram, the end of the program.
void ProgramSource::classify(const SourceLine& line, bool own)
{
    if (linuxcnc_ && classifyOWord(line, own)) return;
    if (line.fault || !line.block.dialectWords) return;
    if (line.block.subprogramEndWords > 0) {
        if (own) {
            current_.endsProgram = true;
        } else {
            returnPending_ = true;
        }
    }
    if (line.block.callWords > 0) callFanuc(line.block);
}

// LinuxCNC's o-words; false for any other line (an O line of a Fanuc-style
// program among them: LinuxCNC reads M98 and M99 too).
bool ProgramSource::classifyOWord(const SourceLine& line, bool own)
{
    const std::optional<OWord> word = oWordOf(line.text);
    if (own && passing_) {
        current_.role = LineRole::Passed;
        if (word && !word->named && word->number == *passing_ && word->keyword == "endsub") passing_.reset();
        return true;
    }
    if (!word || (!word->named && word->keyword.empty())) return false;
    current_.role = LineRole::Control;
    const bool plain = !word->named && word->rest.empty();
    if (plain && word->keyword == "sub" && own) {
        current_.role = LineRole::Passed;
        passing_ = word->number;
    } else if (plain && word->keyword == "call") {
        prepareCall(word->number, 1);
    } else if (!own && plain && (word->keyword == "endsub" || word->keyword == "endrepeat") &&
               word->number == frames_.back().number) {
        returnPending_ = true;
    } else if (!word->named && word->keyword == "repeat" && repeatCount(word->rest)) {
        beginRepeat(word->number, *repeatCount(word->rest), own);
    } else {
        current_.fault = Fault{FaultId::SubprogramControlNotRead};
    }
    return true;
}

// M98 P<number> L<repeats> (or K), or the older P whose first digits are the
// repeats: P31000 calls 1000 three times.
void ProgramSource::callFanuc(const ParsedBlock& block)
{
    const ParsedBlock::ExtraWord& p = block.extraWord(ParsedBlock::LetterP);
    const ParsedBlock::ExtraWord& l = block.extraWord(ParsedBlock::LetterL);
    const bool k = block.callRepeatsByK;
    const auto whole = [](double v) { return v >= 0 && v <= 99'999'999 && v == std::floor(v); };
    if (p.count == 0 || !whole(p.value) || (l.count > 0 && !whole(l.value)) || (k && !whole(block.callRepeats))) {
        current_.fault = Fault{FaultId::SubprogramCallInvalid};
        return;
    }
    auto number = static_cast<long long>(p.value);
    long long repeats = l.count > 0 ? static_cast<long long>(l.value)
                        : k         ? static_cast<long long>(block.callRepeats)
                                    : 1;
    if (l.count == 0 && !k && number > 9999) {
        repeats = number / 10000;
        number %= 10000;
    }
    if (repeats > 0) prepareCall(number, repeats);
}

// A call made at the line being handed on: its subprogram found (or the
// fault at this line), to run once the run has taken the line.
void ProgramSource::prepareCall(long long number, long long repeats)
{
    const auto onStack = [&](const Frame& f) { return f.owned == nullptr && f.number == number; };
    Fault fault;
    if (std::any_of(frames_.begin(), frames_.end(), onStack)) {
        fault = Fault{FaultId::SubprogramRecursion};
    } else if (frames_.size() >= deepest) {
        fault = Fault{FaultId::SubprogramTooDeep};
    }
    const Body* body = fault ? nullptr : findBody(number, fault);
    if (fault) {
        fault.number = number;
        current_.fault = fault;
        return;
    }
    Frame frame;
    frame.body = body;
    frame.end = body->texts.size();
    frame.repeatsLeft = repeats - 1;
    frame.number = number;
    pendingFrame_ = std::make_unique<Frame>(std::move(frame));
    current_.calls = true;
}

// "o<n> repeat [count]": the lines to its endrepeat, read ahead from where
// it stands, run `count` times (the program's own lines written once).
void ProgramSource::beginRepeat(long long number, long long count, bool own)
{
    Frame frame;
    frame.number = number;
    frame.owned = std::make_unique<Body>();
    Body& body = *frame.owned;
    bool closed = false;
    if (own) {
        while (!closed && !stream_.atEnd()) {
            const SourceLine& line = stream_.next();
            body.texts.emplace_back(line.text);
            body.numbers.push_back(++ownNumber_);
            const std::optional<OWord> word = oWordOf(line.text);
            closed = word && !word->named && word->number == number && word->keyword == "endrepeat";
        }
        frame.ownPass = true;
    } else {
        Frame& outer = frames_.back();
        body.file = outer.body->file;
        while (!closed && outer.next < outer.end) {
            const std::size_t k = outer.next++;
            body.texts.push_back(outer.body->texts[k]);
            body.numbers.push_back(outer.body->numbers[k]);
            const std::optional<OWord> word = oWordOf(body.texts.back());
            closed = word && !word->named && word->number == number && word->keyword == "endrepeat";
        }
    }
    if (!closed) {
        current_.fault = Fault{FaultId::SubprogramWithoutEnd, AddressKind::NoAddress, number};
        return;
    }
    frame.body = frame.owned.get();
    frame.end = body.texts.size();
    // No run at all: the program's own lines are still passed over once.
    frame.passOnly = count == 0;
    frame.repeatsLeft = std::max(0LL, count - 1);
    if (count == 0 && !own) return;
    pendingFrame_ = std::make_unique<Frame>(std::move(frame));
}

const ProgramSource::Body* ProgramSource::findBody(long long number, Fault& fault)
{
    const auto found = bodies_.find(number);
    if (found != bodies_.end()) return found->second.get();
    std::unique_ptr<Body> body = loadBody(number, fault);
    if (!body) return nullptr;
    const Body* kept = body.get();
    bodies_.emplace(number, std::move(body));
    return kept;
}

namespace {

// Reads the lines of a source: the program's bytes or a file.
struct LineScan {
    SourceReader reader;
    bool open = false;

    explicit LineScan(const ProgramOrigin& origin, const std::string* file)
    {
        if (file == nullptr && origin.bytes) {
            reader.openBytes(*origin.bytes);
            open = true;
        } else {
            open = reader.open(file != nullptr ? *file : origin.path) == SourceReader::OpenResult::Opened;
        }
    }
    ~LineScan()
    {
        if (open) reader.close();
    }
};

}  // namespace

// The subprogram's lines: in the program itself, else in the first file
// beside it that holds them.
std::unique_ptr<ProgramSource::Body> ProgramSource::loadBody(long long number, Fault& fault)
{
    std::unique_ptr<Body> body = scanBody(number, nullptr, fault);
    if (body || fault || origin_.bytes) {
        if (!body && !fault) fault = Fault{FaultId::SubprogramMissing};
        return body;
    }
    for (const std::string& path : subprogramFileCandidates(origin_.path, number)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(pathFromUtf8(path), error)) continue;
        body = scanBody(number, &path, fault);
        if (body || fault) return body;
    }
    fault = Fault{FaultId::SubprogramMissing};
    return nullptr;
}

// Looks for the subprogram in one source: after its O line (LinuxCNC: its
// "o<n> sub"), to the M99 (endsub) that ends it. A file of its own may
// begin with its lines at once.
std::unique_ptr<ProgramSource::Body> ProgramSource::scanBody(long long number, const std::string* file, Fault& fault)
{
    LineScan scan(origin_, file);
    if (!scan.open) return nullptr;
    auto body = std::make_unique<Body>();
    if (file != nullptr) body->file = utf8FromPath(pathFromUtf8(*file).filename());
    bool inside = false;
    // Opened by "o<n> sub": it ends at its endsub, else at M99.
    bool oWordBody = false;
    bool leading = true;
    long long number_ = 0;
    ParsedBlock block;
    while (!scan.reader.atEnd()) {
        const std::string_view text = scan.reader.readSourceLine();
        ++number_;
        const std::optional<OWord> word = linuxcnc_ ? oWordOf(text) : std::nullopt;
        if (!inside) {
            oWordBody = word && !word->named && word->number == number && word->keyword == "sub";
            if (oWordBody || (startsProgram(text, number) && (!word || word->keyword.empty()))) {
                inside = true;
                continue;
            }
            // A file of its own: its first block begins the subprogram.
            if (file != nullptr && leading && !isBlankOrPercent(text)) {
                inside = true;
            } else {
                leading = leading && isBlankOrPercent(text);
                continue;
            }
        }
        body->texts.emplace_back(text);
        body->numbers.push_back(number_);
        const bool ends = oWordBody ? word && !word->named && word->number == number && word->keyword == "endsub"
                                    : !parser_.parse(text, block) && block.dialectWords && block.subprogramEndWords > 0;
        if (ends) return body;
    }
    if (inside) fault = Fault{FaultId::SubprogramWithoutEnd, AddressKind::NoAddress, number};
    return nullptr;
}

}  // namespace drennix
