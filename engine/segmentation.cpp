#include "segmentation.h"

#include <cmath>

#include "messages.h"
#include "motion.h"
#include "number_format.h"
#include "run_state.h"
#include "tokenizer.h"
#include "words.h"

namespace drennix {

namespace {

struct KeptWord {
    bool open = false;
    char address = 0;
    AddressKind kind = AddressKind::NoAddress;
};

void closeKeptWord(std::string& out, const KeptWord& word, std::string_view number, const CommandVocabulary& v)
{
    if (!word.open) {
        return;
    }
    if (number.empty()) {
        out += word.address;
        return;
    }
    switch (word.kind) {
    case AddressKind::GCode: {
        const double value = parseRawValue(number);
        if (value == v.cwArcCode || value == v.ccwArcCode) {
            return;
        }
        break;
    }
    case AddressKind::Feed:
    case AddressKind::Other:
        break;
    default:
        return;
    }
    out += word.address;
    out += number;
}

}  // namespace

std::optional<long long> segmentCount(double r, double swept, double tolerance)
{
    if (2 * r <= tolerance) {
        return 1;
    }
    if (r <= tolerance && swept >= piConstant) {
        const double e = r + r * std::sin((swept - piConstant) / 2);
        return tolerance < e ? 2 : 1;
    }
    if (r <= tolerance) {
        return 1;
    }
    const double theta = 2 * std::acos((r - tolerance) / r);
    const double count = std::ceil(swept / theta);
    if (!(count <= maximumSegmentCount)) {
        return std::nullopt;
    }
    return static_cast<long long>(count);
}

void appendKeptText(std::string& out, std::string_view codeText, std::string_view commentText,
                    const CommandVocabulary& vocabulary, const AddressTable& addresses)
{
    KeptWord word;
    std::size_t numberStart = 0;
    for (std::size_t i = 0; i < codeText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(codeText[i]);
        if (classifyCharacter(byte) == CharacterClass::Numeric) {
            continue;
        }
        closeKeptWord(out, word, codeText.substr(numberStart, i - numberStart), vocabulary);
        word = KeptWord{true, codeText[i], addresses(byte)};
        numberStart = i + 1;
    }
    closeKeptWord(out, word, codeText.substr(numberStart), vocabulary);
    out += commentText;
}

void appendCodeNumber(std::string& out, double code, int decimals)
{
    if (std::trunc(code) == code) {
        // "%d" of the whole number; beyond the int range its exact digits.
        if (std::fabs(code) <= 2147483647.0) {
            appendInteger(out, static_cast<long long>(code));
        } else {
            appendFixed(out, code, 0);
        }
    } else {
        appendFixed(out, code, decimals);
    }
}

int convertArc(RunState& state, double swept, std::string_view codeText, std::string_view commentText)
{
    NcBlock& block = state.block;
    ModalState& modal = state.modal;
    const ArcGeometry& arc = state.arc;
    const CommandVocabulary& v = state.vocabulary();
    const int decimals = state.decimalPlaces();
    const PlaneAxes axes = planeAxesOf(modal.plane);
    const double r = std::fabs(block.r);

    const auto count = segmentCount(r, swept, state.options.tolerance);
    if (!count) {
        return state.reject(messages::tooManySegments);
    }
    const long long n = *count;
    const double step = modal.motion == ClockwiseArc ? -swept : swept;
    const double startH = modal.position[axes.helical];
    const double dH = arc.target[axes.helical] - startH;

    std::string& line = state.lineBuffer;
    for (long long k = 1; k <= n; ++k) {
        line.clear();
        if (k == 1) {
            line += v.gCodeLetter;
            appendCodeNumber(line, v.linearCode, decimals);
        }
        Point3 point = arc.target;
        if (k < n) {
            // Each coordinate is snapped to the number format, so that the
            // point is exactly what its line shows.
            const double kk = static_cast<double>(k);
            const double nn = static_cast<double>(n);
            const double angle = kk * step / nn + arc.startAngle;
            point[axes.a] = roundToDecimals(r * std::cos(angle) + arc.centreA, decimals);
            point[axes.b] = roundToDecimals(r * std::sin(angle) + arc.centreB, decimals);
            point[axes.helical] = roundToDecimals(kk * dH / nn + startH, decimals);
        }
        for (int axis = AxisIndexX; axis <= AxisIndexZ; ++axis) {
            if (point[axis] == modal.position[axis]) {
                block.axisValue(axis) = 0;
                block.axisWordCount(axis) = 0;
                continue;
            }
            const double value = modal.coordinateMode == IncrementalMode ? point[axis] - modal.position[axis] : point[axis];
            block.axisValue(axis) = value;
            block.axisWordCount(axis) = 1;
            line += letterOf(v, static_cast<AddressKind>(static_cast<int>(AddressKind::AxisX) + axis));
            appendFixed(line, value, decimals);
        }
        if (k == 1) {
            appendKeptText(line, codeText, commentText, v, state.addresses);
        }
        state.programLines.append(line);
        advancePosition(block, modal, state.statistics);
        block.blockDistance += straightLength(block.x, block.y, block.z);
    }
    ++block.conversionMark;
    return 0;
}

}  // namespace drennix
