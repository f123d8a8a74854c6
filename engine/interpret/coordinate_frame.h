// Where the program's coordinates lie on the machine and in which unit,
// where the dialect reads them: the unit of an inch program (G20, G21), the
// work systems (G54 to G59.3) and their offsets (G10 L2, L20), a coordinate
// set of some axes (G92), and the moves outside the motion mode that these
// make possible (G28 and G30 through an intermediate point to a reference
// position, G53 in machine coordinates).
#pragma once

#include <array>

#include "fault.h"
#include "modal_state.h"
#include "move.h"
#include "parsed_block.h"

namespace drennix {

// What the dialect settings make of the machine's coordinates, units and
// tools.
struct FrameSettings {
    bool units = false;
    bool machineMoves = false;
    bool workOffsets = false;
    bool partialCoordinateSet = false;
    bool rapidUnderCompensation = false;
    // T, M6, H and S are read (see tool_change.h).
    bool toolChanges = false;
    // The reference positions of G28 and G30, machine coordinates in mm.
    Point3 reference{};
    Point3 secondReference{};

    bool readsAny() const
    {
        return units || machineMoves || workOffsets || partialCoordinateSet || rapidUnderCompensation || toolChanges;
    }
};

FrameSettings frameSettingsOf(const Settings& settings);

// A length in `from` as a length in `to`.
double convertLength(double length, LengthUnit from, LengthUnit to);

// The block's unit and work system take effect before its other words: the
// position, the offsets and the feed are converted into the new unit (the
// tool stands where it stood, the feed keeps the speed it was given in), and
// the position is told in the new system.
void applyFrameWords(const ParsedBlock& b, ModalState& m);

// After the program's end (M2, M30) the first work system is in force
// again, as a control resets it; the shift of G92 stays.
void resetWorkSystem(ModalState& m);

// The rules of the frame's words: one unit, one work system, one machine
// move and no other command of its kind (G4, G10, G92) in a block.
Fault checkFrameWords(const ParsedBlock& b);

// G92 on the axes the block gives, in machine terms: the shift moves so that
// the tool's position reads as given.
void setCoordinateShift(const ParsedBlock& b, ModalState& m);

// G10 L2 (the offset of a work system) or L20 (an offset that makes the
// tool's position read as given), P0 the system in force: nothing moves.
Fault setWorkOffset(const ParsedBlock& b, ModalState& m);

// The moves of a G28, G30 or G53 block: one or two, in `moves`.
struct MachinePath {
    std::array<Move, 2> moves;
    int count = 0;
};

// Plans the machine move of block `b` under the state `m` (its modal words
// applied): the moves into `path` and the position after them into `m`.
Fault planMachineMove(const ParsedBlock& b, ModalState& m, const FrameSettings& settings, long long line,
                      MachinePath& path);

}  // namespace drennix
