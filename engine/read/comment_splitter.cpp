#include "comment_splitter.h"

namespace drennix {

namespace {

constexpr auto npos = std::string_view::npos;

Fault fault(FaultId id)
{
    return Fault{id};
}

void addOnce(std::string& bytes, char byte)
{
    if (bytes.find(byte) == npos) {
        bytes += byte;
    }
}

}  // namespace

CommentSplitter::CommentSplitter(std::string_view start, std::string_view end, bool semicolon)
    : start_(start), end_(end), semicolon_(semicolon)
{
    // An empty delimiter is found everywhere: no line is then free of it.
    everyLine_ = start.empty() || end.empty();
    if (everyLine_) {
        return;
    }
    addOnce(leadBytes_, start.front());
    addOnce(leadBytes_, end.front());
    if (semicolon) {
        addOnce(leadBytes_, ';');
    }
}

Fault CommentSplitter::split(std::string_view line, CommentSplit& out)
{
    const std::size_t semicolon = semicolon_ ? semicolonStart(line) : line.size();
    if (semicolon == line.size()) {
        return splitDelimited(line, out);
    }
    if (const Fault fault = splitDelimited(line.substr(0, semicolon), out)) {
        return fault;
    }
    tail_.assign(out.commentText);
    tail_ += line.substr(semicolon);
    out.commentText = tail_;
    return {};
}

std::size_t CommentSplitter::semicolonStart(std::string_view line) const
{
    bool inComment = false;
    for (std::size_t i = 0; i < line.size();) {
        const std::string_view rest = line.substr(i);
        if (!inComment && rest.starts_with(start_)) {
            inComment = true;
            i += start_.size();
        } else if (inComment && rest.starts_with(end_)) {
            inComment = false;
            i += end_.size();
        } else if (!inComment && line[i] == ';') {
            return i;
        } else {
            ++i;
        }
    }
    return line.size();
}

// The usual commented line: one comment, between one-byte delimiters, with
// nothing that would be a fault, at the start or the end of the line. Its
// texts are views into the line, as the general split would give them.
bool CommentSplitter::splitOneComment(std::string_view line, std::size_t start, CommentSplit& out) const
{
    const char open = start_.front();
    const char close = end_.front();
    if (start == npos || open == close) {
        return false;
    }
    const std::size_t end = line.find(close, start + 1);
    if (end == npos || line.find(close) != end || line.find(open, start + 1) != npos ||
        line.find(close, end + 1) != npos) {
        return false;
    }
    const std::size_t afterEnd = end + 1;
    if (afterEnd == line.size()) {
        out = CommentSplit{line.substr(0, start), line.substr(start)};
        return true;
    }
    if (start == 0 && classifyCharacter(static_cast<unsigned char>(line[afterEnd])) == CharacterClass::Address) {
        out = CommentSplit{line.substr(afterEnd), line.substr(0, afterEnd)};
        return true;
    }
    return false;
}

Fault CommentSplitter::splitDelimited(std::string_view line, CommentSplit& out)
{
    const std::string_view start = start_;
    const std::string_view end = end_;
    const std::size_t n = line.size();

    std::size_t s = 0;
    std::size_t e = 0;
    if (start.size() == 1 && end.size() == 1) {
        // The usual one-byte delimiters: a byte search each, not a text search.
        s = line.find(start.front());
        e = s == npos ? line.find(end.front()) : npos;
    } else {
        s = line.find(start);
        e = line.find(end);
    }
    if (s == npos && e == npos) {
        out = CommentSplit{line, {}};
        return {};
    }
    if (start.size() == 1 && end.size() == 1 && splitOneComment(line, s, out)) {
        return {};
    }

    code_.clear();
    comments_.clear();
    std::size_t p = 0;
    while (p < n) {
        s = line.find(start, p);
        e = line.find(end, p);
        if (s == npos) {
            if (e != npos) {
                return fault(FaultId::CommentEndWithoutStart);
            }
            code_.append(line.substr(p));
            break;
        }
        const std::size_t s2 = line.find(start, s + 1);
        if (e == npos) {
            return fault(FaultId::CommentWithoutEnd);
        }
        if (s > e) {
            return fault(FaultId::CommentEndBeforeStart);
        }
        if (s2 != npos && e > s2) {
            return fault(FaultId::SecondCommentStart);
        }
        const std::size_t afterEnd = e + end.size();
        if (afterEnd < n && classifyCharacter(static_cast<unsigned char>(line[afterEnd])) != CharacterClass::Address) {
            return fault(FaultId::CommentFollowedByNumber);
        }
        code_.append(line.substr(p, s - p));
        comments_.append(line.substr(s, afterEnd - s));
        p = afterEnd;
    }
    out = CommentSplit{code_, comments_};
    return {};
}

}  // namespace drennix
