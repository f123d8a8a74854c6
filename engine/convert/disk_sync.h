// A file synced to the disk while it is still being written: each request
// syncs what was written so far on a thread of its own, so that the sync
// before the file is named waits only for the bytes after the last request.
// The disk's own flush costs time, not work: the run goes on meanwhile.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace drennix {

class DiskSync {
public:
    // The file's descriptor, open for as long as this lives.
    explicit DiskSync(int descriptor) : descriptor_(descriptor) {}
    ~DiskSync() { finish(); }
    DiskSync(const DiskSync&) = delete;
    DiskSync& operator=(const DiskSync&) = delete;

    // Syncs what is written, beside the caller; a request made while a sync
    // runs is taken up when it ends. Where syncing beside the writes is not
    // known to be safe (Windows), nothing happens: the last sync does it all.
    void request();
    // Waits for the syncs requested. False when one failed: after a failed
    // sync a later one need not tell of the bytes that were lost.
    bool finish();

private:
    void syncWhileRequested();

    const int descriptor_;
    std::mutex mutex_;
    std::condition_variable requested_;
    bool pending_ = false;
    bool stopping_ = false;
    bool failed_ = false;
    std::thread thread_;
};

}  // namespace drennix
