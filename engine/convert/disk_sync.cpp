#include "disk_sync.h"

#include <system_error>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace drennix {

void DiskSync::request()
{
#if !defined(_WIN32)
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        pending_ = true;
    }
    requested_.notify_one();
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { syncWhileRequested(); });
        } catch (const std::system_error&) {
            // Without a thread the last sync does it all.
        }
    }
#endif
}

bool DiskSync::finish()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    requested_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
    const std::lock_guard lock(mutex_);
    return !failed_;
}

// Requests that come while a sync runs are one more sync, not one each.
// One still pending when the writer finishes is made before the thread ends.
void DiskSync::syncWhileRequested()
{
#if !defined(_WIN32)
    std::unique_lock lock(mutex_);
    for (;;) {
        requested_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) {
            return;
        }
        pending_ = false;
        lock.unlock();
        const bool synced = ::fsync(descriptor_) == 0;
        lock.lock();
        failed_ = failed_ || !synced;
    }
#endif
}

}  // namespace drennix
