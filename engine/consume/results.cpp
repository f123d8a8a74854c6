#include "results.h"

#include "messages.h"
#include "number_format.h"

namespace drennix {

ResultTexts formatResults(long long lineCount, const RunStatistics& s, int decimals)
{
    ResultTexts r;
    r[ResultField::LineCount] = formatInteger(lineCount);
    r[ResultField::RapidDistance] = formatFixed(s.rapidDistance, decimals);
    r[ResultField::CuttingDistance] = formatFixed(s.cuttingDistance, decimals);
    r[ResultField::MinX] = formatFixed(s.minimum[AxisIndexX], decimals);
    r[ResultField::MinY] = formatFixed(s.minimum[AxisIndexY], decimals);
    r[ResultField::MinZ] = formatFixed(s.minimum[AxisIndexZ], decimals);
    r[ResultField::MaxX] = formatFixed(s.maximum[AxisIndexX], decimals);
    r[ResultField::MaxY] = formatFixed(s.maximum[AxisIndexY], decimals);
    r[ResultField::MaxZ] = formatFixed(s.maximum[AxisIndexZ], decimals);
    r[ResultField::MachiningTime] = formatFixed(s.machiningTime, 1);
    r[ResultField::ArcCount] = formatInteger(s.arcCount);
    r[ResultField::HelicalCount] = formatInteger(s.helicalCount);
    r[ResultField::RadiusDifference] = formatFixed(s.radiusDifference, decimals);
    r[ResultField::MaxRadius] = formatFixed(s.maxRadius, decimals);
    return r;
}

std::string_view resultCaption(ResultField field)
{
    return messages::resultCaptions[static_cast<std::size_t>(field)];
}

}  // namespace drennix

namespace drennix {

void addResultNotes(ResultTexts& results, const RunStatistics& statistics, bool showUnit, bool rotaryIgnored)
{
    if (showUnit) {
        results.notes.emplace_back(statistics.unit == LengthUnit::Inch ? messages::unitInch : messages::unitMillimetre);
    }
    if (rotaryIgnored) {
        results.notes.emplace_back(messages::rotaryIgnored);
    }
}

void addToolChangeNote(ResultTexts& results, long long changes)
{
    std::string note(messages::toolChangesCaption);
    appendInteger(note, changes);
    results.notes.push_back(std::move(note));
}

}  // namespace drennix
