// The machine an estimate of the running time assumes: how fast and how
// briskly each axis can move, how far a corner may be rounded, how many
// blocks the controller looks ahead and how long it takes at least for one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace drennix {

// Defaults of a small vertical machining centre.
struct MachineModel {
    // Per axis X, Y, Z: the highest cutting feed and the rapid rate (mm/min)
    // and the acceleration (mm/s²).
    std::array<double, 3> maxFeed{10000, 10000, 8000};
    std::array<double, 3> rapidRate{15000, 15000, 12000};
    std::array<double, 3> acceleration{2000, 2000, 1500};
    // How far the path may stray from a corner's point at speed (mm).
    double junctionDeviation = 0.01;
    // The moves the controller plans ahead.
    int lookAhead = 32;
    // No move takes less than this (ms).
    double blockTime = 0;
    // The control's parameters of the peck drilling cycles (mm): how far G73
    // backs off after each peck, and how far above the depth reached G83
    // comes down at rapid before it feeds on. LinuxCNC's 0.010 inch.
    double peckRetract = 0.254;
    double peckClearance = 0.254;
    // How long the machine stands for a tool change (s), where they are read.
    double toolChangeTime = 5;
    // Where the dialect reads them, in machine coordinates (mm): the
    // reference positions of G28 and G30, and the offset of the first work
    // system (G54) at the start. 0, as LinuxCNC with an empty parameter file.
    std::array<double, 3> referencePosition{};
    std::array<double, 3> secondReference{};
    std::array<double, 3> workOffset{};
    // The controller whose planner the estimate follows (a Controller).
    int controller = 0;
    // Where the controller runs an arc as chords: how far a chord may stray
    // from it (mm; grbl's $12).
    double arcTolerance = 0.002;
    // Where the controller plans in motor steps: the steps per mm of each
    // axis (grbl's $100 to $102).
    std::array<double, 3> stepsPerMm{250, 250, 250};
    // How long the machine waits at a change of the spindle's speed or
    // direction (s), after it came to a stop there.
    double spindleChangeTime = 0;

    bool operator==(const MachineModel&) const = default;
};

// The controllers whose planners the estimate knows.
enum class Controller : std::uint8_t {
    Generic,  // a trapezoidal planner over the look-ahead of the model
    Grbl,     // grbl 1.1's planner, as it documents it
};
inline constexpr std::array<std::string_view, 2> controllerNames = {"generic", "grbl"};
inline Controller controllerOf(const MachineModel& model)
{
    return static_cast<Controller>(model.controller);
}

// One field of the model, for the settings dialog, `--set` and the settings
// file. A number field is a double of the model (per axis: one element of
// its array); the look-ahead is the one integer.
struct MachineField {
    std::string_view name;     // code name, e.g. "accelerationX"
    std::string_view caption;  // the name in captions and messages, e.g. "X軸加速度"
    std::string_view unit;     // e.g. "mm/s²"
    double MachineModel::*number = nullptr;
    std::array<double, 3> MachineModel::*axisNumbers = nullptr;
    int axis = 0;
    int MachineModel::*integer = nullptr;
    // An integer field that chooses: the names of its values (the value is
    // the index), as files, options and the dialog write them.
    std::span<const std::string_view> names{};
    // The smallest value allowed, and whether it is allowed itself.
    double minimum = 0;
    bool minimumAllowed = false;
    double maximum = 0;

    bool isInteger() const { return integer != nullptr; }
    bool isChoice() const { return !names.empty(); }
    // The value of a choice by its name, if it is one.
    std::optional<int> choiceOf(std::string_view text) const;
    double value(const MachineModel& model) const;
    void assign(MachineModel& model, double value) const;
};

std::span<const MachineField> machineFields();
const MachineField* findMachineField(std::string_view name);

// The first field whose value is out of its range, or null. (The message is
// validateMachineModel's, in messages.h.)
const MachineField* fieldOutOfRange(const MachineModel& model);

}  // namespace drennix
