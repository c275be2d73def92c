#pragma once
// One move-only owner for every kind of OS handle; each kind is a traits type
// that names its invalid values and how it is closed.

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

// The traits of the kinds counted in HeldGdiObjects.
struct CountedAsHeldGdi {
    static void Held(long change) { HeldGdiObjects::Add(change); }
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

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

template <typename GdiHandle>
struct GdiObjectTraits : CountedAsHeldGdi {
    using Handle = GdiHandle;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct IconTraits : CountedAsHeldGdi {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

struct AcceleratorTraits {
    using Handle = HACCEL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DestroyAcceleratorTable(h); }
};

struct MemoryDcTraits : CountedAsHeldGdi {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::InternetCloseHandle(h); }
};

using UniqueHinternet = UniqueHandle<InternetHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueHkey = UniqueHandle<RegistryKeyTraits>;
using UniqueHfont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueHbrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueHpen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueHbitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueHicon = UniqueHandle<IconTraits>;
using UniqueHaccel = UniqueHandle<AcceleratorTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueHmodule = UniqueHandle<ModuleTraits>;

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
