#include "run_check.h"

#include <algorithm>
#include <cmath>

#include "messages.h"
#include "run_driver.h"

namespace drennix::fuzzing {

namespace {

constexpr char endOfInputByte = 0x1A;
constexpr std::string_view lineMessageHead = "元ﾌｧｲﾙの";

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "inf" or "nan", in any case, at `at`.
bool nonFiniteAt(std::string_view text, std::size_t at)
{
    if (at + 3 > text.size()) {
        return false;
    }
    const char a = lower(text[at]), b = lower(text[at + 1]), c = lower(text[at + 2]);
    return (a == 'i' && b == 'n' && c == 'f') || (a == 'n' && b == 'a' && c == 'n');
}

std::string_view outcomeName(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Calculated: return "Calculated";
    case RunOutcome::Converted: return "Converted";
    case RunOutcome::NothingConverted: return "NothingConverted";
    case RunOutcome::InputRejected: return "InputRejected";
    case RunOutcome::LineRejected: return "LineRejected";
    case RunOutcome::Stopped: return "Stopped";
    case RunOutcome::SourceCloseFailed: return "SourceCloseFailed";
    case RunOutcome::OutputFailed: return "OutputFailed";
    }
    return "unknown outcome";
}

std::string describe(const ToldMessage& m)
{
    return std::string(m.kind == MessageKind::Warning ? "warning \"" : "information \"") + m.text + "\"";
}

std::string describe(const RunResult& r)
{
    std::string text = std::string(outcomeName(r.outcome)) + " (fault " + std::to_string(static_cast<int>(r.fault.id)) +
                       ", line count " + std::to_string(r.lineCount);
    if (r.outputPath) {
        text += ", output " + *r.outputPath;
    }
    return text + ")";
}

bool finite(const Point3& p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// The feed is the program's own word, which may lie beyond the range of a
// double (read as atof reads it, an infinity: a cut at such a feed takes no
// time, a rapid move does not use it); every value the run works out is a
// number.
bool finite(const Move& m)
{
    const ArcPath& a = m.arc;
    return finite(m.start) && finite(m.end) && finite(m.travel) && !std::isnan(m.feed) && std::isfinite(m.length) &&
           std::isfinite(a.centreA) && std::isfinite(a.centreB) && std::isfinite(a.radius) &&
           std::isfinite(a.endRadius) && std::isfinite(a.radiusDifference) && std::isfinite(a.startAngle) &&
           std::isfinite(a.endAngle) && std::isfinite(a.swept);
}

// The message that ends a run with this outcome; empty for the outcomes that
// end with any warning.
std::string closingMessage(const RunResult& r)
{
    switch (r.outcome) {
    case RunOutcome::Calculated: return std::string(messages::calculated);
    case RunOutcome::NothingConverted: return std::string(messages::nothingConverted);
    case RunOutcome::Converted: return r.outputPath.value_or("") + std::string(messages::outputCreatedTail);
    default: return {};
    }
}

// The lines a run finished: each one got its row in the absolute list.
long long finishedLines(const RunResult& r)
{
    return r.outcome == RunOutcome::LineRejected ? r.lineCount - 1 : r.lineCount;
}

std::string checkOrder(const RunRecord& rec, RunMode mode)
{
    if (rec.runStarted != 1) return "runStarted was told " + std::to_string(rec.runStarted) + " times";
    if (rec.beforeStarted != 0) return "notices came before runStarted";
    if (rec.runFinished != 1) return "runFinished was told " + std::to_string(rec.runFinished) + " times";
    if (rec.afterFinished != 0) return std::to_string(rec.afterFinished) + " notices came after runFinished";
    if (rec.readingStarted != 1) return "readingStarted was told " + std::to_string(rec.readingStarted) + " times";
    if (rec.readingMode != mode) return "readingStarted named another run mode";
    if (rec.startRows != (mode == RunMode::AbsoluteDisplay ? 1 : 0)) {
        return "readingStarted gave a start row " + std::to_string(rec.startRows) + " times in " +
               std::string(modeName(mode));
    }
    if (rec.workEnded != 1) return "workEnded was told " + std::to_string(rec.workEnded) + " times";
    if (rec.workAfterWorkEnded != 0) return "rows, moves, results or the output came after workEnded";
    if (rec.messagesAfterWorkEnded > 1) {
        return std::to_string(rec.messagesAfterWorkEnded) + " messages came after workEnded";
    }
    return {};
}

std::string checkMessages(const ObservedRun& run)
{
    const RunResult& r = run.result;
    const auto& told = run.record.messages;
    if (told.empty()) return "no message was told";
    for (const ToldMessage& m : told) {
        if (hasNonFiniteText(m.text)) return "a message shows inf or nan: " + describe(m);
    }
    const ToldMessage& last = told.back();
    if (r.finished()) {
        const std::string expected = closingMessage(r);
        if (told.size() != 1) return "a finished run told " + std::to_string(told.size()) + " messages";
        if (last.kind != MessageKind::Information || last.text != expected) {
            return "the closing message is " + describe(last) + " instead of information \"" + expected + "\"";
        }
        return {};
    }
    if (last.kind != MessageKind::Warning) return "a run that did not finish ends with " + describe(last);
    if (r.outcome == RunOutcome::LineRejected) {
        const std::string head = std::string(lineMessageHead) + std::to_string(r.lineCount);
        const std::string& first = told.front().text;
        const bool named = first.starts_with(head) &&
                           (first.size() == head.size() || first[head.size()] < '0' || first[head.size()] > '9');
        if (!named) return "the message of a rejected line does not name line " + std::to_string(r.lineCount);
    }
    return {};
}

std::string checkCounts(const ObservedRun& run, const Settings& settings)
{
    const RunResult& r = run.result;
    const RunRecord& rec = run.record;
    const long long lines = sourceLineCount(run.source);
    if (r.finished() && r.lineCount != lines) {
        return "a finished run counted " + std::to_string(r.lineCount) + " lines of " + std::to_string(lines);
    }
    if (r.outcome == RunOutcome::LineRejected && (r.lineCount < 1 || r.lineCount > lines)) {
        return "line " + std::to_string(r.lineCount) + " was rejected in a source of " + std::to_string(lines) +
               " lines";
    }
    if (r.outcome == RunOutcome::Stopped && (r.lineCount < 0 || r.lineCount > lines)) {
        return "a stopped run finished " + std::to_string(r.lineCount) + " lines of " + std::to_string(lines);
    }
    if (rec.resultsReady != (r.finished() ? 1 : 0)) {
        return "resultsReady was told " + std::to_string(rec.resultsReady) + " times";
    }
    if (r.finished() && rec.results[ResultField::LineCount] != std::to_string(r.lineCount)) {
        return "the line count field shows \"" + rec.results[ResultField::LineCount] + "\"";
    }
    for (int f = 0; f < resultFieldCount; ++f) {
        if (hasNonFiniteText(rec.results.texts[static_cast<std::size_t>(f)])) {
            return "result field " + std::to_string(f) + " shows \"" + rec.results.texts[static_cast<std::size_t>(f)] +
                   "\"";
        }
    }
    if (!rec.rowProblem.empty()) return rec.rowProblem;
    if (!rec.moveProblem.empty()) return rec.moveProblem;
    if (run.mode == RunMode::AbsoluteDisplay) {
        const long long expected = std::min<long long>(finishedLines(r), settings.process.absoluteDisplayRows);
        if (rec.rows != expected) {
            return "the absolute list got " + std::to_string(rec.rows) + " rows instead of " + std::to_string(expected);
        }
        if (rec.listComplete != 1) return "listComplete was told " + std::to_string(rec.listComplete) + " times";
    } else if (rec.rows != 0 || rec.listComplete != 0) {
        return "a run in " + std::string(modeName(run.mode)) + " told rows of an absolute list";
    }
    return {};
}

std::string checkOutput(const ObservedRun& run, const Settings& settings)
{
    const RunResult& r = run.result;
    const RunRecord& rec = run.record;
    if (r.outcome != RunOutcome::Converted) {
        if (run.published) return "a run that did not convert published its new program";
        if (!run.output.empty()) return "a run that did not convert left bytes in the output store";
        if (rec.outputCreated != 0) return "a run that did not convert told outputCreated";
        if (r.outputPath) return "a run that did not convert returned an output path";
        if (!isConverting(run.mode) && run.linesWritten != 0) return "a run that does not convert wrote lines";
        return {};
    }
    if (!isConverting(run.mode)) return "a run in " + std::string(modeName(run.mode)) + " converted";
    if (!run.published) return "a converted program was not published";
    if (!r.outputPath) return "a converted run returned no output path";
    if (rec.outputCreated != 1 || rec.outputCreatedPath != *r.outputPath) {
        return "outputCreated was told " + std::to_string(rec.outputCreated) + " times, last with \"" +
               rec.outputCreatedPath + "\"";
    }
    if (run.output.empty()) return "a converted program is empty";
    const auto lineEnds = std::count(run.output.begin(), run.output.end(), '\n');
    if (lineEnds != run.linesWritten) {
        return "the store counted " + std::to_string(run.linesWritten) + " lines but holds " +
               std::to_string(lineEnds) + " line ends";
    }
    if (!endsEveryLineWithCrLf(run.output)) return "a line of the new program does not end with CR LF";
    if (const auto line = nonFiniteOutputLine(run.output, settings.vocabulary)) {
        return "the new program writes inf or nan: \"" + *line + "\"";
    }
    return {};
}

RunOptions optionsFor(const FuzzCase& fuzzCase, RunMode mode)
{
    RunOptions options;
    options.sourcePath = std::string(sourceName);
    options.tolerance = fuzzCase.tolerance;
    options.runMode = mode;
    return options;
}

struct RunOnce {
    RunResult result;
    RunRecord record;
    bool published = false;
    std::string output;
    long long linesWritten = 0;
    std::optional<VerificationResult> verification;
};

long long runsPerformed = 0;

RunOnce runOnce(const FuzzCase& fuzzCase, RunMode mode, std::string_view source, const Settings& settings)
{
    ++runsPerformed;
    const RunOptions options = optionsFor(fuzzCase, mode);
    MemoryOutputStore store(false, checkedBlockLines);
    RecordingListener listener(isConverting(mode) ? &store : nullptr, mode == RunMode::MachiningTime);
    CheckAlongside check(settings, options, nullptr, checkChannelBuffers);
    if (isConverting(mode)) listener.checkBeside(&check);
    RunOnce once;
    once.result = RunDriver(settings).execute(options, listener, source, store);
    once.record = listener.record();
    once.published = store.published();
    once.output = store.bytes();
    once.linesWritten = store.linesWritten();
    if (once.published) {
        once.verification = check.finish();
    } else {
        check.abandon();
    }
    return once;
}

ObservedRun observed(const RunOnce& once, RunMode mode, std::string_view source)
{
    return ObservedRun{mode,           source,      once.result,       once.record,
                       once.published, once.output, once.linesWritten, once.verification};
}

// A run and the machining-time run of the same source, whose figures and
// messages must agree; a converting run that found nothing to convert agrees
// with a calculated one.
std::string compareRuns(const RunOnce& a, const RunOnce& b)
{
    const RunOutcome expected =
        a.result.outcome == RunOutcome::NothingConverted ? RunOutcome::Calculated : a.result.outcome;
    if (b.result.outcome != expected || a.result.fault != b.result.fault || a.result.lineCount != b.result.lineCount) {
        return describe(a.result) + " against " + describe(b.result);
    }
    if (a.result.finished() && a.record.results != b.record.results) {
        for (int f = 0; f < resultFieldCount; ++f) {
            const auto i = static_cast<std::size_t>(f);
            if (a.record.results.texts[i] != b.record.results.texts[i]) {
                return "result field " + std::to_string(f) + " is \"" + a.record.results.texts[i] + "\" against \"" +
                       b.record.results.texts[i] + "\"";
            }
        }
    }
    if (!a.result.finished()) {
        const auto& ma = a.record.messages;
        const auto& mb = b.record.messages;
        if (ma.size() != mb.size() || !std::equal(ma.begin(), ma.end(), mb.begin(), [](const auto& x, const auto& y) {
                return x.text == y.text && x.kind == y.kind;
            })) {
            return "the messages differ: " + describe(ma.front()) + " against " + describe(mb.front());
        }
    }
    return {};
}

}  // namespace

std::optional<FuzzCase> decodeInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size - 1 > maxSourceBytes) {
        return std::nullopt;
    }
    const std::uint8_t options = data[0];
    FuzzCase fuzzCase;
    fuzzCase.mode = static_cast<RunMode>(options & 3);
    fuzzCase.tolerance = toleranceTable[(options >> 2) & 7];
    fuzzCase.decimals = options >> 5;
    fuzzCase.source = std::string_view(reinterpret_cast<const char*>(data + 1), size - 1);
    return fuzzCase;
}

std::uint8_t optionsByte(RunMode mode, int toleranceIndex, int decimals)
{
    return static_cast<std::uint8_t>((static_cast<int>(mode) & 3) | ((toleranceIndex & 7) << 2) |
                                     ((decimals & 7) << 5));
}

bool hasNonFiniteText(std::string_view text)
{
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        if (nonFiniteAt(text, i)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> nonFiniteOutputLine(std::string_view output, const CommandVocabulary& vocabulary)
{
    std::array<bool, 256> takesNumber{};
    for (int kind = static_cast<int>(AddressKind::GCode); kind <= static_cast<int>(AddressKind::Feed); ++kind) {
        const std::string& letter = letterOf(vocabulary, static_cast<AddressKind>(kind));
        if (letter.size() == 1) {
            takesNumber[static_cast<unsigned char>(letter[0])] = true;
        }
    }
    const std::string_view start = vocabulary.commentStart;
    const std::string_view end = vocabulary.commentEnd;
    std::string code;
    std::size_t lineStart = 0;
    while (lineStart < output.size()) {
        std::size_t lineEnd = output.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) {
            lineEnd = output.size();
        }
        std::string_view line = output.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        // The line without its comments; an unclosed comment runs to the end.
        code.clear();
        std::size_t p = 0;
        while (p < line.size()) {
            const std::size_t s = start.empty() ? std::string_view::npos : line.find(start, p);
            if (s == std::string_view::npos) {
                code.append(line.substr(p));
                break;
            }
            code.append(line.substr(p, s - p));
            const std::size_t e = end.empty() ? std::string_view::npos : line.find(end, s + start.size());
            if (e == std::string_view::npos) {
                break;
            }
            p = e + end.size();
        }
        for (std::size_t i = 0; i < code.size(); ++i) {
            if (!takesNumber[static_cast<unsigned char>(code[i])]) {
                continue;
            }
            std::size_t at = i + 1;
            if (at < code.size() && (code[at] == '+' || code[at] == '-')) {
                ++at;
            }
            if (nonFiniteAt(code, at)) {
                return std::string(line);
            }
        }
    }
    return std::nullopt;
}

bool endsEveryLineWithCrLf(std::string_view output)
{
    if (output.empty()) {
        return true;
    }
    if (!output.ends_with("\r\n")) {
        return false;
    }
    for (std::size_t i = output.find('\n'); i != std::string_view::npos; i = output.find('\n', i + 1)) {
        if (i == 0 || output[i - 1] != '\r') {
            return false;
        }
    }
    return true;
}

long long sourceLineCount(std::string_view source)
{
    const std::string_view read = source.substr(0, source.find(endOfInputByte));
    return static_cast<long long>(std::count(read.begin(), read.end(), '\n')) + 1;
}

void RecordingListener::notice(bool work)
{
    if (record_.runFinished > 0) {
        ++record_.afterFinished;
    }
    if (record_.runStarted == 0) {
        ++record_.beforeStarted;
    }
    if (work && record_.workEnded > 0) {
        ++record_.workAfterWorkEnded;
    }
}

void RecordingListener::runStarted()
{
    ++record_.runStarted;
    notice(true);
}

void RecordingListener::readingStarted(RunMode mode, const AbsoluteRow* startRow)
{
    notice(true);
    ++record_.readingStarted;
    record_.readingMode = mode;
    if (startRow != nullptr) {
        ++record_.startRows;
        for (int c = ColumnX; c < absoluteColumnCount; ++c) {
            if (hasNonFiniteText(startRow->cells[static_cast<std::size_t>(c)]) && record_.rowProblem.empty()) {
                record_.rowProblem = "the start row shows \"" + startRow->cells[static_cast<std::size_t>(c)] + "\"";
            }
        }
    }
}

void RecordingListener::progress(long long lineCount)
{
    notice(false);
    (void)lineCount;
}

void RecordingListener::row(long long lineNumber, const AbsoluteRow& row)
{
    notice(true);
    ++record_.rows;
    if (!record_.rowProblem.empty()) {
        return;
    }
    if (lineNumber != record_.rows) {
        record_.rowProblem =
            "row " + std::to_string(record_.rows) + " of the absolute list names line " + std::to_string(lineNumber);
        return;
    }
    if (row.cells[ColumnLine] != std::to_string(lineNumber)) {
        record_.rowProblem =
            "the row of line " + std::to_string(lineNumber) + " shows line \"" + row.cells[ColumnLine] + "\"";
        return;
    }
    for (int c = ColumnX; c < absoluteColumnCount; ++c) {
        if (c != ColumnHelical && hasNonFiniteText(row.cells[static_cast<std::size_t>(c)])) {
            record_.rowProblem = "the row of line " + std::to_string(lineNumber) + " shows \"" +
                                 row.cells[static_cast<std::size_t>(c)] + "\" in column " + std::to_string(c);
            return;
        }
    }
}

void RecordingListener::move(const Move& move)
{
    notice(true);
    ++record_.moves;
    if (!record_.moveProblem.empty()) {
        return;
    }
    if (!finite(move)) {
        record_.moveProblem = "the move of line " + std::to_string(move.line) + " holds a value that is no number";
    } else if (move.length < 0) {
        record_.moveProblem = "the move of line " + std::to_string(move.line) + " has a negative length";
    } else if (move.line < 1) {
        record_.moveProblem = "a move names line " + std::to_string(move.line);
    } else if (move.isArc() && !(move.arc.swept > 0)) {
        record_.moveProblem = "the arc of line " + std::to_string(move.line) + " sweeps no angle";
    }
}

void RecordingListener::resultsReady(const ResultTexts& results)
{
    notice(true);
    ++record_.resultsReady;
    record_.results = results;
}

void RecordingListener::message(std::string_view text, MessageKind kind)
{
    notice(false);
    if (record_.workEnded > 0) {
        ++record_.messagesAfterWorkEnded;
    }
    record_.messages.push_back(ToldMessage{std::string(text), kind});
}

void RecordingListener::outputCreated(std::string_view path)
{
    notice(true);
    ++record_.outputCreated;
    record_.outputCreatedPath = path;
}

void RecordingListener::listComplete()
{
    notice(false);
    ++record_.listComplete;
}

void RecordingListener::workEnded()
{
    notice(true);
    ++record_.workEnded;
}

void RecordingListener::runFinished(const RunResult& result)
{
    notice(false);
    ++record_.runFinished;
    record_.finished = result;
}

void RecordingListener::arcConverting(const Move& arc)
{
    notice(true);
    check_->noteArc(arc);
}

void RecordingListener::outputWritten(std::string_view bytes, long long linesComplete)
{
    check_->written(bytes, linesComplete);
}

bool RecordingListener::stopRequested()
{
    if (budgetStore_ != nullptr && budgetStore_->linesWritten() > outputLineBudget) {
        record_.stopAsked = true;
    }
    return record_.stopAsked;
}

std::string checkRun(const ObservedRun& run, const Settings& settings)
{
    const RunResult& r = run.result;
    const RunRecord& rec = run.record;
    if (std::string problem = checkOrder(rec, run.mode); !problem.empty()) {
        return problem;
    }
    const RunResult& told = rec.finished;
    if (told.outcome != r.outcome || told.fault != r.fault || told.lineCount != r.lineCount ||
        told.outputPath != r.outputPath) {
        return "runFinished told " + describe(told) + " but the run returned " + describe(r);
    }
    switch (r.outcome) {
    case RunOutcome::InputRejected:
    case RunOutcome::SourceCloseFailed:
    case RunOutcome::OutputFailed:
        return "the run ended " + describe(r) + ", which valid options on memory media never give";
    case RunOutcome::Stopped:
        if (!rec.stopAsked) return "the run stopped though no stop was asked for";
        if (r.fault.id != FaultId::StoppedWhileReading) return "a stopped run returned " + describe(r);
        break;
    default:
        if (rec.stopAsked) return "the run went on after a stop was asked for: " + describe(r);
        break;
    }
    if (r.finished() != (r.fault.id == FaultId::None)) return "the run ended " + describe(r);
    if (r.outcome == RunOutcome::LineRejected && !isLineFault(r.fault.id)) {
        return "a line was rejected with a fault that names no line: " + describe(r);
    }
    if (std::string problem = checkMessages(run); !problem.empty()) {
        return problem;
    }
    if (std::string problem = checkCounts(run, settings); !problem.empty()) {
        return problem;
    }
    // A published program, read back beside its run, holds the straight
    // moves the run reported.
    if (run.verification && !run.verification->checked()) {
        return "the check beside the run failed at written line " + std::to_string(run.verification->outputLine);
    }
    return checkOutput(run, settings);
}

long long runCount()
{
    return runsPerformed;
}

bool fitsTheNumberFormat(std::string_view source, int decimals)
{
    const auto numeric = [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-'; };
    for (std::size_t i = 0; i < source.size();) {
        if (!numeric(source[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < source.size() && numeric(source[end]))
            ++end;
        const std::string_view number = source.substr(i, end - i);
        const std::size_t point = number.find('.');
        const bool hasDigit = number.find_first_of("0123456789") != std::string_view::npos;
        // An axis, centre or radius word without a point is scaled by
        // repeated division and need not be the double its written form
        // reads back as.
        const bool scaled = i > 0 && std::string_view("XYZIJKR").find(source[i - 1]) != std::string_view::npos;
        if (point == std::string_view::npos && hasDigit && scaled && decimals > 0) return false;
        if (point != std::string_view::npos && number.size() - point - 1 > static_cast<std::size_t>(decimals)) {
            return false;
        }
        i = end;
    }
    return true;
}

std::string checkArcsLeft(RunMode mode, const ResultTexts& readAgain)
{
    const std::string& helical = readAgain[ResultField::HelicalCount];
    const std::string& arcs = readAgain[ResultField::ArcCount];
    if (isConverting(mode) && helical != "0") return helical + " helical arcs are left";
    if (mode == RunMode::ConvertArcs && arcs != "0") return arcs + " arcs are left";
    return {};
}

Settings settingsFor(const FuzzCase& fuzzCase)
{
    Settings settings;
    resetToDefaults(settings);
    settings.process.decimalPlaces = fuzzCase.decimals;
    return settings;
}

std::string checkCase(const FuzzCase& fuzzCase)
{
    const Settings settings = settingsFor(fuzzCase);
    const std::string original(fuzzCase.source);
    const std::string mode(modeName(fuzzCase.mode));

    const RunOnce first = runOnce(fuzzCase, fuzzCase.mode, fuzzCase.source, settings);
    if (fuzzCase.source != original) {
        return mode + ": the run changed the bytes of its source";
    }
    if (std::string problem = checkRun(observed(first, fuzzCase.mode, fuzzCase.source), settings); !problem.empty()) {
        return mode + ": " + problem;
    }

    const RunOutcome outcome = first.result.outcome;
    if (outcome == RunOutcome::Converted) {
        // The new program is a program like any other: read again, it is
        // accepted as a whole.
        const RunOnce again = runOnce(fuzzCase, RunMode::MachiningTime, first.output, settings);
        if (std::string problem = checkRun(observed(again, RunMode::MachiningTime, first.output), settings);
            !problem.empty()) {
            return mode + ", the new program read again: " + problem;
        }
        if (again.result.outcome != RunOutcome::Calculated) {
            std::string told = again.record.messages.empty() ? "" : again.record.messages.front().text;
            return mode + ", the new program read again: " + describe(again.result) + ": " + told;
        }
        // The last point of a converted arc is written in the number format.
        // A program with more decimals than that ends its arcs up to half a
        // unit away from where it said, and a number without a point, scaled
        // by repeated division, can be a bit off the same number written
        // with one: either way a plain arc after a converted one may start
        // off its plane's height and read as helical. That is the written
        // format, not a fault.
        if (!fitsTheNumberFormat(fuzzCase.source, fuzzCase.decimals)) return {};
        if (std::string problem = checkArcsLeft(fuzzCase.mode, again.record.results); !problem.empty()) {
            return mode + ", the new program read again: " + problem;
        }
        return {};
    }
    // The absolute list, or a converting run that found nothing to convert,
    // reads the program exactly as a machining-time run does.
    const bool sameAsTime = fuzzCase.mode == RunMode::AbsoluteDisplay || outcome == RunOutcome::NothingConverted;
    if (sameAsTime) {
        const RunOnce time = runOnce(fuzzCase, RunMode::MachiningTime, fuzzCase.source, settings);
        if (std::string problem = checkRun(observed(time, RunMode::MachiningTime, fuzzCase.source), settings);
            !problem.empty()) {
            return "machining time beside " + mode + ": " + problem;
        }
        if (std::string problem = compareRuns(first, time); !problem.empty()) {
            return mode + " against machining time: " + problem;
        }
    }
    return {};
}

std::string_view modeName(RunMode mode)
{
    switch (mode) {
    case RunMode::MachiningTime: return "machining time";
    case RunMode::AbsoluteDisplay: return "absolute display";
    case RunMode::ConvertHelical: return "convert helical";
    case RunMode::ConvertArcs: return "convert arcs";
    }
    return "unknown mode";
}

}  // namespace drennix::fuzzing
