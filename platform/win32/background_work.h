#pragma once
// Work a window hands to a thread of its own, and the way its result comes back
// to the window's thread. The threads are joined by their owner, which the
// program keeps until its windows and the services they use are done with.

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrum::win32 {

class BackgroundWork {
public:
    BackgroundWork() = default;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;
    ~BackgroundWork() { joinAll(); }
    void start(std::function<void()> work);
    // Waits until every piece of work started so far has ended.
    void joinAll();

private:
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

// What finished work leaves for a window: posted from any thread, run on the
// window's own when it takes kMessage; dropped once the window is gone.
class WindowMailbox {
public:
    static constexpr UINT kMessage = WM_APP + 2;
    struct Delivery {
        std::function<void(bool worked)> done;
        std::exception_ptr failure;  // what the work threw, if it did
    };
    explicit WindowMailbox(HWND window) : window_(window) {}
    void post(Delivery delivery);
    // The deliveries waiting, for the window's thread to run.
    std::vector<Delivery> take();
    void close();

private:
    std::mutex mutex_;
    HWND window_;
    std::vector<Delivery> waiting_;
};

// Runs work on one of jobs' threads (on this thread when there is no owner),
// then leaves done in the mailbox, with what the work threw.
void RunInBackground(BackgroundWork* jobs, const std::shared_ptr<WindowMailbox>& mailbox, std::function<void()> work,
                     std::function<void(bool worked)> done);

}  // namespace kestrum::win32
