// A thread of its own that works on the latest job it is given: a new job
// replaces the one waiting and tells the one in progress that it is
// superseded, so that it can give up at its next step. The thread lets go of
// a job (and what it holds) as soon as it is done with it, and ends when the
// object is destroyed: the destructor wakes it and waits only for the step
// in progress.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

template <typename Job>
class LatestJobThread {
public:
    // `work(job, number)` runs on the thread; superseded(number) tells it to give up.
    explicit LatestJobThread(std::function<void(Job&, std::uint64_t)> work)
        : work_(std::move(work)), thread_([this] { serve(); })
    {}
    ~LatestJobThread()
    {
        {
            const std::lock_guard lock(mutex_);
            ending_ = true;
            pending_.reset();
            latest_ = 0;
        }
        wake_.notify_all();
        thread_.join();
    }
    LatestJobThread(const LatestJobThread&) = delete;
    LatestJobThread& operator=(const LatestJobThread&) = delete;

    void post(Job job)
    {
        {
            const std::lock_guard lock(mutex_);
            latest_ = ++posted_;
            pending_ = std::move(job);
        }
        wake_.notify_all();
    }
    // Gives up the job waiting and the one in progress.
    void cancel()
    {
        const std::lock_guard lock(mutex_);
        latest_ = 0;
        pending_.reset();
    }
    bool superseded(std::uint64_t number) const { return latest_.load(std::memory_order_relaxed) != number; }

private:
    void serve()
    {
        for (;;) {
            std::optional<Job> job;
            std::uint64_t number = 0;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return ending_ || pending_.has_value(); });
                if (ending_) return;
                job = std::move(pending_);
                pending_.reset();
                number = latest_;
            }
            work_(*job, number);
        }
    }

    const std::function<void(Job&, std::uint64_t)> work_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    bool ending_ = false;
    // The number of the last job posted (0: none, or given up).
    std::atomic<std::uint64_t> latest_{0};
    std::uint64_t posted_ = 0;
    std::thread thread_;
};
