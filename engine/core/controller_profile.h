// What the estimate's planner does as a controller does: the rules of one
// planner, switched by the machine model's controller. A profile is data, so
// that another controller is one more entry.
#pragma once

#include <cstddef>

#include "machine_model.h"

namespace drennix {

struct ControllerProfile {
    // The pieces planned ahead; 0: the model's look-ahead.
    std::size_t window = 0;
    // An arc runs as the chords of the model's arc tolerance, each a piece
    // with a corner of its own; else as one piece whose speed keeps v² ≤ a·r.
    bool arcsAsChords = false;
    // A corner's acceleration is the axes' limit along the junction vector
    // (the difference of the directions); else the lower of the two pieces'.
    bool cornerAlongJunction = false;
    // Two pieces whose directions' cosine reaches this run straight on.
    double straightCosine = 1 - 1e-12;
    // Positions are taken in whole motor steps of each axis (a piece that
    // moves no step is no piece).
    bool wholeSteps = false;
    // The machine comes to a stop at every change of the spindle's speed or
    // direction; else only where it waits there (spindleChangeTime).
    bool stopsAtSpindleChange = false;
};

inline ControllerProfile profileOf(const MachineModel& machine)
{
    switch (controllerOf(machine)) {
    case Controller::Grbl:
        // grbl 1.1: a buffer of 16 blocks of which 15 are planned, arcs as
        // chords of $12, the corner's acceleration along the junction vector,
        // steps per mm, and a spindle change synchronised with the motion.
        return {.window = 15,
                .arcsAsChords = true,
                .cornerAlongJunction = true,
                .straightCosine = 0.999999,
                .wholeSteps = true,
                .stopsAtSpindleChange = true};
    case Controller::Generic: break;
    }
    return {.stopsAtSpindleChange = machine.spindleChangeTime > 0};
}

}  // namespace drennix
