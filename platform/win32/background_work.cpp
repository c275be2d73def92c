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

void WindowMailbox::post(Delivery delivery) {
    std::lock_guard lock(mutex_);
    if (!window_) return;
    waiting_.push_back(std::move(delivery));
    ::PostMessageW(window_, kMessage, 0, 0);
}

std::vector<WindowMailbox::Delivery> WindowMailbox::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(waiting_, {});
}

void WindowMailbox::close() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
    waiting_.clear();
}

void RunInBackground(BackgroundWork* jobs, const std::shared_ptr<WindowMailbox>& mailbox, std::function<void()> work,
                     std::function<void(bool worked)> done) {
    auto job = [mailbox, work = std::move(work), done = std::move(done)]() mutable {
        // Nothing thrown may end the thread (and with it the program): it goes
        // to the window, which tells of it.
        std::exception_ptr failure;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        mailbox->post({std::move(done), failure});
    };
    if (jobs) jobs->start(std::move(job));
    else job();
}

}  // namespace kestrum::win32
