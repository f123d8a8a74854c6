// The command vocabulary (address letters and G-code numbers) and the numbers
// that shape a run. One `Settings` value is owned by the application and handed
// to each run; the engine keeps no mutable globals.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "machine_model.h"
#include "modal_codes.h"

namespace drennix {

// The program's own value of pi: 3.14159265358979 (bit pattern 400921FB54442D11),
// slightly below the double nearest to pi. Every angle computation uses it.
inline constexpr double piConstant = std::bit_cast<double>(std::uint64_t{0x400921FB54442D11ULL});

struct CommandVocabulary {
    // Address letters: one byte each when valid.
    std::string commentStart = "(";
    std::string commentEnd = ")";
    std::string gCodeLetter = "G";
    std::string xAxisLetter = "X";
    std::string yAxisLetter = "Y";
    std::string zAxisLetter = "Z";
    std::string arcILetter = "I";
    std::string arcJLetter = "J";
    std::string arcKLetter = "K";
    std::string radiusLetter = "R";
    std::string feedLetter = "F";
    // G-code numbers, compared with a G word's value by exact equality.
    double rapidCode = 0;
    double linearCode = 1;
    double cwArcCode = 2;
    double ccwArcCode = 3;
    double valueSetCode = 10;
    double xyPlaneCode = 17;
    double zxPlaneCode = 18;
    double yzPlaneCode = 19;
    double absoluteCode = 90;
    double incrementalCode = 91;
    double coordinateSetCode = 92;
    double compCancelCode = 40;
    double compLeftCode = 41;
    double compRightCode = 42;

    bool operator==(const CommandVocabulary&) const = default;
};

// What an address letter of the vocabulary stands for.
enum class AddressKind : int {
    NoAddress = -1,  // a space, or no word open yet
    GCode = 0,
    AxisX = 1,
    AxisY = 2,
    AxisZ = 3,
    ArcI = 4,
    ArcJ = 5,
    ArcK = 6,
    Radius = 7,
    Feed = 8,
    Other = 9,  // a byte that is no letter of the vocabulary
};

// The vocabulary letter of an address from GCode to Feed.
const std::string& letterOf(const CommandVocabulary& vocabulary, AddressKind kind);

// What a copy from the absolute display list takes from each row.
enum class CopyItems : int { XY = 0, XYZ = 1, AllColumns = 2 };

struct ProcessSettings {
    int rapidSpeed = 3000;
    int decimalPlaces = 3;
    int absoluteDisplayRows = 1500;
    int initialMotion = RapidMotion;
    int initialPlane = XyPlane;
    int initialCoordinate = AbsoluteMode;
    int copyItems = 0;
    // The dialect of other controllers, each 0 (off) or 1 (on):
    // a number without "." is taken as written, not scaled by decimalPlaces;
    int calculatorDecimals = 0;
    // the address letters are also read in lower case;
    int lowerCaseLetters = 0;
    // from a ";" to the end of the line is a comment;
    int semicolonComments = 0;
    // after a block with M2 or M30 the lines are only copied and counted;
    int endAtProgramEnd = 0;
    // P n on an arc block adds n - 1 full turns.
    int arcTurnsByP = 0;
    // The canned cycles G73, G74, G76, G81 to G89 with G80, G98 and G99 are
    // read and expanded into the moves the control makes;
    int cannedCycles = 0;
    // G4 dwells for the time of its P word (or X or U) and moves nothing;
    int dwell = 0;
    // the cycles and the dwell as LinuxCNC reads them: P in seconds, L the
    // repeats, G76 its lathe threading (refused); otherwise as a Fanuc-style
    // control does: P in milliseconds, K the repeats, G76 fine boring;
    int linuxcncCycles = 0;
    // a converting run writes each canned cycle as the straight moves and
    // dwells of its expansion, for a control without canned cycles.
    int expandCycles = 0;
    // a converting run segments each arc within the tolerance less the
    // rounding of the written numbers (where the tolerance is larger), so
    // that the program as written stays within the tolerance.
    int toleranceIncludesRounding = 0;
    // G28 and G30 return through their intermediate point to the machine's
    // reference positions, G53 moves in machine coordinates;
    int referenceReturn = 0;
    // G20 and G21 switch the program between inches and millimetres;
    int inchUnits = 0;
    // G54 to G59.3 select a work system, G10 L2 and L20 set its offset;
    int workOffsets = 0;
    // spaces and tabs are ignored anywhere in the code, also inside a word;
    int spacesInWords = 0;
    // G92 sets any of the axes (in any motion and coordinate mode), not all
    // three;
    int partialCoordinateSet = 0;
    // rotary A, B and C words are read and left out of the figures, which
    // say so;
    int rotaryAxes = 0;
    // G0 is read under cutter compensation, on the programmed path;
    int rapidUnderCompensation = 0;
    // a block with parameters or expressions ("#", "[") is refused with a
    // message that names them.
    int expressionsNamed = 0;
    // T selects a tool and M6 changes to it (with the H of its length
    // offset), and every figure is also told per tool.
    int toolChanges = 0;
    // subprograms are called and run: M98 P, O and M99 (where the cycles are
    // read as LinuxCNC reads them: o-n sub, endsub, call, repeat);
    int subprograms = 0;
    // a converting run writes the subprograms' lines where they run, one
    // flat program without calls, for a control without subprograms.
    int expandSubprograms = 0;

    bool operator==(const ProcessSettings&) const = default;

    Motion startMotion() const { return motionOf(initialMotion); }
    Plane startPlane() const { return planeOf(initialPlane); }
    CoordinateMode startCoordinateMode() const { return coordinateModeOf(initialCoordinate); }
    CopyItems copied() const
    {
        return copyItems < 1 ? CopyItems::XY : copyItems == 1 ? CopyItems::XYZ : CopyItems::AllColumns;
    }
};

struct Settings {
    CommandVocabulary vocabulary;
    ProcessSettings process;
    // The machine the estimate of the running time assumes, and whether the
    // desktop program estimates in every run (drennix-cli asks with
    // --estimate).
    MachineModel machine;
    bool estimate = false;

    bool operator==(const Settings&) const = default;
};

// Assigns every default of the vocabulary and the process settings.
void resetToDefaults(Settings& settings);

// The dialects a user can choose at once: every dialect setting off
// (standard), the reading of LinuxCNC and grbl machines, or the standard
// reading with the canned cycles and dwells of a Fanuc-style control.
enum class Dialect { Standard, LinuxCnc, Fanuc };
void applyDialect(ProcessSettings& process, Dialect dialect);

// 0 for a byte that may serve as an address letter, 1 for a sign, point or
// digit, 2 for a control, space or non-ASCII byte. An empty text gives 2.
int classifyFirstCharacter(std::string_view text);

// Runs the validation rules in their order; returns the text of the first rule
// that fails, or nothing when the configuration is valid.
std::optional<std::string> validateVocabulary(const Settings& settings);

// The first failing rule with the field it is about (a code name of
// settingFields()); a rule on two fields that hold the same value names both,
// in the order of its message.
struct VocabularyFault {
    std::string message;
    std::string_view field;
    std::string_view otherField;  // empty for a rule on one field
};
std::optional<VocabularyFault> findVocabularyFault(const Settings& settings);

// Descriptor of one editable field, for the settings dialog and `--set`.
enum class SettingKind { Letter, GCode, Integer };

struct SettingField {
    std::string_view name;         // code name, e.g. "xAxisLetter"
    std::string_view messageName;  // name used in messages and captions, e.g. "X軸指令"
    SettingKind kind;
    std::string CommandVocabulary::*letter = nullptr;
    double CommandVocabulary::*code = nullptr;
    int ProcessSettings::*integer = nullptr;
    // Limits that the settings dialog applies when it stores an integer.
    bool hasLimits = false;
    int minimum = 0;
    int maximum = 0;
};

// Every field of the vocabulary and the process settings: the 11 letters and
// 14 G-code numbers in validation order, then the 7 integers of the run and
// the 20 dialect settings.
std::span<const SettingField> settingFields();
const SettingField* findSettingField(std::string_view name);

}  // namespace drennix
