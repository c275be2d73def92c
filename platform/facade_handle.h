#pragma once
// The owner of a handle that a facade gave out: it gives the handle back to the
// same facade when it goes, so the routine that opened a handle also closes it,
// on every way out.

#include <utility>

namespace kestrum::platform {

// Close is the facade's member that gives a handle back; a default-made Handle
// (0) is "no handle" and is never given back.
template <typename Facade, typename Handle, auto Close>
class FacadeHandle {
public:
    FacadeHandle() = default;
    FacadeHandle(Facade& facade, Handle handle) : facade_(&facade), handle_(handle) {}
    FacadeHandle(const FacadeHandle&) = delete;
    FacadeHandle& operator=(const FacadeHandle&) = delete;
    FacadeHandle(FacadeHandle&& other) noexcept
        : facade_(other.facade_), handle_(std::exchange(other.handle_, Handle{})) {}
    FacadeHandle& operator=(FacadeHandle&& other) noexcept {
        if (this != &other) {
            reset();
            facade_ = other.facade_;
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    ~FacadeHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }

    void reset() {
        if (handle_ != Handle{}) (facade_->*Close)(std::exchange(handle_, Handle{}));
    }

private:
    Facade* facade_ = nullptr;
    Handle handle_{};
};

}  // namespace kestrum::platform
