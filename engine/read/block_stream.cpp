#include "block_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <system_error>

namespace drennix {

namespace {

// One batch being handed on, one parsed by each thread and one read ahead:
// four keep both threads busy whichever has more to do.
constexpr std::size_t batchCount = 4;

// An empty text views nothing and needs no keeping.
bool isWithin(std::string_view text, const std::string& storage)
{
    if (text.empty()) {
        return true;
    }
    const std::less_equal<const char*> notAfter;
    return notAfter(storage.data(), text.data()) &&
           notAfter(text.data() + text.size(), storage.data() + storage.size());
}

// Which lines of a batch hold a comment's lead byte, found by one search of the
// batch per occurrence instead of one per line: comments are rare, and each
// search of a short line costs the C library's call.
class LeadByteSearch {
public:
    LeadByteSearch(std::string_view text, std::string_view bytes) : text_(text)
    {
        for (const char byte : bytes.substr(0, bytes_.size())) {
            bytes_[count_++] = {byte, find(byte, 0)};
        }
        nearest_ = nearest();
    }

    // Whether any of the bytes lies in text[begin, end); lines are asked
    // about in order.
    bool occursIn(std::size_t begin, std::size_t end)
    {
        if (nearest_ < begin) {
            for (std::size_t k = 0; k < count_; ++k) {
                if (bytes_[k].next < begin) {
                    bytes_[k].next = find(bytes_[k].byte, begin);
                }
            }
            nearest_ = nearest();
        }
        return nearest_ < end;
    }

private:
    std::size_t find(char byte, std::size_t from) const
    {
        const void* at = std::memchr(text_.data() + from, byte, text_.size() - from);
        return at == nullptr ? text_.size() : static_cast<std::size_t>(static_cast<const char*>(at) - text_.data());
    }

    std::size_t nearest() const
    {
        std::size_t at = text_.size();
        for (std::size_t k = 0; k < count_; ++k) {
            at = std::min(at, bytes_[k].next);
        }
        return at;
    }

    struct Byte {
        char byte = 0;
        // Where the byte occurs next, at or after the last line asked about
        // (the text's size: nowhere).
        std::size_t next = 0;
    };
    std::string_view text_;
    std::array<Byte, 3> bytes_{};
    std::size_t count_ = 0;
    // The first occurrence of any of them.
    std::size_t nearest_ = 0;
};

}  // namespace

struct BlockStream::Batch {
    // Where one line's text lies in `bytes`.
    struct Span {
        std::size_t offset = 0;
        std::size_t size = 0;
    };
    // A parsed block whose code and comment texts were split off into the
    // parser's buffers: they are kept in `splitTexts`.
    struct SplitTexts {
        std::size_t line = 0;
        Span code;
        Span comment;
    };

    // How far a batch in the read queue is: read, being parsed, or parsed.
    enum class Stage { Read, Parsing, Parsed };

    Stage stage = Stage::Read;
    std::string bytes;
    std::vector<Span> spans;
    std::vector<SourceLine> lines;
    std::string splitTexts;
    std::vector<SplitTexts> splits;
    // The input ends after these lines (its end, a read error or an
    // exception).
    bool endsInput = false;
    // Reading failed after these lines: one more line tells so.
    bool readFailed = false;
    std::exception_ptr error;

    void clear()
    {
        stage = Stage::Read;
        bytes.clear();
        spans.clear();
        splitTexts.clear();
        splits.clear();
        endsInput = false;
        readFailed = false;
        error = nullptr;
    }

    // Spans lie within the bytes by construction.
    std::string_view text(const Span& span) const { return {bytes.data() + span.offset, span.size}; }

    Span keepSplitText(std::string_view text)
    {
        const Span span{splitTexts.size(), text.size()};
        splitTexts.append(text);
        return span;
    }
};

BlockStream::BlockStream(SourceReader& reader, const Settings& settings, Options options)
    : reader_(reader), options_(options), parser_(settings), workerParser_(settings)
{
    for (std::size_t i = 0; i < batchCount; ++i) {
        batches_.push_back(std::make_unique<Batch>());
        free_.push_back(batches_.back().get());
    }
}

BlockStream::~BlockStream()
{
    stop();
}

void BlockStream::stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
    next_ = end_;
}

// The next batch that holds a line, read here or waited for; false when the
// input has ended.
bool BlockStream::advance()
{
    // Only this thread stops the stream, so the flag needs no lock here.
    if (stopping_) {
        return false;
    }
    for (;;) {
        if (current_ != nullptr && current_->error) {
            std::rethrow_exception(current_->error);
        }
        if (current_ != nullptr && current_->endsInput) {
            return false;
        }
        current_ = nextBatch(current_ == nullptr);
        next_ = current_->lines.data();
        end_ = next_ + current_->lines.size();
        if (next_ != end_) {
            return true;
        }
    }
}

// The first batch is read here; with a thread the ones after it are read
// there, otherwise here too.
BlockStream::Batch* BlockStream::nextBatch(bool first)
{
    if (!first) {
        {
            const std::lock_guard lock(mutex_);
            free_.push_back(current_);
        }
        changed_.notify_all();
    }
    if (!worker_.joinable()) {
        Batch* batch = free_.back();
        free_.pop_back();
        read(*batch);
        parseLines(*batch, parser_);
        if (first && options_.concurrent && !batch->endsInput) {
            startWorker();
        }
        return batch;
    }
    return takeParsed();
}

// Where no thread can be started, the batches are read here.
void BlockStream::startWorker()
{
    if (std::thread::hardware_concurrency() == 1) {
        return;
    }
    try {
        worker_ = std::thread([this] { produce(); });
    } catch (const std::system_error&) {}
}

// The thread reads whenever a batch is free, and parses the first batch that
// nobody parses otherwise; it ends once the input is read and parsed.
void BlockStream::produce()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || mayRead() || firstUnparsed() != nullptr || inputRead_; });
        if (stopping_) {
            return;
        }
        if (mayRead()) {
            Batch* batch = free_.back();
            free_.pop_back();
            lock.unlock();
            read(*batch);
            lock.lock();
            read_.push_back(batch);
            inputRead_ = batch->endsInput;
            changed_.notify_all();
        } else if (Batch* batch = firstUnparsed()) {
            parseUnlocked(*batch, workerParser_, lock);
        } else {
            return;
        }
    }
}

// Parses a batch of the queue outside the lock, which `lock` holds before
// and after.
void BlockStream::parseUnlocked(Batch& batch, BlockParser& parser, std::unique_lock<std::mutex>& lock)
{
    batch.stage = Batch::Stage::Parsing;
    lock.unlock();
    parseLines(batch, parser);
    lock.lock();
    batch.stage = Batch::Stage::Parsed;
    changed_.notify_all();
}

bool BlockStream::mayRead() const
{
    return !inputRead_ && !free_.empty();
}

BlockStream::Batch* BlockStream::firstUnparsed() const
{
    for (Batch* batch : read_) {
        if (batch->stage == Batch::Stage::Read) {
            return batch;
        }
    }
    return nullptr;
}

// The next batch in reading order once it is parsed. Rather than wait for the
// thread, this one parses the first batch that nobody parses yet.
BlockStream::Batch* BlockStream::takeParsed()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!read_.empty() && read_.front()->stage == Batch::Stage::Parsed) {
            Batch* batch = read_.front();
            read_.pop_front();
            return batch;
        }
        if (Batch* batch = firstUnparsed()) {
            parseUnlocked(*batch, parser_, lock);
        } else {
            changed_.wait(lock);
        }
    }
}

// Reads lines until the batch is full; what throws ends the input after the
// lines before it.
void BlockStream::read(Batch& batch)
{
    batch.clear();
    try {
        batch.endsInput = readLines(batch);
    } catch (...) {
        batch.error = std::current_exception();
        batch.endsInput = true;
    }
}

// True when the input ends with the lines read: its end, or a read error,
// which takes the place of the line that could not be read.
bool BlockStream::readLines(Batch& batch)
{
    while (!reader_.atEnd() && batch.bytes.size() < options_.batchBytes) {
        if (const std::string_view lines = reader_.takeWholeLines(options_.batchBytes - batch.bytes.size());
            !lines.empty()) {
            keepWholeLines(batch, lines);
            continue;
        }
        const std::string_view line = reader_.readSourceLine();
        if (reader_.failed()) {
            batch.readFailed = true;
            return true;
        }
        batch.spans.push_back({batch.bytes.size(), line.size()});
        batch.bytes.append(line);
    }
    return reader_.atEnd();
}

// Lines that each end in a line feed (and hold no byte 0x1A), copied at
// once: each line without its line feed and the carriage return before it.
void BlockStream::keepWholeLines(Batch& batch, std::string_view lines)
{
    const std::size_t base = batch.bytes.size();
    batch.bytes.append(lines);
    std::size_t start = 0;
    while (start < lines.size()) {
        const auto* feed = static_cast<const char*>(std::memchr(lines.data() + start, '\n', lines.size() - start));
        const auto stop = static_cast<std::size_t>(feed - lines.data());
        const std::size_t size = stop - start;
        const bool carriageReturn = size > 0 && lines[stop - 1] == '\r';
        batch.spans.push_back({base + start, size - (carriageReturn ? 1 : 0)});
        start = stop + 1;
    }
}

// Each line's text views the batch's bytes, which no longer move; so do its
// block's texts, copied out of the parser's buffers where a comment was split
// off.
void BlockStream::parseLines(Batch& batch, BlockParser& parser)
{
    const std::size_t count = batch.spans.size();
    batch.lines.resize(count + (batch.readFailed ? 1 : 0));
    if (batch.readFailed) {
        batch.lines.back() = SourceLine{};
        batch.lines.back().readFailed = true;
    }
    const CommentSplitter& comments = parser.comments();
    LeadByteSearch leadBytes(batch.bytes, comments.leadBytes());
    for (std::size_t i = 0; i < count; ++i) {
        SourceLine& line = batch.lines[i];
        const Batch::Span span = batch.spans[i];
        // The parser gets the text from here, not read back from the line:
        // the line's memory may still be on its way from the other thread.
        const std::string_view text = batch.text(span);
        line.text = text;
        line.readFailed = false;
        const bool mayHoldComment =
            comments.splitsEveryLine() || leadBytes.occursIn(span.offset, span.offset + span.size);
        try {
            line.fault = mayHoldComment ? parser.parse(text, line.block) : parser.parseCommentFree(text, line.block);
        } catch (...) {
            batch.lines.resize(i);
            batch.error = std::current_exception();
            batch.endsInput = true;
            break;
        }
        // Either text may lie in the splitter's buffers, which the next line
        // overwrites: the comment of a ";" alone, for one.
        if (mayHoldComment && !line.fault &&
            !(isWithin(line.block.codeText, batch.bytes) && isWithin(line.block.commentText, batch.bytes))) {
            batch.splits.push_back(
                {i, batch.keepSplitText(line.block.codeText), batch.keepSplitText(line.block.commentText)});
        }
    }
    for (const Batch::SplitTexts& split : batch.splits) {
        const std::string_view texts = batch.splitTexts;
        ParsedBlock& block = batch.lines[split.line].block;
        block.codeText = texts.substr(split.code.offset, split.code.size);
        block.commentText = texts.substr(split.comment.offset, split.comment.size);
    }
}

}  // namespace drennix
