// The canned cycles of a machining centre (G73, G74, G76, G81 to G89) and
// the dwell (G4): a cycle block's holes, each expanded into the moves the
// control makes, as a table of each cycle's rules that a reader can check
// against a control's manual. The interpreter plans the block (its holes and
// levels, or a fault); whoever takes the moves has them generated one at a
// time, so that a deep hole of many pecks needs no more memory than one.
#pragma once

#include <cstdint>

#include "fault.h"
#include "modal_state.h"
#include "move.h"
#include "parsed_block.h"

namespace drennix {

// How a cycle feeds into the hole.
enum class Infeed : std::uint8_t {
    Straight,     // one feed to the bottom
    ChipBreak,    // G73: pecks of Q, backing off a little after each
    FullRetract,  // G83: pecks of Q, back to the R level after each
    BackBore,     // G87: from the R level below the bottom, up to it
};

// How a cycle leaves the hole.
enum class Retract : std::uint8_t {
    Rapid,         // at rapid to the return level
    FeedToR,       // at the feed to the R level, then at rapid on
    ShiftedRapid,  // shifted off the wall by Q, at rapid, shifted back
};

// One cycle's rules, as a control's manual gives them.
struct CycleRule {
    CycleCode code;
    int number;  // the G number
    Infeed infeed;
    Retract retract;
    // A P word dwells at the bottom.
    bool dwells;
    // Q is a peck depth (above 0), or a shift (0 or more).
    bool peck;
    bool shift;
};

// The rule of a cycle code other than None and Cancel.
const CycleRule& cycleRule(CycleCode code);

// What the dialect settings make of the cycles and the dwell.
struct CycleSettings {
    bool cycles = false;
    bool dwell = false;
    // LinuxCNC's reading (P in seconds, L repeats, G76 refused); otherwise a
    // Fanuc-style control's (P in milliseconds, K repeats).
    bool linuxcnc = false;
    double peckRetract = 0.254;
    double peckClearance = 0.254;
    // The implied decimal places of a number without a point (0: as
    // written), for Q and U as for the axis words.
    int impliedDecimals = 0;

    // The interpreter has anything of these to read.
    bool readsAny() const { return cycles || dwell; }
};

// The cycle settings of a run's settings.
CycleSettings cycleSettingsOf(const Settings& settings);

// A cycle block planned: its holes, its levels on the drilling axis and
// what each hole does. Holes are `holes` many, the first at `firstHole`, each
// next one `holeStep` further (incremental repeats).
struct CyclePlan {
    CycleCode code = CycleCode::None;
    Plane plane = Plane::XY;
    long long line = 0;
    double feed = 0;
    Point3 start{};
    // The plane's two axes of the first hole and the step between holes.
    double firstA = 0;
    double firstB = 0;
    double stepA = 0;
    double stepB = 0;
    long long holes = 0;
    // On the drilling axis: the level of the block's start, the R level,
    // the bottom and where each hole leaves the tool.
    double initialLevel = 0;
    double rLevel = 0;
    double bottom = 0;
    double returnLevel = 0;
    double peck = 0;
    double shift = 0;
    double dwellSeconds = 0;
    double peckRetract = 0;
    double peckClearance = 0;
    // LinuxCNC first rises to the R level where the tool stands below it.
    bool riseToR = false;
    // The block was read in incremental mode.
    bool incremental = false;
};

// Plans the cycle block `b` under the state `m` (its modal words applied):
// the plan and the state after it (the position after the last hole, the
// cycle's kept values), or a fault. No hole (K0) leaves `plan.holes` 0.
Fault planCycle(const ParsedBlock& b, ModalState& m, const CycleSettings& settings, long long line, CyclePlan& plan);

// Takes each move of a planned cycle, in order.
class MoveSink {
public:
    virtual ~MoveSink() = default;
    // False ends the expansion there.
    virtual bool take(const Move& move) = 0;
};

// Hands every move of the plan to `sink`: false when the sink ended it or a
// rapid move's length could not be worked out (see rapidPathLength).
bool expandCycle(const CyclePlan& plan, MoveSink& sink);

// The dwell of a G4 block in seconds, or a fault.
Fault dwellSeconds(const ParsedBlock& b, const CycleSettings& settings, double& seconds);

}  // namespace drennix
