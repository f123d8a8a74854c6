// The read stage as a stream of values: the source's lines in order, each
// with its parsed block or its fault. Lines are read and parsed a batch at a
// time; past the first batch a source is read on a thread of its own, which
// parses the batches it read while the caller goes on with the lines before.
// A caller that runs out of parsed lines parses the next batches itself
// rather than wait, so the two threads share the parsing whichever of them
// has less to do. At most a few batches are in flight, whatever the size of
// the source.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "block_parser.h"
#include "parsed_block.h"
#include "source_reader.h"

namespace drennix {

// One source line as the read stage hands it on.
struct SourceLine {
    // The line without its line end; the block's texts view the same batch.
    std::string_view text;
    ParsedBlock block;
    // The parser's fault; the block is then incomplete.
    Fault fault;
    // Reading the source failed where this line would have been read.
    bool readFailed = false;
};

// The size of a cache line on the processors the program runs on.
inline constexpr std::size_t cacheLineBytes = 64;

class alignas(cacheLineBytes) BlockStream {
public:
    struct Options {
        // A batch closes after the line that takes its text to this size.
        // Its parsed lines take about seven times its text: small batches
        // keep them in the caches of the two threads that touch them.
        std::size_t batchBytes = std::size_t{32} << 10;
        // Past the first batch, read and parse on a thread of the stream's.
        bool concurrent = true;
    };

    // Reads from `reader`, which must stay open until the stream is stopped.
    BlockStream(SourceReader& reader, const Settings& settings, Options options);
    BlockStream(SourceReader& reader, const Settings& settings) : BlockStream(reader, settings, Options{}) {}
    ~BlockStream();
    BlockStream(const BlockStream&) = delete;
    BlockStream& operator=(const BlockStream&) = delete;

    // True once every line was handed on. May wait for the reading thread;
    // an exception thrown while reading comes out here, after the lines read
    // before it.
    bool atEnd() { return next_ == end_ && !advance(); }
    // The next line, after atEnd() said there is one. It stays valid until
    // the next call.
    const SourceLine& next() { return *next_++; }

    // Ends the reading: after this the reader is no longer touched and may be
    // closed. Lines not yet handed on are dropped.
    void stop();

    const AddressTable& addresses() const { return parser_.addresses(); }

private:
    struct Batch;

    void read(Batch& batch);
    bool readLines(Batch& batch);
    static void keepWholeLines(Batch& batch, std::string_view lines);
    static void parseLines(Batch& batch, BlockParser& parser);
    void parseUnlocked(Batch& batch, BlockParser& parser, std::unique_lock<std::mutex>& lock);
    void startWorker();
    void produce();
    bool mayRead() const;
    Batch* firstUnparsed() const;
    Batch* takeParsed();
    bool advance();
    Batch* nextBatch(bool first);

    // What each thread writes as it goes lies on cache lines of its own
    // (the stream as a whole too): a line written by one thread while the
    // other reads it would travel between their caches once per source line.
    SourceReader& reader_;
    const Options options_;
    std::vector<std::unique_ptr<Batch>> batches_;
    // One parser per thread: a parser keeps the texts it splits off.
    alignas(cacheLineBytes) BlockParser parser_;
    alignas(cacheLineBytes) BlockParser workerParser_;

    alignas(cacheLineBytes) Batch* current_ = nullptr;
    // The lines of the current batch not yet handed on.
    const SourceLine* next_ = nullptr;
    const SourceLine* end_ = nullptr;

    alignas(cacheLineBytes) std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Batch*> free_;
    // The batches read and not yet handed on, in reading order.
    std::deque<Batch*> read_;
    // The batch that ends the input was read.
    bool inputRead_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace drennix
