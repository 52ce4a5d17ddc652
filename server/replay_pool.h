// A fixed set of threads that replay submitted games, with a bounded queue in front of them.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace plonta {

class ReplayPool {
  public:
    // threads workers; at most queued jobs wait for one.
    ReplayPool(std::size_t threads, std::size_t queued);
    // Runs what is queued, then ends the workers.
    ~ReplayPool();
    ReplayPool(const ReplayPool&) = delete;
    ReplayPool& operator=(const ReplayPool&) = delete;

    // False, and the job dropped, when the queue is full.
    bool submit(std::function<void()> job);

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    std::size_t queued_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace plonta
