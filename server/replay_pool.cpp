// The replay workers.
#include "server/replay_pool.h"

namespace plonta {

ReplayPool::ReplayPool(std::size_t threads, std::size_t queued) : queued_(queued) {
    for (std::size_t i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

ReplayPool::~ReplayPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

bool ReplayPool::submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (jobs_.size() >= queued_) return false;
        jobs_.push_back(std::move(job));
    }
    ready_.notify_one();
    return true;
}

void ReplayPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace plonta
