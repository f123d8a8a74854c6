#include "check_alongside.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "byte_channel.h"
#include "source_reader.h"
#include "written_program.h"

namespace drennix {

namespace {

// The arcs as the run notes them, handed to the check with each block of
// bytes, before it: whatever the check reads of the program, it has heard of
// the arcs the run noted before writing it.
class ArcChannel final : public ArcFeed {
public:
    explicit ArcChannel(ByteChannel& bytes) : bytes_(bytes) {}

    // The run's side.
    void add(const ReferenceArc& arc) { noted_.push_back({ArcNotice::Kind::Arc, arc, 0, {}}); }
    void add(const CyclePlan& cycle) { noted_.push_back({ArcNotice::Kind::Expansion, {}, 0, cycle}); }
    void handOver(long long linesComplete)
    {
        noted_.push_back({ArcNotice::Kind::LinesKnown, {}, linesComplete, {}});
        handOverNoted();
    }
    void close(bool whole)
    {
        noted_.push_back({whole ? ArcNotice::Kind::End : ArcNotice::Kind::Unreadable, {}, 0, {}});
        handOverNoted();
    }

    // The check's side: the notices taken a handful at a time.
    ArcNotice next() override
    {
        if (taken_ == taking_.size()) {
            taking_.clear();
            taken_ = 0;
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !handed_.empty(); });
            taking_.swap(handed_);
        }
        const Notice& notice = taking_[taken_++];
        return {notice.kind, &notice.arc, notice.linesKnown, &notice.cycle};
    }
    void programLeftUnread() override { bytes_.stopReading(); }

private:
    struct Notice {
        ArcNotice::Kind kind;
        ReferenceArc arc;
        long long linesKnown;
        CyclePlan cycle;
    };

    void handOverNoted()
    {
        const std::lock_guard lock(mutex_);
        if (handed_.empty()) {
            handed_.swap(noted_);
        } else {
            handed_.insert(handed_.end(), noted_.begin(), noted_.end());
            noted_.clear();
        }
        changed_.notify_all();
    }

    ByteChannel& bytes_;
    std::vector<Notice> noted_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Notice> handed_;
    std::vector<Notice> taking_;
    std::size_t taken_ = 0;
};

}  // namespace

class CheckAlongside::Channels {
public:
    explicit Channels(std::size_t buffers) : bytes(buffers) {}

    ByteChannel bytes;
    ArcChannel arcs{bytes};
};

CheckAlongside::CheckAlongside(const Settings& settings, const RunOptions& options, VerificationListener* listener,
                               std::size_t channelBuffers)
    : settings_(settings), options_(options), listener_(listener), channels_(std::make_unique<Channels>(channelBuffers))
{}

CheckAlongside::~CheckAlongside()
{
    abandon();
}

void CheckAlongside::noteArc(const Move& arc)
{
    if (arc.isArc() && arc.converted()) {
        channels_->arcs.add(referenceArcOf(arc));
    }
}

void CheckAlongside::noteCycle(const CyclePlan& cycle)
{
    channels_->arcs.add(cycle);
}

void CheckAlongside::written(std::string_view bytes, long long linesComplete)
{
    start();
    channels_->arcs.handOver(linesComplete);
    channels_->bytes.push(bytes);
}

VerificationResult CheckAlongside::finish()
{
    start();
    channels_->arcs.close(true);
    channels_->bytes.close(true);
    join();
    if (exception_) {
        std::rethrow_exception(std::exchange(exception_, nullptr));
    }
    return result_;
}

void CheckAlongside::abandon()
{
    if (ended_) {
        return;
    }
    channels_->arcs.close(false);
    channels_->bytes.close(false);
    // Nothing of the program matters any more: the check stops at its next
    // block instead of reading what is left in the buffers.
    channels_->bytes.stopReading();
    join();
}

// The thread begins with the first bytes, or at the end when none came.
void CheckAlongside::start()
{
    if (!ended_ && !thread_.joinable()) {
        thread_ = std::thread([this] { check(); });
    }
}

void CheckAlongside::join()
{
    ended_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void CheckAlongside::check()
{
    // However the measuring ends, the run must not wait for the program's
    // reading to take more bytes: the channel stops before the stream does.
    struct StopReading {
        ByteChannel& bytes;
        ~StopReading() { bytes.stopReading(); }
    };
    try {
        SourceReader reader;
        reader.openFeed(channels_->bytes);
        WrittenProgram program(reader, settings_, {options_.initialX, options_.initialY, options_.initialZ},
                               ProgramReading::OnMeasuringThread);
        const StopReading stop{channels_->bytes};
        result_ = measureWrittenProgram(program, channels_->arcs, options_.tolerance, settings_.process.decimalPlaces,
                                        listener_);
    } catch (...) {
        exception_ = std::current_exception();
    }
}

}  // namespace drennix
