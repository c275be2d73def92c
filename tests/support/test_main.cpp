// GoogleTest's main with a watchdog: a test that does not end within
// KESTRUM_TEST_TIMEOUT seconds (default 180) is named and ends the run, so a
// hang is a failing test instead of a stalled run.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

class Watchdog : public testing::EmptyTestEventListener {
public:
    explicit Watchdog(int seconds) : limit_(seconds) { std::thread([this] { watch(); }).detach(); }

    void OnTestStart(const testing::TestInfo& test) override {
        std::lock_guard lock(mutex_);
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(limit_);
        running_ = true;
        changed_.notify_all();
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::lock_guard lock(mutex_);
        running_ = false;
        changed_.notify_all();
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return running_; });
            if (!changed_.wait_until(lock, deadline_, [this] { return !running_; })) {
                std::fprintf(stderr, "\n[  HUNG    ] %s did not end within %d s\n", name_.c_str(), limit_);
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    const int limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string name_;
    std::chrono::steady_clock::time_point deadline_;
    bool running_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const char* limit = std::getenv("KESTRUM_TEST_TIMEOUT");
    // Never deleted: the watchdog's thread outlives the test run.
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(limit ? std::atoi(limit) : 180));
    return RUN_ALL_TESTS();
}
