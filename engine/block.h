// The word record of the block being processed and the modal state carried
// from block to block.
#pragma once

#include <array>

#include "vocabulary.h"
#include "words.h"

namespace drennix {

enum Axis : int { AxisIndexX = 0, AxisIndexY = 1, AxisIndexZ = 2 };

using Point3 = std::array<double, 3>;

enum class BlockMotionKind : int { None = -1, Rapid = 0, Cutting = 1 };

struct NcBlock {
    int lineNumber = 0;

    // G-code words per command group.
    int motionWords = 0;
    int planeWords = 0;
    int coordinateModeWords = 0;
    int coordinateSetWords = 0;
    int compensationWords = 0;
    int valueSetWords = 0;

    // Word counts of X, Y, Z, I, J, K, R and F, indexed by AddressKind - 1.
    std::array<int, 8> wordCounts{};

    // Value of the last word of each address; 0 when the block has none. After
    // a move, x, y and z hold the block's travel per axis.
    double x = 0;
    double y = 0;
    double z = 0;
    double i = 0;
    double j = 0;
    double k = 0;
    double r = 0;

    BlockMotionKind blockMotionKind = BlockMotionKind::None;
    double blockDistance = 0;
    bool helical = false;
    int conversionMark = 0;

    int& wordCount(AddressKind kind) { return wordCounts[static_cast<int>(kind) - 1]; }
    int wordCount(AddressKind kind) const { return wordCounts[static_cast<int>(kind) - 1]; }
    bool has(AddressKind kind) const { return wordCount(kind) > 0; }

    double& axisValue(int axis) { return axis == AxisIndexX ? x : axis == AxisIndexY ? y : z; }
    double axisValue(int axis) const { return axis == AxisIndexX ? x : axis == AxisIndexY ? y : z; }
    bool hasAxis(int axis) const { return wordCounts[axis] > 0; }
    int& axisWordCount(int axis) { return wordCounts[axis]; }
};

struct ModalState {
    int motion = RapidMotion;
    int plane = XyPlane;
    int coordinateMode = AbsoluteMode;
    int compensation = CompensationCancelled;
    double feed = 0;
    Point3 position{};
    // 0 nothing pending; 1 the previous block was converted; 2 this block
    // relies on the modal arc motion and needs the arc code in front.
    int motionReinsertion = 0;
};

}  // namespace drennix
