#include "conversion_check.h"

#include "source_reader.h"
#include "written_program.h"

namespace drennix {

namespace {

// The arcs the run noted, all known before the program is read.
class LoggedArcs final : public ArcFeed {
public:
    explicit LoggedArcs(const ReferenceArcLog& log) : reader_(log) {}

    ArcNotice next() override
    {
        if (const ReferenceArc* arc = reader_.next()) {
            return {ArcNotice::Kind::Arc, arc, 0};
        }
        return {reader_.failed() ? ArcNotice::Kind::Unreadable : ArcNotice::Kind::End, nullptr, 0};
    }

private:
    ReferenceArcLog::Reader reader_;
};

}  // namespace

ConversionCheck::ConversionCheck(const Settings& settings, const RunOptions& options)
    : settings_(settings), options_(options)
{}

void ConversionCheck::noteMove(const Move& move)
{
    if (move.isArc() && move.converted()) {
        arcs_.append(referenceArcOf(move));
    }
}

VerificationResult ConversionCheck::verifyFile(const std::string& outputPath, VerificationListener* listener) const
{
    SourceReader reader;
    if (reader.open(outputPath) != SourceReader::OpenResult::Opened) {
        return {VerificationStatus::OutputUnreadable, {}, 0};
    }
    VerificationResult result = measure(reader, listener);
    if (!reader.close() && result.checked()) {
        result.status = VerificationStatus::OutputUnreadable;
    }
    return result;
}

VerificationResult ConversionCheck::verifyBytes(std::string_view output, VerificationListener* listener) const
{
    SourceReader reader;
    reader.openBytes(output);
    return measure(reader, listener);
}

VerificationResult ConversionCheck::measure(SourceReader& reader, VerificationListener* listener) const
{
    WrittenProgram program(reader, settings_, {options_.initialX, options_.initialY, options_.initialZ});
    LoggedArcs arcs(arcs_);
    return measureWrittenProgram(program, arcs, options_.tolerance, settings_.process.decimalPlaces, listener);
}

}  // namespace drennix
