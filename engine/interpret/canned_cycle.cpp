#include "canned_cycle.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "motion.h"
#include "number_reading.h"

namespace drennix {

namespace {

using enum Infeed;
using enum Retract;

// The most pecks of one hole: beyond any real hole, and each peck of fewer
// still takes the depth further in the numbers of a double.
constexpr double maxPecks = 1e6;

// The cycles as a Fanuc-style control's manual describes them (LinuxCNC's
// differ only where CycleSettings::linuxcnc says so).
//                  code            G   infeed       retract       dwells peck   shift
constexpr std::array<CycleRule, 12> rules = {{
    {CycleCode::G73, 73, ChipBreak, Rapid, false, true, false},       // high-speed peck drilling
    {CycleCode::G74, 74, Straight, FeedToR, true, false, false},      // left-hand tapping
    {CycleCode::G76, 76, Straight, ShiftedRapid, true, false, true},  // fine boring
    {CycleCode::G81, 81, Straight, Rapid, false, false, false},       // drilling, spot drilling
    {CycleCode::G82, 82, Straight, Rapid, true, false, false},        // drilling with a dwell, counter boring
    {CycleCode::G83, 83, FullRetract, Rapid, false, true, false},     // peck drilling
    {CycleCode::G84, 84, Straight, FeedToR, true, false, false},      // tapping
    {CycleCode::G85, 85, Straight, FeedToR, false, false, false},     // boring, fed out
    {CycleCode::G86, 86, Straight, Rapid, false, false, false},       // boring, spindle stopped, rapid out
    {CycleCode::G87, 87, BackBore, ShiftedRapid, true, false, true},  // back boring
    {CycleCode::G88, 88, Straight, Rapid, true, false, false},        // boring, dwell, out by hand
    {CycleCode::G89, 89, Straight, FeedToR, true, false, false},      // boring with a dwell, fed out
}};

// A word's value as a length: as written with a point, else scaled as the
// axis words are.
double lengthOf(const ParsedBlock::ExtraWord& word, int impliedDecimals)
{
    return scaleAxisValue(word.value, word.point, impliedDecimals);
}

// The dwell of a P word: seconds in LinuxCNC's reading; whole milliseconds
// in a Fanuc-style control's, where a P with a point is refused.
Fault dwellOfP(const ParsedBlock::ExtraWord& p, bool linuxcnc, double& seconds)
{
    if (linuxcnc) {
        seconds = p.value;
    } else {
        if (p.point || p.value != std::floor(p.value)) return Fault{FaultId::DwellTimeInvalid};
        seconds = p.value / 1000;
    }
    return seconds < 0 ? Fault{FaultId::DwellTimeInvalid} : Fault{};
}

// The repeats of a cycle block: K (Fanuc: 0 or more, 0 drills nothing) or
// L (LinuxCNC: 1 or more), whole numbers; 1 without the word.
Fault repeatsOf(const ParsedBlock& b, const CycleSettings& settings, long long& holes)
{
    holes = 1;
    double count = 1;
    if (settings.linuxcnc) {
        const ParsedBlock::ExtraWord& l = b.extraWord(ParsedBlock::LetterL);
        if (!b.dialectWords || l.count == 0) return {};
        count = l.value;
        if (count < 1) return Fault{FaultId::CycleRepeatsInvalid};
    } else {
        if (!b.has(AddressKind::ArcK)) return {};
        if (b.rawKPoint) return Fault{FaultId::CycleRepeatsInvalid};
        count = b.rawK;
        if (count < 0) return Fault{FaultId::CycleRepeatsInvalid};
    }
    // Beyond any control's range (Fanuc: up to 9999).
    if (count != std::floor(count) || count > 9999) return Fault{FaultId::CycleRepeatsInvalid};
    holes = static_cast<long long>(count);
    return {};
}

// The words a cycle block states that the series keeps: the bottom, the R
// level, Q and P.
Fault keepCycleWords(const ParsedBlock& b, const CycleSettings& settings, int drillingAxis, CycleMemory& kept)
{
    if (b.hasAxis(drillingAxis)) {
        kept.hasBottom = true;
        kept.bottomWord = b.axisValue(drillingAxis);
    }
    if (b.has(AddressKind::Radius)) {
        kept.hasRLevel = true;
        kept.rWord = b.value(AddressKind::Radius);
    }
    if (!b.dialectWords) return {};
    const ParsedBlock::ExtraWord& q = b.extraWord(ParsedBlock::LetterQ);
    if (q.count > 0) kept.q = settings.linuxcnc ? q.value : lengthOf(q, settings.impliedDecimals);
    const ParsedBlock::ExtraWord& p = b.extraWord(ParsedBlock::LetterP);
    if (p.count == 0) return {};
    kept.hasDwell = true;
    return dwellOfP(p, settings.linuxcnc, kept.dwellSeconds);
}

// The rules a control alarms on, before anything is planned.
Fault checkCycleBlock(const ParsedBlock& b, const ModalState& m, const CycleSettings& settings)
{
    if (settings.linuxcnc && (m.cycle == CycleCode::G76 || m.cycle == CycleCode::G87)) {
        return Fault{FaultId::CycleNotRead};
    }
    if (m.compensation != Compensation::Cancelled) return Fault{FaultId::CycleCompensation};
    // K is the repeats of a Fanuc-style control; LinuxCNC's cycles here take
    // no centre word at all.
    if (b.has(AddressKind::ArcI) || b.has(AddressKind::ArcJ) || (settings.linuxcnc && b.has(AddressKind::ArcK))) {
        return Fault{FaultId::CycleCentreWords};
    }
    if (m.feed <= 0.0) return Fault{FaultId::CycleFeed};
    return {};
}

// A block drills where it gives a position: an axis word or an R level.
bool drills(const ParsedBlock& b)
{
    return b.hasAnyAxisWord() || b.has(AddressKind::Radius);
}

}  // namespace

CycleSettings cycleSettingsOf(const Settings& settings)
{
    const ProcessSettings& p = settings.process;
    CycleSettings s;
    s.cycles = p.cannedCycles != 0;
    s.dwell = p.dwell != 0;
    s.linuxcnc = p.linuxcncCycles != 0;
    s.peckRetract = settings.machine.peckRetract;
    s.peckClearance = settings.machine.peckClearance;
    s.impliedDecimals = p.calculatorDecimals != 0 ? 0 : p.decimalPlaces;
    return s;
}

const CycleRule& cycleRule(CycleCode code)
{
    for (const CycleRule& rule : rules) {
        if (rule.code == code) return rule;
    }
    return rules[3];
}

Fault planCycle(const ParsedBlock& b, ModalState& m, const CycleSettings& settings, long long line, CyclePlan& plan)
{
    const PlaneAxes axes = planeAxesOf(m.plane);
    const int h = axes.helical;
    const CycleRule& rule = cycleRule(m.cycle);
    plan = CyclePlan{};
    plan.code = m.cycle;
    plan.plane = m.plane;
    plan.line = line;
    plan.start = m.position;
    if (const Fault fault = checkCycleBlock(b, m, settings)) return fault;
    CycleMemory& kept = m.cycleMemory;
    const bool first = !kept.active;
    if (first) {
        kept = CycleMemory{};
        kept.active = true;
        kept.initialLevel = m.position[h];
    }
    if (const Fault fault = keepCycleWords(b, settings, h, kept)) return fault;
    if (first && !b.hasAxis(h)) return Fault{FaultId::CycleWithoutBottom};
    if (first && !b.has(AddressKind::Radius)) return Fault{FaultId::CycleWithoutRLevel};
    long long holes = 1;
    if (const Fault fault = repeatsOf(b, settings, holes)) return fault;
    if (!drills(b)) return {};
    // LinuxCNC measures from where each block begins, a Fanuc-style control
    // from where the series began.
    const double initial = settings.linuxcnc ? m.position[h] : kept.initialLevel;
    const bool incremental = m.incremental();
    plan.initialLevel = initial;
    plan.incremental = incremental;
    plan.rLevel = incremental ? initial + kept.rWord : kept.rWord;
    plan.bottom = incremental ? plan.rLevel + kept.bottomWord : kept.bottomWord;
    if (rule.infeed == BackBore ? plan.rLevel >= plan.bottom : plan.rLevel <= plan.bottom) {
        return Fault{FaultId::CycleRLevelBeyondBottom};
    }
    if (rule.peck && !(kept.q > 0)) return Fault{FaultId::CyclePeck};
    // Each peck must go deeper, in a number of pecks a control would run.
    if (rule.peck && !((plan.rLevel - plan.bottom) / kept.q <= maxPecks)) return Fault{FaultId::CycleTooManyPecks};
    if (rule.shift && kept.q < 0) return Fault{FaultId::CyclePeck};
    plan.peck = rule.peck ? kept.q : 0;
    plan.shift = rule.shift ? kept.q : 0;
    // LinuxCNC dwells at the bottom of a G86 too, and wants the time of
    // each cycle that dwells.
    const bool dwells = rule.dwells || (settings.linuxcnc && rule.code == CycleCode::G86);
    if (settings.linuxcnc && dwells && !kept.hasDwell && rule.code != CycleCode::G84 && rule.code != CycleCode::G74 &&
        rule.code != CycleCode::G76) {
        return Fault{FaultId::CycleWithoutDwell};
    }
    plan.dwellSeconds = dwells ? kept.dwellSeconds : 0;
    plan.peckRetract = settings.peckRetract;
    plan.peckClearance = settings.peckClearance;
    plan.feed = m.feed;
    plan.holes = holes;
    // LinuxCNC rises to the R level first where the tool stands below it,
    // and G98 returns to the higher of the two.
    plan.riseToR = settings.linuxcnc && initial < plan.rLevel;
    const bool toInitial = m.returnLevel == ReturnLevel::Initial || rule.infeed == BackBore;
    plan.returnLevel = toInitial ? (settings.linuxcnc ? std::max(initial, plan.rLevel) : initial) : plan.rLevel;
    if (rule.infeed == BackBore) plan.returnLevel = initial;
    const double wordA = b.axisValue(axes.a);
    const double wordB = b.axisValue(axes.b);
    if (incremental) {
        plan.firstA = m.position[axes.a] + wordA;
        plan.firstB = m.position[axes.b] + wordB;
        plan.stepA = wordA;
        plan.stepB = wordB;
    } else {
        plan.firstA = b.hasAxis(axes.a) ? wordA : m.position[axes.a];
        plan.firstB = b.hasAxis(axes.b) ? wordB : m.position[axes.b];
    }
    if (holes == 0) return {};
    const double last = static_cast<double>(holes - 1);
    m.position[axes.a] = plan.firstA + last * plan.stepA;
    m.position[axes.b] = plan.firstB + last * plan.stepB;
    m.position[h] = plan.returnLevel;
    return {};
}

namespace {

// Hands the moves of one plan to a sink, each from where the last one ended.
class CycleMoves {
public:
    CycleMoves(const CyclePlan& plan, MoveSink& sink) : plan_(plan), sink_(sink), axes_(planeAxesOf(plan.plane))
    {
        move_.plane = plan.plane;
        move_.line = plan.line;
        move_.feed = plan.feed;
        move_.cycle = plan.code;
        position_ = plan.start;
    }

    bool expand()
    {
        const CycleRule& rule = cycleRule(plan_.code);
        if (plan_.riseToR && !rapidTo(along(plan_.rLevel))) return false;
        for (long long k = 0; k < plan_.holes; ++k) {
            const double a = plan_.firstA + static_cast<double>(k) * plan_.stepA;
            const double b = plan_.firstB + static_cast<double>(k) * plan_.stepB;
            if (!rapidTo(inPlane(a, b)) || !feedIn(rule) || !leave(rule)) return false;
        }
        return true;
    }

private:
    Point3 along(double level) const
    {
        Point3 p = position_;
        p[axes_.helical] = level;
        return p;
    }
    Point3 inPlane(double a, double b) const
    {
        Point3 p = position_;
        p[axes_.a] = a;
        p[axes_.b] = b;
        return p;
    }
    Point3 shifted(double by) const
    {
        Point3 p = position_;
        p[axes_.a] += by;
        return p;
    }

    bool feedIn(const CycleRule& rule)
    {
        switch (rule.infeed) {
        case Straight: return rapidTo(along(plan_.rLevel)) && feedTo(along(plan_.bottom), plan_.dwellSeconds);
        case ChipBreak:
        case FullRetract: return peck(rule);
        case BackBore:
            return rapidTo(shifted(plan_.shift)) && rapidTo(along(plan_.rLevel)) && rapidTo(shifted(-plan_.shift)) &&
                   feedTo(along(plan_.bottom), plan_.dwellSeconds);
        }
        return false;
    }

    // Pecks of Q from the R level to the bottom: G73 backs off by the
    // retract after each, G83 goes back to the R level and comes down to the
    // clearance above the depth it reached.
    bool peck(const CycleRule& rule)
    {
        if (!rapidTo(along(plan_.rLevel))) return false;
        double depth = plan_.rLevel;
        for (;;) {
            // A step the numbers cannot take goes to the bottom.
            const double deeper = depth - plan_.peck;
            depth = deeper < depth ? std::max(deeper, plan_.bottom) : plan_.bottom;
            const bool bottom = depth == plan_.bottom;
            if (!feedTo(along(depth), bottom ? plan_.dwellSeconds : 0)) return false;
            if (bottom) return true;
            if (rule.infeed == ChipBreak) {
                if (!rapidTo(along(depth + plan_.peckRetract))) return false;
            } else if (!rapidTo(along(plan_.rLevel)) || !rapidTo(along(depth + plan_.peckClearance))) {
                return false;
            }
        }
    }

    bool leave(const CycleRule& rule)
    {
        switch (rule.retract) {
        case Rapid: return rapidTo(along(plan_.returnLevel));
        case FeedToR: return feedTo(along(plan_.rLevel), 0) && rapidTo(along(plan_.returnLevel));
        case ShiftedRapid:
            return rapidTo(shifted(plan_.shift)) && rapidTo(along(plan_.returnLevel)) && rapidTo(shifted(-plan_.shift));
        }
        return false;
    }

    bool rapidTo(const Point3& end) { return moveTo(MoveKind::Rapid, end, 0); }
    bool feedTo(const Point3& end, double dwell) { return moveTo(MoveKind::Linear, end, dwell); }

    // A move that goes nowhere is no move of the control.
    bool moveTo(MoveKind kind, const Point3& end, double dwell)
    {
        if (end == position_ && dwell == 0) return true;
        move_.kind = kind;
        move_.start = position_;
        move_.end = end;
        for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis)
            move_.travel[axis] = std::fabs(end[axis] - position_[axis]);
        const Point3& t = move_.travel;
        if (kind == MoveKind::Rapid) {
            const auto length = rapidPathLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
            if (!length) return false;
            move_.length = *length;
        } else {
            move_.length = straightLength(t[AxisIndexX], t[AxisIndexY], t[AxisIndexZ]);
        }
        move_.dwell = dwell;
        position_ = end;
        return sink_.take(move_);
    }

    const CyclePlan& plan_;
    MoveSink& sink_;
    const PlaneAxes axes_;
    Move move_;
    Point3 position_{};
};

}  // namespace

bool expandCycle(const CyclePlan& plan, MoveSink& sink)
{
    return CycleMoves(plan, sink).expand();
}

Fault dwellSeconds(const ParsedBlock& b, const CycleSettings& settings, double& seconds)
{
    const ParsedBlock::ExtraWord& p = b.extraWord(ParsedBlock::LetterP);
    const ParsedBlock::ExtraWord& u = b.extraWord(ParsedBlock::LetterU);
    const bool hasX = b.has(AddressKind::AxisX);
    if (settings.linuxcnc ? b.hasAnyAxisWord() : b.has(AddressKind::AxisY) || b.has(AddressKind::AxisZ)) {
        return Fault{FaultId::DwellAxisWords};
    }
    if (p.count > 0) return dwellOfP(p, settings.linuxcnc, seconds);
    if (!settings.linuxcnc && hasX) {
        seconds = b.value(AddressKind::AxisX);
    } else if (!settings.linuxcnc && u.count > 0) {
        seconds = lengthOf(u, settings.impliedDecimals);
    } else {
        return Fault{FaultId::DwellWithoutTime};
    }
    return seconds < 0 ? Fault{FaultId::DwellTimeInvalid} : Fault{};
}

}  // namespace drennix
