#include "program_audit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace drennix::bench::testing {

namespace {

constexpr double allowedEndPointError = 0.0005;

bool isNumeric(unsigned char c) { return c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9'); }
bool isPrintable(unsigned char c) { return c >= 0x20 && c <= 0x7e; }
bool isAxisOrArcLetter(char c) { return std::string_view("XYZIJKR").find(c) != std::string_view::npos; }

// A number: an optional sign in front, digits with at most one point, at least
// one digit.
bool isWellFormedNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    const auto points = std::count(text.begin(), text.end(), '.');
    const auto digits = std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    return points <= 1 && digits >= 1 && digits + points == static_cast<long>(text.size());
}

// Axis, offset and radius numbers without a point carry three implied decimals.
double wordValue(char letter, const std::string& number) {
    const double raw = std::strtod(number.c_str(), nullptr);
    if (number.find('.') != std::string::npos || !isAxisOrArcLetter(letter)) return raw;
    return raw / 10.0 / 10.0 / 10.0;
}

struct BlockWords {
    std::vector<double> gCodes;
    std::array<int, 26> count{};
    std::array<double, 26> value{};

    int countOf(char letter) const { return count[letter - 'A']; }
    bool has(char letter) const { return countOf(letter) > 0; }
    double valueOf(char letter) const { return value[letter - 'A']; }
    int gCodesIn(std::initializer_list<double> group) const {
        return static_cast<int>(std::count_if(gCodes.begin(), gCodes.end(), [&](double g) {
            return std::find(group.begin(), group.end(), g) != group.end();
        }));
    }
    bool hasG(double code) const { return std::find(gCodes.begin(), gCodes.end(), code) != gCodes.end(); }
};

constexpr std::array<char, 3> axisLetter = {'X', 'Y', 'Z'};
constexpr std::array<char, 3> offsetLetter = {'I', 'J', 'K'};

class Auditor {
public:
    explicit Auditor(ProgramAudit& audit) : audit_(audit) {}

    void readLine(std::string_view line, bool hasLineEnd) {
        ++lineNumber_;
        ++audit_.lines;
        if (line.find_first_of("\r\n") != std::string_view::npos) fault("line end other than CR LF");
        if (!hasLineEnd && line.find_first_not_of(' ') != std::string_view::npos) fault("last line without a line end");
        std::string code;
        bool hadComment = false;
        if (!splitComments(line, code, hadComment)) return;
        if (std::all_of(code.begin(), code.end(), [](char c) { return c == ' '; })) {
            if (hadComment) {
                ++audit_.commentOnlyLines;
            } else {
                ++audit_.blankLines;
            }
            return;
        }
        BlockWords words;
        if (!readWords(code, words)) return;
        interpret(words);
    }

    void fault(const std::string& what) {
        audit_.faults.push_back("line " + std::to_string(lineNumber_) + ": " + what);
    }

private:
    bool splitComments(std::string_view line, std::string& code, bool& hadComment) {
        std::size_t p = 0;
        while (p < line.size()) {
            const std::size_t start = line.find('(', p);
            const std::size_t end = line.find(')', p);
            if (start == std::string_view::npos) {
                if (end != std::string_view::npos) {
                    fault("comment end without start");
                    return false;
                }
                code.append(line.substr(p));
                break;
            }
            if (end == std::string_view::npos || end < start) {
                    fault("comment start without end");
                    return false;
                }
            if (line.find('(', start + 1) < end) {
                    fault("nested comment");
                    return false;
                }
            if (end + 1 < line.size()) {
                const auto next = static_cast<unsigned char>(line[end + 1]);
                if (!isPrintable(next) || isNumeric(next)) {
                    fault("number right after a comment");
                    return false;
                }
            }
            const std::string_view comment = line.substr(start, end - start + 1);
            if (std::any_of(comment.begin(), comment.end(), [](char c) { return !isPrintable(static_cast<unsigned char>(c)); })) {
                ++audit_.nonAsciiComments;
            }
            code.append(line.substr(p, start - p));
            hadComment = true;
            p = end + 1;
        }
        for (const char c : code) {
            if (!isPrintable(static_cast<unsigned char>(c))) {
                    fault("byte outside printable ASCII in code");
                    return false;
                }
        }
        return true;
    }

    bool readWords(const std::string& code, BlockWords& words) {
        std::optional<char> address;  // nothing open at the start and after a space
        std::string number;
        const auto close = [&]() {
            if (number.empty()) {
                if (address && std::string_view("GXYZIJKRF").find(*address) != std::string_view::npos) {
                    {
                    fault(std::string("address without number: ") + *address);
                    return false;
                }
                }
                return true;
            }
            if (!address) {
                    fault("number without address");
                    return false;
                }
            if (!isWellFormedNumber(number)) {
                    fault("malformed number " + number);
                    return false;
                }
            store(*address, number, words);
            return true;
        };
        for (const char c : code) {
            if (isNumeric(static_cast<unsigned char>(c))) {
                number += c;
                continue;
            }
            if (!close()) return false;
            address = c == ' ' ? std::nullopt : std::optional<char>(c);
            number.clear();
        }
        return close();
    }

    void store(char letter, const std::string& number, BlockWords& words) {
        const double value = wordValue(letter, number);
        if (letter == 'G') {
            words.gCodes.push_back(value);
        } else if (letter >= 'A' && letter <= 'Z') {
            ++words.count[letter - 'A'];
            words.value[letter - 'A'] = value;
        }
        if (letter == 'N') ++audit_.sequenceNumbers;
        if (isAxisOrArcLetter(letter) && number.find('.') == std::string::npos) ++audit_.impliedDecimalWords;
    }

    void interpret(const BlockWords& words) {
        for (const char letter : std::string_view("XYZIJKRF")) {
            if (words.countOf(letter) > 1) return fault(std::string("repeated word ") + letter);
        }
        if (words.gCodesIn({0, 1, 2, 3}) > 1 || words.gCodesIn({17, 18, 19}) > 1 || words.gCodesIn({90, 91}) > 1 ||
            words.gCodesIn({40, 41, 42}) > 1 || words.gCodesIn({92}) > 1 || words.gCodesIn({10}) > 1) {
            return fault("two G codes of one group");
        }
        for (const double g : words.gCodes) applyModalCode(g);
        if (words.has('F')) feed_ = words.valueOf('F');

        const bool offsets = words.has('I') || words.has('J') || words.has('K');
        const bool arcWords = offsets || words.has('R');
        if (words.has('I') && words.has('J') && words.has('K')) return fault("three centre offsets");
        if (words.has('R') && offsets) return fault("radius together with centre offsets");

        if (words.hasG(92)) return setCoordinates(words, arcWords);
        if (words.hasG(10)) {
            if (compensated_) return fault("value set under compensation");
            if (offsets || words.has('X') || words.has('Y') || words.has('Z')) return fault("value set with axis or offset words");
            ++audit_.valueSets;
            return;
        }
        if (motion_ <= 1) return moveStraight(words, arcWords);
        moveAlongArc(words);
    }

    void applyModalCode(double g) {
        if (g == 0 || g == 1 || g == 2 || g == 3) motion_ = static_cast<int>(g);
        if (g == 17 || g == 18 || g == 19) plane_ = static_cast<int>(g);
        if (g == 90 || g == 91) incremental_ = g == 91;
        if (g == 40 || g == 41 || g == 42) compensated_ = g != 40;
    }

    void setCoordinates(const BlockWords& words, bool arcWords) {
        if (incremental_ || motion_ != 0 || compensated_ || arcWords || words.hasG(10)) {
            return fault("coordinate set outside absolute rapid motion without compensation");
        }
        if (!words.has('X') || !words.has('Y') || !words.has('Z')) return fault("coordinate set without X, Y and Z");
        for (int axis = 0; axis < 3; ++axis) position_[axis] = words.valueOf(axisLetter[axis]);
        noteCoordinates(position_);
        ++audit_.coordinateSets;
    }

    std::array<double, 3> targetOf(const BlockWords& words) const {
        std::array<double, 3> target = position_;
        for (int axis = 0; axis < 3; ++axis) {
            const char letter = axisLetter[axis];
            if (incremental_) {
                target[axis] += words.has(letter) ? words.valueOf(letter) : 0.0;
            } else if (words.has(letter)) {
                target[axis] = words.valueOf(letter);
            }
        }
        return target;
    }

    void moveStraight(const BlockWords& words, bool arcWords) {
        if (arcWords) return fault("arc words in a straight move");
        if (motion_ == 0 && compensated_) return fault("rapid move under compensation");
        if (motion_ == 1 && feed_ <= 0.0) return fault("cutting move without a feed");
        const bool moves = words.has('X') || words.has('Y') || words.has('Z');
        if (moves) {
            ++(motion_ == 0 ? audit_.rapidMoves : audit_.linearMoves);
            countModalSections();
        }
        position_ = targetOf(words);
        noteCoordinates(position_);
    }

    void moveAlongArc(const BlockWords& words) {
        if (feed_ <= 0.0) return fault("arc without a feed");
        // Plane axes a, b and the normal axis; offsets are looked up by axis.
        const auto [a, b, normal] = plane_ == 18 ? std::array{2, 0, 1} : plane_ == 19 ? std::array{1, 2, 0} : std::array{0, 1, 2};
        if (words.has(offsetLetter[normal]) && words.valueOf(offsetLetter[normal]) != 0.0) {
            return fault("centre offset along the plane's normal");
        }
        const double offsetA = words.valueOf(offsetLetter[a]);
        const double offsetB = words.valueOf(offsetLetter[b]);
        const double radiusWord = words.valueOf('R');
        const std::array<double, 3> target = targetOf(words);
        const double startA = position_[a];
        const double startB = position_[b];

        if (offsetA != 0.0 || offsetB != 0.0) {
            const double centreA = startA + offsetA;
            const double centreB = startB + offsetB;
            const double radius = std::hypot(offsetA, offsetB);
            if (target[a] == startA && target[b] == startB) {
                ++audit_.fullCircles;
            } else {
                const double error = std::abs(std::hypot(target[a] - centreA, target[b] - centreB) - radius);
                audit_.worstEndPointError = std::max(audit_.worstEndPointError, error);
                if (error > allowedEndPointError) fault("arc end point off its circle by " + std::to_string(error));
            }
            noteArcReach(centreA, centreB, radius, a, b);
            ++audit_.arcsByOffsets;
        } else if (radiusWord != 0.0) {
            const double halfChord = std::hypot(target[a] - startA, target[b] - startB) / 2.0;
            if (halfChord == 0.0) return fault("radius arc that ends where it starts");
            if (halfChord >= std::abs(radiusWord)) return fault("radius shorter than half the chord");
            noteArcReach(startA, startB, 2.0 * std::abs(radiusWord), a, b);
            ++audit_.arcsByRadius;
        } else {
            if (words.has('X') || words.has('Y') || words.has('Z')) return fault("arc move without centre or radius");
            return;
        }
        if (target[normal] != position_[normal]) ++audit_.helicalArcs;
        ++(motion_ == 2 ? audit_.clockwiseArcs : audit_.counterClockwiseArcs);
        if (plane_ == 18) ++audit_.arcsInZxPlane;
        if (plane_ == 19) ++audit_.arcsInYzPlane;
        countModalSections();
        position_ = target;
        noteCoordinates(position_);
    }

    void countModalSections() {
        if (incremental_) ++audit_.incrementalMoves;
        if (compensated_) ++audit_.compensatedMoves;
    }

    void noteCoordinates(const std::array<double, 3>& point) {
        for (const double c : point) audit_.largestCoordinate = std::max(audit_.largestCoordinate, std::abs(c));
    }

    // The farthest a circle round (centreA, centreB) of `reach` can go.
    void noteArcReach(double centreA, double centreB, double reach, int a, int b) {
        std::array<double, 3> extreme = position_;
        extreme[a] = std::abs(centreA) + reach;
        extreme[b] = std::abs(centreB) + reach;
        noteCoordinates(extreme);
    }

    ProgramAudit& audit_;
    int lineNumber_ = 0;
    int motion_ = 0;
    int plane_ = 17;
    bool incremental_ = false;
    bool compensated_ = false;
    double feed_ = 0.0;
    std::array<double, 3> position_{};
};

}  // namespace

ProgramAudit auditProgram(std::string_view text) {
    ProgramAudit audit;
    Auditor auditor(audit);
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t end = text.find("\r\n", p);
        const std::string_view line = text.substr(p, end == std::string_view::npos ? std::string_view::npos : end - p);
        auditor.readLine(line, end != std::string_view::npos);
        if (end == std::string_view::npos) break;
        p = end + 2;
    }
    return audit;
}

}  // namespace drennix::bench::testing
