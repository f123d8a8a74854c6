// The texts of the 14 result fields of a finished run.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "statistics.h"

namespace drennix {

// The 14 result fields, in the order in which the end of the input fills them.
enum class ResultField : int {
    LineCount,
    RapidDistance,
    CuttingDistance,
    MinX,
    MinY,
    MinZ,
    MaxX,
    MaxY,
    MaxZ,
    MachiningTime,
    ArcCount,
    HelicalCount,
    RadiusDifference,
    MaxRadius,
};
inline constexpr int resultFieldCount = 14;

// The texts of the result fields, ready to show (indexed by ResultField).
struct ResultTexts {
    std::array<std::string, resultFieldCount> texts;
    // Lines shown once after the fields, where the dialect has something to
    // say of the whole program (its unit, rotary words left out); none with
    // the default settings.
    std::vector<std::string> notes;
    const std::string& operator[](ResultField f) const { return texts[static_cast<int>(f)]; }
    std::string& operator[](ResultField f) { return texts[static_cast<int>(f)]; }
    bool operator==(const ResultTexts&) const = default;
};

// Line count and counts as "%d", the machining time as "%.1f", distances,
// extents and radii in the number format of `decimals`.
ResultTexts formatResults(long long lineCount, const RunStatistics& statistics, int decimals);

// The notes of a run: the unit of its figures where inch programs are
// read, and that rotary words were left out where they were.
void addResultNotes(ResultTexts& results, const RunStatistics& statistics, bool showUnit, bool rotaryIgnored);

// "工具交換数：N", where tool changes are read.
void addToolChangeNote(ResultTexts& results, long long changes);

// The caption of a result field, e.g. "行数：".
std::string_view resultCaption(ResultField field);

}  // namespace drennix
