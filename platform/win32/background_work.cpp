#include "platform/win32/background_work.h"

#include <utility>

namespace kestrum::win32 {

void BackgroundWork::joinAll() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
}

void BackgroundWork::start(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    threads_.emplace_back(std::move(work));
}

void WindowMailbox::post(std::function<void()> done) {
    std::lock_guard lock(mutex_);
    if (!window_) return;
    waiting_.push_back(std::move(done));
    ::PostMessageW(window_, kMessage, 0, 0);
}

std::vector<std::function<void()>> WindowMailbox::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(waiting_, {});
}

void WindowMailbox::close() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
    waiting_.clear();
}

void RunInBackground(BackgroundWork* jobs, const std::shared_ptr<WindowMailbox>& mailbox, std::function<void()> work,
                     std::function<void()> done) {
    auto job = [mailbox, work = std::move(work), done = std::move(done)]() mutable {
        // Nothing thrown may end the thread (and with it the program): the work
        // is then simply not done.
        try {
            work();
        } catch (...) {
            return;
        }
        mailbox->post(std::move(done));
    };
    if (jobs) jobs->start(std::move(job));
    else job();
}

}  // namespace kestrum::win32
