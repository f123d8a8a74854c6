// The operations through which a run reaches the user interface. The desktop
// program, the command-line front end and the tests each realise them.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace drennix {

enum class MessageKind { Warning, Information };

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
    const std::string& operator[](ResultField f) const { return texts[static_cast<int>(f)]; }
    std::string& operator[](ResultField f) { return texts[static_cast<int>(f)]; }
    bool operator==(const ResultTexts&) const = default;
};

// One row of the absolute display list: 11 cells. Cell 1 holds the source
// line's bytes (code page 932) undecoded; the other cells are ASCII or UTF-8.
inline constexpr int absoluteColumnCount = 11;
struct AbsoluteRow {
    std::array<std::string, absoluteColumnCount> cells;
    bool operator==(const AbsoluteRow&) const = default;
};

class RunHost {
public:
    virtual ~RunHost() = default;

    // All 14 result fields become empty.
    virtual void clearResults() = 0;
    // The 14 fields receive their texts, 行数 first, then in ResultField order.
    virtual void showResults(const ResultTexts& results) = 0;
    // The 行数 field shows `count` ("%d") at once.
    virtual void showLineCount(int count) = 0;
    // A modal message (UTF-8 text); returns when the user has dismissed it.
    virtual void showMessage(std::string_view text, MessageKind kind) = 0;
    virtual void beginWait() = 0;
    virtual void endWait() = 0;
    // True when the user asked to stop (Escape) since the previous poll.
    virtual bool pollAbort() = 0;

    // Absolute display: a new hidden window becomes the current one, receives
    // the start row and one row per finished line, and is shown at the end.
    virtual void openAbsoluteDisplay() = 0;
    virtual void addStartRow(const AbsoluteRow& row) = 0;
    virtual void addBlockRow(int lineNumber, const AbsoluteRow& row) = 0;
    virtual void showAbsoluteDisplay() = 0;

    // The output file `path` has just been created (it may still end up
    // incomplete after an abort or a write error). Optional for hosts.
    virtual void outputCreated(std::string_view path) { (void)path; }
};

}  // namespace drennix
