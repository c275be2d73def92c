#pragma once
// One move-only owner for every kind of OS handle; each kind is a traits type
// that names its invalid values and how it is closed. Most kinds are null when
// empty and differ only in the call that closes them: one template serves them.

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <utility>

namespace kestrum::win32 {

// How many GDI objects (fonts, bitmaps, brushes, pens, memory DCs, icons) the
// program's owners hold right now: every window gives back all it made when it
// goes, and this shows whether it did.
class HeldGdiObjects {
public:
    static long Count() { return count_.load(std::memory_order_relaxed); }
    static void Add(long change) { count_.fetch_add(change, std::memory_order_relaxed); }

private:
    static inline std::atomic<long> count_{0};
};

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) { count(handle_, +1); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    // Moves pass the handle on: it stays held.
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Traits::Invalid());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

    // For out parameters: closes what is held and hands out the slot.
    Handle* put() {
        static_assert(!kCounted, "what arrives through the slot would not be counted");
        reset();
        return &handle_;
    }
    Handle release() {
        count(handle_, -1);
        return std::exchange(handle_, Traits::Invalid());
    }
    void reset(Handle handle = Traits::Invalid()) {
        const Handle old = std::exchange(handle_, handle);
        count(handle_, +1);
        if (Traits::IsValid(old)) {
            Traits::Close(old);
            count(old, -1);
        }
    }

private:
    static constexpr bool kCounted = requires(long change) { Traits::Held(change); };
    static void count([[maybe_unused]] Handle handle, [[maybe_unused]] long change) {
        if constexpr (kCounted)
            if (Traits::IsValid(handle)) Traits::Held(change);
    }

    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    // Both NULL and INVALID_HANDLE_VALUE mean "no handle" for kernel objects.
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// Every other kind the program holds: null is "no handle", Closer gives one back,
// and a GDI kind is counted in HeldGdiObjects while it is held.
// A FindFirstFile search: INVALID_HANDLE_VALUE, not null, is "no search".
struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

template <typename H, auto Closer, bool CountedAsGdi = false>
struct NullHandleTraits {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { Closer(h); }
    static void Held(long change) requires CountedAsGdi { HeldGdiObjects::Add(change); }
};

template <typename H, auto Closer, bool CountedAsGdi = false>
using UniqueNullHandle = UniqueHandle<NullHandleTraits<H, Closer, CountedAsGdi>>;
inline constexpr bool kHeldGdi = true;

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindTraits>;
// Memory the system handed out with LocalAlloc, as a pointer to what it holds.
template <typename T>
using UniqueLocalMemory = UniqueNullHandle<T*, ::LocalFree>;
// A menu that no window or other menu holds: a menu in a window's bar goes with the window.
using UniqueHmenu = UniqueNullHandle<HMENU, ::DestroyMenu>;
using UniqueHinternet = UniqueNullHandle<HINTERNET, ::InternetCloseHandle>;
using UniqueHkey = UniqueNullHandle<HKEY, ::RegCloseKey>;
using UniqueHaccel = UniqueNullHandle<HACCEL, ::DestroyAcceleratorTable>;
using UniqueHmodule = UniqueNullHandle<HMODULE, ::FreeLibrary>;
using UniqueHfont = UniqueNullHandle<HFONT, ::DeleteObject, kHeldGdi>;
using UniqueHpen = UniqueNullHandle<HPEN, ::DeleteObject, kHeldGdi>;
using UniqueHbitmap = UniqueNullHandle<HBITMAP, ::DeleteObject, kHeldGdi>;
using UniqueHicon = UniqueNullHandle<HICON, ::DestroyIcon, kHeldGdi>;
using UniqueMemoryDc = UniqueNullHandle<HDC, ::DeleteDC, kHeldGdi>;

// A DC from GetDC, given back with ReleaseDC for the same window.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Puts back the object that SelectObject replaced.
class SelectionRestorer {
public:
    SelectionRestorer(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectionRestorer(const SelectionRestorer&) = delete;
    SelectionRestorer& operator=(const SelectionRestorer&) = delete;
    ~SelectionRestorer() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace kestrum::win32
