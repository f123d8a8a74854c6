#include "moves_export.h"

#include <nlohmann/json.hpp>
#include <string>

#include "canned_cycle.h"
#include "numerics.h"

namespace drennix::cli {
namespace {

using Json = nlohmann::ordered_json;

std::string_view kindName(MoveKind kind)
{
    switch (kind) {
    case MoveKind::Rapid: return "rapid";
    case MoveKind::Linear: return "linear";
    case MoveKind::ClockwiseArc: return "cw";
    case MoveKind::CounterClockwiseArc: break;
    }
    return "ccw";
}

Json pointJson(const Point3& p)
{
    return Json::array({p[0], p[1], p[2]});
}

// The arc's centre in its plane, the helical axis at the start's height.
Point3 arcCentre(const Move& move)
{
    const PlaneAxes axes = planeAxesOf(move.plane);
    Point3 centre{};
    centre[axes.a] = move.arc.centreA;
    centre[axes.b] = move.arc.centreB;
    centre[axes.helical] = move.start[axes.helical];
    return centre;
}

void addArc(Json& object, const Move& move)
{
    object["centre"] = pointJson(arcCentre(move));
    object["radius"] = move.arc.absRadius();
    // Adding 0 shows -0 as 0.
    object["startAngle"] = toDegrees(move.arc.startAngle) + 0.0;
    object["endAngle"] = toDegrees(move.arc.endAngle) + 0.0;
    object["length"] = move.length;
}

Json moveJson(const Move& move, bool convertingRun)
{
    Json object = Json::object();
    object["line"] = move.line;
    object["kind"] = kindName(move.kind);
    object["helical"] = move.helical();
    object["start"] = pointJson(move.start);
    object["end"] = pointJson(move.end);
    object["feed"] = move.feed;
    if (move.isArc()) addArc(object, move);
    if (convertingRun && move.converted()) {
        object["converted"] = true;
        object["segments"] = move.segments;
    }
    // A move of a canned cycle's expansion: the cycle, and its dwell where
    // it ends.
    if (move.cycle != CycleCode::None) {
        std::string name(1, 'G');
        name.append(std::to_string(cycleRule(move.cycle).number));
        object["cycle"] = name;
    }
    if (move.dwell > 0) object["dwell"] = move.dwell;
    return object;
}

}  // namespace

std::string moveJsonLine(const Move& move, bool convertingRun)
{
    return moveJson(move, convertingRun).dump();
}

std::string moveJsonLine(const PlannedMove& planned, bool convertingRun)
{
    Json object = moveJson(planned.move, convertingRun);
    object["seconds"] = planned.seconds;
    object["entrySpeed"] = planned.entrySpeed;
    object["exitSpeed"] = planned.exitSpeed;
    return object.dump();
}

}  // namespace drennix::cli
