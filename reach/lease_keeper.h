#pragma once
// Renews the leases of the router's doors while the program runs: a thread that
// wakes every period until its owner goes.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace kestrum::reach {

class LeaseKeeper {
public:
    LeaseKeeper(std::chrono::milliseconds period, std::function<void()> renew)
        : period_(period), renew_(std::move(renew)), thread_([this] { Run(); }) {}
    LeaseKeeper(const LeaseKeeper&) = delete;
    LeaseKeeper& operator=(const LeaseKeeper&) = delete;
    ~LeaseKeeper() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        woken_.notify_all();
        thread_.join();
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        while (!woken_.wait_for(lock, period_, [this] { return stopping_; })) {
            lock.unlock();
            renew_();
            lock.lock();
        }
    }

    std::chrono::milliseconds period_;
    std::function<void()> renew_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool stopping_ = false;
    std::thread thread_;  // last: started once everything it uses is made
};

}  // namespace kestrum::reach
